// The platform's file-system side against real folders in the Wine prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "platform/win32/handles.h"
#include "platform/win32/win32_platform.h"
#include "win32_test_support.h"

namespace tallow {
namespace {

using testing::ScratchFolder;

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
  EXPECT_TRUE(testing::RemoveListed(platform_, file));
  EXPECT_EQ(List(folder + L'\\', kAttrMaskAll), Sorted({L".", L".."}));
}

TEST_F(PlatformFilesTest, DeletesFilesButNotFoldersReadOnlyOrOpenFiles) {
  const std::wstring plain = scratch_ / L"缓存 plain[1].gif";
  const std::wstring folder = scratch_ / L"Folder";
  const std::wstring read_only = scratch_ / L"readonly.gif";
  const std::wstring open = scratch_ / L"open.gif";
  ASSERT_TRUE(testing::WriteBytes(plain, "p"));
  ASSERT_TRUE(testing::MakeFolder(folder));
  ASSERT_TRUE(testing::WriteBytes(read_only, "r", FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(testing::WriteBytes(open, "o"));

  EXPECT_TRUE(testing::RemoveListed(platform_, plain));
  EXPECT_FALSE(testing::Exists(plain));
  EXPECT_FALSE(testing::RemoveListed(platform_, plain));

  EXPECT_FALSE(testing::RemoveListed(platform_, folder));
  EXPECT_TRUE(testing::Exists(folder));
  EXPECT_FALSE(testing::RemoveListed(platform_, read_only));
  EXPECT_TRUE(testing::Exists(read_only));
  {
    // Another program reading the file without letting others delete it.
    const win32::UniqueHandle holder(win32::NullIfInvalid(CreateFileW(
        open.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr)));
    ASSERT_TRUE(holder);
    EXPECT_FALSE(testing::RemoveListed(platform_, open));
  }
  EXPECT_TRUE(testing::Exists(open));
  // One that lets others delete it (the browser, an indexer): its name goes at once, while still
  // held; Wine 8 knows no such delete, and there the name goes with the last handle.
  constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  win32::UniqueHandle sharer(
      win32::NullIfInvalid(CreateFileW(open.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr)));
  ASSERT_TRUE(sharer);
  EXPECT_TRUE(testing::RemoveListed(platform_, open));
  EXPECT_TRUE(!testing::Exists(open) || GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"));
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
    EXPECT_TRUE(testing::RemoveListed(platform_, path));
    EXPECT_TRUE(testing::Exists(kept));
    EXPECT_EQ(List(scratch_.Path() + L'\\', kAttrMaskAll), Sorted({L".", L"..", L"logo[1].gif"}));
  }
  // The same from the current drive's root, the form the scan uses when the shell does not know
  // the cache folder; and a folder listed by such a name shows that folder's entries.
  const std::wstring odd = scratch_ / L"logo[1].gif ";
  ASSERT_TRUE(testing::WriteBytes(L"\\\\?\\" + odd, "o"));
  ASSERT_TRUE(SetCurrentDirectoryW(scratch_.Path().c_str()));
  EXPECT_TRUE(testing::RemoveListed(platform_, odd.substr(2)));
  EXPECT_TRUE(testing::Exists(kept));
  const std::wstring odd_folder = scratch_ / L"Folder ";
  ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + odd_folder).c_str(), nullptr));
  ASSERT_TRUE(testing::WriteBytes(L"\\\\?\\" + odd_folder + L"\\inside.gif", "i"));
  EXPECT_EQ(List(odd_folder + L'\\', kAttrMaskAll), Sorted({L".", L"..", L"inside.gif"}));
  EXPECT_EQ(List(odd_folder.substr(2) + L'\\', kAttrMaskAll), Sorted({L".", L"..", L"inside.gif"}));
  SetCurrentDirectoryW(testing::InternetCacheFolder().c_str());
  // The entries every listing holds name folders, whatever the form of the path.
  EXPECT_FALSE(testing::RemoveListed(platform_, scratch_ / L"."));
  EXPECT_FALSE(testing::RemoveListed(platform_, scratch_ / L".."));
  EXPECT_TRUE(testing::Exists(kept));
}

}  // namespace
}  // namespace tallow
