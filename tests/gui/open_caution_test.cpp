// Opening through the real window with the machine's own associations: what Wine would start as
// a program asks first, the question names the file as it is spelled, and No opens nothing.
#include <algorithm>

#include "gui_harness.h"
#include "res/resource.h"
#include "support/file_type.h"

namespace tallow::gui {
namespace {

using OpenCautionTest = GuiTest;

TEST_F(OpenCautionTest, WhatWineWouldRunAsksAndNoOpensNothing) {
  const struct {
    std::wstring name, term, shown;
  } cases[] = {
      // Wine takes the first letters of ".exex" for ".exe", and runs a program without an extension.
      {L"x.gif.exex", L".gif", L"x.gif.exex"},
      {L"wmvtool", L"wmv", L"wmvtool"},
      {L"pic\u202Efig.exe", L"fig.exe", L"pic<U+202E>fig.exe"},
      // Its program acts on the file (connects to the host it names), registered as a viewer is.
      {L"host[1].tallowrdp", L"host[1]", L"host[1].tallowrdp"},
  };
  testing::RecordingFileType connection(L".tallowrdp", L"Tallowmere.Connection", L"");
  ASSERT_TRUE(connection.Register());
  platform_.real_shell = true;
  platform_.real_message_boxes = true;
  TestBucket bucket;
  HWND list = Control(IDC_LIST1);
  for (const auto& c : cases) {
    ASSERT_TRUE(bucket.AddFile(c.name, "MZ"));
    SetWindowTextW(Control(IDC_TEXT1), c.term.c_str());
    SendMessageW(Control(IDC_COMMAND3), BM_CLICK, 0, 0);
    PumpPending();
    const std::vector<std::wstring> paths = ListedPaths();
    const int row = static_cast<int>(std::find(paths.begin(), paths.end(), bucket.path() + c.name) - paths.begin());
    ASSERT_LT(row, static_cast<int>(paths.size())) << c.term;
    SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(row), 0);

    const size_t asked = platform_.questions.size();
    DialogWatcher answerer({DialogWatcher::Press(IDNO)});
    ASSERT_TRUE(DoubleClick(list, EntryPoint(list, row), [&] { return platform_.questions.size() > asked; }));
    const std::vector<SeenDialog> seen = answerer.Stop();
    ASSERT_EQ(seen.size(), 1u) << c.term;
    EXPECT_EQ(seen[0].text,
              L"此文件可能会运行程序：\r\n" + c.shown + L"\r\n\r\n它来自网页缓存，来源不明。确定要打开吗？");
  }
  EXPECT_TRUE(platform_.opened.empty());
}

// A type that asks opens on Yes, and so does a program: the user has been told what it may do.
TEST_F(OpenCautionTest, YesOpensWhatAsked) {
  platform_.real_shell = platform_.real_message_boxes = true;
  testing::RecordingFileType connection(L".tallowrdp", L"Tallowmere.Connection", L"");
  TestBucket bucket;
  ASSERT_TRUE(connection.Register() && bucket.AddFile(L"host[1].tallowrdp") &&
              bucket.AddFile(L"setup[1].tallowrdp.exe", ReadBytes(connection.Helper()).value_or("")));
  SetWindowTextW(Control(IDC_TEXT1), L"[1].tallowrdp");
  SendMessageW(Control(IDC_COMMAND3), BM_CLICK, 0, 0);
  PumpPending();
  for (size_t row : {0u, 1u}) {
    DialogWatcher answerer({DialogWatcher::Press(IDYES)});
    ASSERT_TRUE(DoubleClick(Control(IDC_LIST1), EntryPoint(Control(IDC_LIST1), static_cast<int>(row)),
                            [&] { return platform_.opened.size() > row; }));
    EXPECT_EQ(answerer.Stop().size(), 1u);
    EXPECT_TRUE(PumpUntil(
        [&] { return connection.CommandLine().value_or(L"").find(ListedPaths()[row]) != std::wstring::npos; }));
  }
}

}  // namespace
}  // namespace tallow::gui
