#include "search/remove_dups.h"

namespace tallow {
namespace {

// Survivors chained by hash in one flat table, so that adding an entry allocates nothing; the
// comparison settles every survivor of equal hash.
class SurvivorIndex {
 public:
  explicit SurvivorIndex(size_t expected) {
    size_t slots = 16;
    while (slots < expected * 2) slots *= 2;
    heads_.assign(slots, kNone);
    survivors_.reserve(expected);
  }

  template <typename Equal>
  bool ContainsOrAdd(uint64_t hash, uint32_t index, Equal&& equal) {
    uint32_t& head = heads_[static_cast<size_t>(hash) & (heads_.size() - 1)];
    for (uint32_t s = head; s != kNone; s = survivors_[s].next) {
      if (survivors_[s].hash == hash && equal(survivors_[s].index, index)) return true;
    }
    survivors_.push_back({hash, index, head});
    head = static_cast<uint32_t>(survivors_.size() - 1);
    return false;
  }

 private:
  // 32-bit links keep the table small: a listing never nears four billion entries.
  static constexpr uint32_t kNone = UINT32_MAX;
  struct Survivor {
    uint64_t hash;
    uint32_t index;
    uint32_t next;  // the survivor added to the slot before this one
  };
  std::vector<uint32_t> heads_;  // per slot: the latest survivor, or kNone
  std::vector<Survivor> survivors_;
};

wchar_t Same(wchar_t unit) { return unit; }

}  // namespace

void RemoveDups(CacheListing& lst, int comptype, Platform& platform) {
  const size_t count = lst.Count();
  if (count < 2) return;
  const bool ignore_case = comptype == 0;

  std::vector<uint64_t> folder_hashes;
  for (const std::wstring& folder : lst.Folders()) {
    folder_hashes.push_back(ignore_case ? platform.PathHash(folder) : HashUnits(folder, kHashStart, Same));
  }
  auto equal = [&](size_t a, size_t b) {
    const std::wstring path_a = lst.Path(a);
    const std::wstring path_b = lst.Path(b);
    return ignore_case ? platform.PathsEqual(path_a, path_b) : path_a == path_b;
  };

  std::vector<bool> duplicate(count, false);
  SurvivorIndex survivors(count);
  for (size_t i = 0; i < count; ++i) {
    const uint64_t from = folder_hashes[lst.FolderIndex(i)];
    const uint64_t hash = ignore_case ? platform.PathHash(lst.Name(i), from) : HashUnits(lst.Name(i), from, Same);
    duplicate[i] = survivors.ContainsOrAdd(hash, static_cast<uint32_t>(i), equal);
  }
  lst.RemoveFlagged(duplicate);
}

}  // namespace tallow
