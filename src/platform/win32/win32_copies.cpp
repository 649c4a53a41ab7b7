#include "platform/win32/win32_platform.h"

// The saved copies: what a path names, whether two files hold the same bytes, removing what a
// failed copy left, and the mark of the Internet on what was saved.
#include <algorithm>
#include <vector>

#include "platform/win32/exact_path.h"

namespace tallow {
namespace {

// The full path, separators doubled by a drive root's folder taken out.
std::wstring FullPath(const std::wstring& path) {
  std::wstring full(kLongPathChars, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), kLongPathChars, full.data(), nullptr);
  full.resize(length < kLongPathChars ? length : 0);
  return full;
}

}  // namespace

EntryKind Win32Platform::KindOf(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(ExactPath(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::kFolder : EntryKind::kFile;
  }
  // Only a name that is surely free counts as nothing: a failed copy removes what it finds there.
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? EntryKind::kNone : EntryKind::kFile;
}

bool Win32Platform::SameContents(const std::wstring& a, const std::wstring& b) {
  auto open = [](const std::wstring& path) {
    return win32::UniqueHandle(win32::NullIfInvalid(
        CreateFileW(ExactPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)));
  };
  const win32::UniqueHandle first = open(a);
  const win32::UniqueHandle second = open(b);
  LARGE_INTEGER first_size{};
  LARGE_INTEGER second_size{};
  if (!first || !second || !GetFileSizeEx(first.get(), &first_size) || !GetFileSizeEx(second.get(), &second_size) ||
      first_size.QuadPart != second_size.QuadPart) {
    return false;
  }
  constexpr DWORD kChunk = 1 << 16;
  std::vector<char> first_bytes(kChunk);
  std::vector<char> second_bytes(kChunk);
  for (LONGLONG left = first_size.QuadPart; left > 0;) {
    const DWORD want = static_cast<DWORD>(std::min<LONGLONG>(left, kChunk));
    DWORD got_first = 0;
    DWORD got_second = 0;
    if (!ReadFile(first.get(), first_bytes.data(), want, &got_first, nullptr) ||
        !ReadFile(second.get(), second_bytes.data(), want, &got_second, nullptr) || got_first != want ||
        got_second != want || !std::equal(first_bytes.begin(), first_bytes.begin() + want, second_bytes.begin())) {
      return false;
    }
    left -= want;
  }
  return true;
}

bool Win32Platform::DiscardFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(ExactPath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  return DeleteFileW(ExactPath(path).c_str()) != FALSE;
}

bool Win32Platform::MarkFromInternet(const std::wstring& path) {
  const std::wstring full = FullPath(path);
  if (full.empty()) return false;
  const std::wstring exact = ExactPath(full);
  const DWORD attributes = GetFileAttributesW(exact.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  // Only where the volume keeps named streams: elsewhere the stream's name would make a file
  // of its own.
  std::wstring root(kLongPathChars, L'\0');
  DWORD volume_flags = 0;
  if (!GetVolumePathNameW(full.c_str(), root.data(), kLongPathChars) ||
      !GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, &volume_flags, nullptr, 0) ||
      (volume_flags & FILE_NAMED_STREAMS) == 0) {
    return false;
  }
  const win32::UniqueHandle stream(
      win32::NullIfInvalid(CreateFileW((exact + L":Zone.Identifier").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr)));
  // The Internet zone, as a browser marks what it downloads.
  static constexpr char kZone[] = "[ZoneTransfer]\r\nZoneId=3\r\n";
  DWORD written = 0;
  return stream && WriteFile(stream.get(), kZone, sizeof kZone - 1, &written, nullptr) && written == sizeof kZone - 1;
}

}  // namespace tallow
