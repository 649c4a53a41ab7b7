// Paths as the file system takes them as they stand, and back as the shell takes them.
#pragma once

#include <windows.h>

#include <string>

namespace tallow {

// The longest path the file system takes, in the \\?\ form.
inline constexpr DWORD kLongPathChars = 32768;

// The \\?\ form of a path, which the file system takes as it stands: the only form that reaches
// paths of MAX_PATH code units and more, and names that end in a dot or a space, which the
// ordinary form trims (and so points at another file). Listing and deleting both use it, so
// that they name the same files. Drive paths, UNC paths and paths from the current drive's root
// have such a form; anything else is passed on as it is.
std::wstring ExactPath(std::wstring path);

// The path without \\?\, as the shell takes it.
std::wstring WithoutExactPrefix(std::wstring path);

}  // namespace tallow
