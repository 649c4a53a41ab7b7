#include "actions/save_actions.h"

#include "lists/visible_name.h"
#include "platform/file_names.h"

namespace tallow {

bool ShellCopyFile(Platform& platform, const std::wstring& source, const std::wstring& destination) {
  ShellCopyRecord record;
  record.from = source;
  record.to = destination;
  const int result = platform.ShellFileOperation(record);
  return result == 0 && !record.any_operations_aborted;
}

std::wstring SavedText(std::wstring_view name) {
  std::wstring text = L"保存   ";
  text.append(VisibleName(name)).append(L"   成功");
  return text;
}

void SaveListed(Platform& platform, const std::optional<std::wstring>& path) {
  if (!path) {
    platform.ShowMessage(std::wstring(kSelectFirstText), std::wstring(kSelectFirstTitle), MessageIcon::kExclamation);
    return;
  }
  // The shell would copy a folder with all it holds, or nothing at all ("." and ".."); and
  // the copy keeps the name the shell gives it, without a dot or a space at the end.
  const std::wstring name(NamePart(*path));
  const std::wstring_view saved_name = TrimmedName(name);
  if (name == L"." || name == L".." || saved_name.empty()) return;
  if (platform.KindOf(*path) == EntryKind::kFolder) return;
  const std::optional<std::wstring> source = platform.ShellPath(*path);
  if (!source) return;
  const std::optional<std::wstring> folder = platform.PickFolder(std::wstring(kPickFolderTitle));
  if (!folder) return;

  // The separator is added even after a drive root ("D:\" gives "D:\\name"); the shell
  // accepts the doubled separator, the file system's own calls want it single.
  const std::wstring destination = *folder + L'\\' + std::wstring(saved_name);
  const std::wstring saved = folder->ends_with(L'\\') ? *folder + std::wstring(saved_name) : destination;
  // Into a folder of that name the shell would copy the file, not onto it.
  const EntryKind before = platform.KindOf(saved);
  if (before == EntryKind::kFolder) return;
  if (!ShellCopyFile(platform, *source, destination)) {
    // A copy that failed part-way (a full drive) leaves nothing behind that was not there.
    if (before == EntryKind::kNone) platform.DiscardFile(saved);
    return;
  }
  // What lies there now decides: a replace the user declined, or both files kept, leaves
  // another file under the name; an identical one is the saved file. Neither the file's index
  // nor its times tell this on every file system.
  if (!platform.SameContents(*source, saved)) return;
  platform.MarkFromInternet(saved);
  platform.ShowMessage(SavedText(name), std::wstring(kSavedTitle), MessageIcon::kInformation);
}

void SaveSelected(Platform& platform, const ListedEntries& selected) {
  if (selected.indices.size() <= 1) {
    SaveListed(platform, selected.indices.empty()
                             ? std::nullopt
                             : std::optional<std::wstring>(selected.listing->Path(selected.indices[0])));
    return;
  }
}

}  // namespace tallow
