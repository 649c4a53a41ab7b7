#include "actions/file_actions.h"

#include "actions/open_rule.h"
#include "lists/visible_name.h"
#include "platform/file_names.h"
#include "search/run_search.h"

namespace tallow {

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

std::wstring DeleteAllText(size_t count) { return L"确定要永久删除列出的 " + std::to_wstring(count) + L" 个文件吗？"; }

std::wstring DeleteOneText(std::wstring_view name) {
  std::wstring text = L"确定要永久删除此文件吗？\r\n";
  text.append(VisibleName(name)).append(L"\r\n\r\n删除后无法恢复。");
  return text;
}

namespace {

bool RemoveEntry(CacheFileRemover& remover, const CacheListing& listing, size_t index) {
  const uint32_t folder = listing.FolderIndex(index);
  const std::optional<FolderId>& id = listing.Id(folder);
  return id && remover.Remove(listing.Container(folder), listing.Bucket(folder), *id, listing.Name(index)).outcome ==
                   RemoveOutcome::kRemoved;
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
