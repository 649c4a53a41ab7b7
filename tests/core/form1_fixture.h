// The main window's handlers wired to fakes of every control, over a small cache.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_platform.h"
#include "window/form1.h"

namespace tallow::testing {

using Strings = std::vector<std::wstring>;

class Form1Test : public ::testing::Test {
 protected:
  Form1Test() : form_(fake_, host_, {list1_, combo1_, text1_, command1_, command2_}) {
    root_ = fake_.Container();
    fake_.AddSubfolder(root_, L"AAAA0000");
    fake_.AddSubfolder(root_, L"BBBB0000");
    a_ = root_ + L"AAAA0000\\";
    for (auto n : {L"one[1].gif", L"two[1].gif", L"three[1].jpg"}) fake_.AddFile(a_, n);
    fake_.AddFile(root_ + L"BBBB0000", L"four[1].gif");
    fake_.AddFile(root_ + L"BBBB0000", L"locked[1].gif", /*undeletable=*/true);
    form_.OnLoad();
  }

  void Pick(std::wstring_view extension) {
    for (int i = 0; i < combo1_.Count(); ++i) {
      if (combo1_.Item(i) == extension) {
        combo1_.SetCurrentIndex(i);
        return form_.OnCombo1Click();
      }
    }
  }

  // Makes the listed name current, as a click would.
  void Select(std::wstring_view name) {
    const Strings names = Names();
    const auto it = std::ranges::find(names, name);
    ASSERT_NE(it, names.end()) << "not listed";
    list1_.Pick(static_cast<int>(it - names.begin()));
  }

  FakePlatform fake_;
  FakeHost host_;
  // What the names list shows, row by row.
  Strings Names() const {
    Strings names;
    for (int i = 0; i < list1_.Count(); ++i) names.emplace_back(form_.results().Name(i));
    return names;
  }

  FakeNamesList list1_;
  MemoryStringList combo1_;
  FakeTextBox text1_;
  FakeButton command1_, command2_;
  Form1 form_;
  std::wstring root_, a_;
};

}  // namespace tallow::testing
