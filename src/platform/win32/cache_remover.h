// Deletes listed files of the cache through a handle to the very file that was checked.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/win32/handles.h"

namespace tallow {

class Win32CacheRemover final : public CacheFileRemover {
 public:
  bool Remove(std::wstring_view container, std::wstring_view bucket, std::wstring_view name) override;

 private:
  // Finds where the bucket folder of the container resolves now, when it is a real folder of
  // the container and neither is a link; files of one bucket come one after the other, so it
  // is done once for them all.
  void Resolve(std::wstring_view container, std::wstring_view bucket);

  std::wstring container_;
  std::wstring bucket_;
  bool resolved_ = false;
  std::wstring folder_final_;  // ends in "\"; empty when the folder is not to be entered
  win32::UniqueHandle container_handle_;
  win32::UniqueHandle bucket_handle_;
  std::wstring path_;  // scratch, reused for every file
  std::wstring final_;
};

}  // namespace tallow
