#include "lists/cache_listing.h"

#include <algorithm>

namespace tallow {

uint32_t CacheListing::AddFolder(std::wstring_view container, std::wstring_view bucket, std::optional<FolderId> id) {
  std::wstring path(container);
  path.append(bucket).push_back(L'\\');
  const uint32_t folder = AddFolder(std::move(path));
  container_lengths_.back() = container.size();
  ids_.back() = id;
  return folder;
}

uint32_t CacheListing::AddFolder(std::wstring path) {
  folders_.push_back(std::move(path));
  container_lengths_.push_back(0);
  ids_.emplace_back();
  return static_cast<uint32_t>(folders_.size() - 1);
}

std::wstring_view CacheListing::Container(uint32_t folder) const {
  return std::wstring_view(folders_[folder]).substr(0, container_lengths_[folder]);
}

std::wstring_view CacheListing::Bucket(uint32_t folder) const {
  const std::wstring_view path = folders_[folder];
  const size_t start = container_lengths_[folder];
  return path.substr(start, path.size() - start - 1);
}

std::wstring_view CacheListing::Location(uint32_t folder) const {
  std::wstring_view path = folders_[folder];
  path.remove_suffix(1);
  if (!cache_folder_.empty() && container_lengths_[folder] >= cache_folder_.size() && path.starts_with(cache_folder_)) {
    path.remove_prefix(cache_folder_.size());
  }
  return path;
}

void CacheListing::AddEntry(uint32_t folder, std::wstring_view name, uint64_t size, int64_t written) {
  if (block_used_ + name.size() > kBlockUnits) {
    blocks_.push_back(std::make_unique<wchar_t[]>(std::max(kBlockUnits, name.size())));
    block_used_ = 0;
  }
  wchar_t* text = blocks_.back().get() + block_used_;
  std::copy(name.begin(), name.end(), text);
  block_used_ += name.size();
  entries_.push_back({text, static_cast<uint32_t>(name.size()), folder, size, written});
}

std::wstring CacheListing::Path(size_t i) const {
  std::wstring path = folders_[entries_[i].folder];
  path.append(Name(i));
  return path;
}

void CacheListing::RemoveFlagged(const std::vector<bool>& remove) {
  size_t kept = 0;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (!remove[i]) entries_[kept++] = entries_[i];
  }
  entries_.resize(kept);
}

}  // namespace tallow
