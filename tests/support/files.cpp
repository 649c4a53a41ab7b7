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

std::optional<int64_t> WrittenAt(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return static_cast<int64_t>((static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                              data.ftLastWriteTime.dwLowDateTime);
}

bool SetWrittenAt(const std::wstring& path, int64_t written) {
  const win32::UniqueHandle file(win32::NullIfInvalid(CreateFileW(
      path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr)));
  const FILETIME time{static_cast<DWORD>(written), static_cast<DWORD>(static_cast<uint64_t>(written) >> 32)};
  return file && SetFileTime(file.get(), nullptr, nullptr, &time);
}

bool IsLink(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool MakeFolder(const std::wstring& path, DWORD attributes) {
  return CreateDirectoryW(path.c_str(), nullptr) &&
         (attributes == FILE_ATTRIBUTE_NORMAL || SetFileAttributesW(path.c_str(), attributes));
}

std::vector<std::wstring> ListFolder(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data{};
  const win32::UniqueFindHandle find(win32::NullIfInvalid(FindFirstFileW((folder + L"*").c_str(), &data)));
  if (!find) return names;
  do {
    names.emplace_back(data.cFileName);
  } while (FindNextFileW(find.get(), &data));
  return names;
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

bool RunOnLinux(const std::wstring& command) {
  // Wine starts a Linux program given by its path on drive Z:, the Linux root, but cannot wait
  // for it: the command leaves a mark when it is done, whole once it has its name, which holds
  // its exit status. Two minutes, for a loaded machine making tens of thousands of files.
  // Wine gives every prefix the same process ids: the mark carries this moment too, so that no
  // other prefix's mark, nor one an earlier run left, passes for this command's.
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  const std::wstring mark = L"/tmp/" + UniqueName(L"tallow-ran-" + std::to_wstring(now.QuadPart) + L'-');
  std::wstring line =
      L"/bin/sh -c \"(" + command + L"); echo $? >" + mark + L".part && mv " + mark + L".part " + mark + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  std::wstring seen = L"Z:" + mark;
  for (wchar_t& c : seen) {
    if (c == L'/') c = L'\\';
  }
  for (int waited = 0; waited < 120000; waited += 20) {
    if (const std::optional<std::string> status = ReadBytes(seen)) {
      DeleteFileW(seen.c_str());
      return *status == "0\n";
    }
    Sleep(20);
  }
  return false;
}

std::wstring LinuxPath(const std::wstring& path) {
  using UnixFileNameFn = char*(CDECL*)(const wchar_t*);
  const auto unix_file_name = reinterpret_cast<UnixFileNameFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* name = unix_file_name ? unix_file_name(path.c_str()) : nullptr;
  if (!name) return {};
  std::wstring wide(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, name, -1, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, name, -1, wide.data(), static_cast<int>(wide.size()));
  HeapFree(GetProcessHeap(), 0, name);
  wide.resize(wide.empty() ? 0 : wide.size() - 1);
  return wide;
}

}  // namespace tallow::testing
