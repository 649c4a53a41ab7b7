#include "search/run_search.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "platform/file_names.h"

namespace tallow {
namespace {

using testing::FakeNamesList;
using testing::FakePlatform;
using testing::MemoryStringList;
using Strings = std::vector<std::wstring>;

class ScanCacheTest : public ::testing::Test {
 protected:
  void SetUp() override { ie5_ = fake_.Container(); }

  std::wstring Bucket(const std::wstring& name, const std::wstring& container = L"Content.IE5") {
    return fake_.AddSubfolder(fake_.Container(container), name);
  }

  Strings Paths(std::wstring_view extension) {
    const CacheListing listing = ScanCache(fake_, extension);
    Strings paths;
    for (size_t i = 0; i < listing.Count(); ++i) {
      EXPECT_EQ(listing.Name(i), NamePart(listing.Path(i)));
      paths.push_back(listing.Path(i));
    }
    return paths;
  }
  Strings Names(std::wstring_view extension) {
    Strings names;
    for (const std::wstring& path : Paths(extension)) names.emplace_back(NamePart(path));
    return names;
  }

  FakePlatform fake_;
  std::wstring ie5_;
};

TEST_F(ScanCacheTest, BucketsAreTheDotlessEntriesOfEachContainer) {
  // Adjacent dotted entries are the classic trap for removal while walking forward.
  fake_.AddFile(ie5_, L"index.dat");
  fake_.AddFile(ie5_, L"desktop.ini");
  fake_.AddFile(Bucket(L"ABCD1234"), L"a.gif");
  fake_.AddFile(ie5_, L"x.y");
  fake_.AddSubfolder(ie5_, L"dotted.dir");
  fake_.AddFile(fake_.AddSubfolder(ie5_, L"dotted.dir"), L"hidden.gif");
  fake_.AddFile(Bucket(L"QWER5678"), L"b.gif");
  fake_.AddFile(ie5_, L"NODOTS");  // a dotless file is tried like a folder and lists nothing
  EXPECT_EQ(Names(L".gif"), (Strings{L"a.gif", L"b.gif"}));
}

TEST_F(ScanCacheTest, SubstringAndCaseRules) {
  const std::wstring b = Bucket(L"AAAA0000");
  for (auto n : {L"a.jpg", L"B.JPG", L"x.jpg.tmp", L"page.html", L"page.htm", L"clip.wmv"}) fake_.AddFile(b, n);
  fake_.AddSubfolder(b, L"sub.jpg");
  fake_.AddFile(b + L"sub.jpg", L"deep.jpg");  // below a bucket folder: never reached
  EXPECT_EQ(Names(L".jpg"), (Strings{L"a.jpg", L"x.jpg.tmp", L"sub.jpg"}));
  EXPECT_EQ(Names(L".htm"), (Strings{L"page.html", L"page.htm"}));
  EXPECT_EQ(Names(L"wmv"), (Strings{L"clip.wmv"}));
  // An extension in the cache's own path matches every entry, "." and ".." too.
  EXPECT_EQ(Paths(L".IE5").front(), b + L".");
  EXPECT_EQ(Paths(L".IE5").size(), 9u);
  EXPECT_TRUE(Paths(L"").empty());
}

TEST_F(ScanCacheTest, EveryContainerInTurnAndNothingElse) {
  for (auto container : {L"IE", L"Low\\IE", L"Low\\Content.IE5", L"Content.IE5"}) {
    fake_.AddFile(Bucket(L"B1", container), std::wstring(container).substr(0, 3) + L"1.gif");
    fake_.AddFile(Bucket(L"B2", container), std::wstring(container).substr(0, 3) + L"2.gif");
  }
  for (auto other : {L"Low", L"Virtualized", L"Content.Outlook", L"Content.MSO"}) {
    fake_.AddFile(Bucket(L"B3", other), L"other.gif");
  }
  EXPECT_EQ(Names(L".gif"), (Strings{L"Con1.gif", L"Con2.gif", L"Low1.gif", L"Low2.gif", L"IE1.gif", L"IE2.gif",
                                     L"Low1.gif", L"Low2.gif"}));
  EXPECT_EQ(Paths(L".gif")[5], fake_.Container(L"IE") + L"B2\\IE2.gif");
  EXPECT_EQ(Paths(L".gif")[7], fake_.Container(L"Low\\IE") + L"B2\\Low2.gif");
}

TEST_F(ScanCacheTest, LinksAreNeverEntered) {
  const std::wstring elsewhere = fake_.AddSubfolder(L"C:\\Users\\me", L"Documents");
  fake_.AddFile(elsewhere, L"precious.gif");
  fake_.AddFile(Bucket(L"REAL0000"), L"cached.gif");
  // A bucket that is a link to the user's documents, and a container that is one.
  fake_.AddSubfolder(ie5_, L"LINK0000", /*link=*/true);
  fake_.folders[ie5_ + L"LINK0000\\"] = fake_.folders[elsewhere];
  const std::wstring low = fake_.Container(L"Low");
  fake_.AddSubfolder(low, L"IE", /*link=*/true);
  fake_.AddFile(fake_.AddSubfolder(low + L"IE", L"BUCKET00"), L"linked.gif");
  EXPECT_EQ(Names(L".gif"), Strings{L"cached.gif"});
}

TEST_F(ScanCacheTest, NamesNoWindowsFileSystemHoldsAreLeftOut) {
  const std::wstring b = Bucket(L"AAAA0000");
  for (auto n : {L"a\\b.gif", L"c/d.gif", L"e:f.gif", L"*.gif", L"g?.gif", L"\"h\".gif", L"<i>.gif", L"j|k.gif",
                 L"tab\t.gif", L"ok [1].gif"}) {
    fake_.AddFile(b, n);
  }
  EXPECT_EQ(Names(L".gif"), Strings{L"ok [1].gif"});

  // Nor a bucket's: LNK\DOCS, beside a link LNK, would lead into the link.
  const std::wstring docs = fake_.AddSubfolder(L"C:\\Users\\me", L"Documents");
  fake_.AddFile(docs, L"precious.gif");
  fake_.AddSubfolder(ie5_, L"LNK", /*link=*/true);
  fake_.folders[Bucket(L"LNK\\DOCS")] = fake_.folders[docs];
  EXPECT_EQ(Names(L".gif"), Strings{L"ok [1].gif"});
}

TEST_F(ScanCacheTest, DuplicatesAsTheFileSystemSeesThem) {
  // Two bucket entries for one folder, as a case-insensitive file system can report after a
  // rename, give the same files twice; the first spelling wins.
  fake_.AddFile(Bucket(L"AAAA0000"), L"Logo.gif");
  fake_.AddSubfolder(ie5_, L"aaaa0000");
  fake_.folders[ie5_ + L"aaaa0000\\"] = fake_.folders[ie5_ + L"AAAA0000\\"];
  fake_.AddFile(ie5_ + L"aaaa0000", L"other.gif");
  EXPECT_EQ(Paths(L".gif"), (Strings{ie5_ + L"AAAA0000\\Logo.gif", ie5_ + L"aaaa0000\\other.gif"}));
}

TEST_F(ScanCacheTest, NoCacheFolderNoScan) {
  fake_.AddFile(Bucket(L"AAAA0000"), L"a.gif");
  fake_.AddFile(fake_.AddSubfolder(L"\\Content.IE5", L"ROOT0000"), L"r.gif");
  fake_.cache_path = std::wstring();  // the shell does not know the folder
  EXPECT_TRUE(Paths(L".gif").empty());
  fake_.cache_path.reset();  // its path cannot be read
  EXPECT_TRUE(Paths(L".gif").empty());
}

TEST_F(ScanCacheTest, OneUnlistableBucketDoesNotStopTheOthers) {
  fake_.AddFile(Bucket(L"AAAA0000"), L"1.gif");
  fake_.unlistable.push_back(Bucket(L"BBBB0000"));
  fake_.AddFile(Bucket(L"CCCC0000"), L"3.gif");
  EXPECT_EQ(Names(L".gif"), (Strings{L"1.gif", L"3.gif"}));
}

TEST_F(ScanCacheTest, AFullCacheOfEveryContainerIsListedWhole) {
  const int per_bucket = 15000;
  for (auto container : kCacheContainers) {
    for (int b = 0; b < 4; ++b) {
      auto& entries = fake_.folders[Bucket(L"BUCKET0" + std::to_wstring(b), std::wstring(container))];
      for (int i = 0; i < per_bucket; ++i) entries.push_back({L"f" + std::to_wstring(i) + L"[1].gif"});
    }
  }
  const CacheListing listing = ScanCache(fake_, L".gif");
  EXPECT_EQ(listing.Count(), 16u * per_bucket);
  EXPECT_EQ(listing.Name(listing.Count() - 1), L"f14999[1].gif");
  EXPECT_LT(fake_.paths_equal_calls, 50);  // container look-ups only: distinct paths are never compared
}

// A names list that cannot take every entry, as a control out of memory.
class ShortList : public FakeNamesList {
 public:
  void ShowRows(int count) override { FakeNamesList::ShowRows(count > 0 ? count - 1 : 0); }
};

TEST_F(ScanCacheTest, RunSearchShowsTheListingOrTheReminder) {
  const std::wstring b = Bucket(L"AAAA0000");
  for (auto n : {L"1.gif", L"2.gif"}) fake_.AddFile(b, n);
  FakeNamesList names;
  MemoryStringList extensions;
  for (auto e : {L"", L".gif"}) extensions.Append(e);
  ResultLists results(names);

  extensions.SetCurrentIndex(1);
  RunSearch(fake_, results, extensions);
  ASSERT_EQ(names.Count(), 2);
  EXPECT_EQ(results.Name(1), L"2.gif");
  EXPECT_EQ(names.focused, 1);
  EXPECT_FALSE(results.CurrentPath());  // nothing current after a scan
  names.Pick(1);
  EXPECT_EQ(results.CurrentPath(), b + L"2.gif");

  extensions.SetCurrentIndex(0);
  RunSearch(fake_, results, extensions);
  ASSERT_EQ(fake_.messages.size(), 1u);
  EXPECT_EQ(fake_.messages[0].text, L"请选择完整后缀名，如：.flv        ");
  EXPECT_EQ(fake_.messages[0].title, L"提醒 —— Quistemar");
  EXPECT_EQ(fake_.messages[0].icon, MessageIcon::kInformation);
  EXPECT_EQ(names.Count(), 0);
  EXPECT_EQ(results.listing()->Count(), 0u);

  ShortList short_names;
  ResultLists short_results(short_names);
  extensions.SetCurrentIndex(1);
  RunSearch(fake_, short_results, extensions);
  EXPECT_EQ(short_names.Count(), 0);
  EXPECT_EQ(short_results.listing()->Count(), 0u);
}

}  // namespace
}  // namespace tallow
