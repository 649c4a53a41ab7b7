// Duplicate removal for the scan's path list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lists/string_list.h"
#include "platform/platform.h"

namespace tallow {

// comptype 0 compares case-insensitively by the user's locale; any other value compares code
// unit by code unit. The first occurrence of each value is kept, survivors keep their order.
// Hashes a key of each entry instead of comparing every pair, so a full cache of 60,000 paths
// takes milliseconds rather than hours; the comparison itself decides every key match.
void RemoveDups(std::vector<std::wstring>& entries, int comptype, Platform& platform);
void RemoveDups(StringList& lst, int comptype, Platform& platform);
// The same as comptype 0, for a caller that already has each entry's TextKeyHash.
void RemoveDupsByKeyHash(std::vector<std::wstring>& entries, const std::vector<uint64_t>& key_hashes,
                         Platform& platform);

}  // namespace tallow
