#include "actions/delete_actions.h"

#include <memory>

#include "lists/visible_name.h"

namespace tallow {

std::wstring DeleteAllText(size_t count) { return L"确定要永久删除列出的 " + std::to_wstring(count) + L" 个文件吗？"; }

std::wstring DeleteOneText(std::wstring_view name) {
  std::wstring text = L"确定要永久删除此文件吗？\r\n";
  text.append(VisibleName(name)).append(L"\r\n\r\n删除后无法恢复。");
  return text;
}

std::wstring DeleteSeveralText(size_t count) {
  return L"确定要永久删除这 " + std::to_wstring(count) + L" 个文件吗？\r\n\r\n删除后无法恢复。";
}

std::wstring RemoveFailureReason(Platform& platform, const RemoveResult& result) {
  switch (result.outcome) {
    case RemoveOutcome::kRemoved:
    case RemoveOutcome::kGone:
      return {};
    case RemoveOutcome::kNotListed:
      return std::wstring(kNotListedReason);
    case RemoveOutcome::kFailed:
      break;
  }
  std::wstring reason = platform.FailureText(result.status);
  // The system's own words end in a line break, which would leave a gap before the next name.
  while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n' || reason.back() == L' ')) {
    reason.pop_back();
  }
  if (!reason.empty()) return reason;
  // Some code the system has no words for still tells a helper what happened.
  std::wstring code = L"0x00000000";
  for (size_t i = 0; i < 8; ++i) code[9 - i] = L"0123456789ABCDEF"[(result.status >> (4 * i)) & 0xF];
  return L"系统拒绝删除（代码 " + code + L"）。";
}

std::wstring DeleteOneFailedText(std::wstring_view name, std::wstring_view reason) {
  std::wstring text = L"未能删除此文件：\r\n";
  text.append(VisibleName(name)).append(L"\r\n\r\n").append(reason);
  return text;
}

std::wstring DeleteSomeFailedText(size_t failed, size_t total, std::wstring_view first_lines) {
  std::wstring text =
      L"共 " + std::to_wstring(total) + L" 个文件，其中 " + std::to_wstring(failed) + L" 个未能删除：\r\n\r\n";
  text.append(first_lines);
  if (failed > kFailedNamesShown) text.append(L"……");
  return text;
}

namespace {

// Only in the very folder the scan listed: an entry of a folder whose id was not read is not
// known to be that folder's.
RemoveResult RemoveEntry(CacheFileRemover& remover, const CacheListing& listing, size_t index) {
  const uint32_t folder = listing.FolderIndex(index);
  const std::optional<FolderId>& id = listing.Id(folder);
  if (!id) return {RemoveOutcome::kNotListed};
  return remover.Remove(listing.Container(folder), listing.Bucket(folder), *id, listing.Name(index));
}

// Deletes count entries, index_of(i) each, from the last to the first until the user cancels,
// and words those that could not go.
template <typename IndexOf>
std::optional<std::wstring> RemoveEach(Platform& platform, const CacheListing& listing, size_t count,
                                       IndexOf&& index_of) {
  const std::unique_ptr<CacheFileRemover> remover = platform.BeginRemoving();
  if (!remover) return std::nullopt;
  const std::unique_ptr<Progress> progress = platform.BeginProgress(count);
  size_t failed = 0;
  std::wstring first_lines;
  size_t done = 0;
  for (size_t i = count; i-- > 0; ++done) {
    // A cancel lets the file under way finish; what was not tried is no failure.
    if (progress && !progress->Step(done)) break;
    const size_t index = index_of(i);
    const std::wstring reason = RemoveFailureReason(platform, RemoveEntry(*remover, listing, index));
    if (reason.empty()) continue;
    if (++failed <= kFailedNamesShown) {
      first_lines.append(VisibleName(listing.Name(index))).append(L"：").append(reason).append(L"\r\n");
    }
  }
  if (failed == 0) return std::nullopt;
  return DeleteSomeFailedText(failed, count, first_lines);
}

}  // namespace

std::optional<std::wstring> DeleteListed(Platform& platform, const std::optional<ListedEntry>& entry) {
  if (!entry) return std::nullopt;
  const std::unique_ptr<CacheFileRemover> remover = platform.BeginRemoving();
  if (!remover) return std::nullopt;
  const std::wstring reason = RemoveFailureReason(platform, RemoveEntry(*remover, *entry->listing, entry->index));
  if (reason.empty()) return std::nullopt;
  return DeleteOneFailedText(entry->listing->Name(entry->index), reason);
}

std::optional<std::wstring> DeleteSelected(Platform& platform, const ListedEntries& selected) {
  if (selected.indices.size() <= 1) {
    return DeleteListed(platform, selected.indices.empty()
                                      ? std::nullopt
                                      : std::optional<ListedEntry>(ListedEntry{selected.listing, selected.indices[0]}));
  }
  return RemoveEach(platform, *selected.listing, selected.indices.size(),
                    [&selected](size_t i) { return selected.indices[i]; });
}

std::optional<std::wstring> DeleteAllListed(Platform& platform, const CacheListing& listing) {
  return RemoveEach(platform, listing, listing.Count(), [](size_t i) { return i; });
}

}  // namespace tallow
