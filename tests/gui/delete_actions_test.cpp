// What the popup menu's deletes do to real files in the cache, through the real window, its
// question and its progress dialog; the dialogs answered as a user would.
#include "file_actions_fixture.h"

namespace tallow::gui {
namespace {

TEST_F(FileActionsTest, ALongDeleteAllShowsOneProgressDialogAndStopsOnCancel) {
  constexpr size_t kFiles = 60;
  for (size_t i = 0; i < kFiles; ++i) ASSERT_TRUE(bucket_.AddFile(L"slow-" + std::to_wstring(i) + L"[1].gtslow"));
  SetWindowTextW(Control(IDC_TEXT1), L".gtslow");
  SendMessageW(Control(IDC_COMMAND3), BM_CLICK, 0, 0);
  PumpPending();
  ASSERT_EQ(window().list1().Count(), static_cast<int>(kFiles));
  platform_.remove_delay_ms = 100;
  std::vector<SeenDialog> seen;
  {
    DialogWatcher answerer({DialogWatcher::Press(IDYES), DialogWatcher::Press(IDCANCEL)});
    SendMessageW(Window(), WM_COMMAND, IDM_DELALL, 0);
    seen = answerer.Stop();
  }
  ASSERT_EQ(seen.size(), 2u);  // the question, then one progress dialog
  EXPECT_EQ(seen[1].title, L"全部删除");
  const size_t left = bucket_.Listing().size() - 2;  // without "." and ".."
  EXPECT_GT(left, 0u);
  EXPECT_LT(left, kFiles);
  EXPECT_EQ(window().list1().Count(), static_cast<int>(left));  // the scan followed
  EXPECT_EQ(platform_.scans, 2);
  EXPECT_TRUE(IsWindowEnabled(Window()));
}

// Another program picks another type and searches, through the window's messages, while the
// question is up and again while the progress dialog is: what goes is what the question named.
TEST_F(FileActionsTest, DeleteAllDeletesWhatItAskedAboutWhateverIsSentMeanwhile) {
  for (int i = 0; i < 40; ++i) ASSERT_TRUE(bucket_.AddFile(L"slow-" + std::to_wstring(i) + L"[1].gtslow"));
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(bucket_.AddFile(L"other-" + std::to_wstring(i) + L"[1].gtother"));
  for (const wchar_t* extension : {L".gtother", L".gtslow"}) {
    SetWindowTextW(Control(IDC_TEXT1), extension);
    SendMessageW(Control(IDC_COMMAND3), BM_CLICK, 0, 0);
    PumpPending();
  }
  ASSERT_EQ(window().list1().Count(), 40);
  platform_.remove_delay_ms = 50;
  auto meddle_then = [this](DialogWatcher::Answer then) -> DialogWatcher::Answer {
    return [this, then](HWND box) {
      HWND combo = Control(IDC_COMBO1);
      SendMessageW(combo, CB_SETCURSEL, 16, 0);  // .gtother
      SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(IDC_COMBO1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
      SendMessageW(Control(IDC_COMMAND1), BM_CLICK, 0, 0);
      SendMessageW(Window(), WM_COMMAND, IDM_DELALL, 0);
      return then(box);
    };
  };
  {
    DialogWatcher answerer({meddle_then(DialogWatcher::Press(IDYES)), meddle_then([](HWND) { return true; })});
    SendMessageW(Window(), WM_COMMAND, IDM_DELALL, 0);
    EXPECT_EQ(answerer.Stop().size(), 2u);  // the question, then the progress
  }
  EXPECT_EQ(bucket_.Listing().size(), 2u + 3u);  // ".", "..", and every .gtother file
  EXPECT_EQ(window().list1().Count(), 3);        // the scan afterwards follows the chooser
  EXPECT_EQ(platform_.scans, 3);
}

TEST_F(FileActionsTest, DeleteRemovesOnlyListedFilesThatCanGo) {
  const std::wstring content = TestBucket::ContentFolder();
  // The cache's own files beside the buckets, made only where the prefix has none yet.
  std::vector<std::unique_ptr<OwnedPath>> cache_files;
  for (const wchar_t* name : {L"index.dat", L"desktop.ini", L"stray[1].gif"}) {
    if (Exists(content + name)) continue;
    ASSERT_TRUE(WriteBytes(content + name, "cache"));
    cache_files.push_back(std::make_unique<OwnedPath>(content + name));
    if (name == std::wstring_view(L"desktop.ini")) {
      SetFileAttributesW((content + name).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    }
  }

  for (const wchar_t* name : {L"a[1].gif", L"b[1].gif", L"图片[1].gif", L"c[1].jpg", L"e[1].GIF", L"held[1].gif"}) {
    ASSERT_TRUE(bucket_.AddFile(name));
  }
  ASSERT_TRUE(bucket_.AddFile(L"ro[1].gif", "x", FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(bucket_.AddFile(L"desktop.ini", "x", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(bucket_.AddFolder(L"sub.gif"));
  ASSERT_TRUE(bucket_.AddFolder(L"plain"));
  ASSERT_TRUE(bucket_.AddFile(L"sub.gif\\inner[1].gif"));
  // Open in another program that does not share deletion.
  const win32::UniqueHandle held(
      win32::NullIfInvalid(CreateFileW((bucket_.path() + L"held[1].gif").c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr)));
  ASSERT_TRUE(held);

  ASSERT_TRUE(PickByKeyboard(L".gif"));
  const std::wstring& b = bucket_.path();
  ASSERT_EQ(MyListedPaths(), Sorted({b + L"a[1].gif", b + L"b[1].gif", b + L"图片[1].gif", b + L"held[1].gif",
                                     b + L"ro[1].gif", b + L"sub.gif"}));

  // One: exactly the current file.
  Strings expected = Sorted(bucket_.Listing());
  ASSERT_TRUE(Select(b + L"b[1].gif"));
  SendMessageW(Window(), WM_COMMAND, IDM_DEL, 0);
  expected.erase(std::find(expected.begin(), expected.end(), L"b[1].gif"));
  EXPECT_EQ(Sorted(bucket_.Listing()), expected);
  EXPECT_EQ(platform_.scans, 2);
  // A read-only file stays, and the user is told which.
  {
    DialogWatcher watcher({DialogWatcher::Press(IDOK)});
    ASSERT_TRUE(Select(b + L"ro[1].gif"));
    SendMessageW(Window(), WM_COMMAND, IDM_DEL, 0);
    const std::vector<SeenDialog> seen = watcher.Stop();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].text.starts_with(L"未能删除此文件：\r\nro[1].gif\r\n\r\n")) << seen[0].text;
  }
  EXPECT_TRUE(Exists(b + L"ro[1].gif"));

  // All, from the real menu, after asking: No leaves everything as it was.
  ASSERT_TRUE(Select(b + L"a[1].gif"));
  const std::wstring question = L"确定要永久删除列出的 " + std::to_wstring(ListedPaths().size()) + L" 个文件吗？";
  {
    DialogWatcher watcher({DialogWatcher::ChooseMenuItem(Window(), 2), ReadChoicesThenPress(IDNO)});
    ASSERT_TRUE(Click(list(), EntryPoint(list(), window().list1().CurrentIndex()), /*right=*/true));
    ASSERT_TRUE(PumpUntil([&] { return platform_.questions.size() == 1; }));
    const std::vector<SeenDialog> seen = watcher.Stop();
    ASSERT_EQ(seen.size(), 2u);  // the menu, then the question
    ExpectCautionBox(seen[1], question);
  }
  EXPECT_EQ(Sorted(bucket_.Listing()), expected);
  EXPECT_EQ(platform_.scans, 3);
  {
    // A quick delete shows no progress dialog; its end tells what stayed.
    DialogWatcher watcher({DialogWatcher::Press(IDYES), DialogWatcher::Press(IDOK)});
    SendMessageW(Window(), WM_COMMAND, IDM_DELALL, 0);
    EXPECT_EQ(watcher.Stop().size(), 2u);
  }
  EXPECT_EQ(platform_.scans, 4);

  EXPECT_EQ(Sorted(bucket_.Listing()), Sorted({L".", L"..", L"c[1].jpg", L"e[1].GIF", L"held[1].gif", L"ro[1].gif",
                                               L"desktop.ini", L"sub.gif", L"plain"}));
  EXPECT_TRUE(Exists(b + L"sub.gif\\inner[1].gif"));
  for (const wchar_t* name : {L"index.dat", L"desktop.ini", L"stray[1].gif"}) EXPECT_TRUE(Exists(content + name));
  // What could not go is listed again by the scan that followed.
  EXPECT_EQ(MyListedPaths(), Sorted({b + L"held[1].gif", b + L"ro[1].gif", b + L"sub.gif"}));
  EXPECT_NE(platform_.messages.at(1).text.find(L"个未能删除：\r\n\r\n"), std::wstring::npos);
}

}  // namespace
}  // namespace tallow::gui
