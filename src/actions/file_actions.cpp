#include "actions/file_actions.h"

#include "actions/open_rule.h"
#include "lists/visible_name.h"
#include "platform/file_names.h"
#include "search/run_search.h"

namespace tallow {

bool ShellCopyFile(Platform& platform, const std::wstring& source, const std::wstring& destination) {
  ShellCopyRecord record;
  record.from = source;
  record.to = destination;
  const int result = platform.ShellFileOperation(record);
  return result == 0 && !record.any_operations_aborted;
}

std::wstring OpenWarningText(std::wstring_view name) {
  std::wstring text = L"此文件可能会运行程序：\r\n";
  text.append(VisibleName(name)).append(L"\r\n\r\n它来自网页缓存，来源不明。确定要打开吗？");
  return text;
}

void OpenListed(Platform& platform, const std::optional<std::wstring>& path) {
  if (!path) return;
  const std::optional<std::wstring> target = platform.ShellPath(*path);
  if (!target) return;
  // The name decides, not the extension the list was searched for ("anim.gif.exe" is listed
  // under ".gif"); so does the name the shell is given, when that is another.
  const std::wstring_view name = NamePart(*path);
  if ((AsksBeforeOpening(platform, name) || AsksBeforeOpening(platform, NamePart(*target))) &&
      !platform.AskYesNo(OpenWarningText(name), std::wstring(kReminderTitle))) {
    return;
  }
  // By the type's own program: a shell may start any file that holds a program as one, whatever
  // its name (Wine's does), and a picture's name must reach the picture's viewer. A type without
  // a program goes the shell's own way, after the question: Windows offers a choice of programs,
  // and a program the user said Yes to starts where its type is not registered (Wine's ".exe").
  const std::wstring type(LastExtension(NamePart(*target)));
  const TypeProgram program = type.empty() ? TypeProgram{} : platform.ProgramForType(type);
  platform.OpenWithDefaultProgram(*target, program.command.empty() && !program.delegate ? std::wstring() : type);
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
