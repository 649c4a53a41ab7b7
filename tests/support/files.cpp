#include "support/files.h"

#include <atomic>
#include <vector>

#include "platform/win32/handles.h"

namespace tallow::testing {

std::wstring UniqueName(std::wstring_view prefix) {
  static std::atomic<unsigned> counter{0};
  return std::wstring(prefix) + std::to_wstring(GetCurrentProcessId()) + L'-' + std::to_wstring(++counter);
}

bool WriteBytes(const std::wstring& path, std::string_view bytes, DWORD attributes) {
  const win32::UniqueHandle file(
      win32::NullIfInvalid(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr)));
  DWORD written = 0;
  return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
  const win32::UniqueHandle file(win32::NullIfInvalid(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, 0, nullptr)));
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  return bytes;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool MakeFolder(const std::wstring& path, DWORD attributes) {
  return CreateDirectoryW(path.c_str(), nullptr) &&
         (attributes == FILE_ATTRIBUTE_NORMAL || SetFileAttributesW(path.c_str(), attributes));
}

void RemoveTree(const std::wstring& path) {
  // The \\?\ form reaches folders nested deeper than MAX_PATH, and names ending in a dot or space.
  const std::wstring full = path.starts_with(L"\\\\") ? path : L"\\\\?\\" + path;
  const DWORD attributes = GetFileAttributesW(full.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileW(full.c_str());
    return;
  }
  std::vector<std::wstring> entries;
  WIN32_FIND_DATAW data;
  {
    const win32::UniqueFindHandle find(win32::NullIfInvalid(FindFirstFileW((full + L"\\*").c_str(), &data)));
    if (find) {
      do {
        const std::wstring_view name = data.cFileName;
        if (name != L"." && name != L"..") entries.push_back(full + L'\\' + data.cFileName);
      } while (FindNextFileW(find.get(), &data));
    }
  }
  for (const std::wstring& entry : entries) RemoveTree(entry);
  RemoveDirectoryW(full.c_str());
}

std::string SampleBytes() {
  std::string bytes;
  for (int i = 0; i < 70000; ++i) bytes.push_back(static_cast<char>((i * 7919) % 251));
  bytes += std::string("\0\r\n\x1A\xFF", 5);
  return bytes;
}

}  // namespace tallow::testing
