// What a scan found: the bucket folders it visited and, in order, the entries that matched, each
// a folder and a name, with the size and the time of last write the folder's listing gave. Names are kept in blocks
// that never move, so a full cache of 240,000 entries costs a few bytes of bookkeeping each besides its characters, and
// growing the listing never holds two copies of it at once.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace tallow {

class CacheListing {
 public:
  // A bucket folder of a cache container, whose path ends in "\"; returns the index entries
  // refer to it by. A folder added by its path alone has no container. Only the entries of a
  // folder whose id the scan read can be deleted.
  uint32_t AddFolder(std::wstring_view container, std::wstring_view bucket, std::optional<FolderId> id = std::nullopt);
  uint32_t AddFolder(std::wstring path);
  void AddEntry(uint32_t folder, std::wstring_view name, uint64_t size = 0, int64_t written = 0);
  // The cache folder the containers lie in, ending in "\"; locations are told from it.
  void SetCacheFolder(std::wstring path) { cache_folder_ = std::move(path); }

  size_t Count() const { return entries_.size(); }
  // Full paths, each ending in "\".
  const std::vector<std::wstring>& Folders() const { return folders_; }
  // The container the folder lies in, ending in "\", and the folder's own name in it.
  std::wstring_view Container(uint32_t folder) const;
  std::wstring_view Bucket(uint32_t folder) const;
  const std::optional<FolderId>& Id(uint32_t folder) const { return ids_[folder]; }
  uint32_t FolderIndex(size_t i) const { return entries_[i].folder; }
  std::wstring_view Name(size_t i) const { return {entries_[i].name, entries_[i].length}; }
  std::wstring Path(size_t i) const;
  uint64_t Size(size_t i) const { return entries_[i].size; }
  // In 100 ns units since 1601 (UTC).
  int64_t Written(size_t i) const { return entries_[i].written; }
  // Where the folder lies, as the user tells one cache folder from another: its container
  // within the cache folder and its own name ("Low\IE\ABCD1234"); its full path, without the
  // last "\", when it lies elsewhere.
  std::wstring_view Location(uint32_t folder) const;

  // Keeps the entries whose flag is false, in their order.
  void RemoveFlagged(const std::vector<bool>& remove);

 private:
  static constexpr size_t kBlockUnits = 32768;
  struct Entry {
    const wchar_t* name;
    uint32_t length;
    uint32_t folder;
    uint64_t size;
    int64_t written;
  };
  std::vector<std::wstring> folders_;
  std::wstring cache_folder_;
  std::vector<size_t> container_lengths_;     // per folder
  std::vector<std::optional<FolderId>> ids_;  // per folder
  std::deque<Entry> entries_;
  std::vector<std::unique_ptr<wchar_t[]>> blocks_;
  size_t block_used_ = kBlockUnits;  // units taken in the last block
};

}  // namespace tallow
