// What the popup menu's actions do to real files in the cache, through the real window, the
// folder picker and the shell's copy; the dialogs answered as a user would.
#include <algorithm>
#include <atomic>

#include "gui_harness.h"
#include "platform/win32/handles.h"
#include "res/resource.h"

namespace tallow::gui {
namespace {

using Strings = std::vector<std::wstring>;
using testing::SampleBytes;

Strings Sorted(Strings names) {
  std::sort(names.begin(), names.end());
  return names;
}

// A file or folder the test makes outside its bucket, removed with the test.
struct OwnedPath {
  explicit OwnedPath(std::wstring p) : path(std::move(p)) {}
  ~OwnedPath() { RemoveTree(path); }
  OwnedPath(const OwnedPath&) = delete;
  OwnedPath& operator=(const OwnedPath&) = delete;
  std::wstring path;
};

class FileActionsTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    platform_.real_message_boxes = true;
    platform_.real_shell = true;
  }

  HWND list() const { return Control(IDC_LIST1); }

  // Makes the listed file current with a click on its name.
  bool Select(const std::wstring& path) {
    const Strings paths = ListedPaths();
    for (size_t i = 0; i < paths.size(); ++i) {
      if (paths[i] != path) continue;
      SendMessageW(list(), LB_SETTOPINDEX, i, 0);
      PumpPending();
      return Click(list(), EntryPoint(list(), static_cast<int>(i))) && window().form().CurrentPath() == path;
    }
    return false;
  }

  Strings MyListedPaths() {
    Strings mine;
    for (const std::wstring& path : ListedPaths()) {
      if (path.starts_with(bucket_.path())) mine.push_back(path);
    }
    return Sorted(mine);
  }

  static std::wstring TempFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return temp;
  }

  // Reads what a Yes-or-No box offers, then answers it.
  DialogWatcher::Answer ReadChoicesThenPress(int button) {
    return [this, button](HWND box) {
      auto is_default = [box](int id) {
        return (GetWindowLongW(GetDlgItem(box, id), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
      };
      no_is_default_ = is_default(IDNO) && !is_default(IDYES);
      yes_and_no_only_ = GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO) && !GetDlgItem(box, IDOK);
      testing::PressButton(box, button);
      return true;
    };
  }

  // Real input whose release a modal box of the window may take: done says it had its effect.
  bool SendUntil(std::vector<INPUT> inputs, const std::function<bool()>& done) {
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size() &&
           PumpUntil(done);
  }
  static INPUT Input(DWORD type, WORD key, DWORD flags) {
    INPUT input{};
    input.type = type;
    if (type == INPUT_KEYBOARD) {
      input.ki.wVk = key;
      input.ki.dwFlags = flags;
    } else {
      input.mi.dwFlags = flags;
    }
    return input;
  }

  void ExpectCautionBox(const SeenDialog& box, const std::wstring& text) {
    EXPECT_EQ(box.title, L"提醒 —— Quistemar");
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.icon, LoadIconW(nullptr, IDI_EXCLAMATION));
    EXPECT_EQ(box.owner, Window());
    EXPECT_TRUE(no_is_default_);
    EXPECT_TRUE(yes_and_no_only_);
  }

  std::atomic<bool> no_is_default_{false};
  std::atomic<bool> yes_and_no_only_{false};
  TestBucket bucket_;
  OwnedPath target_{TempFolder() + L"保存 目标 " + std::to_wstring(GetCurrentProcessId())};
};

TEST_F(FileActionsTest, SaveCopiesTheExactBytesUnderAnyNameAndSaysSo) {
  const std::string bytes = SampleBytes();
  const Strings names = {L"缓存图片[1].gif", L"\U00020000 表情\U0001F600[1].gif"};
  for (const std::wstring& name : names) ASSERT_TRUE(bucket_.AddFile(name, bytes));
  ASSERT_TRUE(CreateDirectoryW(target_.path.c_str(), nullptr));
  ASSERT_TRUE(PickByKeyboard(L".gif"));

  for (size_t i = 0; i < names.size(); ++i) {
    const std::wstring& name = names[i];
    ASSERT_TRUE(Select(bucket_.path() + name)) << i;
    std::vector<DialogWatcher::Answer> answers = {DialogWatcher::PickFolder(target_.path), DialogWatcher::Press(IDOK)};
    // The first time from the popup menu's first item, as the user picks it.
    if (i == 0) answers.insert(answers.begin(), DialogWatcher::ChooseMenuItem(Window(), 0));
    DialogWatcher answerer(std::move(answers));
    if (i == 0) {
      ASSERT_TRUE(Click(list(), EntryPoint(list(), window().list1().CurrentIndex()), /*right=*/true));
      ASSERT_TRUE(PumpUntil([&] { return platform_.messages.size() == 1; }));
    } else {
      SendMessageW(Window(), WM_COMMAND, IDM_COPYTO, 0);
    }
    std::vector<SeenDialog> seen = answerer.Stop();
    if (i == 0) {
      ASSERT_FALSE(seen.empty());
      EXPECT_EQ(seen[0].menu_items.size(), 3u);
      seen.erase(seen.begin());
    }

    ASSERT_EQ(seen.size(), 2u) << i;
    EXPECT_NE(std::find(seen[0].statics.begin(), seen[0].statics.end(), L"选择保存路径"), seen[0].statics.end());
    EXPECT_EQ(seen[0].owner, Window());
    EXPECT_EQ(seen[1].title, L"恭喜");
    EXPECT_EQ(seen[1].text, L"保存   " + name + L"   成功");
    EXPECT_EQ(seen[1].icon, LoadIconW(nullptr, IDI_INFORMATION));
    EXPECT_EQ(seen[1].owner, Window());
    EXPECT_EQ(ReadBytes(target_.path + L'\\' + name), bytes) << i;
    EXPECT_EQ(ReadBytes(bucket_.path() + name), bytes) << i;
  }

  // Into a drive root, where the path gets a doubled separator before the name.
  const OwnedPath in_root(L"C:\\" + names[0]);
  ASSERT_FALSE(Exists(in_root.path));
  {
    ASSERT_TRUE(Select(bucket_.path() + names[0]));
    DialogWatcher answerer({DialogWatcher::PickFolder(L"C:\\"), DialogWatcher::Press(IDOK)});
    SendMessageW(Window(), WM_COMMAND, IDM_COPYTO, 0);
    const std::vector<SeenDialog> seen = answerer.Stop();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].text, L"保存   " + names[0] + L"   成功");
  }
  EXPECT_EQ(ReadBytes(in_root.path), bytes);

  EXPECT_EQ(platform_.messages.size(), 3u);
  EXPECT_EQ(platform_.scans, 1);  // saving scans nothing

  // The copies carry the mark of the web where the volume keeps named streams; elsewhere (Wine)
  // nothing is written, not even a file by the stream's name.
  DWORD volume_flags = 0;
  ASSERT_TRUE(GetVolumeInformationW(L"C:\\", nullptr, 0, nullptr, nullptr, &volume_flags, nullptr, 0));
  const std::optional<std::string> mark =
      volume_flags & FILE_NAMED_STREAMS ? std::optional<std::string>("[ZoneTransfer]\r\nZoneId=3\r\n") : std::nullopt;
  for (const std::wstring& name : names) EXPECT_EQ(ReadBytes(target_.path + L'\\' + name + L":Zone.Identifier"), mark);
}

TEST_F(FileActionsTest, SaveThatCopiesNothingClaimsNoSuccess) {
  // Nothing current: the reminder, and no picker.
  {
    DialogWatcher answerer({DialogWatcher::Press(IDOK)});
    window().form().OnCopytoClick();
    const std::vector<SeenDialog> seen = answerer.Stop();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, L"提示……");
    EXPECT_EQ(seen[0].text, L"请先选定文件，然后保存！");
    EXPECT_EQ(seen[0].icon, LoadIconW(nullptr, IDI_EXCLAMATION));
  }

  ASSERT_TRUE(bucket_.AddFile(L"logo[1].gif", "new bytes"));
  ASSERT_TRUE(CreateDirectoryW(target_.path.c_str(), nullptr));
  const std::wstring kept = target_.path + L"\\logo[1].gif";
  ASSERT_TRUE(WriteBytes(kept, "old bytes"));
  ASSERT_TRUE(PickByKeyboard(L".gif"));
  ASSERT_TRUE(Select(bucket_.path() + L"logo[1].gif"));

  // The picker cancelled: nothing more.
  {
    DialogWatcher answerer({DialogWatcher::Press(IDCANCEL)});
    SendMessageW(Window(), WM_COMMAND, IDM_COPYTO, 0);
    EXPECT_EQ(answerer.Stop().size(), 1u);
  }
  // The replacement declined in the shell's prompt, which belongs to the main window.
  {
    DialogWatcher answerer({DialogWatcher::PickFolder(target_.path), DialogWatcher::Press(IDNO)});
    SendMessageW(Window(), WM_COMMAND, IDM_COPYTO, 0);
    const std::vector<SeenDialog> seen = answerer.Stop();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].owner, Window());
  }
  EXPECT_EQ(ReadBytes(kept), "old bytes");
  EXPECT_EQ(ReadBytes(bucket_.path() + L"logo[1].gif"), "new bytes");

  // A folder of the file's name in the picked folder: the shell would copy into it.
  RemoveTree(kept);
  ASSERT_TRUE(testing::MakeFolder(kept));
  {
    DialogWatcher answerer({DialogWatcher::PickFolder(target_.path)});
    SendMessageW(Window(), WM_COMMAND, IDM_COPYTO, 0);
    EXPECT_EQ(answerer.Stop().size(), 1u);
  }
  EXPECT_FALSE(Exists(kept + L"\\logo[1].gif"));
  EXPECT_EQ(platform_.messages.size(), 1u);  // the reminder only
}

TEST_F(FileActionsTest, SaveOrOpenNeverReachesAnotherFileThanTheListedOne) {
  platform_.real_shell = true;
  ASSERT_TRUE(bucket_.AddFile(L"trail[1].gif", "namesake"));
  // A name Windows itself would not make, but a cache seen through other systems can hold.
  ASSERT_TRUE(WriteBytes(L"\\\\?\\" + bucket_.path() + L"trail[1].gif.", "dotted"));
  ASSERT_TRUE(bucket_.AddFolder(L"sub.gif"));
  ASSERT_TRUE(CreateDirectoryW(target_.path.c_str(), nullptr));
  ASSERT_TRUE(PickByKeyboard(L".gif"));

  // A folder is not saved: no picker, no copy, no success.
  ASSERT_TRUE(Select(bucket_.path() + L"sub.gif"));
  {
    DialogWatcher answerer({DialogWatcher::PickFolder(target_.path), DialogWatcher::Press(IDOK)});
    SendMessageW(Window(), WM_COMMAND, IDM_COPYTO, 0);
    EXPECT_TRUE(answerer.Stop().empty());
  }
  EXPECT_FALSE(Exists(target_.path + L"\\sub.gif"));

  // The dotted name: its own bytes or nothing, never its namesake's.
  const std::wstring dotted = bucket_.path() + L"trail[1].gif.";
  ASSERT_TRUE(Select(dotted));
  {
    DialogWatcher answerer({DialogWatcher::PickFolder(target_.path), DialogWatcher::Press(IDOK)});
    SendMessageW(Window(), WM_COMMAND, IDM_COPYTO, 0);
    answerer.Stop();
  }
  const std::optional<std::string> copy = ReadBytes(target_.path + L"\\trail[1].gif");
  if (copy) {
    EXPECT_EQ(*copy, "dotted");
  }
  EXPECT_EQ(platform_.messages.size(), copy ? 1u : 0u);

  platform_.real_shell = false;  // what would be opened is recorded only
  ASSERT_TRUE(DoubleClick(list(), EntryPoint(list(), window().list1().CurrentIndex())));
  for (const std::wstring& opened : platform_.opened) {
    EXPECT_NE(opened, bucket_.path() + L"trail[1].gif");
    EXPECT_EQ(ReadBytes(opened), "dotted");
  }
}

TEST_F(FileActionsTest, OpeningWhatCanRunCodeAsksFirstByMouseOrKeyboard) {
  platform_.real_shell = false;  // what would be opened is recorded only
  const std::wstring anim = bucket_.path() + L"anim[1].gif.exe";
  ASSERT_TRUE(bucket_.AddFile(L"anim[1].gif.exe"));
  ASSERT_TRUE(bucket_.AddFile(L"plain[1].gif"));
  ASSERT_TRUE(PickByKeyboard(L".gif"));
  ASSERT_TRUE(Select(anim));
  {
    DialogWatcher answerer({ReadChoicesThenPress(IDNO)});
    POINT at = EntryPoint(list(), window().list1().CurrentIndex());
    ClientToScreen(list(), &at);
    SetCursorPos(at.x, at.y);
    const DWORD down = MOUSEEVENTF_LEFTDOWN, up = MOUSEEVENTF_LEFTUP;
    ASSERT_TRUE(SendUntil({Input(INPUT_MOUSE, 0, down), Input(INPUT_MOUSE, 0, up), Input(INPUT_MOUSE, 0, down),
                           Input(INPUT_MOUSE, 0, up)},
                          [&] { return platform_.questions.size() == 1; }));
    const std::vector<SeenDialog> seen = answerer.Stop();
    ASSERT_EQ(seen.size(), 1u);
    ExpectCautionBox(seen[0],
                     L"此文件可能会运行程序：\r\nanim[1].gif.exe\r\n\r\n它来自网页缓存，来源不明。确定要打开吗？");
  }
  EXPECT_TRUE(platform_.opened.empty());
  {
    DialogWatcher answerer({DialogWatcher::Press(IDYES)});
    SetFocus(list());
    ASSERT_TRUE(SendUntil({Input(INPUT_KEYBOARD, VK_RETURN, 0), Input(INPUT_KEYBOARD, VK_RETURN, KEYEVENTF_KEYUP)},
                          [&] { return platform_.questions.size() == 2; }));
    EXPECT_EQ(answerer.Stop().size(), 1u);
  }
  EXPECT_EQ(platform_.opened, Strings{anim});

  ASSERT_TRUE(Select(bucket_.path() + L"plain[1].gif"));
  ASSERT_TRUE(DoubleClick(list(), EntryPoint(list(), window().list1().CurrentIndex())));
  EXPECT_EQ(platform_.opened.size(), 2u);  // at once
  EXPECT_EQ(platform_.questions.size(), 2u);
}

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
  EXPECT_EQ(window().list1().Count(), 3);         // the scan afterwards follows the chooser
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
  EXPECT_EQ(platform_.scans, 2);
  {
    // A quick delete shows no progress dialog.
    DialogWatcher watcher({DialogWatcher::Press(IDYES)});
    SendMessageW(Window(), WM_COMMAND, IDM_DELALL, 0);
    EXPECT_EQ(watcher.Stop().size(), 1u);
  }
  EXPECT_EQ(platform_.scans, 3);

  EXPECT_EQ(Sorted(bucket_.Listing()), Sorted({L".", L"..", L"c[1].jpg", L"e[1].GIF", L"held[1].gif", L"ro[1].gif",
                                               L"desktop.ini", L"sub.gif", L"plain"}));
  EXPECT_TRUE(Exists(b + L"sub.gif\\inner[1].gif"));
  for (const wchar_t* name : {L"index.dat", L"desktop.ini", L"stray[1].gif"}) EXPECT_TRUE(Exists(content + name));
  // What could not go is listed again by the scan that followed.
  EXPECT_EQ(MyListedPaths(), Sorted({b + L"held[1].gif", b + L"ro[1].gif", b + L"sub.gif"}));
  EXPECT_TRUE(platform_.messages.empty());
}

}  // namespace
}  // namespace tallow::gui
