#include "search/remove_dups.h"

#include <functional>
#include <unordered_map>

namespace tallow {
namespace {

// Survivors grouped by the hash of their key; a group holds more than one index only when
// keys collide, which the comparison then settles.
class SurvivorIndex {
 public:
  explicit SurvivorIndex(size_t expected) { groups_.reserve(expected); }

  template <typename Equal>
  bool ContainsOrAdd(size_t hash, size_t index, const std::vector<std::wstring>& entries, Equal&& equal) {
    auto [it, inserted] = groups_.try_emplace(hash);
    if (!inserted) {
      for (size_t survivor : it->second) {
        if (equal(entries[survivor], entries[index])) return true;
      }
    }
    it->second.push_back(index);
    return false;
  }

 private:
  std::unordered_map<size_t, std::vector<size_t>> groups_;
};

}  // namespace

std::vector<bool> FindDuplicates(const std::vector<std::wstring>& entries, int comptype, Platform& platform) {
  std::vector<bool> duplicate(entries.size(), false);
  if (entries.size() < 2) return duplicate;

  SurvivorIndex survivors(entries.size());
  std::hash<std::wstring_view> hasher;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (comptype == 0) {
      const std::wstring key = platform.TextKey(entries[i]);
      duplicate[i] = survivors.ContainsOrAdd(hasher(key), i, entries, [&](const std::wstring& a, const std::wstring& b) {
        return platform.TextEqual(a, b);
      });
    } else {
      duplicate[i] = survivors.ContainsOrAdd(hasher(entries[i]), i, entries,
                                             [](const std::wstring& a, const std::wstring& b) { return a == b; });
    }
  }
  return duplicate;
}

void RemoveDups(std::vector<std::wstring>& entries, int comptype, Platform& platform) {
  const std::vector<bool> duplicate = FindDuplicates(entries, comptype, platform);
  size_t kept = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (duplicate[i]) continue;
    if (kept != i) entries[kept] = std::move(entries[i]);
    ++kept;
  }
  entries.resize(kept);
}

void RemoveDups(StringList& lst, int comptype, Platform& platform) {
  std::vector<std::wstring> entries;
  const int count = lst.Count();
  entries.reserve(static_cast<size_t>(count > 0 ? count : 0));
  for (int i = 0; i < count; ++i) entries.push_back(lst.Item(i));

  const std::vector<bool> duplicate = FindDuplicates(entries, comptype, platform);
  // From the end, so that the indices still to visit do not move.
  for (int i = count - 1; i > 0; --i) {
    if (duplicate[static_cast<size_t>(i)]) lst.RemoveAt(i);
  }
}

}  // namespace tallow
