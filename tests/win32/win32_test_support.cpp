#include "win32_test_support.h"

#include "platform/win32/win32_platform.h"

namespace tallow::testing {

std::wstring InternetCacheFolder() {
  Win32Platform platform;
  return platform.SpecialFolderPath(kCsidlInternetCache).value_or(std::wstring());
}

RemoveResult RemoveListed(Platform& platform, const std::wstring& path, std::optional<FolderId> listed) {
  const size_t slash = path.rfind(L'\\');
  const size_t folder_slash = slash == 0 || slash == std::wstring::npos ? slash : path.rfind(L'\\', slash - 1);
  if (folder_slash == std::wstring::npos) return {RemoveOutcome::kNotListed};
  if (!listed) listed = platform.FolderIdOf(path.substr(0, slash + 1));
  if (!listed) return {RemoveOutcome::kNotListed};
  const std::wstring_view all = path;
  return platform.BeginRemoving()->Remove(all.substr(0, folder_slash + 1),
                                          all.substr(folder_slash + 1, slash - folder_slash - 1), *listed,
                                          all.substr(slash + 1));
}

ScratchFolder::ScratchFolder(const std::wstring& parent) : path_(parent + L'\\' + UniqueName(L"tallow-test-")) {
  CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

}  // namespace tallow::testing
