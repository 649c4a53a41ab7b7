// A synthetic Internet cache: what a full Content.IE5 folder looks like, built on real disk.
#pragma once

#include <string>
#include <vector>

namespace tallow::bench {

// The names of one tree, fixed by its size alone.
struct CacheLayout {
  int entries = 0;
  std::vector<std::wstring> buckets;             // 8 characters, capitals and digits
  std::vector<std::vector<std::wstring>> names;  // per bucket, as the cache names files
};

CacheLayout MakeLayout(int entries, int bucket_count);

// Every file of the layout as root + bucket + "\" + name, root ending in "\Content.IE5\".
std::vector<std::wstring> FullPaths(const CacheLayout& layout, const std::wstring& root);

// Trees live in a staging folder beside Content.IE5 and are moved into place one at a time,
// so the scan sees exactly the tree being measured and a tree built once is reused by later
// runs. Whatever Content.IE5 held before is put back when the stage ends.
class CacheStage {
 public:
  explicit CacheStage(std::wstring inet_cache);
  CacheStage(const CacheStage&) = delete;
  CacheStage& operator=(const CacheStage&) = delete;
  ~CacheStage();

  // Builds the layout's tree unless a complete one is already staged. False on failure.
  bool Ensure(const CacheLayout& layout);
  // Makes the layout's staged tree the cache's Content.IE5.
  bool Place(const CacheLayout& layout);
  // Moves the placed tree back to its staging folder.
  void Unplace();
  // Deletes every staged tree.
  void RemoveTrees();

  std::wstring Root() const { return inet_cache_ + L"\\Content.IE5\\"; }
  const std::wstring& Error() const { return error_; }

 private:
  std::wstring StageDir(int entries) const;
  std::wstring TreeDir(int entries) const { return StageDir(entries) + L"\\Content.IE5"; }
  bool Build(const CacheLayout& layout);
  void Recover();
  bool Fail(const std::wstring& what);

  std::wstring inet_cache_;
  std::wstring bench_dir_;
  int placed_ = 0;
  bool saved_foreign_ = false;
  std::wstring error_;
};

}  // namespace tallow::bench
