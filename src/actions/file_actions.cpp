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

void OpenListed(Platform& platform, const std::optional<std::wstring>& path) {
  if (path) platform.OpenWithDefaultProgram(*path);
}

std::wstring SavedText(std::wstring_view name) {
  std::wstring text = L"保存   ";
  text.append(name).append(L"   成功");
  return text;
}

void SaveListed(Platform& platform, const std::optional<std::wstring>& path) {
  if (!path) {
    platform.ShowMessage(std::wstring(kSelectFirstText), std::wstring(kSelectFirstTitle), MessageIcon::kExclamation);
    return;
  }
  const std::optional<std::wstring> folder = platform.PickFolder(std::wstring(kPickFolderTitle));
  if (!folder) return;

  // The separator is added even after a drive root ("D:\" gives "D:\\name"); the shell
  // accepts the doubled separator.
  const std::wstring name(NamePart(*path));
  const std::wstring destination = *folder + L'\\' + name;
  if (!ShellCopyFile(platform, *path, destination)) return;
  platform.ShowMessage(SavedText(name), std::wstring(kSavedTitle), MessageIcon::kInformation);
}

void DeleteListed(Platform& platform, const std::optional<std::wstring>& path) {
  if (path) platform.RemoveFile(*path);
}

void DeleteAllListed(Platform& platform, const CacheListing& listing) {
  for (size_t i = listing.Count(); i-- > 0;) platform.RemoveFile(listing.Path(i));
}

}  // namespace tallow
