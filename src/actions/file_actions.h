// What the user can do with a listed file: open (open_listed.h), save a copy, delete one, delete all. Each
// action takes the path of the entry behind the highlighted name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "actions/open_listed.h"
#include "lists/cache_listing.h"
#include "lists/result_lists.h"
#include "platform/platform.h"

namespace tallow {

inline constexpr int kRightButton = 2;

inline constexpr std::wstring_view kPickFolderTitle = L"选择保存路径";
inline constexpr std::wstring_view kSelectFirstText = L"请先选定文件，然后保存！";
inline constexpr std::wstring_view kSelectFirstTitle = L"提示……";
inline constexpr std::wstring_view kSavedTitle = L"恭喜";

// Copies one file through the shell, with its progress and replace prompts. True only when the
// shell reports success and nothing was cancelled.
bool ShellCopyFile(Platform& platform, const std::wstring& source, const std::wstring& destination);

// Saves a copy of the file into a folder the user picks and reports success; without a file,
// asks the user to pick one first. Folders are not saved.
void SaveListed(Platform& platform, const std::optional<std::wstring>& path);

// Saves copies of the selected files into a folder the user picks: one file as SaveListed does,
// several into the one folder, each under a name of its own; without any, asks the user to pick
// one first.
void SaveSelected(Platform& platform, const ListedEntries& selected);

// The texts of the success message and the questions before deleting every listed file and
// before deleting one; names in them as VisibleName draws them.
std::wstring SavedText(std::wstring_view name);
std::wstring DeleteAllText(size_t count);
std::wstring DeleteOneText(std::wstring_view name);

// Deletes one file, or every listed file from the last to the first until the user cancels.
// Failures (read-only, in use, a directory) are skipped; the caller rescans afterwards.
void DeleteListed(Platform& platform, const std::optional<ListedEntry>& entry);
void DeleteAllListed(Platform& platform, const CacheListing& listing);

}  // namespace tallow
