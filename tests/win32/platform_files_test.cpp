// The platform's file-system side against real folders in the Wine prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "platform/win32/handles.h"
#include "platform/win32/win32_platform.h"
#include "win32_test_support.h"

namespace tallow {
namespace {

using testing::RemoveListed;
using testing::ScratchFolder;
using enum RemoveOutcome;

std::vector<std::wstring> Sorted(std::vector<std::wstring> names) {
  std::sort(names.begin(), names.end());
  return names;
}

class PlatformFilesTest : public ::testing::Test {
 protected:
  std::vector<std::wstring> List(const std::wstring& folder, unsigned mask, bool* listed = nullptr) {
    std::vector<std::wstring> names;
    const bool ok =
        platform_.EnumerateDirectory(folder, mask, [&](const DirEntry& entry) { names.emplace_back(entry.name); });
    if (listed) *listed = ok;
    return Sorted(std::move(names));
  }

  Win32Platform platform_;
  ScratchFolder scratch_;
};

TEST_F(PlatformFilesTest, InternetCacheFolderExists) {
  const std::optional<std::wstring> cache = platform_.SpecialFolderPath(kCsidlInternetCache);
  ASSERT_TRUE(cache.has_value());
  EXPECT_TRUE(cache->ends_with(L"\\INetCache")) << *cache;
  EXPECT_TRUE(testing::Exists(*cache));
  // A folder id the shell does not know gives the empty string.
  EXPECT_EQ(platform_.SpecialFolderPath(0x7F), std::wstring());
}

TEST_F(PlatformFilesTest, ListsEveryKindOfEntryByItsLongName) {
  const std::wstring long_name = L"A long file name with spaces.jpeg";
  const std::wstring chinese = L"缓存图片[1].gif";
  const std::wstring beyond_bmp = L"\U00020000 \U0001F600.png";
  ASSERT_TRUE(testing::WriteBytes(scratch_ / L"plain.txt", "p"));
  ASSERT_TRUE(testing::WriteBytes(scratch_ / L"hidden.dat", "h", FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(testing::WriteBytes(scratch_ / L"system.dat", "s", FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(testing::WriteBytes(scratch_ / L"readonly.txt", "r", FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(testing::WriteBytes(scratch_ / long_name, "l"));
  ASSERT_TRUE(testing::WriteBytes(scratch_ / chinese, "c"));
  ASSERT_TRUE(testing::WriteBytes(scratch_ / beyond_bmp, "b"));
  ASSERT_TRUE(testing::MakeFolder(scratch_ / L"Sub Folder"));
  ASSERT_TRUE(testing::MakeFolder(scratch_ / L"HiddenSub", FILE_ATTRIBUTE_HIDDEN));

  bool listed = false;
  EXPECT_EQ(List(scratch_.Path() + L'\\', kAttrMaskAll, &listed),
            Sorted({L".", L"..", L"plain.txt", L"hidden.dat", L"system.dat", L"readonly.txt", long_name, chinese,
                    beyond_bmp, L"Sub Folder", L"HiddenSub"}));
  EXPECT_TRUE(listed);

  // Without the folder, hidden and system bits, only ordinary and read-only files are listed.
  EXPECT_EQ(List(scratch_.Path() + L'\\', 1), Sorted({L"plain.txt", L"readonly.txt", long_name, chinese, beyond_bmp}));
  EXPECT_EQ(List(scratch_.Path() + L'\\', 16),
            Sorted({L".", L"..", L"plain.txt", L"readonly.txt", long_name, chinese, beyond_bmp, L"Sub Folder"}));
}

TEST_F(PlatformFilesTest, MissingFolderListsNothing) {
  bool listed = true;
  EXPECT_TRUE(List(scratch_ / L"missing\\", kAttrMaskAll, &listed).empty());
  EXPECT_FALSE(listed);
  ASSERT_TRUE(testing::WriteBytes(scratch_ / L"file.txt", "f"));
  EXPECT_TRUE(List(scratch_ / L"file.txt\\", kAttrMaskAll, &listed).empty());
  EXPECT_FALSE(listed);
}

TEST_F(PlatformFilesTest, PathsBeyondMaxPathAreListedAndDeleted) {
  std::wstring folder = scratch_.Path();
  while (folder.size() < MAX_PATH + 20) {
    folder += L"\\a folder name of forty characters------";
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr)) << GetLastError();
  }
  const std::wstring file = folder + L"\\deep[1].gif";
  ASSERT_TRUE(testing::WriteBytes(L"\\\\?\\" + file, "d"));

  EXPECT_EQ(List(folder + L'\\', kAttrMaskAll), Sorted({L".", L"..", L"deep[1].gif"}));
  EXPECT_EQ(RemoveListed(platform_, file).outcome, kRemoved);
  EXPECT_EQ(List(folder + L'\\', kAttrMaskAll), Sorted({L".", L".."}));
}

TEST_F(PlatformFilesTest, DeletesFilesButNotFoldersReadOnlyOrOpenFilesAndSaysWhy) {
  const std::wstring plain = scratch_ / L"缓存 plain[1].gif";
  const std::wstring folder = scratch_ / L"Folder";
  const std::wstring read_only = scratch_ / L"readonly.gif";
  const std::wstring open = scratch_ / L"open.gif";
  ASSERT_TRUE(testing::WriteBytes(plain, "p"));
  ASSERT_TRUE(testing::MakeFolder(folder));
  ASSERT_TRUE(testing::WriteBytes(read_only, "r", FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(testing::WriteBytes(open, "o"));

  EXPECT_EQ(RemoveListed(platform_, plain).outcome, kRemoved);
  EXPECT_FALSE(testing::Exists(plain));
  EXPECT_EQ(RemoveListed(platform_, plain).outcome, kGone);

  EXPECT_EQ(RemoveListed(platform_, folder).outcome, kNotListed);
  EXPECT_TRUE(testing::Exists(folder));
  EXPECT_EQ(RemoveListed(platform_, read_only), (RemoveResult{kFailed, ERROR_ACCESS_DENIED}));
  // The system's own words, whole lines; a code it has none for is still shown.
  const std::wstring why = platform_.FailureText(ERROR_ACCESS_DENIED);
  EXPECT_FALSE(why.empty() || why.starts_with(L"错误") || why.back() == L'\n') << why;
  EXPECT_EQ(platform_.FailureText(0x2000ABCD), L"错误 0x2000ABCD");
  EXPECT_TRUE(testing::Exists(read_only));
  {
    // Another program reading the file without letting others delete it.
    const win32::UniqueHandle holder(win32::NullIfInvalid(CreateFileW(
        open.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr)));
    ASSERT_TRUE(holder);
    EXPECT_EQ(RemoveListed(platform_, open), (RemoveResult{kFailed, ERROR_SHARING_VIOLATION}));
  }
  EXPECT_TRUE(testing::Exists(open));
  // One that lets others delete it (the browser, an indexer): the file goes for good.
  constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  win32::UniqueHandle sharer(
      win32::NullIfInvalid(CreateFileW(open.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr)));
  ASSERT_TRUE(sharer);
  EXPECT_EQ(RemoveListed(platform_, open).outcome, kRemoved);
  sharer.reset();
  EXPECT_FALSE(testing::Exists(open));
}

// A name that ends in a dot or a space exists on disk but not in the Win32 name space, which
// trims both: deleting it by its listed name must not remove its trimmed namesake instead.
TEST_F(PlatformFilesTest, DeletesExactlyTheListedNameEvenWithTrailingDotsOrSpaces) {
  const std::wstring kept = scratch_ / L"logo[1].gif";
  ASSERT_TRUE(testing::WriteBytes(kept, "k"));
  for (const wchar_t* odd : {L"logo[1].gif ", L"logo[1].gif."}) {
    const std::wstring path = scratch_ / odd;
    ASSERT_TRUE(testing::WriteBytes(L"\\\\?\\" + path, "o")) << GetLastError();
    ASSERT_EQ(List(scratch_.Path() + L'\\', kAttrMaskAll), Sorted({L".", L"..", L"logo[1].gif", odd}));
    EXPECT_EQ(RemoveListed(platform_, path).outcome, kRemoved);
    EXPECT_TRUE(testing::Exists(kept));
    EXPECT_EQ(List(scratch_.Path() + L'\\', kAttrMaskAll), Sorted({L".", L"..", L"logo[1].gif"}));
  }
  // The same from the current drive's root, the form the scan uses when the shell does not know
  // the cache folder; and a folder listed by such a name shows that folder's entries.
  const std::wstring odd = scratch_ / L"logo[1].gif ";
  ASSERT_TRUE(testing::WriteBytes(L"\\\\?\\" + odd, "o"));
  ASSERT_TRUE(SetCurrentDirectoryW(scratch_.Path().c_str()));
  EXPECT_EQ(RemoveListed(platform_, odd.substr(2)).outcome, kRemoved);
  EXPECT_TRUE(testing::Exists(kept));
  const std::wstring odd_folder = scratch_ / L"Folder ";
  ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + odd_folder).c_str(), nullptr));
  ASSERT_TRUE(testing::WriteBytes(L"\\\\?\\" + odd_folder + L"\\inside.gif", "i"));
  EXPECT_EQ(List(odd_folder + L'\\', kAttrMaskAll), Sorted({L".", L"..", L"inside.gif"}));
  EXPECT_EQ(List(odd_folder.substr(2) + L'\\', kAttrMaskAll), Sorted({L".", L"..", L"inside.gif"}));
  SetCurrentDirectoryW(testing::InternetCacheFolder().c_str());
  // The entries every listing holds name folders, whatever the form of the path.
  EXPECT_EQ(RemoveListed(platform_, scratch_ / L".").outcome, kNotListed);
  EXPECT_EQ(RemoveListed(platform_, scratch_ / L"..").outcome, kNotListed);
  EXPECT_TRUE(testing::Exists(kept));
}

// Volumes refuse some of what is asked about an entry (FAT holds no reparse tags, some number
// no files): a bucket still lists and its files go while it can be told a folder and no link,
// and one made again under its name after the scan is not the listed one, whatever its id.
// (Wine's creation time is a folder's last change, which a folder made again has too.)
TEST_F(PlatformFilesTest, VolumesThatRefuseQueriesStillListAndDeleteOnlyInTheListedBucket) {
  struct Volume {
    const char* kind;
    FILE_INFO_BY_HANDLE_CLASS refused, also_refused;
    bool zero_ids, marks_link, lists;
  };
  constexpr auto kNone = MaximumFileInfoByHandleClass;
  for (const Volume& volume :
       {Volume{"no tags", FileAttributeTagInfo, kNone, false, false, true},
        Volume{"ids of 0", kNone, kNone, true, false, true}, Volume{"no ids", FileIdInfo, kNone, false, false, true},
        Volume{"no tags, a link", FileAttributeTagInfo, kNone, false, true, false},
        Volume{"no attributes", FileAttributeTagInfo, FileBasicInfo, false, false, false}}) {
    HandleQueries queries;
    queries.creation_times = true;
    queries.ids = [](HANDLE, BY_HANDLE_FILE_INFORMATION*) -> BOOL { return FALSE; };
    queries.info = [volume](HANDLE handle, FILE_INFO_BY_HANDLE_CLASS kind, void* info, DWORD size) -> BOOL {
      if (kind == volume.refused || kind == volume.also_refused) return SetLastError(ERROR_INVALID_PARAMETER), FALSE;
      if (!GetFileInformationByHandleEx(handle, kind, info, size)) return FALSE;
      if (kind == FileIdInfo && volume.zero_ids) static_cast<FILE_ID_INFO*>(info)->FileId = {};
      if (kind == FileBasicInfo && volume.marks_link) {
        static_cast<FILE_BASIC_INFO*>(info)->FileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
      }
      return TRUE;
    };
    platform_.SetHandleQueries(queries);
    const std::wstring bucket = scratch_ / L"BUCKET", a = bucket + L"\\a.gif", b = bucket + L"\\b.gif";
    ASSERT_TRUE(testing::MakeFolder(bucket) && testing::WriteBytes(a, "a"));
    const std::optional<FolderId> listed = platform_.FolderIdOf(bucket + L'\\');
    EXPECT_EQ(listed.has_value(), volume.lists) << volume.kind;
    if (listed) {
      EXPECT_EQ(RemoveListed(platform_, a, listed).outcome, kRemoved) << volume.kind;
      testing::RemoveTree(bucket);
      EXPECT_EQ(RemoveListed(platform_, a, listed).outcome, kGone) << volume.kind;
      ASSERT_TRUE(testing::MakeFolder(bucket) && testing::WriteBytes(b, "b"));
      EXPECT_EQ(RemoveListed(platform_, b, listed).outcome, kNotListed) << volume.kind;
      EXPECT_TRUE(testing::Exists(b)) << volume.kind;
    }
    testing::RemoveTree(bucket);
  }
}

}  // namespace
}  // namespace tallow
