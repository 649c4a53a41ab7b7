// Opening through the real window with the machine's own associations: what Wine would start as
// a program asks first, the question names the file as it is spelled, why it asks and which
// program gets the file, and No opens nothing.
#include <algorithm>

#include "actions/open_listed.h"
#include "gui_harness.h"
#include "res/resource.h"
#include "support/file_type.h"

namespace tallow::gui {
namespace {

using OpenCautionTest = GuiTest;

TEST_F(OpenCautionTest, WhatWineWouldRunAsksAndNoOpensNothing) {
  const struct {
    std::wstring name, term;
    OpenCaution caution;
    std::wstring program;
  } cases[] = {
      // Wine takes the first letters of ".exex" for ".exe", and runs a program without an extension.
      {L"x.gif.exex", L".gif", OpenCaution::kNoProgram, L""},
      {L"wmvtool", L"wmv", OpenCaution::kNoExtension, L""},
      {L"pic\u202Efig.exe", L"fig.exe", OpenCaution::kDisguisedName, L""},
      // Its program acts on the file (connects to the host it names), registered as a viewer is.
      {L"host[1].tallowrdp", L"host[1]", OpenCaution::kNotMedia, L"record_args"},
      // A text is told no more than holds: Wine registers its program under the class alone.
      {L"notes[1].txt", L"notes[1]", OpenCaution::kNoProgram, L""},
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
    EXPECT_EQ(seen[0].text, OpenWarningText(c.name, c.caution, c.program));
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
