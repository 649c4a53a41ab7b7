// Delete all over a full cache's worth of files, through the program's own delete path and as
// a bare DeleteFileW loop over the same files.
#pragma once

#include <string>

#include "platform/platform.h"
#include "synthetic_cache.h"

namespace tallow::bench {

struct DeleteTimes {
  double program_ms = -1;  // medians over the rounds
  double bare_ms = -1;
};

// Makes the layout's files in buckets of a folder of the cache's, deletes them one way, makes
// them again and deletes them the other way, rounds times; the making is not timed. Negative
// times when a round left a file behind or could not make its files.
DeleteTimes MeasureDeleteAll(Platform& platform, const std::wstring& inet_cache, const CacheLayout& layout, int rounds);

}  // namespace tallow::bench
