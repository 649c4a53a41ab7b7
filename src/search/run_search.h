// The cache scan: every entry of the current user's cache whose full path holds the extension.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "lists/cache_listing.h"
#include "lists/result_lists.h"
#include "lists/string_list.h"
#include "platform/platform.h"

namespace tallow {

// The containers of the cache, each holding bucket folders, in the order they are listed: the
// cache of Windows 7 and of sites outside Protected Mode, the Protected-Mode cache since Vista,
// then the same two as Windows 8.1 and later keep them.
inline constexpr std::array<std::wstring_view, 4> kCacheContainers = {L"Content.IE5", L"Low\\Content.IE5", L"IE",
                                                                      L"Low\\IE"};

inline constexpr std::wstring_view kReminderTitle = L"提醒 —— Quistemar";
inline constexpr std::wstring_view kPickExtensionText = L"请选择完整后缀名，如：.flv        ";

// Lists, container by container, bucket by bucket, entry by entry, every entry of the cache's
// bucket folders whose full path contains extension, with duplicates removed. Touches nothing
// but the file system; an empty extension, or a cache folder the shell cannot name, lists
// nothing.
CacheListing ScanCache(Platform& platform, std::wstring_view extension);

// The search as the window runs it: the focus to the names list, the reminder when no
// extension is chosen, otherwise a fresh scan into the result lists.
void RunSearch(Platform& platform, ResultLists& results, const StringList& extensions);

}  // namespace tallow
