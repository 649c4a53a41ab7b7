// The measured operations, each runnable many times over the same tree or input.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lists/cache_listing.h"
#include "platform/platform.h"

namespace tallow::bench {

// The floor every scan is held against: FindFirstFileExW over the folders (each ending in
// "\"), counting entries and nothing else.
long long CountEntries(const std::vector<std::wstring>& folders);

// The scan alone, without a window: returns the number of entries listed.
int Scan(Platform& platform, std::wstring_view extension);

// A listing of full paths, each split into its folder and its name, as a scan would make it.
CacheListing ListingOf(const std::vector<std::wstring>& paths);

// Replaces every third path by a case variant of an earlier distinct path, so that a third of
// the result are duplicates under the locale's case-insensitive comparison.
std::vector<std::wstring> WithCaseVariants(std::vector<std::wstring> paths);

}  // namespace tallow::bench
