// What the user can do with a listed file: open, save a copy, delete one, delete all. Each
// action takes the path of the entry behind the highlighted name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "lists/cache_listing.h"
#include "lists/result_lists.h"
#include "platform/platform.h"
// Saving has a file of its own; its callers take it from here too.
#include "actions/save_actions.h"

namespace tallow {

inline constexpr int kRightButton = 2;

// Opens the file with the program of its type, after asking unless that program only shows it;
// nothing happens without a file, since an empty path would make the shell open some unrelated
// folder.
void OpenListed(Platform& platform, const std::optional<std::wstring>& path);

// The texts of the warning before opening, and the questions before deleting every listed file
// and before deleting one; names in them as VisibleName draws them.
std::wstring OpenWarningText(std::wstring_view name);
std::wstring DeleteAllText(size_t count);
std::wstring DeleteOneText(std::wstring_view name);

// Deletes one file, or every listed file from the last to the first until the user cancels.
// Failures (read-only, in use, a directory) are skipped; the caller rescans afterwards.
void DeleteListed(Platform& platform, const std::optional<ListedEntry>& entry);
void DeleteAllListed(Platform& platform, const CacheListing& listing);

}  // namespace tallow
