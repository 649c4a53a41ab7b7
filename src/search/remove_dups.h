// Duplicate removal for the scan's listing.
#pragma once

#include "lists/cache_listing.h"
#include "platform/platform.h"

namespace tallow {

// Removes every entry whose full path equals an earlier one's, keeping the first occurrence and
// the order of the rest. comptype 0 compares as the file system does (ordinal, ignoring case);
// any other value compares code unit by code unit. Paths are hashed, each folder once, so a
// full cache takes milliseconds rather than the hours of comparing every pair.
void RemoveDups(CacheListing& lst, int comptype, Platform& platform);

}  // namespace tallow
