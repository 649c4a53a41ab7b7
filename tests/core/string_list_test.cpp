#include <gtest/gtest.h>

#include "lists/string_list.h"

namespace tallow {
namespace {

TEST(MemoryStringList, ClickOnlyWhenCurrentIndexChanges) {
  MemoryStringList list;
  int clicks = 0;
  list.SetClickHandler([&] { ++clicks; });
  list.Append(L"a");
  list.Append(L"b");
  EXPECT_EQ(list.CurrentIndex(), -1);
  EXPECT_EQ(list.CurrentText(), L"");
  list.SetCurrentIndex(1);
  list.SetCurrentIndex(1);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(list.CurrentText(), L"b");
  list.SetCurrentIndex(5);  // out of range: ignored
  EXPECT_EQ(list.CurrentIndex(), 1);
  list.SetCurrentIndex(-1);
  EXPECT_EQ(clicks, 2);
}

TEST(MemoryStringList, RemovingKeepsCurrentOnSameText) {
  MemoryStringList list;
  for (auto s : {L"a", L"b", L"c"}) list.Append(s);
  list.SetCurrentIndex(2);
  EXPECT_TRUE(list.RemoveAt(0));
  EXPECT_EQ(list.CurrentText(), L"c");
  EXPECT_TRUE(list.RemoveAt(1));
  EXPECT_EQ(list.CurrentIndex(), -1);
  EXPECT_FALSE(list.RemoveAt(7));
}

TEST(MemoryStringList, TopIndexClampsToWhatFitsInView) {
  MemoryStringList list(10);
  for (int i = 0; i < 30; ++i) list.Append(std::to_wstring(i));
  list.SetTopIndex(20);
  EXPECT_EQ(list.TopIndex(), 20);
  list.SetTopIndex(25);
  EXPECT_EQ(list.TopIndex(), 20);
  list.SetTopIndex(40);  // beyond the list: ignored
  EXPECT_EQ(list.TopIndex(), 20);
  list.Clear();
  EXPECT_EQ(list.TopIndex(), 0);
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
}  // namespace tallow
