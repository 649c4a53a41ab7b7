#include "actions/file_actions.h"

#include "actions/open_rule.h"
#include "lists/visible_name.h"
#include "search/run_search.h"

namespace tallow {

namespace {

std::wstring_view TrimmedName(std::wstring_view name) {
  while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.remove_suffix(1);
  return name;
}

}  // namespace

bool ShellCopyFile(Platform& platform, const std::wstring& source, const std::wstring& destination) {
  ShellCopyRecord record;
  record.from = source;
  record.to = destination;
  const int result = platform.ShellFileOperation(record);
  return result == 0 && !record.any_operations_aborted;
}

std::wstring_view LastExtension(std::wstring_view name) {
  name = TrimmedName(name);
  const size_t dot = name.rfind(L'.');
  return dot == std::wstring_view::npos ? std::wstring_view() : name.substr(dot);
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
  if ((CanRunCode(platform, name) || CanRunCode(platform, NamePart(*target))) &&
      !platform.AskYesNo(OpenWarningText(name), std::wstring(kReminderTitle))) {
    return;
  }
  platform.OpenWithDefaultProgram(*target);
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
  if (const std::optional<FileStamp> listed = platform.StampOf(*path); listed && listed->folder) return;
  const std::optional<std::wstring> source = platform.ShellPath(*path);
  if (!source) return;
  const std::optional<std::wstring> folder = platform.PickFolder(std::wstring(kPickFolderTitle));
  if (!folder) return;

  // The separator is added even after a drive root ("D:\" gives "D:\\name"); the shell
  // accepts the doubled separator.
  const std::wstring destination = *folder + L'\\' + std::wstring(saved_name);
  // Into a folder of that name the shell would copy the file, not onto it; and when it keeps
  // what was there (the user declined the replace, or kept both), nothing was saved as named.
  const std::optional<FileStamp> before = platform.StampOf(destination);
  if (before && before->folder) return;
  if (!ShellCopyFile(platform, *source, destination)) return;
  const std::optional<FileStamp> after = platform.StampOf(destination);
  if (!after || after->folder || after == before) return;
  platform.MarkFromInternet(destination);
  platform.ShowMessage(SavedText(name), std::wstring(kSavedTitle), MessageIcon::kInformation);
}

std::wstring DeleteAllText(size_t count) { return L"确定要永久删除列出的 " + std::to_wstring(count) + L" 个文件吗？"; }

std::wstring DeleteOneText(std::wstring_view name) {
  std::wstring text = L"确定要永久删除此文件吗？\r\n";
  text.append(VisibleName(name)).append(L"\r\n\r\n删除后无法恢复。");
  return text;
}

namespace {

bool RemoveEntry(CacheFileRemover& remover, const CacheListing& listing, size_t index) {
  const uint32_t folder = listing.FolderIndex(index);
  return remover.Remove(listing.Container(folder), listing.Bucket(folder), listing.Name(index));
}

}  // namespace

void DeleteListed(Platform& platform, const std::optional<ListedEntry>& entry) {
  if (!entry) return;
  if (const std::unique_ptr<CacheFileRemover> remover = platform.BeginRemoving()) {
    RemoveEntry(*remover, *entry->listing, entry->index);
  }
}

void DeleteAllListed(Platform& platform, const CacheListing& listing) {
  const std::unique_ptr<CacheFileRemover> remover = platform.BeginRemoving();
  if (!remover) return;
  const std::unique_ptr<Progress> progress = platform.BeginProgress(listing.Count());
  size_t done = 0;
  for (size_t i = listing.Count(); i-- > 0; ++done) {
    // A cancel lets the file under way finish.
    if (progress && !progress->Step(done)) return;
    RemoveEntry(*remover, listing, i);
  }
}

}  // namespace tallow
