#include "search/cache_listing.h"

namespace tallow {

uint32_t CacheListing::AddFolder(std::wstring path) {
  folders_.push_back(std::move(path));
  return static_cast<uint32_t>(folders_.size() - 1);
}

void CacheListing::AddEntry(uint32_t folder, std::wstring_view name) {
  entries_.push_back({folder, static_cast<uint32_t>(pool_.size()), static_cast<uint32_t>(name.size())});
  pool_.append(name);
}

std::wstring CacheListing::Path(size_t i) const {
  std::wstring path = folders_[entries_[i].folder];
  path.append(Name(i));
  return path;
}

std::vector<std::wstring_view> CacheListing::Names() const {
  std::vector<std::wstring_view> names;
  names.reserve(entries_.size());
  for (size_t i = 0; i < entries_.size(); ++i) names.push_back(Name(i));
  return names;
}

void CacheListing::RemoveFlagged(const std::vector<bool>& remove) {
  size_t kept = 0;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (!remove[i]) entries_[kept++] = entries_[i];
  }
  entries_.resize(kept);
}

}  // namespace tallow
