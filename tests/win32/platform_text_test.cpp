// Path comparison as the file system makes it, and the duplicate search's hash that must agree.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace tallow {
namespace {

TEST(PlatformPaths, EqualIgnoringCaseOnlyAndHashedAlike) {
  Win32Platform platform;
  const std::pair<std::wstring_view, std::wstring_view> same[] = {
      {L"C:\\Cache\\IE\\ABCD1234\\PHOTO[1].GIF", L"c:\\cache\\ie\\abcd1234\\photo[1].gif"},
      {L"C:\\缓存\\图片[1].GIF", L"c:\\缓存\\图片[1].gif"},
      {L"ÀÉÎÕÜ.jpg", L"àéîõü.JPG"},
      {L"ΣΟΦΙΑ", L"σοφια"},
  };
  for (const auto& [a, b] : same) {
    EXPECT_TRUE(platform.PathsEqual(a, b));
    EXPECT_EQ(platform.PathHash(a), platform.PathHash(b));
    // Hashing a folder once and continuing with the name gives the whole path's hash.
    const size_t split = a.size() / 2;
    EXPECT_EQ(platform.PathHash(a.substr(split), platform.PathHash(a.substr(0, split))), platform.PathHash(a));
  }
  // Distinct directory entries that only a language's rules would call the same.
  const std::pair<std::wstring_view, std::wstring_view> distinct[] = {
      {L"caf\u00E9.gif", L"cafe\u0301.gif"}, {L"\u212B.gif", L"\u00C5.gif"}, {L"ab.gif", L"a\u00ADb.gif"},
      {L"ab.gif", L"a\u200Db.gif"},          {L"a-b.gif", L"ab.gif"},        {L"photo[1].gif", L"photo[1].gi"},
  };
  for (const auto& [a, b] : distinct) EXPECT_FALSE(platform.PathsEqual(a, b));
}

}  // namespace
}  // namespace tallow
