#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "search/remove_dups.h"

namespace tallow {
namespace {

using testing::FakePlatform;
using Strings = std::vector<std::wstring>;

// A listing of full paths, each split into its folder and name.
CacheListing ListingOf(const Strings& paths) {
  CacheListing listing;
  std::vector<std::wstring> folders;
  for (const std::wstring& path : paths) {
    const std::wstring folder = path.substr(0, path.rfind(L'\\') + 1);
    auto it = std::find(folders.begin(), folders.end(), folder);
    if (it == folders.end()) {
      listing.AddFolder(folder);
      folders.push_back(folder);
      it = folders.end() - 1;
    }
    listing.AddEntry(static_cast<uint32_t>(it - folders.begin()), path.substr(folder.size()));
  }
  return listing;
}

Strings Dedup(const Strings& paths, int comptype, FakePlatform&& fake = FakePlatform()) {
  CacheListing listing = ListingOf(paths);
  RemoveDups(listing, comptype, fake);
  Strings kept;
  for (size_t i = 0; i < listing.Count(); ++i) kept.push_back(listing.Path(i));
  return kept;
}

TEST(RemoveDups, KeepsFirstOccurrencesInOrder) {
  EXPECT_EQ(Dedup({}, 0), Strings{});
  EXPECT_EQ(Dedup({L"a"}, 0), Strings{L"a"});
  EXPECT_EQ(Dedup({L"a", L"B", L"A", L"b", L"a"}, 0), (Strings{L"a", L"B"}));
  EXPECT_EQ(Dedup({L"a", L"B", L"A", L"b", L"a"}, 1), (Strings{L"a", L"B", L"A", L"b"}));
  EXPECT_EQ(Dedup({L"a", L"B", L"A", L"b", L"a"}, -7), (Strings{L"a", L"B", L"A", L"b"}));
  EXPECT_EQ(Dedup({L"x", L"x", L"x"}, 0), Strings{L"x"});
  // The same path split differently between folder and name is still the same path.
  EXPECT_EQ(Dedup({L"C:\\B\\f.gif", L"c:\\b\\F.GIF", L"C:\\B\\g.gif"}, 0), (Strings{L"C:\\B\\f.gif", L"C:\\B\\g.gif"}));
}

TEST(RemoveDups, NamesOnlyALanguageCallsEqualAreDistinctFiles) {
  // Composed and decomposed accents, the angstrom sign and the letter, a soft hyphen and a
  // zero-width joiner: distinct directory entries, all kept.
  const Strings distinct = {L"C:\\B\\caf\u00E9.gif", L"C:\\B\\cafe\u0301.gif", L"C:\\B\\\u212B.gif",
                            L"C:\\B\\\u00C5.gif",     L"C:\\B\\ab.gif",        L"C:\\B\\a\u00ADb.gif",
                            L"C:\\B\\a\u200Db.gif"};
  EXPECT_EQ(Dedup(distinct, 0), distinct);
}

// A hash that lumps every path together must still leave the comparison to decide.
class CollidingHashes : public FakePlatform {
 public:
  uint64_t PathHash(std::wstring_view, uint64_t) override { return 7; }
};

TEST(RemoveDups, HashCollisionsNeverRemoveUnequalEntries) {
  EXPECT_EQ(Dedup({L"one", L"two", L"ONE", L"three", L"Two"}, 0, CollidingHashes()),
            (Strings{L"one", L"two", L"three"}));
}

TEST(RemoveDups, MatchesThePairwiseWalkOnLargeMixedInput) {
  Strings entries;
  for (int i = 0; i < 3000; ++i) {
    std::wstring s = L"C:\\Cache\\B" + std::to_wstring(i % 7) + L"\\f" + std::to_wstring(i % 1111) + L".gif";
    if (i % 3 == 0) {
      for (auto& c : s) c = FakePlatform::Fold(c);
    }
    entries.push_back(s);
  }
  // The straightforward quadratic walk, as a reference.
  FakePlatform fake;
  Strings expected = entries;
  for (size_t i = 0; i + 1 < expected.size(); ++i) {
    for (size_t j = i + 1; j < expected.size(); ++j) {
      if (fake.PathsEqual(expected[j], expected[i])) expected.erase(expected.begin() + static_cast<long>(j--));
    }
  }
  EXPECT_EQ(Dedup(entries, 0), expected);
}

}  // namespace
}  // namespace tallow
