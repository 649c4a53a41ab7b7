// The locale's case-insensitive comparison and the duplicate-search key that must agree with it.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/win32_platform.h"
#include "search/remove_dups.h"

namespace tallow {
namespace {

class PlatformTextTest : public ::testing::Test {
 protected:
  // The one property the duplicate search relies on: equal texts share a key.
  void ExpectKeyFollowsEquality(std::wstring_view a, std::wstring_view b) {
    if (platform_.TextEqual(a, b)) {
      EXPECT_EQ(platform_.TextKey(a), platform_.TextKey(b)) << "equal texts " << Hex(a) << " and " << Hex(b);
    }
  }
  static std::string Hex(std::wstring_view text) {
    std::string out;
    char unit[8];
    for (const wchar_t c : text) out += (std::snprintf(unit, sizeof unit, "%04X ", static_cast<unsigned>(c)), unit);
    return out;
  }
  static bool LocaleEqual(std::wstring_view a, std::wstring_view b) {
    return CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                           static_cast<int>(b.size()), nullptr, nullptr, 0) == CSTR_EQUAL;
  }

  Win32Platform platform_;
};

TEST_F(PlatformTextTest, CaseVariantsAreEqualWithEqualKeys) {
  const std::pair<std::wstring_view, std::wstring_view> variants[] = {
      {L"a", L"A"},
      {L"C:\\Cache\\Content.IE5\\ABCD1234\\PHOTO[1].GIF", L"c:\\cache\\content.ie5\\abcd1234\\photo[1].gif"},
      {L"C:\\缓存\\图片[1].GIF", L"c:\\缓存\\图片[1].gif"},
      {L"ÀÉÎÕÜ.jpg", L"àéîõü.JPG"},
      {L"ΣΟΦΊΑ", L"σοφία"},
  };
  for (const auto& [a, b] : variants) {
    EXPECT_TRUE(platform_.TextEqual(a, b)) << Hex(a);
    EXPECT_EQ(LocaleEqual(a, b), platform_.TextEqual(a, b)) << Hex(a);
    EXPECT_EQ(platform_.TextKey(a), platform_.TextKey(b)) << Hex(a);
  }
  EXPECT_TRUE(platform_.TextEqual(L"图片", L"图片"));
  EXPECT_FALSE(platform_.TextEqual(L"图片", L"新闻"));
  EXPECT_FALSE(platform_.TextEqual(L"photo[1].gif", L"photo[1].gi"));
}

TEST_F(PlatformTextTest, KeysFollowEqualityAcrossAsciiPairs) {
  for (wchar_t x = 0; x < 0x80; ++x) {
    for (wchar_t y = 0; y < 0x80; ++y) {
      const wchar_t a[] = {L'q', x, L'z'};
      const wchar_t b[] = {L'q', y, L'z'};
      ExpectKeyFollowsEquality({a, 3}, {b, 3});
    }
    const wchar_t inserted[] = {L'q', x, L'z'};
    ExpectKeyFollowsEquality({inserted, 3}, L"qz");
  }
}

TEST_F(PlatformTextTest, KeysFollowEqualityBeyondCase) {
  // Pairs that some locale calls equal: ligatures, sharp s, accents written apart, characters
  // the comparison ignores, compatibility letters, emoji. The key must follow wherever it does.
  const std::pair<std::wstring_view, std::wstring_view> pairs[] = {
      {L"straße.gif", L"STRASSE.gif"},
      {L"æther.jpg", L"AEther.jpg"},
      {L"café.htm", L"cafe\u0301.htm"},
      {L"\u212Aelvin", L"kelvin"},
      {L"ς", L"Σ"},
      {L"soft\u00ADhyphen", L"softhyphen"},
      {L"zero\u200Bwidth", L"zerowidth"},
      {L"ＡＢＣ", L"abc"},
      {L"\U0001F600.gif", L"\U0001F601.gif"},
      {L"图片\U00020000", L"图片\U00020001"},
      {L"a\u0000b", L"ab"},
  };
  for (const auto& [a, b] : pairs) ExpectKeyFollowsEquality(a, b);
}

TEST_F(PlatformTextTest, KeysTellApartWhatIsNotEqual) {
  const std::wstring_view texts[] = {L"photo[1].gif", L"photo[2].gif", L"photo[1].jpg", L"图片[1].gif",
                                     L"新闻[1].gif",  L"photo1.gif",   L"photo[1]gif",  L"PHOTO[1].GIFF"};
  for (const auto a : texts) {
    for (const auto b : texts) {
      if (a != b) {
        EXPECT_NE(platform_.TextKey(a), platform_.TextKey(b)) << Hex(a) << " / " << Hex(b);
      }
    }
  }
}

TEST_F(PlatformTextTest, DuplicateSearchKeepsTextsWhoseKeysOnlyCollide) {
  // A hyphen does not count in the key, but does in the comparison.
  ASSERT_FALSE(platform_.TextEqual(L"a-b.gif", L"ab.gif"));
  ASSERT_EQ(platform_.TextKey(L"a-b.gif"), platform_.TextKey(L"ab.gif"));

  std::vector<std::wstring> paths = {L"C:\\c\\a-b.gif",  L"C:\\c\\ab.gif",   L"C:\\C\\AB.GIF",
                                     L"C:\\c\\缓存.gif", L"c:\\C\\缓存.GIF", L"C:\\c\\A-B.gif"};
  RemoveDups(paths, 0, platform_);
  EXPECT_EQ(paths, (std::vector<std::wstring>{L"C:\\c\\a-b.gif", L"C:\\c\\ab.gif", L"C:\\c\\缓存.gif"}));
}

}  // namespace
}  // namespace tallow
