// The whole scan with the real platform over real cache containers in the Wine prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "actions/file_actions.h"
#include "platform/file_names.h"
#include "platform/win32/win32_platform.h"
#include "search/run_search.h"
#include "win32_test_support.h"

namespace tallow {
namespace {

using Strings = std::vector<std::wstring>;

// The bucket that the test set-up plants in Low\IE as a link to a folder outside the cache.
constexpr wchar_t kLinkBucket[] = L"LINK0000";

// Buckets of the test's own in every container (made where missing), and files beside them
// that the scan must pass over; only what the test made is looked at, and all of it goes.
class RealCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cache_ = testing::InternetCacheFolder();
    ASSERT_FALSE(cache_.empty());
    for (std::wstring_view container : kCacheContainers) {
      const std::wstring path = cache_ + L'\\' + std::wstring(container);
      CreateDirectoryW((cache_ + L"\\Low").c_str(), nullptr);
      CreateDirectoryW(path.c_str(), nullptr);
      const std::wstring bucket = path + L'\\' + testing::UniqueName(L"RC");
      ASSERT_TRUE(testing::MakeFolder(bucket));
      buckets_.push_back(bucket + L'\\');
    }
    // Beside the buckets, and in a folder of the cache that is no container.
    stray_ = cache_ + L"\\Content.IE5\\" + testing::UniqueName(L"stray") + L"[1].gif";
    ASSERT_TRUE(testing::WriteBytes(stray_, "x"));
    other_ = cache_ + L"\\Virtualized\\" + testing::UniqueName(L"RC");
    ASSERT_TRUE(testing::MakeFolder(cache_ + L"\\Virtualized") || testing::Exists(cache_ + L"\\Virtualized"));
    ASSERT_TRUE(testing::MakeFolder(other_));
    ASSERT_TRUE(testing::WriteBytes(other_ + L"\\elsewhere[1].gif", "x"));
  }

  void TearDown() override {
    for (const std::wstring& bucket : buckets_) testing::RemoveTree(bucket.substr(0, bucket.size() - 1));
    testing::RemoveTree(other_);
    testing::RemoveTree(stray_);
  }

  void Add(size_t container, const std::wstring& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    ASSERT_TRUE(testing::WriteBytes(buckets_[container] + name, "x", attributes)) << name;
  }

  // What the scan lists of the test's own buckets, in its order, and anything from elsewhere.
  Strings Mine(std::wstring_view extension) {
    const CacheListing listing = ScanCache(platform_, extension);
    Strings mine;
    for (size_t i = 0; i < listing.Count(); ++i) {
      const std::wstring path = listing.Path(i);
      EXPECT_EQ(listing.Name(i), NamePart(path));
      EXPECT_EQ(path.find(L"elsewhere"), std::wstring::npos) << "listed from outside the containers";
      EXPECT_NE(path, stray_);
      if (std::ranges::any_of(buckets_, [&](const std::wstring& b) { return path.starts_with(b); })) {
        mine.push_back(path);
      }
    }
    return mine;
  }

  Win32Platform platform_;
  std::wstring cache_;
  Strings buckets_;  // one per container, in the order of kCacheContainers
  std::wstring other_;
  std::wstring stray_;
};

TEST_F(RealCacheTest, ListsEveryContainerInOrderWithHiddenAndChineseNames) {
  Add(3, L"low-ie[1].gif");
  Add(2, L"ie[1].gif");
  Add(2, L"clip[1].flv");
  Add(1, L"low-ie5[1].gif", FILE_ATTRIBUTE_HIDDEN);
  Add(0, L"缓存图片[1].gif");
  Add(0, L"song[2].mp3");
  EXPECT_EQ(Mine(L".gif"), (Strings{buckets_[0] + L"缓存图片[1].gif", buckets_[1] + L"low-ie5[1].gif",
                                    buckets_[2] + L"ie[1].gif", buckets_[3] + L"low-ie[1].gif"}));
  EXPECT_EQ(Mine(L".mp3"), Strings{buckets_[0] + L"song[2].mp3"});
}

TEST_F(RealCacheTest, NamesOnlyALanguageCallsEqualAreAllListedAndDeletable) {
  const Strings names = {L"caf\u00E9.gif", L"cafe\u0301.gif", L"\u212B.gif",  L"\u00C5.gif",
                         L"ab.gif",        L"a\u00ADb.gif",   L"a\u200Db.gif"};
  for (const std::wstring& name : names) Add(2, name);
  Strings expected;
  for (const std::wstring& name : names) expected.push_back(buckets_[2] + name);
  std::ranges::sort(expected);
  Strings listed = Mine(L".gif");
  std::ranges::sort(listed);
  EXPECT_EQ(listed, expected);
  for (const std::wstring& path : listed) {
    EXPECT_EQ(testing::RemoveListed(platform_, path).outcome, RemoveOutcome::kRemoved) << path.size();
  }
  EXPECT_TRUE(Mine(L".gif").empty());
}

TEST_F(RealCacheTest, ALinkedBucketIsNeverEntered) {
  // Planted by the test set-up on the Linux side: Wine makes no links of its own.
  const std::wstring link = cache_ + L"\\Low\\IE\\" + kLinkBucket;
  const DWORD attributes = GetFileAttributesW(link.c_str());
  const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  if (attributes == INVALID_FILE_ATTRIBUTES && !wine) GTEST_SKIP() << "no link planted on this machine";
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << "the test set-up plants it";
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  ASSERT_TRUE(testing::Exists(link + L"\\precious[1].gif"));

  Add(3, L"cached[1].gif");
  const CacheListing listing = ScanCache(platform_, L".gif");
  for (size_t i = 0; i < listing.Count(); ++i) EXPECT_NE(listing.Name(i), L"precious[1].gif");
  EXPECT_EQ(Mine(L".gif"), Strings{buckets_[3] + L"cached[1].gif"});
}

// Other programs write in the cache: between the scan and the delete, a listed bucket, or its
// container, may be swapped for a link to a folder alike elsewhere, and a cached "file" may be
// a link. Nothing outside the cache may go, by either kind of delete.
TEST_F(RealCacheTest, DeletesNeverLeaveTheCacheWhateverItsFoldersBecome) {
  const std::wstring bucket = buckets_[0].substr(0, buckets_[0].size() - 1);
  const std::wstring container = cache_ + L"\\Content.IE5";
  const std::wstring linux_bucket = testing::LinuxPath(bucket);
  if (linux_bucket.empty()) GTEST_SKIP() << "links are made on the Linux side, under Wine";
  testing::ScratchFolder outside(L"C:");
  // Alike: a container of the same name, holding a bucket of the same name with the same files.
  const std::wstring outside_bucket = outside / (L"Content.IE5\\" + std::wstring(NamePart(bucket)));
  ASSERT_TRUE(testing::MakeFolder(outside / L"Content.IE5") && testing::MakeFolder(outside_bucket));
  for (const wchar_t* name : {L"a[1].gif", L"b[1].gif", L"c[1].gif"}) {
    ASSERT_TRUE(testing::WriteBytes(outside_bucket + L'\\' + name, "keep"));
  }
  Add(0, L"a[1].gif");
  Add(0, L"b[1].gif");
  const std::wstring linux_outside = testing::LinuxPath(outside_bucket);
  ASSERT_TRUE(testing::RunOnLinux(L"ln -s '" + linux_outside + L"/c[1].gif' '" + linux_bucket + L"/c[1].gif'"));
  const auto listing = std::make_shared<const CacheListing>(ScanCache(platform_, L".gif"));
  std::vector<size_t> mine;
  for (size_t i = 0; i < listing->Count(); ++i) {
    if (listing->Path(i).starts_with(buckets_[0])) mine.push_back(i);
  }
  ASSERT_EQ(mine.size(), 3u);
  // Wine shows the link as a plain file, and deleting it by name would delete its target.
  DeleteListed(platform_, ListedEntry{listing, mine[2]});
  EXPECT_TRUE(testing::Exists(outside_bucket + L"\\c[1].gif"));

  for (const std::wstring& swapped : {bucket, container}) {
    const std::wstring from = testing::LinuxPath(swapped);
    const std::wstring to = swapped == bucket ? linux_outside : testing::LinuxPath(outside / L"Content.IE5");
    ASSERT_TRUE(testing::RunOnLinux(L"mv '" + from + L"' '" + from + L".old' && ln -s '" + to + L"' '" + from + L"'"));
    ASSERT_TRUE(testing::IsLink(swapped));
    DeleteListed(platform_, ListedEntry{listing, mine[0]});
    DeleteAllListed(platform_, *listing);
    ASSERT_TRUE(testing::RunOnLinux(L"rm '" + from + L"' && mv '" + from + L".old' '" + from + L"'"));
    for (const wchar_t* name : {L"a[1].gif", L"b[1].gif", L"c[1].gif"}) {
      EXPECT_TRUE(testing::Exists(outside_bucket + L'\\' + name)) << swapped;
    }
    EXPECT_TRUE(testing::Exists(buckets_[0] + L"a[1].gif")) << swapped;
  }
  // The link to a file goes on the Linux side, since Wine would delete its target.
  ASSERT_TRUE(testing::RunOnLinux(L"rm '" + linux_bucket + L"/c[1].gif'"));

  // Where nothing was swapped, both kinds of delete still delete.
  DeleteListed(platform_, ListedEntry{listing, mine[0]});
  EXPECT_FALSE(testing::Exists(buckets_[0] + L"a[1].gif"));
  DeleteAllListed(platform_, *listing);
  EXPECT_FALSE(testing::Exists(buckets_[0] + L"b[1].gif"));
  EXPECT_TRUE(testing::Exists(outside_bucket + L"\\c[1].gif"));
}

// While its files go, a bucket and its container are held: no other program can rename them,
// nor so put another folder in their place. Once the deletes end, it can.
TEST_F(RealCacheTest, ABucketCannotBeRenamedWhileItsFilesGo) {
  for (int i = 0; i < 3; ++i) Add(2, std::to_wstring(i) + L".held");
  const CacheListing listing = ScanCache(platform_, L".held");
  ASSERT_EQ(listing.Count(), 3u);
  const std::wstring bucket = buckets_[2].substr(0, buckets_[2].size() - 1), moved = bucket + L".moved";
  {
    const std::unique_ptr<CacheFileRemover> remover = platform_.BeginRemoving();
    const uint32_t f = listing.FolderIndex(0);
    for (size_t i = 0; i < listing.Count(); ++i) {
      EXPECT_EQ(remover->Remove(listing.Container(f), listing.Bucket(f), *listing.Id(f), listing.Name(i)).outcome,
                RemoveOutcome::kRemoved);
      EXPECT_TRUE(i != 1 || !MoveFileW(bucket.c_str(), moved.c_str()));
    }
  }
  EXPECT_TRUE(MoveFileW(bucket.c_str(), moved.c_str()) && MoveFileW(moved.c_str(), bucket.c_str()));
}

}  // namespace
}  // namespace tallow
