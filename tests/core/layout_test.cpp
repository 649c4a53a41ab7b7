#include <gtest/gtest.h>

#include "window/layout.h"

namespace tallow {
namespace {

using Names = std::vector<std::wstring_view>;

TEST(LayoutTest, TwipsBecomePixelsRoundedToTheNearest) {
  EXPECT_EQ(TwipsToPixels(15, 96), 1);
  EXPECT_EQ(TwipsToPixels(6060, 96), 404);
  EXPECT_EQ(TwipsToPixels(40, 96), 3);    // 2.67
  EXPECT_EQ(TwipsToPixels(140, 96), 9);   // 9.33
  EXPECT_EQ(TwipsToPixels(1440, 144), 144);
  EXPECT_EQ(TwipsToPixels(40, 144), 4);  // 4.0
  EXPECT_EQ(TwipsToPixels(0, 192), 0);
  EXPECT_EQ(ScaleFromBaseDpi(500, 96), 500);
  EXPECT_EQ(ScaleFromBaseDpi(500, 120), 625);
  EXPECT_EQ(ScaleFromBaseDpi(5000, 144), 7500);
}

TEST(LayoutTest, ContainerOffsetsAreAddedBeforeConverting) {
  // Text1 sits in Frame2: 3640 + 40 twips is 245.3 px, where converting each part would give 246.
  EXPECT_EQ(PixelRectOf(L"Text1", 96), (PixelRect{245, 165, 65, 22}));
  EXPECT_EQ(PixelRectOf(L"Command1", 96), (PixelRect{83, 164, 75, 23}));
  EXPECT_EQ(PixelRectOf(L"Combo1", 96), (PixelRect{319, 168, 81, 20}));
  EXPECT_EQ(PixelRectOf(L"List1", 96), (PixelRect{3, 9, 397, 148}));
  EXPECT_EQ(AbsolutePlacement(L"Combo1")->left, 4780);
  EXPECT_EQ(AbsolutePlacement(L"Command3")->top, 2460);
  EXPECT_FALSE(PixelRectOf(L"Form1", 96));
  EXPECT_FALSE(PixelRectOf(L"List9", 96));
}

TEST(LayoutTest, EverythingScalesWithTheDisplay) {
  EXPECT_EQ(FormClientPixels(96), (PixelRect{0, 0, 404, 190}));
  EXPECT_EQ(FormClientPixels(144), (PixelRect{0, 0, 606, 285}));
  EXPECT_EQ(FormClientPixels(192), (PixelRect{0, 0, 808, 380}));
  EXPECT_EQ(PixelRectOf(L"List1", 192), (PixelRect{5, 19, 795, 296}));
  // The hidden lists lie below the client area at every DPI.
  for (int dpi : {96, 120, 144, 192}) {
    EXPECT_GE(PixelRectOf(L"List3", dpi)->top, FormClientPixels(dpi).height);
    EXPECT_GE(PixelRectOf(L"List2", dpi)->top, FormClientPixels(dpi).height);
  }
}

TEST(LayoutTest, TabOrderSkipsFramesHoldersAndHiddenLists) {
  EXPECT_EQ(TabOrder(), (Names{L"Command1", L"Command2", L"Combo1", L"Command3", L"Text1", L"List1"}));
}

}  // namespace
}  // namespace tallow
