// Keeps the visible names list and the hidden path list pointed at the same file.
#pragma once

#include "lists/string_list.h"

namespace tallow {

// A change of the names list's current entry moves the path list along.
inline void FollowNames(const StringList& names, StringList& paths) { paths.SetCurrentIndex(names.CurrentIndex()); }

// A change of the path list's current entry moves the names list along.
inline void FollowPaths(const StringList& paths, StringList& names) { names.SetCurrentIndex(paths.CurrentIndex()); }

// A scroll of the names list scrolls the path list to the same first entry, as near as it can.
inline void FollowScroll(const StringList& names, StringList& paths) { paths.SetTopIndex(names.TopIndex()); }

}  // namespace tallow
