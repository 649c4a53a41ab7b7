#include "win32_test_support.h"

#include "platform/win32/win32_platform.h"

namespace tallow::testing {

std::wstring InternetCacheFolder() {
  Win32Platform platform;
  return platform.SpecialFolderPath(kCsidlInternetCache).value_or(L"");
}

bool RemoveListed(Platform& platform, const std::wstring& path) {
  const size_t slash = path.rfind(L'\\');
  const size_t folder_slash = slash == 0 || slash == std::wstring::npos ? slash : path.rfind(L'\\', slash - 1);
  if (folder_slash == std::wstring::npos) return false;
  const std::wstring_view all = path;
  return platform.BeginRemoving()->Remove(all.substr(0, folder_slash + 1),
                                          all.substr(folder_slash + 1, slash - folder_slash - 1),
                                          all.substr(slash + 1));
}

bool RunOnLinux(const std::wstring& command) {
  // Wine starts a Linux program given by its path on drive Z:, the Linux root, but cannot wait
  // for it: the command leaves a mark when it is done.
  const std::wstring mark = L"/tmp/" + UniqueName(L"tallow-ran-");
  std::wstring line = L"/bin/sh -c \"" + command + L"; : >" + mark + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  std::wstring seen = L"Z:" + mark;
  for (wchar_t& c : seen) {
    if (c == L'/') c = L'\\';
  }
  for (int waited = 0; waited < 30000; waited += 20) {
    if (DeleteFileW(seen.c_str())) return true;
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

ScratchFolder::ScratchFolder(const std::wstring& parent) : path_(parent + L'\\' + UniqueName(L"tallow-test-")) {
  CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

}  // namespace tallow::testing
