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
      {L"m.gif.exe\u3000. ", L"m.gif.exe<U+3000>. "},
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
}

}  // namespace
}  // namespace tallow
