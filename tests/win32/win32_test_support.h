// Folders of the test's own in the prefix's cache, for the tests of the Windows layer; the
// helpers shared with the window's tests come from support.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/platform.h"
#include "support/dialogs.h"
#include "support/files.h"

namespace tallow::testing {

// The prefix's Internet cache folder, where the scan looks; the tests make their files there.
std::wstring InternetCacheFolder();

// Deletes a file by its full path as a listed entry: the folder that holds it as the bucket,
// as listed (its identity now, unless given), the folder above as its container.
RemoveResult RemoveListed(Platform& platform, const std::wstring& path, std::optional<FolderId> listed = {});

// A folder of the test's own, with a name no other test or process uses, removed with all it
// holds when the test ends.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::wstring& parent = InternetCacheFolder());
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();

  const std::wstring& Path() const { return path_; }
  // The path of an entry inside the folder.
  std::wstring operator/(std::wstring_view name) const { return path_ + L'\\' + std::wstring(name); }

 private:
  std::wstring path_;
};

}  // namespace tallow::testing
