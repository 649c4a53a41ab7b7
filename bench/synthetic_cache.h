// A synthetic Internet cache: what a full Content.IE5 folder looks like, built on real disk.
#pragma once

#include <string>
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

// Every file of the layout as root + bucket + "\" + name, root ending in "\Content.IE5\".
std::vector<std::wstring> FullPaths(const CacheLayout& layout, const std::wstring& root);

// The tree lives in a staging folder beside Content.IE5 and is moved into place while it is
// measured, holding just the buckets of the size being measured (the others wait in a folder
// of their own), so the scan sees exactly that tree. A tree built once is reused by later
// runs; whatever Content.IE5 held before is put back when the stage ends.
class CacheStage {
 public:
  explicit CacheStage(std::wstring inet_cache);
  CacheStage(const CacheStage&) = delete;
  CacheStage& operator=(const CacheStage&) = delete;
  ~CacheStage();

  // Builds the largest layout's tree unless a complete one is already staged.
  bool Ensure(const CacheLayout& largest);
  // Makes a tree of the layout's buckets the cache's Content.IE5.
  bool Place(const CacheLayout& layout);
  // Moves the placed tree back to the staging folder.
  void Unplace();
  // Deletes the staged tree.
  void RemoveTree();

  std::wstring Root() const { return inet_cache_ + L"\\Content.IE5\\"; }
  const std::wstring& Error() const { return error_; }

 private:
  bool Build(const CacheLayout& layout);
  void Recover();
  bool Fail(const std::wstring& what);

  std::wstring inet_cache_;
  std::wstring live_;    // <cache>\Content.IE5
  std::wstring stage_;   // <cache>\TallowBench
  std::wstring tree_;    // the staged Content.IE5
  std::wstring parked_;  // buckets left out of the placed tree
  std::vector<std::wstring> all_buckets_;
  bool placed_ = false;
  bool saved_foreign_ = false;
  std::wstring error_;
};

}  // namespace tallow::bench
