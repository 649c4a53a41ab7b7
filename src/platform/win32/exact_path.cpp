#include "platform/win32/exact_path.h"

#include <string_view>

namespace tallow {

namespace {

bool IsDriveAbsolute(std::wstring_view path) {
  const wchar_t drive = static_cast<wchar_t>(path.empty() ? 0 : path[0] | 0x20);
  return path.size() >= 3 && drive >= L'a' && drive <= L'z' && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
}

// The current drive ("C:"), or nothing when the current folder is not on a drive.
std::wstring CurrentDrive() {
  std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
  if (folder.empty() || GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()) == 0) return {};
  return folder.size() >= 2 && folder[1] == L':' ? folder.substr(0, 2) : std::wstring();
}

}  // namespace

std::wstring ExactPath(std::wstring path) {
  if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\")) return path;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  if (IsDriveAbsolute(path)) return L"\\\\?\\" + path;
  if (path.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + path.substr(2);
  if (path.starts_with(L"\\")) {
    const std::wstring drive = CurrentDrive();
    if (!drive.empty()) return L"\\\\?\\" + drive + path;
  }
  return path;
}

std::wstring WithoutExactPrefix(std::wstring path) {
  if (path.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + path.substr(8);
  if (path.starts_with(L"\\\\?\\")) path.erase(0, 4);
  return path;
}

}  // namespace tallow
