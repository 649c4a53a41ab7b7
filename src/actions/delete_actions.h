// Deleting listed files for good: one, a selection, or every listed file; the questions asked
// first, and what the user is told about files that could not go.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "lists/cache_listing.h"
#include "lists/result_lists.h"
#include "platform/platform.h"

namespace tallow {

// At most this many names are written out in the message after deleting several files.
inline constexpr size_t kFailedNamesShown = 5;
// Why an entry was left that is not the one the scan listed: another program may have put
// another file or a folder under its name, or another folder in its bucket's place.
inline constexpr std::wstring_view kNotListedReason =
    L"它已不是列出时的那个文件（或是文件夹），或它所在的文件夹已被替换。";

// The questions before deleting every listed file, one file, and several selected files; names
// in them as VisibleName draws them.
std::wstring DeleteAllText(size_t count);
std::wstring DeleteOneText(std::wstring_view name);
std::wstring DeleteSeveralText(size_t count);

// Why a delete left the file, in the user's words; empty for a delete that did no harm to say
// nothing about (removed, or already gone).
std::wstring RemoveFailureReason(Platform& platform, const RemoveResult& result);
// The message after a delete of one file that left it, and after deleting several of which
// failed could not go, with the first few of them as "name：why".
std::wstring DeleteOneFailedText(std::wstring_view name, std::wstring_view reason);
std::wstring DeleteSomeFailedText(size_t failed, size_t total, std::wstring_view first_lines);

// Each deletes through the checked path only, and returns the message to show once the list
// shows what is left, or nullopt when nothing is worth saying (a file already gone, a cancel).
// One file, at once; several, from the last to the first with progress until the user
// cancels; every listed file likewise.
std::optional<std::wstring> DeleteListed(Platform& platform, const std::optional<ListedEntry>& entry);
std::optional<std::wstring> DeleteSelected(Platform& platform, const ListedEntries& selected);
std::optional<std::wstring> DeleteAllListed(Platform& platform, const CacheListing& listing);

}  // namespace tallow
