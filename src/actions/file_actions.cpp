#include "actions/file_actions.h"

#include "search/run_search.h"

namespace tallow {

bool ShellCopyFile(Platform& platform, const std::wstring& source, const std::wstring& destination) {
  ShellCopyRecord record;
  record.from = source;
  record.to = destination;
  const int result = platform.ShellFileOperation(record);
  return result == 0 && !record.any_operations_aborted;
}

bool WantsPopupMenu(const StringList& names, int button) {
  return names.CurrentIndex() != -1 && button == kRightButton;
}

void OpenCurrent(Platform& platform, const StringList& paths) {
  if (paths.CurrentIndex() == -1) return;
  platform.OpenWithDefaultProgram(paths.CurrentText());
}

std::wstring SavedText(std::wstring_view name) {
  std::wstring text = L"保存   ";
  text.append(name).append(L"   成功");
  return text;
}

void SaveCurrent(Platform& platform, const StringList& paths) {
  const std::wstring source = paths.CurrentText();
  if (paths.CurrentIndex() == -1) {
    platform.ShowMessage(std::wstring(kSelectFirstText), std::wstring(kSelectFirstTitle), MessageIcon::kExclamation);
    return;
  }
  const std::optional<std::wstring> folder = platform.PickFolder(std::wstring(kPickFolderTitle));
  if (!folder) return;

  // The separator is added even after a drive root ("D:\" gives "D:\\name"); the shell
  // accepts the doubled separator.
  const std::wstring name(NamePart(source));
  const std::wstring destination = *folder + L'\\' + name;
  if (!ShellCopyFile(platform, source, destination)) return;
  platform.ShowMessage(SavedText(name), std::wstring(kSavedTitle), MessageIcon::kInformation);
}

void DeleteCurrent(Platform& platform, const StringList& paths) {
  if (paths.CurrentIndex() == -1) return;
  platform.RemoveFile(paths.CurrentText());
}

void DeleteAll(Platform& platform, const StringList& paths) {
  for (int i = paths.Count() - 1; i >= 0; --i) platform.RemoveFile(paths.Item(i));
}

}  // namespace tallow
