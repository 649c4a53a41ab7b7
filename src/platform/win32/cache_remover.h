// Deletes listed files of the cache through a handle to the very file that was checked, opened
// inside the very folder that was listed.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/win32/handles.h"

namespace tallow {

// True where the system keeps when each entry was made. Wine reports the time of the entry's
// last change instead, which every file added to a folder moves: there a folder's time would
// refuse deletes in every bucket written to since the scan, and so it is not compared.
bool KeepsCreationTimes();

// What the scan and the deletes read about the entry behind a handle: the system's own calls,
// unless a test stands in for a volume that refuses some of them.
struct HandleQueries {
  std::function<BOOL(HANDLE, FILE_INFO_BY_HANDLE_CLASS, void*, DWORD)> info = &GetFileInformationByHandleEx;
  std::function<BOOL(HANDLE, BY_HANDLE_FILE_INFORMATION*)> ids = &GetFileInformationByHandle;
  bool creation_times = KeepsCreationTimes();
};

// The identity of the folder the handle is open on; nullopt when it is a link or no folder, or
// its attributes cannot be read. The scan and the deletes both read it this way, so that their
// identities compare.
std::optional<FolderId> RealFolderId(HANDLE folder, const HandleQueries& queries);

class Win32CacheRemover final : public CacheFileRemover {
 public:
  explicit Win32CacheRemover(HandleQueries queries);
  ~Win32CacheRemover() override;
  RemoveResult Remove(std::wstring_view container, std::wstring_view bucket, const FolderId& folder,
                      std::wstring_view name) override;

 private:
  struct NameBuffer;

  // Opens the container and, inside it, the bucket, and holds both when the bucket is the
  // folder the scan listed; files of one bucket come one after the other, so it is done once
  // for them all. Otherwise says how the deletes in it end.
  RemoveResult Hold(std::wstring_view container, std::wstring_view bucket, const FolderId& folder);
  // The kernel's name of the entry behind the handle into name.
  bool KernelName(HANDLE handle, std::wstring& name);
  bool Dispose(HANDLE file);

  HandleQueries queries_;
  std::wstring container_;
  std::wstring bucket_;
  FolderId folder_;
  bool tried_ = false;
  RemoveResult held_;  // kRemoved while the bucket is held, how its deletes end otherwise
  win32::UniqueHandle container_handle_;
  win32::UniqueHandle bucket_handle_;
  std::wstring bucket_name_;  // the kernel's, ending in "\"; empty when nothing is held
  bool posix_delete_ = true;  // until the volume refuses it
  std::unique_ptr<NameBuffer> buffer_;
  std::wstring file_name_;  // scratch, reused for every file
};

}  // namespace tallow
