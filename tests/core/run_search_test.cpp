#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "lists/string_list.h"
#include "search/run_search.h"

namespace tallow {
namespace {

using testing::FakePlatform;

class RunSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fake_.CacheRoot();
    fake_.AddFolder(root_);
    for (auto e : {L".gif", L".jpg", L".htm", L".IE5", L"wmv", L""}) extensions_.Append(e);
  }

  std::wstring Bucket(const std::wstring& name) {
    fake_.AddSubfolder(root_, name);
    return root_ + name + L"\\";
  }

  void Search(std::wstring_view extension) {
    for (int i = 0; i < extensions_.Count(); ++i) {
      if (extensions_.Item(i) == extension) extensions_.SetCurrentIndex(i);
    }
    RunSearch(fake_, {names_, folders_, paths_, extensions_});
  }

  // Entry i of the names list must be the name part of entry i of the path list.
  void ExpectParallel() {
    ASSERT_EQ(names_.Count(), paths_.Count());
    for (int i = 0; i < paths_.Count(); ++i) EXPECT_EQ(names_.Item(i), NamePart(paths_.Item(i))) << i;
  }

  FakePlatform fake_;
  std::wstring root_;
  MemoryStringList names_, folders_, paths_, extensions_;
};

TEST_F(RunSearchTest, FolderListKeepsOnlyDotlessEntriesWithoutSkipping) {
  // Adjacent dotted entries are the classic trap for removal while walking forward.
  fake_.AddFile(root_, L"index.dat");
  fake_.AddFile(root_, L"desktop.ini");
  fake_.AddFile(root_, L"a.b.c");
  Bucket(L"ABCD1234");
  fake_.AddFile(root_, L"x.y");
  fake_.AddFile(root_, L"z.");
  Bucket(L"QWER5678");
  fake_.AddFile(root_, L"NODOTS");  // a dotless file is kept like a folder
  Search(L".gif");
  EXPECT_EQ(folders_.Items(), (std::vector<std::wstring>{L"ABCD1234", L"QWER5678", L"NODOTS"}));
}

TEST_F(RunSearchTest, SubstringAndCaseRules) {
  const std::wstring b = Bucket(L"AAAA0000");
  for (auto n : {L"a.jpg", L"B.JPG", L"x.jpg.tmp", L"page.html", L"page.htm", L"clip.wmv", L"movie[1].gif"})
    fake_.AddFile(b, n);

  Search(L".jpg");
  EXPECT_EQ(names_.Items(), (std::vector<std::wstring>{L"a.jpg", L"x.jpg.tmp"}));
  Search(L".htm");
  EXPECT_EQ(names_.Items(), (std::vector<std::wstring>{L"page.html", L"page.htm"}));
  Search(L"wmv");
  EXPECT_EQ(names_.Items(), (std::vector<std::wstring>{L"clip.wmv"}));
  ExpectParallel();
}

TEST_F(RunSearchTest, ExtensionInTheCacheRootMatchesEveryEntryIncludingDots) {
  const std::wstring b = Bucket(L"AAAA0000");
  fake_.AddFile(b, L"a.gif");
  fake_.AddSubfolder(b, L"sub");
  fake_.AddFile(b + L"sub", L"deep.gif");  // below a bucket folder: never reached
  Search(L".IE5");
  EXPECT_EQ(names_.Items(), (std::vector<std::wstring>{L".", L"..", L"a.gif", L"sub"}));
  EXPECT_EQ(paths_.Item(0), b + L".");
  ExpectParallel();
  Search(L".gif");
  EXPECT_EQ(names_.Items(), (std::vector<std::wstring>{L"a.gif"}));
}

TEST_F(RunSearchTest, EmptyExtensionShowsTheReminderAndKeepsOnlyTheFolders) {
  const std::wstring b = Bucket(L"AAAA0000");
  fake_.AddFile(b, L"a.gif");
  Search(L".gif");
  ASSERT_EQ(names_.Count(), 1);
  Search(L"");
  ASSERT_EQ(fake_.messages.size(), 1u);
  EXPECT_EQ(fake_.messages[0].text, L"请选择完整后缀名，如：.flv        ");
  EXPECT_EQ(fake_.messages[0].title, L"提醒 —— Quistemar");
  EXPECT_EQ(fake_.messages[0].icon, MessageIcon::kInformation);
  EXPECT_EQ(names_.Count(), 0);
  EXPECT_EQ(paths_.Count(), 0);
  EXPECT_EQ(folders_.Items(), (std::vector<std::wstring>{L"AAAA0000"}));

  extensions_.SetCurrentIndex(-1);  // nothing chosen at all
  RunSearch(fake_, {names_, folders_, paths_, extensions_});
  EXPECT_EQ(fake_.messages.size(), 2u);
}

TEST_F(RunSearchTest, OneUnlistableBucketDoesNotStopTheOthers) {
  fake_.AddFile(Bucket(L"AAAA0000"), L"1.gif");
  fake_.unlistable.push_back(Bucket(L"BBBB0000"));
  fake_.AddFile(Bucket(L"CCCC0000"), L"3.gif");
  Search(L".gif");
  EXPECT_EQ(names_.Items(), (std::vector<std::wstring>{L"1.gif", L"3.gif"}));
  EXPECT_EQ(paths_.Item(1), root_ + L"CCCC0000\\3.gif");
  EXPECT_TRUE(fake_.messages.empty());
}

TEST_F(RunSearchTest, MissingOrUnknownCacheGivesEmptyListsWithoutMessage) {
  fake_.folders.clear();
  Search(L".gif");
  EXPECT_EQ(names_.Count(), 0);
  EXPECT_EQ(folders_.Count(), 0);
  EXPECT_TRUE(fake_.messages.empty());

  // The shell does not know the folder: the root is "\Content.IE5\" on the current drive.
  fake_.cache_path = std::wstring();
  fake_.AddSubfolder(L"\\Content.IE5", L"ROOT0000");
  fake_.AddFile(L"\\Content.IE5\\ROOT0000", L"r.gif");
  Search(L".gif");
  EXPECT_EQ(paths_.Items(), (std::vector<std::wstring>{L"\\Content.IE5\\ROOT0000\\r.gif"}));

  // A path that cannot be read: nothing is enumerated.
  fake_.cache_path.reset();
  Search(L".gif");
  EXPECT_EQ(paths_.Count(), 0);
  EXPECT_EQ(folders_.Count(), 0);
}

TEST_F(RunSearchTest, RunsRebuildFromScratchAndClearTheSelection) {
  const std::wstring b = Bucket(L"AAAA0000");
  for (auto n : {L"1.gif", L"2.gif", L"3.gif"}) fake_.AddFile(b, n);
  Search(L".gif");
  const auto first = paths_.Items();
  names_.SetCurrentIndex(1);
  paths_.SetCurrentIndex(1);
  Search(L".gif");
  EXPECT_EQ(paths_.Items(), first);
  EXPECT_EQ(names_.CurrentIndex(), -1);
  EXPECT_EQ(paths_.CurrentIndex(), -1);
  EXPECT_EQ(paths_.CurrentText(), L"");
}

TEST_F(RunSearchTest, DuplicatePathsDifferingInCaseAreListedOnce) {
  // Two bucket entries for one folder (as a case-insensitive file system can report after a
  // rename) give the same files twice; the first spelling wins.
  fake_.AddFile(Bucket(L"AAAA0000"), L"Logo.gif");
  fake_.AddFile(root_, L"aaaa0000");
  fake_.folders[root_ + L"aaaa0000\\"] = fake_.folders[root_ + L"AAAA0000\\"];
  fake_.AddFile(root_ + L"aaaa0000", L"other.gif");
  Search(L".gif");
  EXPECT_EQ(paths_.Items(), (std::vector<std::wstring>{root_ + L"AAAA0000\\Logo.gif", root_ + L"aaaa0000\\other.gif"}));
  ExpectParallel();
}

TEST_F(RunSearchTest, FullCacheBeyondSixteenBitCountsIsListedWhole) {
  const int per_bucket = 12000;
  for (int b = 0; b < 4; ++b) {
    const std::wstring folder = Bucket(L"BUCKET0" + std::to_wstring(b));
    auto& entries = fake_.folders[folder];
    for (int i = 0; i < per_bucket; ++i) entries.push_back({L"f" + std::to_wstring(i) + L"[1].gif"});
  }
  Search(L".gif");
  EXPECT_EQ(paths_.Count(), 4 * per_bucket);
  EXPECT_EQ(names_.Item(4 * per_bucket - 1), L"f11999[1].gif");
  ExpectParallel();
}

// A names list that cannot take every entry, as a control out of memory.
class ShortList : public MemoryStringList {
 public:
  void AppendMany(std::vector<std::wstring>&& items) override {
    if (!items.empty()) items.pop_back();
    MemoryStringList::AppendMany(std::move(items));
  }
};

TEST_F(RunSearchTest, NamesThatDoNotMatchThePathsOneForOneAreNotListed) {
  const std::wstring b = Bucket(L"AAAA0000");
  for (auto n : {L"1.gif", L"2.gif"}) fake_.AddFile(b, n);
  ShortList names;
  extensions_.SetCurrentIndex(0);
  RunSearch(fake_, {names, folders_, paths_, extensions_});
  EXPECT_EQ(names.Count(), 0);
  EXPECT_EQ(paths_.Count(), 0);
}

TEST(NamePart, TakesWhatFollowsTheLastSeparator) {
  EXPECT_EQ(NamePart(L"C:\\a\\b.gif"), L"b.gif");
  EXPECT_EQ(NamePart(L"b.gif"), L"b.gif");
  EXPECT_EQ(NamePart(L"C:\\a\\"), L"");
}

}  // namespace
}  // namespace tallow
