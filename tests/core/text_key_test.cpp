#include "search/text_key.h"

#include "platform/platform.h"

#include <gtest/gtest.h>

#include <map>

namespace tallow {
namespace {

// Weights as a locale might give them: letters by their lowercase, "ß" as "ss", the hyphen
// ignored, CJK by its own code unit, and one unit with weights too long for a key span.
class FakeWeights {
 public:
  std::wstring operator()(wchar_t unit) {
    ++asked[unit];
    if (unit == L'-') return L"";
    if (unit == L'ß') return L"ss";
    if (unit == L'…') return std::wstring(300, L'.');
    if (unit >= L'A' && unit <= L'Z') return std::wstring(1, static_cast<wchar_t>(unit + 32));
    return std::wstring(1, unit);
  }
  std::map<wchar_t, int> asked;
};

TEST(TextKeyBuilderTest, ConcatenatesTheWeightsOfEachUnit) {
  FakeWeights weights;
  TextKeyBuilder keys([&](wchar_t unit) { return weights(unit); });
  EXPECT_EQ(keys.Build(L"Straße-Photo[1].GIF"), L"strassephoto[1].gif");
  EXPECT_EQ(keys.Build(L"STRASSEPHOTO[1].gif"), L"strassephoto[1].gif");
  EXPECT_EQ(keys.Build(L"缓存图片"), L"缓存图片");
  EXPECT_EQ(keys.Build(L""), L"");
  EXPECT_EQ(keys.Build(L"a…b"), L"a" + std::wstring(255, L'.') + L"b");
}

TEST(TextKeyBuilderTest, HashFollowsTheKeyWhateverUnitsItCameFrom) {
  FakeWeights weights;
  TextKeyBuilder keys([&](wchar_t unit) { return weights(unit); });
  auto hash = [&](std::wstring_view text) { return keys.Hash(text, Platform::kTextKeyHashStart); };
  EXPECT_EQ(hash(L"Straße-Photo[1].GIF"), hash(L"STRASSEPHOTO[1].gif"));
  EXPECT_EQ(hash(L"Straße-Photo[1].GIF"), Platform::HashKeyUnits(L"strassephoto[1].gif", Platform::kTextKeyHashStart));
  EXPECT_EQ(hash(L"x\U0001F600"), hash(L"X"));
  EXPECT_NE(hash(L"ab.gif"), hash(L"ba.gif"));
  EXPECT_NE(hash(L"缓存"), hash(L"存缓"));
  // A folder hashed once, then each name from there, gives the full path's hash.
  EXPECT_EQ(keys.Hash(L"Photo[1].GIF", hash(L"C:\\Cache\\ABCD-1234\\")), hash(L"c:\\cache\\abcd1234\\photo[1].gif"));
}

TEST(TextKeyBuilderTest, AsksOncePerUnitAndNeverForSurrogates) {
  FakeWeights weights;
  TextKeyBuilder keys([&](wchar_t unit) { return weights(unit); });
  keys.Build(L"abcabc");
  keys.Build(L"cba-\U0001F600-\U00020000");
  for (const auto& [unit, count] : weights.asked) EXPECT_EQ(count, 1) << static_cast<int>(unit);
  EXPECT_EQ(weights.asked.size(), 4u);
  // Supplementary characters are left out, so two emoji share a key; the comparison decides.
  EXPECT_EQ(keys.Build(L"x\U0001F600.gif"), keys.Build(L"x\U0001F601.gif"));
}

TEST(DifferOnlyInAsciiCaseTest, OnlyAsciiLettersMayDifferInCase) {
  EXPECT_TRUE(DifferOnlyInAsciiCase(L"C:\\Cache\\PHOTO[1].Gif", L"c:\\cache\\photo[1].gIF"));
  EXPECT_TRUE(DifferOnlyInAsciiCase(L"缓存A", L"缓存a"));
  EXPECT_TRUE(DifferOnlyInAsciiCase(L"", L""));
  EXPECT_FALSE(DifferOnlyInAsciiCase(L"photo", L"photos"));
  EXPECT_FALSE(DifferOnlyInAsciiCase(L"É", L"é"));  // the locale decides beyond ASCII
  EXPECT_FALSE(DifferOnlyInAsciiCase(L"[", L"{"));  // 0x5B and 0x7B differ by the case bit only
  EXPECT_FALSE(DifferOnlyInAsciiCase(L"@", L"`"));
}

}  // namespace
}  // namespace tallow
