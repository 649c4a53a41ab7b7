// The names list's mouse and keyboard actions on a few files of a type of the test's own: open,
// menu, delete, and input given while a scan holds the window.
#include "file_actions_fixture.h"

namespace tallow::gui {
namespace {

// A few files of an extension of the test's own, added through Text1 and Command3.
class CustomExtensionTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    for (const wchar_t* name : {L"one[1].gtq", L"two[1].gtq", L"three[1].gtq"}) ASSERT_TRUE(bucket_.AddFile(name));
    SetWindowTextW(Control(IDC_TEXT1), L".gtq");
    SendMessageW(Control(IDC_COMMAND3), BM_CLICK, 0, 0);
    PumpPending();
    ASSERT_EQ(window().list1().Count(), 3);
  }
  HWND list() const { return Control(IDC_LIST1); }
  TestBucket bucket_;
};

TEST_F(CustomExtensionTest, AddingAnExtensionSelectsItAndScansOnce) {
  EXPECT_EQ(window().combo1().Count(), 17);
  EXPECT_EQ(window().combo1().CurrentIndex(), 16);
  EXPECT_EQ(window().combo1().CurrentText(), L".gtq");
  EXPECT_EQ(WindowText(Control(IDC_TEXT1)), L".gtq");
  EXPECT_EQ(platform_.scans, 1);
  EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(CustomExtensionTest, TypingSelectsTheCharacterAfterTheCaret) {
  HWND text1 = Control(IDC_TEXT1);
  SetFocus(text1);
  SendMessageW(text1, EM_SETSEL, 1, 1);
  ASSERT_TRUE(PressKey('W'));  // ".wgtq": the caret after the w, the g selected
  EXPECT_EQ(WindowText(text1), L".wgtq");
  DWORD start = 0, end = 0;
  SendMessageW(text1, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 2u);
  EXPECT_EQ(end, 3u);

  SendMessageW(text1, EM_SETSEL, 5, 5);
  ASSERT_TRUE(PressKey('X'));  // at the end there is nothing to select
  SendMessageW(text1, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(WindowText(text1), L".wgtqx");
  EXPECT_EQ(start, 6u);
  EXPECT_EQ(end, 6u);
}

TEST_F(CustomExtensionTest, DoubleClickBelowTheLastNameOpensTheCurrentFile) {
  ASSERT_TRUE(Click(list(), EntryPoint(list(), 1)));
  ASSERT_EQ(window().list1().CurrentIndex(), 1);
  RECT client{};
  GetClientRect(list(), &client);
  ASSERT_TRUE(DoubleClick(list(), {client.right / 2, client.bottom - 4}));
  ASSERT_EQ(platform_.opened.size(), 1u);
  EXPECT_EQ(platform_.opened[0], window().form().CurrentPath());
  EXPECT_EQ(platform_.scans, 1);  // opening scans nothing
}

TEST_F(CustomExtensionTest, RightClickBelowTheNamesShowsAMenuOnlyWithACurrentName) {
  RECT client{};
  GetClientRect(list(), &client);
  const POINT below = {client.right / 2, client.bottom - 4};
  {
    DialogWatcher watcher;
    ASSERT_TRUE(Click(list(), below, /*right=*/true));
    EXPECT_TRUE(watcher.Stop().empty());
    EXPECT_EQ(window().list1().CurrentIndex(), -1);
  }
  ASSERT_TRUE(Click(list(), EntryPoint(list(), 1)));
  DialogWatcher watcher({DialogWatcher::ChooseMenuItem(Window())});
  ASSERT_TRUE(Click(list(), below, /*right=*/true));
  EXPECT_EQ(watcher.Wait().size(), 1u);
  EXPECT_EQ(window().list1().CurrentIndex(), 1);
}

TEST_F(CustomExtensionTest, EnterOpensTheFocusedFileAlone) {
  SetFocus(list());
  ASSERT_TRUE(PressKey(VK_RETURN));  // nothing current: nothing opened
  ASSERT_TRUE(PressKey(VK_DOWN));
  ASSERT_TRUE(PressKey(VK_DOWN, VK_SHIFT));
  ASSERT_EQ(window().list1().SelectedRows().size(), 2u);
  ASSERT_TRUE(PressKey(VK_RETURN));
  ASSERT_EQ(platform_.opened.size(), 1u);
  EXPECT_EQ(platform_.opened[0], ListedPaths()[1]);
  EXPECT_EQ(platform_.scans, 1);
}

// A click and Delete given while a scan holds the window were meant for the list it replaced.
TEST_F(CustomExtensionTest, InputGivenDuringAScanIsDropped) {
  POINT at = EntryPoint(list(), 1);
  ClientToScreen(list(), &at);
  ASSERT_TRUE(Drag(at, at) && SendChord({VK_DELETE}));  // queued, not yet taken
  SendMessageW(Control(IDC_COMMAND1), BM_CLICK, 0, 0);
  PumpPending();
  EXPECT_TRUE(window().list1().SelectedRows().empty());
  EXPECT_TRUE(platform_.questions.empty());
}

TEST_F(CustomExtensionTest, DeleteKeyAsksAndRemovesOnlyTheCurrentFileOnYes) {
  ASSERT_TRUE(Click(list(), EntryPoint(list(), 1)));
  const std::wstring doomed = window().form().CurrentPath().value_or(L"");
  ASSERT_TRUE(PressKey(VK_DELETE));  // answered No
  ASSERT_EQ(platform_.questions.size(), 1u);
  EXPECT_NE(platform_.questions[0].text.find(doomed.substr(doomed.rfind(L'\\') + 1)), std::wstring::npos);
  EXPECT_TRUE(Exists(doomed));
  EXPECT_EQ(platform_.scans, 1);
  platform_.answer_yes = true;
  ASSERT_TRUE(PressKey(VK_DELETE));
  EXPECT_FALSE(Exists(doomed));
  EXPECT_EQ(window().list1().Count(), 2);  // scanned again, the other two still there
  EXPECT_EQ(platform_.scans, 2);
}

TEST_F(CustomExtensionTest, DeleteFromTheMenuRemovesTheCurrentFileAndScansAgain) {
  ASSERT_TRUE(Click(list(), EntryPoint(list(), 1)));
  const std::wstring doomed = window().form().CurrentPath().value_or(L"");
  DialogWatcher watcher({DialogWatcher::ChooseMenuItem(Window(), 1)});
  ASSERT_TRUE(Click(list(), EntryPoint(list(), 1), /*right=*/true));
  ASSERT_EQ(watcher.Wait().size(), 1u);
  ASSERT_TRUE(PumpUntil([&] { return platform_.scans == 2; }));

  EXPECT_EQ(GetFileAttributesW(doomed.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(window().list1().Count(), 2);
  for (const std::wstring& path : ListedPaths()) EXPECT_NE(path, doomed);
}

}  // namespace
}  // namespace tallow::gui
