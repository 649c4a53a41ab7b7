// What the names list tells of a listed file besides its name, in its infotip and to screen
// readers: a cache holds many files of one name, from different sites and folders, and only
// their size, age and place tell them apart.
#pragma once

#include <cstddef>
#include <string>

#include "lists/cache_listing.h"

namespace tallow {

// One line each: the name as the list draws it; the size as Explorer writes sizes ("12.3 KB");
// the time of last write, in the user's local time and short date and time formats; the
// container and bucket the file lies in. A line the system cannot format is left out.
std::wstring RowInfoText(const CacheListing& listing, size_t row);
// The same for the infotip, each line kept to one: a long name or folder is shortened in the
// middle, its end and extension kept.
std::wstring RowTipText(const CacheListing& listing, size_t row);

}  // namespace tallow
