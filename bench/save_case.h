// Saving many selected files into an empty folder, through the program's own save path and as
// a bare CopyFileW loop over the same files.
#pragma once

#include <string>

#include "platform/platform.h"

namespace tallow::bench {

struct SaveTimes {
  int files = 0;
  double program_ms = -1;  // medians over the rounds
  double bare_ms = -1;
};

// Makes files in buckets of a folder of the cache's, saves them all into an empty folder one
// way, empties it and copies them the other way, rounds times; the emptying is not timed.
// Negative times when a round did not copy every file.
SaveTimes MeasureSaveMany(Platform& platform, const std::wstring& inet_cache, int rounds);

}  // namespace tallow::bench
