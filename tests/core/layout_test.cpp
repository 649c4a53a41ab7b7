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

TEST(LayoutTest, ContainerOffsetsAreAddedBeforeConvertingAtEveryDpi) {
  // Text1 sits in Frame2: 3640 + 40 twips is 245.3 px, where converting each part would give 246.
  EXPECT_EQ(PixelRectOf(ControlWithId(IDC_TEXT1), 96), (PixelRect{245, 165, 65, 22}));
  EXPECT_EQ(PixelRectOf(ControlWithId(IDC_COMMAND1), 96), (PixelRect{83, 164, 75, 23}));
  EXPECT_EQ(PixelRectOf(ControlWithId(IDC_COMBO1), 96), (PixelRect{319, 168, 81, 20}));
  EXPECT_EQ(PixelRectOf(ControlWithId(IDC_LIST1), 96), (PixelRect{3, 9, 397, 148}));
  EXPECT_EQ(FormClientPixels(96), (PixelRect{0, 0, 404, 190}));
  EXPECT_EQ(FormClientPixels(144), (PixelRect{0, 0, 606, 285}));
  EXPECT_EQ(PixelRectOf(ControlWithId(IDC_LIST1), 192), (PixelRect{5, 19, 795, 296}));
}

TEST(LayoutTest, TabOrderSkipsFramesAndHolders) {
  Names names;
  for (const FormControl* control : TabOrder()) names.push_back(control->name);
  EXPECT_EQ(names, (Names{L"Command1", L"Command2", L"Combo1", L"Command3", L"Text1", L"List1"}));
}

}  // namespace
}  // namespace tallow
