#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "search/remove_dups.h"

namespace tallow {
namespace {

using testing::FakePlatform;
using Strings = std::vector<std::wstring>;

Strings Dedup(Strings entries, int comptype) {
  FakePlatform fake;
  RemoveDups(entries, comptype, fake);
  return entries;
}

TEST(RemoveDups, KeepsFirstOccurrencesInOrder) {
  EXPECT_EQ(Dedup({}, 0), Strings{});
  EXPECT_EQ(Dedup({L"a"}, 0), Strings{L"a"});
  EXPECT_EQ(Dedup({L"a", L"B", L"A", L"b", L"a"}, 0), (Strings{L"a", L"B"}));
  EXPECT_EQ(Dedup({L"a", L"B", L"A", L"b", L"a"}, 1), (Strings{L"a", L"B", L"A", L"b"}));
  EXPECT_EQ(Dedup({L"a", L"B", L"A", L"b", L"a"}, -7), (Strings{L"a", L"B", L"A", L"b"}));
  EXPECT_EQ(Dedup({L"x", L"x", L"x"}, 0), Strings{L"x"});
  EXPECT_EQ(Dedup({L"", L"", L"y", L""}, 1), (Strings{L"", L"y"}));
}

// A key that lumps every text together must still leave the comparison to decide.
class CollidingKeys : public FakePlatform {
 public:
  std::wstring TextKey(std::wstring_view) override { return L"same"; }
};

TEST(RemoveDups, KeyCollisionsNeverRemoveUnequalEntries) {
  CollidingKeys fake;
  Strings entries{L"one", L"two", L"ONE", L"three", L"Two"};
  RemoveDups(entries, 0, fake);
  EXPECT_EQ(entries, (Strings{L"one", L"two", L"three"}));
}

TEST(RemoveDups, MatchesThePairwiseWalkOnLargeMixedInput) {
  Strings entries;
  for (int i = 0; i < 3000; ++i) {
    std::wstring s = L"C:\\Cache\\B" + std::to_wstring(i % 7) + L"\\f" + std::to_wstring(i % 1111) + L".gif";
    if (i % 3 == 0) {
      for (auto& c : s) c = static_cast<wchar_t>(std::towupper(c));
    }
    entries.push_back(s);
  }
  // The straightforward quadratic walk, as a reference.
  Strings expected = entries;
  for (size_t i = 0; i + 1 < expected.size(); ++i) {
    for (size_t j = i + 1; j < expected.size(); ++j) {
      if (FakePlatform::Fold(expected[j]) == FakePlatform::Fold(expected[i])) expected.erase(expected.begin() + j--);
    }
  }
  FakePlatform fake;
  RemoveDups(entries, 0, fake);
  EXPECT_EQ(entries, expected);
}

TEST(RemoveDups, LargeDistinctInputNeedsNoComparisons) {
  Strings entries;
  for (int i = 0; i < 60000; ++i) entries.push_back(L"C:\\Cache\\Content.IE5\\X\\f" + std::to_wstring(i) + L"[1].gif");
  FakePlatform fake;
  RemoveDups(entries, 0, fake);
  EXPECT_EQ(entries.size(), 60000u);
  EXPECT_EQ(fake.text_equal_calls, 0);
}

TEST(RemoveDups, OnAListRemovesInPlaceKeepingTheRest) {
  MemoryStringList list;
  for (auto s : {L"a", L"B", L"A", L"b", L"a", L"c"}) list.Append(s);
  FakePlatform fake;
  RemoveDups(list, 0, fake);
  EXPECT_EQ(list.Items(), (Strings{L"a", L"B", L"c"}));
}

}  // namespace
}  // namespace tallow
