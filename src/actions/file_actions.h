// What the user can do with listed files: open, save copies, delete some, delete all. Each has
// a file of its own; the callers that take every action include them all from here.
#pragma once

#include "actions/delete_actions.h"
#include "actions/open_listed.h"
#include "actions/save_actions.h"

namespace tallow {

inline constexpr int kRightButton = 2;

}  // namespace tallow
