#include "search/run_search.h"

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

#include "platform/file_names.h"
#include "search/remove_dups.h"

namespace tallow {

namespace {

// Finds the containers under the cache folder. Only folders that are not links count: the
// Protected-Mode containers are writable by any low-integrity process, and a link planted there
// would lead the delete actions into folders that are not the cache. Each folder on the way is
// listed once, however many containers lie below it.
class ContainerFinder {
 public:
  ContainerFinder(Platform& platform, std::wstring cache) : platform_(platform), cache_(std::move(cache)) {}

  // The container's path as its folders spell it, ending in "\".
  std::optional<std::wstring> Find(std::wstring_view container) {
    std::optional<std::wstring> path = cache_;
    for (size_t start = 0; path && start <= container.size();) {
      const size_t end = std::min(container.find(L'\\', start), container.size());
      path = FindFolder(*path, container.substr(start, end - start));
      start = end + 1;
    }
    return path;
  }

 private:
  std::optional<std::wstring> FindFolder(const std::wstring& parent, std::wstring_view name) {
    auto [listed, added] = real_folders_.try_emplace(parent);
    if (added) {
      platform_.EnumerateDirectory(parent, kAttrMaskAll, [&](const DirEntry& entry) {
        if (entry.directory && !entry.link && IsHoldableName(entry.name)) listed->second.emplace_back(entry.name);
      });
    }
    for (const std::wstring& folder : listed->second) {
      if (platform_.PathsEqual(folder, name)) return parent + folder + L'\\';
    }
    return std::nullopt;
  }

  Platform& platform_;
  std::wstring cache_;
  std::map<std::wstring, std::vector<std::wstring>> real_folders_;  // per folder listed
};

// Bucket folders are the container's entries without a dot, which also drops "." and "..".
// A name no Windows folder can hold (LNK\DOCS, seen through a compatibility layer) would
// reach another folder by the path it makes.
// Each bucket's id is read as it is listed: deletes later act in that very folder only, whatever
// is put in its place or in the place of a folder above it. A bucket without one has become a
// link since the container was listed, or cannot be told from another, and is not entered.
void ScanContainer(Platform& platform, const std::wstring& container, std::wstring_view extension,
                   CacheListing& listing) {
  std::vector<std::wstring> buckets;
  platform.EnumerateDirectory(container, kAttrMaskAll, [&](const DirEntry& entry) {
    if (!entry.link && entry.name.find(L'.') == std::wstring_view::npos && IsHoldableName(entry.name)) {
      buckets.emplace_back(entry.name);
    }
  });
  std::wstring path;
  for (const std::wstring& bucket : buckets) {
    const std::optional<FolderId> id = platform.FolderIdOf(container + bucket + L'\\');
    if (!id) continue;
    const uint32_t folder = listing.AddFolder(container, bucket, id);
    const std::wstring& folder_path = listing.Folders()[folder];
    platform.EnumerateDirectory(folder_path, kAttrMaskAll, [&](const DirEntry& entry) {
      if (!IsHoldableName(entry.name)) return;
      path.assign(folder_path).append(entry.name);
      if (path.find(extension) != std::wstring::npos) listing.AddEntry(folder, entry.name, entry.size, entry.written);
    });
  }
}

}  // namespace

CacheListing ScanCache(Platform& platform, std::wstring_view extension) {
  CacheListing listing;
  // Without the user's cache folder there is nothing to scan: guessing a folder elsewhere would
  // let the delete actions remove files that are no cache's.
  std::optional<std::wstring> cache = platform.SpecialFolderPath(kCsidlInternetCache);
  if (extension.empty() || !cache || cache->empty()) return listing;
  if (cache->back() != L'\\') *cache += L'\\';
  listing.SetCacheFolder(*cache);
  ContainerFinder containers(platform, *cache);
  for (std::wstring_view name : kCacheContainers) {
    if (const std::optional<std::wstring> container = containers.Find(name)) {
      ScanContainer(platform, *container, extension, listing);
    }
  }
  RemoveDups(listing, 0, platform);
  return listing;
}

void RunSearch(Platform& platform, ResultLists& results, const StringList& extensions) {
  results.Focus();
  results.Clear();
  const std::wstring extension = extensions.CurrentText();
  if (extension.empty()) {
    platform.ShowMessage(std::wstring(kPickExtensionText), std::wstring(kReminderTitle), MessageIcon::kInformation);
    return;
  }
  results.Show(ScanCache(platform, extension));
}

}  // namespace tallow
