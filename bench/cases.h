// The measured operations, each runnable many times over the same tree or input.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lists/string_list.h"
#include "platform/platform.h"

namespace tallow::bench {

// The floor every scan is held against: FindFirstFileExW over the folders (each ending in
// "\"), counting entries and nothing else.
long long CountEntries(const std::vector<std::wstring>& folders);

// RunSearch into in-memory lists, with the extension chooser filled as the window fills it:
// the built-in extensions, plus the extension itself when it is not one of them.
class ScanCase {
 public:
  ScanCase(Platform& platform, std::wstring_view extension);
  // Returns the number of paths listed.
  int Run();
  const MemoryStringList& Paths() const { return paths_; }

 private:
  Platform& platform_;
  MemoryStringList names_;
  MemoryStringList folders_;
  MemoryStringList paths_;
  MemoryStringList extensions_;
};

// Replaces every third path by a case variant of an earlier distinct path, so that a third of
// the result are duplicates under the locale's case-insensitive comparison.
std::vector<std::wstring> WithCaseVariants(std::vector<std::wstring> paths);

}  // namespace tallow::bench
