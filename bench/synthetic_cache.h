// A synthetic Internet cache: full cache containers, built on real disk.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tallow::bench {

// As many files in every bucket as a full 16-bucket cache of 60,000 entries has.
inline constexpr int kEntriesPerBucket = 3750;

// The names of a tree. Bucket i is the same in every layout, so a smaller layout is the
// start of a larger one and one tree on disk serves every size.
struct CacheLayout {
  int entries = 0;
  std::vector<std::wstring> buckets;             // 8 characters, capitals and digits
  std::vector<std::vector<std::wstring>> names;  // per bucket, as the cache names files
};

CacheLayout MakeLayout(int bucket_count);

// Every file of the layout as root + bucket + "\" + name, root ending in "\".
std::vector<std::wstring> FullPaths(const CacheLayout& layout, const std::wstring& root);

// Where a run of the layout's buckets goes: a cache container such as "Content.IE5" or
// "Low\\IE", relative to the cache folder.
struct Placement {
  std::wstring container;
  size_t first = 0;
  size_t count = 0;
};

// The buckets live in a staging folder beside the containers and are moved into them while
// they are measured, so a scan sees exactly the placed buckets. A tree built once is reused by
// later runs; whatever the containers held before is put back when the stage ends.
class CacheStage {
 public:
  explicit CacheStage(std::wstring inet_cache);
  CacheStage(const CacheStage&) = delete;
  CacheStage& operator=(const CacheStage&) = delete;
  ~CacheStage();

  // Builds the largest layout's buckets unless a complete set is already staged.
  bool Ensure(const CacheLayout& largest);
  // Moves the placed buckets into their containers; every other container stays empty.
  bool Place(const std::vector<Placement>& placements);
  // Moves the placed buckets back to the staging folder.
  void Unplace();
  // Deletes the staged tree.
  void RemoveTree();

  // A container's path, ending in "\".
  std::wstring ContainerPath(const std::wstring& container) const { return inet_cache_ + L"\\" + container + L"\\"; }
  const std::wstring& Error() const { return error_; }

 private:
  bool Build(const CacheLayout& layout);
  bool Move(const std::wstring& from, const std::wstring& to);
  void Recover();
  bool Fail(const std::wstring& what);

  std::wstring inet_cache_;
  std::wstring stage_;   // <cache>\TallowBench
  std::wstring pool_;    // the staged buckets
  std::wstring moves_;   // what is placed, one "from|to" line each, for a run that is cut short
  std::vector<std::wstring> all_buckets_;
  std::vector<std::pair<std::wstring, std::wstring>> placed_;  // from, to
  std::vector<std::pair<std::wstring, std::wstring>> saved_;  // containers found in place: aside, live
  std::wstring error_;
};

}  // namespace tallow::bench
