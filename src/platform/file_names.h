// How Windows reads the names of files: the one place for these rules, which the scan, the
// actions and the Windows layer all follow, so that each of them takes a name the same way.
#pragma once

#include <string_view>

namespace tallow {

// The part of a path after its last "\", or the whole path when it has none.
std::wstring_view NamePart(std::wstring_view path);

// False for names no Windows file system can hold (separators, wildcards, control characters):
// seen only through compatibility layers, and every action would reach another file by them.
bool IsHoldableName(std::wstring_view name);

// The name as the shell and the ordinary (not \\?\) paths take it: without the dots and spaces
// at its end. A name that ends in one reaches another file that way.
std::wstring_view TrimmedName(std::wstring_view name);

// True when a name in the path would be trimmed; "." and ".." are folders as they stand.
bool WouldBeTrimmed(std::wstring_view path);

// The extension Windows goes by: from the name's last "." on, once the dots and spaces that
// Windows drops from the end of a name are set aside; empty when there is none.
std::wstring_view LastExtension(std::wstring_view name);

}  // namespace tallow
