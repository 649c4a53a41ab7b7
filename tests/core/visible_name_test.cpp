#include "lists/visible_name.h"

#include <gtest/gtest.h>

#include "actions/file_actions.h"
#include "fakes/fake_platform.h"

namespace tallow {
namespace {

TEST(VisibleNameTest, NamesAreDrawnAsSpelledWhileTheActionsKeepTheFile) {
  const struct {
    std::wstring name, drawn;
  } cases[] = {
      {L"pic\u202Efig.exe", L"pic<U+202E>fig.exe"},
      {L"a\u200Bb\uFEFF\u2066.gif", L"a<U+200B>b<U+FEFF><U+2066>.gif"},
      {L"m.gif.exe\u3000. ", L"m.gif.exe<U+3000><U+002E><U+0020>"},
      {L"photo.gif ", L"photo.gif<U+0020>"},
      {L"photo.gif.", L"photo.gif<U+002E>"},
      {L"photo\uFE0F.gif", L"photo<U+FE0F>.gif"},
      {L"a\U0001D173b\u034F.gif", L"a<U+1D173>b<U+034F>.gif"},
      {std::wstring{L'a', static_cast<wchar_t>(0xDC00), L'b'}, L"a<U+DC00>b"},
      {L"x" + std::wstring(255, L'\u200B') + L".gif", L"x<255 × U+200B>.gif"},
      {L"a  \u034F  b.gif", L"a<5 blank or hidden>b.gif"},
      {L"n\u0303\u0303\u0303\u0303.gif", L"n\u0303\u0303\u0303\u0303.gif"},
      {L"e\u0301\u0300\u0301\u0300\u0301.gif", L"e<5 combining marks>.gif"},
      {L"tag.exe\U000E0020", L"tag.exe<U+E0020>"},
      {L"aaa-invoice.pdf" + std::wstring(150, L' ') + L".rdp", L"aaa-invoice.pdf<150 spaces>.rdp"},
      {L"a\u2800b\u3164\u2800\u2800\u2800.gif", L"a<U+2800>b<4 blanks>.gif"},
      {L"缓存\u3000图片\U0001F600[1].gif", L"缓存\u3000图片\U0001F600[1].gif"},
  };
  for (const auto& c : cases) EXPECT_EQ(VisibleName(c.name), c.drawn);

  testing::FakePlatform fake;
  const std::wstring path = L"C:\\Cache\\AAAA0000\\pic\u202Efig.exe";
  fake.answer_yes = true;
  OpenListed(fake, path);
  ASSERT_EQ(fake.questions.size(), 1u);
  EXPECT_TRUE(fake.questions[0].text.starts_with(L"打开此文件前请确认：\r\npic<U+202E>fig.exe\r\n"));
  EXPECT_EQ(fake.opened, std::vector<std::wstring>{path});
  EXPECT_EQ(SavedText(L"pic\u202Efig.exe"), L"保存   pic<U+202E>fig.exe   成功");
  OpenListed(fake, L"C:\\Cache\\AAAA0000\\photo\uFE0F.gif");
  EXPECT_EQ(fake.questions.size(), 2u);  // a picture, but not the one it looks like
}

// A line of its own: the end that tells the type stays, and nothing written out is cut.
TEST(VisibleNameTest, LongNamesAreShortenedInTheMiddle) {
  const auto times = [](int n, std::wstring_view text) {
    std::wstring all;
    while (n-- > 0) all += text;
    return all;
  };
  const struct {
    std::wstring name, shortened;
  } cases[] = {
      {L"photo.gif", L"photo.gif"},
      {L"photo.gif " + times(120, L"W") + L" 位置：IE＼SAFE0001＼x.rdp",
       L"photo.gif " + times(29, L"W") + L"…" + times(13, L"W") + L" 位置：IE＼SAFE0001＼x.rdp"},
      {times(60, L"a") + L"." + times(50, L"b"), times(27, L"a") + L"…." + times(50, L"b")},
      {times(40, L"a\u200B") + L".gif", times(4, L"a<U+200B>") + L"a…<U+200B>" + times(3, L"a<U+200B>") + L".gif"},
  };
  for (const auto& c : cases) EXPECT_EQ(VisibleNameWithin(c.name, 80), c.shortened);
}

}  // namespace
}  // namespace tallow
