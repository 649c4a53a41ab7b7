// Saving copies of listed files into a folder the user picks: one file, or a selection.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "lists/result_lists.h"
#include "platform/platform.h"

namespace tallow {

inline constexpr std::wstring_view kPickFolderTitle = L"选择保存路径";
inline constexpr std::wstring_view kSelectFirstText = L"请先选定文件，然后保存！";
inline constexpr std::wstring_view kSelectFirstTitle = L"提示……";
inline constexpr std::wstring_view kSavedTitle = L"恭喜";
inline constexpr std::wstring_view kSaveProgressTitle = L"保存该项";

// Copies one file through the shell, with its progress and replace prompts. True only when the
// shell reports success and nothing was cancelled.
bool ShellCopyFile(Platform& platform, const std::wstring& source, const std::wstring& destination);

// Saves a copy of the file into a folder the user picks and reports success; without a file,
// asks the user to pick one first. Folders are not saved.
void SaveListed(Platform& platform, const std::optional<std::wstring>& path);

// Saves copies of the selected files into a folder the user picks: one file as SaveListed does,
// several into the one folder, each under a name of its own (Explorer's "name (2).gif" where
// the name is taken), then one box tells how it went; without any, asks the user to pick one
// first.
void SaveSelected(Platform& platform, const ListedEntries& selected);

// The text of the success message; the name in it as VisibleName draws it.
std::wstring SavedText(std::wstring_view name);

}  // namespace tallow
