// Command3 with what a user may type into Text1, the instructions of Command2, and a
// double-click that opens a listed file in the program registered for its type.
#include "gui_harness.h"
#include "res/resource.h"
#include "support/file_type.h"

namespace tallow::gui {
namespace {

class Text1CommandsTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    platform_.real_message_boxes = true;
  }

  // Types the text into Text1 and clicks Command3; the dialogs it shows, answered with OK.
  std::vector<SeenDialog> AddExtension(const std::wstring& text) {
    SetWindowTextW(Control(IDC_TEXT1), text.c_str());
    DialogWatcher answerer({DialogWatcher::Press(IDOK)});
    SendMessageW(Control(IDC_COMMAND3), BM_CLICK, 0, 0);
    PumpPending();
    return answerer.Stop();
  }

  StringList& combo() { return window().combo1(); }
};

TEST_F(Text1CommandsTest, Command3TakesAnyTextButDotsAndNeverHangs) {
  for (const wchar_t* dots : {L".", L".."}) {
    const std::vector<SeenDialog> seen = AddExtension(dots);
    ASSERT_EQ(seen.size(), 1u) << dots;
    EXPECT_EQ(seen[0].text, L"请输入完整后缀名，如：.wma        ");
    EXPECT_EQ(seen[0].title, L"提醒 —— Quistemar");
    EXPECT_EQ(seen[0].icon, LoadIconW(nullptr, IDI_INFORMATION));
    EXPECT_EQ(combo().Count(), 16);
    EXPECT_EQ(combo().CurrentIndex(), -1);
  }
  EXPECT_EQ(platform_.scans, 0);

  TestBucket bucket;
  ASSERT_TRUE(bucket.AddFile(L"clip[1].wmv"));
  ASSERT_TRUE(bucket.AddFile(L"dup[1].gif"));
  const size_t messages = platform_.messages.size();

  EXPECT_TRUE(AddExtension(L"wmv").empty());
  EXPECT_EQ(combo().Count(), 17);
  EXPECT_EQ(combo().CurrentText(), L"wmv");
  EXPECT_EQ(WindowText(Control(IDC_TEXT1)), L"wmv");
  EXPECT_EQ(platform_.scans, 1);
  EXPECT_EQ(ListedPaths().size(), 1u);

  // An emptied Text1 is an extension too; its search gives the one message and scans nothing.
  const std::vector<SeenDialog> empty = AddExtension(L"");
  ASSERT_EQ(empty.size(), 1u);
  EXPECT_EQ(empty[0].text, L"请选择完整后缀名，如：.flv        ");
  EXPECT_EQ(combo().Count(), 18);
  EXPECT_EQ(combo().CurrentIndex(), 17);
  EXPECT_EQ(platform_.scans, 1);
  EXPECT_EQ(platform_.messages.size(), messages + 1);

  // A built-in extension again: appended, the new entry current.
  EXPECT_TRUE(AddExtension(L".gif").empty());
  EXPECT_EQ(combo().Count(), 19);
  EXPECT_EQ(combo().CurrentIndex(), 18);
  EXPECT_EQ(combo().Item(0), L".gif");
  EXPECT_EQ(ListedPaths().size(), 1u);
  EXPECT_EQ(platform_.scans, 2);

  const std::wstring long_text = L".gif" + std::wstring(9996, L'z');
  const std::wstring control_text = L"\t\x01.g\x1f";
  for (const std::wstring& text : {long_text, control_text}) {
    EXPECT_TRUE(AddExtension(text).empty());
    EXPECT_EQ(combo().CurrentText(), text);
    EXPECT_EQ(window().list1().Count(), 0);
  }
  EXPECT_EQ(combo().Count(), 21);
  EXPECT_EQ(platform_.scans, 4);
  EXPECT_EQ(platform_.messages.size(), messages + 1);
  EXPECT_TRUE(IsWindow(Window()));
}

TEST_F(Text1CommandsTest, InstructionsShowTheirTextThenLeaveTheFocusOnTheNames) {
  SetFocus(Control(IDC_TEXT1));
  DialogWatcher answerer({DialogWatcher::Press(IDOK)});
  SendMessageW(Control(IDC_COMMAND2), BM_CLICK, 0, 0);
  const std::vector<SeenDialog> seen = answerer.Stop();

  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text,
            L"双击选中,以系统默认程序御览.鼠标右键单击选中,保存!\r\n\r\n"
            L"在文本框输入自定义(如：wmv)，即可查找本工具没有添加的查找资源!");
  EXPECT_EQ(seen[0].title, L"使用说明  -- Quistemar");
  EXPECT_EQ(seen[0].icon, LoadIconW(nullptr, IDI_INFORMATION));
  EXPECT_EQ(seen[0].owner, Window());
  PumpPending();
  EXPECT_EQ(GetFocus(), Control(IDC_LIST1));
  EXPECT_EQ(platform_.scans, 0);
}

// A file type of the test's own, opened by the helper program that records its command line.
class OpenForRealTest : public GuiTest {
 protected:
  static constexpr const wchar_t* kExtension = L".tallowgui";
  static constexpr const wchar_t* kProgId = L"Tallowmere.GuiTestFile";

  void SetUp() override {
    GuiTest::SetUp();
    platform_.real_shell = true;
    ASSERT_TRUE(file_type_.Register());
  }

  testing::RecordingFileType file_type_{kExtension, kProgId};
};

TEST_F(OpenForRealTest, DoubleClickStartsTheRegisteredProgramWithTheFullPath) {
  TestBucket bucket;
  // A program's bytes, which a shell that tries the file itself first would run.
  ASSERT_TRUE(bucket.AddFile(std::wstring(L"打开 测试[1]") + kExtension, *ReadBytes(file_type_.Helper())));
  SetWindowTextW(Control(IDC_TEXT1), kExtension);
  SendMessageW(Control(IDC_COMMAND3), BM_CLICK, 0, 0);
  PumpPending();
  ASSERT_EQ(ListedPaths().size(), 1u);
  const std::wstring path = ListedPaths()[0];
  ASSERT_EQ(path, bucket.path() + L"打开 测试[1]" + kExtension);

  HWND list = Control(IDC_LIST1);
  ASSERT_TRUE(DoubleClick(list, EntryPoint(list, 0)));
  ASSERT_EQ(platform_.opened, std::vector<std::wstring>{path});
  std::optional<std::wstring> command_line;
  ASSERT_TRUE(PumpUntil([&] { return (command_line = file_type_.CommandLine()).has_value(); }));
  EXPECT_NE(command_line->find(L"\" \"" + path + L'"'), std::wstring::npos)
      << *command_line;  // an argument, not the program
}

}  // namespace
}  // namespace tallow::gui
