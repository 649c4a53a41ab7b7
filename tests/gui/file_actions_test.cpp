// What the popup menu's save and a double-click do to real files in the cache, through the real
// window, the folder picker and the shell's copy; the dialogs answered as a user would.
#include "actions/open_listed.h"
#include "actions/save_actions.h"
#include "file_actions_fixture.h"

namespace tallow::gui {
namespace {

using testing::SampleBytes;

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

  // Into a folder whose path runs past MAX_PATH: there, and not into the folder that its first
  // MAX_PATH - 1 characters name.
  const std::wstring deep = target_.path + L'\\' + std::wstring(150, L'd') + L'\\' + std::wstring(150, L'e');
  const std::wstring cut = L"\\\\?\\" + deep.substr(0, MAX_PATH - 1);
  for (const std::wstring& folder : {deep.substr(0, deep.rfind(L'\\')), deep}) {
    ASSERT_TRUE(testing::MakeFolder(L"\\\\?\\" + folder));
  }
  ASSERT_TRUE(testing::MakeFolder(cut));
  ASSERT_TRUE(WriteBytes(cut + L'\\' + names[0], "not saved here"));
  {
    ASSERT_TRUE(Select(bucket_.path() + names[0]));
    DialogWatcher answerer({DialogWatcher::PickFolder(deep), DialogWatcher::Press(IDOK)});
    SendMessageW(Window(), WM_COMMAND, IDM_COPYTO, 0);
    const std::vector<SeenDialog> seen = answerer.Stop();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].text, L"保存   " + names[0] + L"   成功");
  }
  EXPECT_EQ(ReadBytes(L"\\\\?\\" + deep + L'\\' + names[0]), bytes);
  EXPECT_EQ(ReadBytes(cut + L'\\' + names[0]), "not saved here");

  EXPECT_EQ(platform_.messages.size(), 4u);
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

TEST_F(FileActionsTest, SaveOfSeveralKeepsEveryFileAndWhatWasThere) {
  // A second bucket beside the test's own.
  const OwnedPath second(TestBucket::ContentFolder() + L"SAV" + bucket_.path().substr(bucket_.path().size() - 6, 5));
  ASSERT_TRUE(CreateDirectoryW(second.path.c_str(), nullptr));
  ASSERT_TRUE(bucket_.AddFile(L"logo[1].gif", "first logo"));
  ASSERT_TRUE(WriteBytes(second.path + L"\\logo[1].gif", "second logo"));
  ASSERT_TRUE(bucket_.AddFile(L"photo[1].gif", SampleBytes()));
  ASSERT_TRUE(CreateDirectoryW(target_.path.c_str(), nullptr));
  ASSERT_TRUE(WriteBytes(target_.path + L"\\logo[1].gif", "the user's"));
  ASSERT_TRUE(PickByKeyboard(L".gif"));
  ListedEntries picked{window().form().results().listing(), {}};
  Strings sources;
  int64_t written = 132000000000000000;  // in 2019
  const Strings paths = ListedPaths();
  for (size_t i = 0; i < paths.size(); ++i) {
    if (!paths[i].starts_with(bucket_.path()) && !paths[i].starts_with(second.path + L'\\')) continue;
    picked.indices.push_back(i);
    sources.push_back(paths[i]);
    ASSERT_TRUE(testing::SetWrittenAt(paths[i], written += 10000000));
  }
  ASSERT_EQ(sources.size(), 3u);

  DialogWatcher answerer({DialogWatcher::PickFolder(target_.path), DialogWatcher::Press(IDOK)});
  SaveSelected(platform_, picked);
  const std::vector<SeenDialog> seen = answerer.Stop();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].title, L"恭喜");
  EXPECT_EQ(seen[1].text, L"保存   3 个文件   成功");
  // The user's file stays; the two logos go beside it in the order listed.
  EXPECT_EQ(ReadBytes(target_.path + L"\\logo[1].gif"), "the user's");
  const Strings logo_names = {L"logo[1] (2).gif", L"logo[1] (3).gif"};
  size_t logos = 0;
  for (const std::wstring& source : sources) {
    const std::wstring copy =
        target_.path + L'\\' + (source.ends_with(L"logo[1].gif") ? logo_names[logos++] : L"photo[1].gif");
    EXPECT_EQ(ReadBytes(copy), ReadBytes(source)) << copy;
    EXPECT_EQ(testing::WrittenAt(copy), testing::WrittenAt(source)) << copy;
  }
}

TEST_F(FileActionsTest, SaveGoesIntoThePickedFolderItselfAndRemovesOnlyWhatItWrote) {
  ASSERT_TRUE(bucket_.AddFile(L"logo[1].gif", "cached"));
  // A folder whose name ends in a dot, beside the folder its plain path would be read as.
  const std::wstring dotted = L"\\\\?\\" + target_.path + L"\\pick.";
  const std::wstring sibling = target_.path + L"\\pick";
  ASSERT_TRUE(CreateDirectoryW(target_.path.c_str(), nullptr));
  ASSERT_TRUE(testing::MakeFolder(dotted));
  ASSERT_TRUE(testing::MakeFolder(sibling));
  ASSERT_TRUE(WriteBytes(sibling + L"\\logo[1].gif", "the user's"));
  ASSERT_TRUE(PickByKeyboard(L".gif"));
  ASSERT_TRUE(Select(bucket_.path() + L"logo[1].gif"));
  platform_.picked_folder = target_.path + L"\\pick.";
  // Saved, then saved again over a changed file there, with Yes to the question.
  for (const bool replace : {false, true}) {
    DialogWatcher answers(
        replace ? std::vector<DialogWatcher::Answer>{DialogWatcher::Press(IDYES), DialogWatcher::Press(IDOK)}
                : std::vector<DialogWatcher::Answer>{DialogWatcher::Press(IDOK)});
    SendMessageW(Window(), WM_COMMAND, IDM_COPYTO, 0);
    const std::vector<SeenDialog> seen = answers.Stop();
    ASSERT_EQ(seen.size(), replace ? 2u : 1u);
    EXPECT_EQ(seen.back().text, L"保存   logo[1].gif   成功");
    EXPECT_EQ(ReadBytes(dotted + L"\\logo[1].gif"), "cached");
    EXPECT_EQ(ReadBytes(sibling + L"\\logo[1].gif"), "the user's");
    ASSERT_TRUE(WriteBytes(dotted + L"\\logo[1].gif", "changed"));
  }
  EXPECT_EQ(Sorted(testing::ListFolder(dotted + L"\\")), (Strings{L".", L"..", L"logo[1].gif"}));

  // A copy cancelled part-way leaves nothing; a leftover goes only when it is the cached bytes' start.
  const std::string big(8 << 20, 'b');
  const std::wstring source = bucket_.path() + L"big[1].gif";
  ASSERT_TRUE(bucket_.AddFile(L"big[1].gif", big));
  int asked = 0;
  EXPECT_EQ(platform_.BeginSaving(sibling)
                ->SaveNew(source, L"big.gif", [&](uint64_t, uint64_t) { return ++asked < 2; })
                .outcome,
            SaveOutcome::kCancelled);
  EXPECT_FALSE(Exists(sibling + L"\\big.gif"));
  ASSERT_TRUE(WriteBytes(sibling + L"\\part.gif", big.substr(0, 1000)));
  ASSERT_TRUE(WriteBytes(sibling + L"\\other.gif", "another program's"));
  EXPECT_FALSE(platform_.DiscardPartialCopy(sibling + L"\\other.gif", source));
  EXPECT_TRUE(platform_.DiscardPartialCopy(sibling + L"\\part.gif", source));
  EXPECT_TRUE(Exists(sibling + L"\\other.gif"));
  EXPECT_FALSE(Exists(sibling + L"\\part.gif"));
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

TEST_F(FileActionsTest, OpeningWhatAsksBeforeOpeningAsksFirstByMouseOrKeyboard) {
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
    ExpectCautionBox(seen[0], OpenWarningText(L"anim[1].gif.exe", OpenCaution::kCodeType, L"viewer.exe"));
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

}  // namespace
}  // namespace tallow::gui
