#include "actions/save_actions.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "lists/visible_name.h"
#include "platform/file_names.h"
#include "search/run_search.h"

namespace tallow {

namespace {

// Names of files that were not saved, shown in the closing box; the rest are counted.
constexpr size_t kNamesShown = 5;
// Past this, a name's keep-both numbers count as used up.
constexpr int kLastNumber = 9999;
constexpr uint32_t kErrorFileExists = 80;
// A single file's copy is followed in thousandths.
constexpr size_t kPermille = 1000;

// Explorer's name for another file of the same name: "logo[1] (2).gif", then "(3)".
std::wstring KeepBothName(std::wstring_view name, int number) {
  const std::wstring_view extension = LastExtension(name);
  std::wstring text(name.substr(0, name.size() - extension.size()));
  text.append(L" (").append(std::to_wstring(number)).append(L")").append(extension);
  return text;
}

std::wstring ReplaceText(std::wstring_view name) {
  std::wstring text = L"目标文件夹中已有同名文件：\r\n";
  text.append(VisibleName(name)).append(L"\r\n\r\n要用缓存中的这个文件替换它吗？");
  return text;
}

// Copies through the picked folder's exact path with the file API, which reaches that very
// folder whatever its name ends in; asks before replacing, as the shell would.
bool SaveExactly(Platform& platform, const std::wstring& path, const std::wstring& folder, std::wstring_view name,
                 bool replace) {
  const std::unique_ptr<FolderSaver> saver = platform.BeginSaving(folder);
  if (!saver || (replace && !platform.AskYesNo(ReplaceText(name), std::wstring(kReminderTitle)))) return false;
  const std::unique_ptr<Progress> progress = platform.BeginProgress(kPermille, std::wstring(kSaveProgressTitle));
  const CopyProgress follow = [&](uint64_t copied, uint64_t size) {
    return !progress || progress->Step(size == 0 ? kPermille : static_cast<size_t>(copied * kPermille / size));
  };
  SaveResult result = replace ? saver->Replace(path, name, follow) : saver->SaveNew(path, name, follow);
  // Another program took the name meanwhile: the question the shell would have asked then.
  if (result.outcome == SaveOutcome::kNameTaken && !replace &&
      platform.KindOf(folder + (folder.ends_with(L'\\') ? L"" : L"\\") + std::wstring(name)) == EntryKind::kFile &&
      platform.AskYesNo(ReplaceText(name), std::wstring(kReminderTitle))) {
    result = saver->Replace(path, name, follow);
  }
  return result.outcome == SaveOutcome::kSaved;
}

// Saves under the name, or under its next keep-both name while the name is taken; next holds,
// by each name's hash, the number to try first.
SaveResult SaveKeepingBoth(Platform& platform, FolderSaver& saver, const std::wstring& source, std::wstring_view name,
                           std::unordered_map<uint64_t, int>& next, const CopyProgress& follow) {
  int& number = next[platform.PathHash(name)];
  for (number = std::max(number, 1); number <= kLastNumber; ++number) {
    const SaveResult result =
        saver.SaveNew(source, number == 1 ? std::wstring(name) : KeepBothName(name, number), follow);
    if (result.outcome != SaveOutcome::kNameTaken) {
      if (result.outcome == SaveOutcome::kSaved) ++number;
      return result;
    }
  }
  return {SaveOutcome::kFailed, kErrorFileExists};
}

struct NotSaved {
  std::wstring name;
  std::wstring why;
};

std::wstring WhyNotSaved(Platform& platform, const SaveResult& result) {
  if (result.outcome == SaveOutcome::kGone) return L"扫描后已不存在";
  std::wstring text = platform.FailureText(result.status);
  return text.empty() ? L"错误 " + std::to_wstring(result.status) : text;
}

std::wstring NotAllSavedText(size_t saved, size_t failed, const std::vector<NotSaved>& named, size_t cancelled) {
  std::wstring text = L"保存了 " + std::to_wstring(saved) + L" 个文件。";
  if (failed > 0) {
    text.append(L"\r\n\r\n").append(std::to_wstring(failed)).append(L" 个文件未能保存：");
    for (const NotSaved& entry : named)
      text.append(L"\r\n").append(VisibleName(entry.name)).append(L"：").append(entry.why);
    if (failed > named.size())
      text.append(L"\r\n……另有 ").append(std::to_wstring(failed - named.size())).append(L" 个");
  }
  if (cancelled > 0)
    text.append(L"\r\n\r\n已取消，其余 ").append(std::to_wstring(cancelled)).append(L" 个文件未保存。");
  return text;
}

// Every selected file into one folder: nothing overwritten, nothing asked file by file, one
// box at the end.
void SaveMany(Platform& platform, const ListedEntries& selected) {
  const std::optional<std::wstring> folder = platform.PickFolder(std::wstring(kPickFolderTitle));
  if (!folder) return;
  const std::unique_ptr<FolderSaver> saver = platform.BeginSaving(*folder);
  if (!saver) return;
  const size_t total = selected.indices.size();
  std::unique_ptr<Progress> progress = platform.BeginProgress(total, std::wstring(kSaveProgressTitle));
  std::unordered_map<uint64_t, int> next_number;
  std::vector<NotSaved> named;
  size_t saved = 0;
  size_t failed = 0;
  size_t done = 0;
  bool cancelled = false;
  // Asked between files and, for a large one, while it copies.
  const CopyProgress follow = [&](uint64_t, uint64_t) { return !progress || progress->Step(done); };
  for (; done < total; ++done) {
    if (!follow(0, 0)) {
      cancelled = true;
      break;
    }
    const std::wstring path = selected.listing->Path(selected.indices[done]);
    const std::wstring_view name = NamePart(path);
    // As a single save: the name the shell would give the copy, and no folders.
    const std::wstring_view saved_name = TrimmedName(name);
    if (name == L"." || name == L".." || saved_name.empty()) continue;
    const SaveResult result = SaveKeepingBoth(platform, *saver, path, saved_name, next_number, follow);
    if (result.outcome == SaveOutcome::kCancelled) {
      cancelled = true;
      break;
    }
    switch (result.outcome) {
      case SaveOutcome::kSaved:
        ++saved;
        break;
      case SaveOutcome::kFolder:
      case SaveOutcome::kCancelled:
        break;
      case SaveOutcome::kNameTaken:
      case SaveOutcome::kGone:
      case SaveOutcome::kFailed:
        if (++failed <= kNamesShown) named.push_back({std::wstring(name), WhyNotSaved(platform, result)});
        break;
    }
  }
  progress.reset();
  if (!cancelled && failed == 0) {
    platform.ShowMessage(L"保存   " + std::to_wstring(saved) + L" 个文件   成功", std::wstring(kSavedTitle),
                         MessageIcon::kInformation);
  } else {
    // What was under way when the user cancelled is not saved either.
    platform.ShowMessage(NotAllSavedText(saved, failed, named, cancelled ? total - done : 0),
                         std::wstring(kReminderTitle), MessageIcon::kExclamation);
  }
}

}  // namespace

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
  // The shell reads a folder whose name ends in a dot or a space as another folder; and its
  // replace writes over the user's file, which a copy failing part-way would leave truncated.
  if (WouldBeTrimmed(*folder) || before == EntryKind::kFile) {
    if (!SaveExactly(platform, *path, *folder, saved_name, before == EntryKind::kFile)) return;
  } else {
    if (!ShellCopyFile(platform, *source, destination)) {
      // A copy that failed part-way (a full drive) leaves nothing of its own behind.
      platform.DiscardPartialCopy(saved, *path);
      return;
    }
    // What lies there now decides: a file another program put there meanwhile and the user
    // kept leaves other bytes under the name; an identical one is the saved file. Neither the
    // file's index nor its times tell this on every file system.
    if (!platform.SameContents(*source, saved)) return;
    platform.MarkFromInternet(saved);
  }
  platform.ShowMessage(SavedText(name), std::wstring(kSavedTitle), MessageIcon::kInformation);
}

void SaveSelected(Platform& platform, const ListedEntries& selected) {
  if (selected.indices.size() <= 1) {
    SaveListed(platform, selected.indices.empty()
                             ? std::nullopt
                             : std::optional<std::wstring>(selected.listing->Path(selected.indices[0])));
    return;
  }
  SaveMany(platform, selected);
}

}  // namespace tallow
