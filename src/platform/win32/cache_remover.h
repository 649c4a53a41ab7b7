// Deletes listed files of the cache through a handle to the very file that was checked, opened
// inside the very folder that was listed.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/win32/handles.h"

namespace tallow {

// The id of the folder the handle is open on; nullopt when it is a link or no folder, or its id
// cannot be read. The scan and the deletes both read it this way, so that their ids compare.
std::optional<FolderId> RealFolderId(HANDLE folder);

class Win32CacheRemover final : public CacheFileRemover {
 public:
  Win32CacheRemover();
  ~Win32CacheRemover() override;
  RemoveResult Remove(std::wstring_view container, std::wstring_view bucket, const FolderId& folder,
                      std::wstring_view name) override;

 private:
  struct NameBuffer;

  // Opens the container and, inside it, the bucket, and holds both when the bucket is the
  // folder the scan listed; files of one bucket come one after the other, so it is done once
  // for them all.
  void Hold(std::wstring_view container, std::wstring_view bucket, const FolderId& folder);
  // The kernel's name of the entry behind the handle into name.
  bool KernelName(HANDLE handle, std::wstring& name);
  bool Dispose(HANDLE file);

  std::wstring container_;
  std::wstring bucket_;
  FolderId folder_;
  bool tried_ = false;
  win32::UniqueHandle container_handle_;
  win32::UniqueHandle bucket_handle_;
  std::wstring bucket_name_;  // the kernel's, ending in "\"; empty when nothing is held
  bool posix_delete_ = true;  // until the volume refuses it
  std::unique_ptr<NameBuffer> buffer_;
  std::wstring file_name_;  // scratch, reused for every file
};

}  // namespace tallow
