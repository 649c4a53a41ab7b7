#include "search/remove_dups.h"

#include <functional>

namespace tallow {
namespace {

// Survivors chained by the hash of their key in one flat table, so that adding an entry
// allocates nothing; a chain holds more than one survivor only when hashes collide or share a
// slot, and the comparison settles every survivor of equal hash.
class SurvivorIndex {
 public:
  explicit SurvivorIndex(size_t expected) {
    size_t slots = 16;
    while (slots < expected * 2) slots *= 2;
    heads_.assign(slots, kNone);
    survivors_.reserve(expected);
  }

  template <typename Equal>
  bool ContainsOrAdd(uint64_t hash, size_t index, const std::vector<std::wstring>& entries, Equal&& equal) {
    size_t& head = heads_[static_cast<size_t>(hash) & (heads_.size() - 1)];
    for (size_t s = head; s != kNone; s = survivors_[s].next) {
      const Survivor& survivor = survivors_[s];
      if (survivor.hash == hash && equal(entries[survivor.index], entries[index])) return true;
    }
    survivors_.push_back({hash, index, head});
    head = survivors_.size() - 1;
    return false;
  }

 private:
  static constexpr size_t kNone = static_cast<size_t>(-1);
  struct Survivor {
    uint64_t hash;
    size_t index;
    size_t next;  // the survivor added to the slot before this one
  };
  std::vector<size_t> heads_;  // per slot: the latest survivor, or kNone
  std::vector<Survivor> survivors_;
};

template <typename Hash, typename Equal>
std::vector<bool> Find(const std::vector<std::wstring>& entries, Hash&& hash, Equal&& equal) {
  std::vector<bool> duplicate(entries.size(), false);
  if (entries.size() < 2) return duplicate;
  SurvivorIndex survivors(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) duplicate[i] = survivors.ContainsOrAdd(hash(i), i, entries, equal);
  return duplicate;
}

void Compact(std::vector<std::wstring>& entries, const std::vector<bool>& duplicate) {
  size_t kept = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (duplicate[i]) continue;
    if (kept != i) entries[kept] = std::move(entries[i]);
    ++kept;
  }
  entries.resize(kept);
}

// Flags, per entry, whether an earlier entry equals it.
std::vector<bool> FindDuplicates(const std::vector<std::wstring>& entries, int comptype, Platform& platform) {
  if (comptype == 0) {
    return Find(
        entries, [&](size_t i) { return platform.TextKeyHash(entries[i]); },
        [&](const std::wstring& a, const std::wstring& b) { return platform.TextEqual(a, b); });
  }
  return Find(
      entries, [&](size_t i) { return std::hash<std::wstring>{}(entries[i]); },
      [](const std::wstring& a, const std::wstring& b) { return a == b; });
}

}  // namespace

void RemoveDups(std::vector<std::wstring>& entries, int comptype, Platform& platform) {
  Compact(entries, FindDuplicates(entries, comptype, platform));
}

void RemoveDupsByKeyHash(std::vector<std::wstring>& entries, const std::vector<uint64_t>& key_hashes,
                         Platform& platform) {
  Compact(entries, Find(
                       entries, [&](size_t i) { return key_hashes[i]; },
                       [&](const std::wstring& a, const std::wstring& b) { return platform.TextEqual(a, b); }));
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
