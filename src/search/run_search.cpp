#include "search/run_search.h"

#include <vector>

#include "search/remove_dups.h"

namespace tallow {

std::wstring_view NamePart(std::wstring_view path) {
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

namespace {

// Bucket folders are the entries without a dot; this also drops "." and "..".
std::vector<std::wstring> ListBucketFolders(Platform& platform, const std::wstring& root) {
  std::vector<std::wstring> folders;
  platform.EnumerateDirectory(root, kAttrMaskAll, [&](std::wstring_view name) {
    if (name.find(L'.') == std::wstring_view::npos) folders.emplace_back(name);
  });
  return folders;
}

}  // namespace

void RunSearch(Platform& platform, const SearchLists& lists) {
  lists.names.Focus();
  lists.names.Clear();
  lists.paths.Clear();
  lists.folders.Clear();

  // A cache folder whose path cannot be read leaves nothing to enumerate; one the shell does
  // not know gives the bare "\Content.IE5\" on the current drive, listed like any other path.
  const std::optional<std::wstring> cache = platform.SpecialFolderPath(kCsidlInternetCache);
  const std::wstring root = cache ? *cache + std::wstring(kCacheSubfolder) : std::wstring();
  if (cache) lists.folders.AppendMany(ListBucketFolders(platform, root));

  const std::wstring extension = lists.extensions.CurrentText();
  if (extension.empty()) {
    platform.ShowMessage(std::wstring(kPickExtensionText), std::wstring(kReminderTitle), MessageIcon::kInformation);
    return;
  }

  // Filtering while enumerating keeps only the matches in memory; the result is the same as
  // listing every entry first and dropping the others afterwards. The duplicate search's key
  // hash of a path is taken from its folder's, hashed once, and its name.
  std::vector<std::wstring> matches;
  std::vector<uint64_t> key_hashes;
  std::wstring path;
  const int folder_count = lists.folders.Count();
  for (int i = 0; i < folder_count; ++i) {
    const std::wstring folder = root + lists.folders.Item(i) + L'\\';
    const uint64_t folder_hash = platform.TextKeyHash(folder);
    platform.EnumerateDirectory(folder, kAttrMaskAll, [&](std::wstring_view name) {
      path.assign(folder).append(name);
      if (path.find(extension) == std::wstring::npos) return;
      matches.push_back(path);
      key_hashes.push_back(platform.TextKeyHash(name, folder_hash));
    });
  }

  RemoveDupsByKeyHash(matches, key_hashes, platform);

  std::vector<std::wstring> names;
  names.reserve(matches.size());
  for (const std::wstring& match : matches) names.emplace_back(NamePart(match));
  lists.paths.AppendMany(std::move(matches));
  lists.names.AppendMany(std::move(names));
  // Every action takes its path from the entry that stands at the highlighted name's index: a
  // list that could not take every entry (a control out of memory) would point the actions,
  // deletes included, at other files. Better to list nothing.
  if (lists.names.Count() != lists.paths.Count()) {
    lists.names.Clear();
    lists.paths.Clear();
  }
}

}  // namespace tallow
