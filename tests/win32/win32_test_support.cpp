#include "win32_test_support.h"

#include "platform/win32/win32_platform.h"

namespace tallow::testing {

std::wstring InternetCacheFolder() {
  Win32Platform platform;
  return platform.SpecialFolderPath(kCsidlInternetCache).value_or(L"");
}

ScratchFolder::ScratchFolder(const std::wstring& parent) : path_(parent + L'\\' + UniqueName(L"tallow-test-")) {
  CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

}  // namespace tallow::testing
