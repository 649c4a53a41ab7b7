// What a scan found: the bucket folders it visited and, in order, the entries that matched, each
// a folder and a name. Names share one pool, so a full cache of 240,000 entries costs a few
// bytes of bookkeeping each besides its characters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tallow {

class CacheListing {
 public:
  // A folder's path ends in "\"; returns the index entries refer to it by.
  uint32_t AddFolder(std::wstring path);
  void AddEntry(uint32_t folder, std::wstring_view name);

  size_t Count() const { return entries_.size(); }
  const std::vector<std::wstring>& Folders() const { return folders_; }
  uint32_t FolderIndex(size_t i) const { return entries_[i].folder; }
  std::wstring_view Name(size_t i) const { return std::wstring_view(pool_).substr(entries_[i].offset, entries_[i].length); }
  std::wstring Path(size_t i) const;
  std::vector<std::wstring_view> Names() const;

  // Keeps the entries whose flag is false, in their order.
  void RemoveFlagged(const std::vector<bool>& remove);

 private:
  struct Entry {
    uint32_t folder;
    uint32_t offset;  // in pool_
    uint32_t length;
  };
  std::vector<std::wstring> folders_;
  std::vector<Entry> entries_;
  std::wstring pool_;
};

}  // namespace tallow
