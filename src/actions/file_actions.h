// What the user can do with a listed file: open, save a copy, delete one, delete all.
// Every action takes its path from the hidden path list.
#pragma once

#include <string>
#include <string_view>

#include "lists/string_list.h"
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

// The popup menu belongs to a right-button release with a current entry.
bool WantsPopupMenu(const StringList& names, int button);

// Opens the current file with its associated program; nothing happens without a current file,
// since an empty path would make the shell open some unrelated folder.
void OpenCurrent(Platform& platform, const StringList& paths);

// Saves a copy of the current file into a folder the user picks and reports success.
void SaveCurrent(Platform& platform, const StringList& paths);

// The text of the success message for a saved file name.
std::wstring SavedText(std::wstring_view name);

// Deletes the current file, or every listed file from the last to the first. Failures (read-only,
// in use, a directory) are skipped; the caller rescans afterwards.
void DeleteCurrent(Platform& platform, const StringList& paths);
void DeleteAll(Platform& platform, const StringList& paths);

}  // namespace tallow
