// The whole scan with the real platform over a real cache folder in the Wine prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "lists/string_list.h"
#include "platform/win32/win32_platform.h"
#include "search/run_search.h"
#include "win32_test_support.h"

namespace tallow {
namespace {

std::vector<std::wstring> Sorted(std::vector<std::wstring> items) {
  std::sort(items.begin(), items.end());
  return items;
}

// Bucket folders and their files; the scan must skip index.dat and desktop.ini beside them.
const std::vector<std::pair<std::wstring, std::vector<std::wstring>>> kTree = {
    {L"ABCD1234", {L"logo[1].gif", L"缓存图片[1].gif", L"clip[1].flv", L"page[1].htm"}},
    {L"EFGH5678", {L"logo[1].gif", L"song[2].mp3", L"desktop.ini"}},
    {L"Q1W2E3R4", {L"banner[1].jpg", L"视频[1].flv"}},
};

// Builds Content.IE5 in the prefix's cache folder for the test and removes it afterwards; one
// that was there before (the demo cache, say) is moved aside meanwhile and put back.
class RealCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring cache = testing::InternetCacheFolder();
    ASSERT_FALSE(cache.empty());
    root_ = cache + L"\\Content.IE5";
    if (testing::Exists(root_)) {
      aside_ = cache + L'\\' + testing::UniqueName(L"Content.IE5 aside ");
      ASSERT_TRUE(MoveFileW(root_.c_str(), aside_.c_str()));
    }
    ASSERT_TRUE(testing::MakeFolder(root_));
    ASSERT_TRUE(testing::WriteBytes(root_ + L"\\index.dat", "Client UrlCache MMF Ver 5.2"));
    ASSERT_TRUE(testing::WriteBytes(root_ + L"\\desktop.ini", "[.ShellClassInfo]",
                                    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    for (const auto& [bucket, files] : kTree) {
      ASSERT_TRUE(testing::MakeFolder(root_ + L'\\' + bucket));
      for (const std::wstring& file : files)
        ASSERT_TRUE(testing::WriteBytes(root_ + L'\\' + bucket + L'\\' + file, "x"));
    }
    ASSERT_TRUE(testing::WriteBytes(root_ + L"\\Q1W2E3R4\\hidden[1].gif", "x", FILE_ATTRIBUTE_HIDDEN));
    for (const wchar_t* extension : {L".gif", L".flv", L".mp3"}) extensions_.Append(extension);
  }

  void TearDown() override {
    testing::RemoveTree(root_);
    if (!aside_.empty()) MoveFileW(aside_.c_str(), root_.c_str());
  }

  void Search(int extension) {
    extensions_.SetCurrentIndex(extension);
    RunSearch(platform_, {names_, folders_, paths_, extensions_});
  }

  std::wstring Path(const wchar_t* bucket, const wchar_t* file) const { return root_ + L'\\' + bucket + L'\\' + file; }

  Win32Platform platform_;
  std::wstring root_;
  std::wstring aside_;
  MemoryStringList names_, folders_, paths_, extensions_;
};

TEST_F(RealCacheTest, ListsTheMatchingFilesOfEveryBucket) {
  Search(0);
  EXPECT_EQ(Sorted(folders_.Items()), Sorted({L"ABCD1234", L"EFGH5678", L"Q1W2E3R4"}));
  EXPECT_EQ(Sorted(paths_.Items()), Sorted({Path(L"ABCD1234", L"logo[1].gif"), Path(L"ABCD1234", L"缓存图片[1].gif"),
                                            Path(L"EFGH5678", L"logo[1].gif"), Path(L"Q1W2E3R4", L"hidden[1].gif")}));
  ASSERT_EQ(names_.Count(), paths_.Count());
  for (int i = 0; i < paths_.Count(); ++i) EXPECT_EQ(names_.Item(i), NamePart(paths_.Item(i)));

  Search(1);
  EXPECT_EQ(Sorted(names_.Items()), Sorted({L"clip[1].flv", L"视频[1].flv"}));
  Search(2);
  EXPECT_EQ(paths_.Items(), std::vector<std::wstring>{Path(L"EFGH5678", L"song[2].mp3")});
}

TEST_F(RealCacheTest, FindsDeletedFilesGoneOnTheNextScan) {
  Search(0);
  ASSERT_EQ(paths_.Count(), 4);
  for (int i = 0; i < paths_.Count(); ++i) EXPECT_TRUE(platform_.RemoveFile(paths_.Item(i))) << i;
  Search(0);
  EXPECT_EQ(paths_.Count(), 0);
  EXPECT_EQ(folders_.Count(), 3);
}

}  // namespace
}  // namespace tallow
