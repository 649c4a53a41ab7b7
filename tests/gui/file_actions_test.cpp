// What the popup menu's actions do to real files in the cache, through the real window, the
// folder picker and the shell's copy; the dialogs answered as a user would.
#include <algorithm>

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
  EXPECT_EQ(platform_.messages.size(), 1u);  // the reminder only
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

  // All, from the real menu.
  ASSERT_TRUE(Select(b + L"a[1].gif"));
  DialogWatcher menu({DialogWatcher::ChooseMenuItem(Window(), 2)});
  ASSERT_TRUE(Click(list(), EntryPoint(list(), window().list1().CurrentIndex()), /*right=*/true));
  ASSERT_EQ(menu.Wait().size(), 1u);
  ASSERT_TRUE(PumpUntil([&] { return platform_.scans == 3; }));

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
