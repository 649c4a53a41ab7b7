// The platform's shell side under Wine: copies with the shell's own dialogs, the folder picker,
// message boxes and opening a file with the program registered for its type.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "actions/file_actions.h"
#include "actions/open_rule.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_platform.h"
#include "search/run_search.h"
#include "support/file_type.h"
#include "win32_test_support.h"

namespace tallow {
namespace {

using testing::DialogWatcher;
using testing::SampleBytes;
using testing::ScratchFolder;

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing::MakeFolder(from_));
    ASSERT_TRUE(testing::MakeFolder(to_));
  }

  Win32Platform platform_;
  ScratchFolder scratch_;
  const std::wstring from_ = scratch_ / L"Content.IE5 bucket";
  const std::wstring to_ = scratch_ / L"保存 目标";
};

TEST_F(ShellTest, CopyKeepsEveryByteUnderAnyName) {
  const std::string bytes = SampleBytes();
  for (const std::wstring name : {L"plain[1].gif", L"缓存图片[1].gif", L"\U00020000 \U0001F600[1].flv"}) {
    ASSERT_TRUE(testing::WriteBytes(from_ + L'\\' + name, bytes));
    DialogWatcher watcher;
    EXPECT_TRUE(ShellCopyFile(platform_, from_ + L'\\' + name, to_ + L'\\' + name));
    EXPECT_EQ(testing::ReadBytes(to_ + L'\\' + name), bytes);
    EXPECT_TRUE(watcher.Stop().empty());
  }
}

TEST_F(ShellTest, CopyIntoDriveRootTakesTheDoubledSeparator) {
  const std::wstring name = testing::UniqueName(L"tallow-root-copy-") + L".gif";
  ASSERT_TRUE(testing::WriteBytes(from_ + L'\\' + name, "root"));
  {
    DialogWatcher watcher;
    // What saving into a picked drive root produces: "C:\" and the separator before the name.
    EXPECT_TRUE(ShellCopyFile(platform_, from_ + L'\\' + name, L"C:\\\\" + name));
  }
  EXPECT_EQ(testing::ReadBytes(L"C:\\" + name), "root");
  testing::RemoveTree(L"C:\\" + name);
}

TEST_F(ShellTest, CopyOfMissingSourceFails) {
  DialogWatcher watcher;
  EXPECT_FALSE(ShellCopyFile(platform_, from_ + L"\\missing[1].gif", to_ + L"\\missing[1].gif"));
  EXPECT_FALSE(testing::Exists(to_ + L"\\missing[1].gif"));
}

TEST_F(ShellTest, ReplacementIsAskedOnTheOwnerAndDecliningFails) {
  const std::wstring source = from_ + L"\\logo[1].gif";
  const std::wstring target = to_ + L"\\logo[1].gif";
  ASSERT_TRUE(testing::WriteBytes(source, "new"));
  ASSERT_TRUE(testing::WriteBytes(target, "old"));
  // An always-on-top window, as the main window is: the shell's dialogs must belong to it.
  const win32::UniqueHandleOf<HWND, &DestroyWindow> owner(CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"Tallowmere",
                                                                          WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                                                                          nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(owner);
  platform_.SetOwner(owner.get());

  for (const int answer : {IDNO, IDCANCEL, IDYES}) {
    {
      DialogWatcher watcher({DialogWatcher::Press(answer)});
      EXPECT_EQ(ShellCopyFile(platform_, source, target), answer == IDYES) << answer;
      EXPECT_TRUE(watcher.Answered()) << answer;
      const std::vector<testing::SeenDialog> seen = watcher.Stop();
      ASSERT_FALSE(seen.empty()) << answer;
      EXPECT_EQ(seen[0].owner, owner.get()) << answer;
    }
    EXPECT_EQ(testing::ReadBytes(target), answer == IDYES ? "new" : "old") << answer;
  }
}

TEST_F(ShellTest, FolderPickerShowsItsTitleAndReturnsThePick) {
  const std::wstring title(kPickFolderTitle);
  std::atomic<bool> title_shown{false};
  {
    DialogWatcher watcher({[&](HWND dialog) {
      title_shown = testing::FindDescendant(dialog, L"Static", title) != nullptr;
      testing::PressButton(dialog, IDCANCEL);
      return true;
    }});
    EXPECT_EQ(platform_.PickFolder(title), std::nullopt);
  }
  EXPECT_TRUE(title_shown);

  DialogWatcher watcher({DialogWatcher::PickFolder(to_)});
  EXPECT_EQ(platform_.PickFolder(title), to_);
}

TEST_F(ShellTest, MessageBoxShowsTextAndTitleUntilClosed) {
  const std::wstring text = SavedText(L"缓存图片[1].gif");
  DialogWatcher watcher({DialogWatcher::Press(IDOK)});
  platform_.ShowMessage(text, std::wstring(kSavedTitle), MessageIcon::kInformation);
  EXPECT_TRUE(watcher.Answered());
  const std::vector<testing::SeenDialog> seen = watcher.Stop();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].title, kSavedTitle);
  EXPECT_EQ(seen[0].text, text);
}

// A file type of the test's own, opened by a helper program that records its command line.
class OpenTest : public ShellTest {
 protected:
  static constexpr const wchar_t* kExtension = L".tallowtest";
  static constexpr const wchar_t* kProgId = L"Tallowmere.TestFile";

  void SetUp() override {
    ShellTest::SetUp();
    ASSERT_TRUE(file_type_.Register());
  }

  testing::RecordingFileType file_type_{kExtension, kProgId};
};

TEST_F(OpenTest, OpensTheFileWithItsRegisteredProgram) {
  const std::wstring file = from_ + L"\\打开 测试[1]" + kExtension;
  ASSERT_TRUE(testing::WriteBytes(file, "open me"));
  DialogWatcher watcher;
  EXPECT_TRUE(platform_.OpenWithDefaultProgram(file));
  const std::optional<std::wstring> command_line = file_type_.WaitForCommandLine();
  ASSERT_TRUE(command_line.has_value());
  EXPECT_NE(command_line->find(L'"' + file + L'"'), std::wstring::npos) << *command_line;
  EXPECT_TRUE(watcher.Stop().empty());
}

// Without a default verb the shell runs "open", whatever verb comes first: that one is judged.
// A default verb named is judged and run.
TEST_F(OpenTest, TheVerbJudgedIsTheVerbRun) {
  const std::wstring name = std::wstring(L"x") + kExtension;
  const std::wstring view = L'"' + testing::RecordingFileType::Helper() + L"\" \"%1\"";
  ASSERT_TRUE(file_type_.SetVerb(L"aview", view) && file_type_.SetVerb(L"open", L"\"%1\""));
  EXPECT_EQ(CautionFor(platform_, name), OpenCaution::kRunsItself);
  ASSERT_TRUE(file_type_.SetVerb(L"aview", view, true));
  const TypeProgram program = platform_.ProgramForType(kExtension);
  EXPECT_EQ(program.verb, L"aview");
  EXPECT_EQ(CautionFor(platform_, name), OpenCaution::kNone);
  const std::wstring file = from_ + L'\\' + name;
  ASSERT_TRUE(testing::WriteBytes(file, "MZ"));
  DialogWatcher watcher;
  EXPECT_TRUE(platform_.OpenWithDefaultProgram(file, kExtension, program.verb));
  EXPECT_TRUE(file_type_.WaitForCommandLine().has_value());
}

TEST_F(OpenTest, TheTypesOwnRegistryWordCounts) {
  EXPECT_TRUE(platform_.ProgramForType(kExtension).media);  // its PerceivedType
  EXPECT_FALSE(platform_.IsDangerousType(kExtension));
  const DWORD always_unsafe = FTA_AlwaysUnsafe;
  ASSERT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, kProgId, L"EditFlags", REG_DWORD, &always_unsafe, sizeof always_unsafe),
            ERROR_SUCCESS);
  EXPECT_TRUE(platform_.IsDangerousType(kExtension));
}

TEST_F(OpenTest, FileOfAnUnknownTypeIsNotOpened) {
  const std::wstring file = from_ + L"\\unknown[1].tallownone";
  ASSERT_TRUE(testing::WriteBytes(file, "x"));
  // The shell says so in a box of its own (Explorer would offer to pick a program instead).
  DialogWatcher watcher({DialogWatcher::Press(IDOK)});
  EXPECT_FALSE(platform_.OpenWithDefaultProgram(file));
}

}  // namespace
}  // namespace tallow
