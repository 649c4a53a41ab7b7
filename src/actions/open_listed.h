// Opening a listed file with the program of its type, and the question asked before it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "actions/open_rule.h"
#include "platform/platform.h"

namespace tallow {

// Opens the file with the program of its type, after asking unless that program only shows it;
// nothing happens without a file, since an empty path would make the shell open some unrelated
// folder.
void OpenListed(Platform& platform, const std::optional<std::wstring>& path);

// The question before opening: the name as VisibleName draws it, why it asks, and, when known,
// the program that gets the file.
std::wstring OpenWarningText(std::wstring_view name, OpenCaution caution, std::wstring_view program);

}  // namespace tallow
