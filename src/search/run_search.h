// The cache scan: fills the result lists with the cached entries whose path holds the extension.
#pragma once

#include <string>
#include <string_view>

#include "lists/string_list.h"
#include "platform/platform.h"

namespace tallow {

inline constexpr std::wstring_view kCacheSubfolder = L"\\Content.IE5\\";
inline constexpr std::wstring_view kReminderTitle = L"提醒 —— Quistemar";
inline constexpr std::wstring_view kPickExtensionText = L"请选择完整后缀名，如：.flv        ";

struct SearchLists {
  StringList& names;             // List1: bare file names, shown
  StringList& folders;           // List2: the cache's bucket folders, scratch
  StringList& paths;             // List3: full paths, index for index with names
  const StringList& extensions;  // Combo1: its current text is the extension
};

// Rebuilds the three lists from the file system; nothing carries over from an earlier run.
void RunSearch(Platform& platform, const SearchLists& lists);

// The part of a path after its last "\", or the whole path when it has none.
std::wstring_view NamePart(std::wstring_view path);

}  // namespace tallow
