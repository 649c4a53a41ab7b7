#include "delete_case.h"

#include <windows.h>

#include <vector>

#include "actions/file_actions.h"
#include "bench_support.h"
#include "platform/win32/handles.h"

namespace tallow::bench {

namespace {

// Empty files: what is measured is the deleting, not how much each file holds.
bool MakeFiles(const std::vector<std::wstring>& folders, const CacheLayout& layout) {
  for (size_t b = 0; b < folders.size(); ++b) {
    CreateDirectoryW(folders[b].c_str(), nullptr);
    for (const std::wstring& name : layout.names[b]) {
      const win32::UniqueHandle file(win32::NullIfInvalid(
          CreateFileW((folders[b] + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)));
      if (!file) return false;
    }
  }
  return true;
}

// True when every bucket is empty again.
bool AllGone(const std::vector<std::wstring>& folders) {
  for (const std::wstring& folder : folders) {
    WIN32_FIND_DATAW data;
    const win32::UniqueFindHandle find(win32::NullIfInvalid(FindFirstFileW((folder + L"*").c_str(), &data)));
    if (!find) return false;
    do {
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return false;
    } while (FindNextFileW(find.get(), &data));
  }
  return true;
}

}  // namespace

DeleteTimes MeasureDeleteAll(Platform& platform, const std::wstring& inet_cache, const CacheLayout& layout,
                             int rounds) {
  const std::wstring container = inet_cache + L"\\TallowBenchDelete\\";
  CreateDirectoryW(container.c_str(), nullptr);
  std::vector<std::wstring> folders;
  CacheListing listing;
  std::vector<std::wstring> paths;
  for (size_t b = 0; b < layout.buckets.size(); ++b) {
    folders.push_back(container + layout.buckets[b] + L"\\");
    // As the scan lists it: the bucket's id taken once it exists.
    CreateDirectoryW(folders.back().c_str(), nullptr);
    const uint32_t folder = listing.AddFolder(container, layout.buckets[b], platform.FolderIdOf(folders.back()));
    for (const std::wstring& name : layout.names[b]) {
      listing.AddEntry(folder, name);
      paths.push_back(folders.back() + name);
    }
  }
  std::vector<double> program, bare;
  bool ok = true;
  for (int round = 0; ok && round < rounds; ++round) {
    ok = MakeFiles(folders, layout);
    if (ok) {
      const Stopwatch watch;
      DeleteAllListed(platform, listing);
      program.push_back(watch.ElapsedMs());
      ok = AllGone(folders) && MakeFiles(folders, layout);
    }
    if (ok) {
      const Stopwatch watch;
      // The same files, last to first, as delete all takes them.
      for (size_t i = paths.size(); i-- > 0;) DeleteFileW(paths[i].c_str());
      bare.push_back(watch.ElapsedMs());
      ok = AllGone(folders);
    }
  }
  for (const std::wstring& folder : folders) RemoveDirectoryW(folder.c_str());
  RemoveDirectoryW(container.c_str());
  if (!ok) return {};
  return {Median(program), Median(bare)};
}

}  // namespace tallow::bench
