#include "synthetic_cache.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <iterator>
#include <mutex>
#include <set>
#include <string_view>
#include <thread>
#include <utility>

#include "bench_support.h"
#include "platform/win32/handles.h"

namespace tallow::bench {
namespace {

// Bumped whenever the names change, so that a staged tree of an older layout is rebuilt.
constexpr int kLayoutVersion = 3;

struct WeightedExtension {
  const wchar_t* text;
  unsigned weight;
};

// The built-in extensions and a few a modern cache is full of; ".gif" is about one entry in
// twelve, a few thousand in a full cache.
constexpr WeightedExtension kExtensions[] = {
    {L".gif", 8}, {L".bmp", 2},   {L".jpg", 12}, {L".swf", 3}, {L".flv", 2},  {L".mp3", 2},  {L".wma", 1},
    {L".wav", 1}, {L".mid", 1},   {L".rar", 1},  {L".exe", 1}, {L".zip", 1},  {L".js", 14},  {L".css", 8},
    {L".htm", 6}, {L".html", 10}, {L".png", 12}, {L".txt", 3}, {L".json", 4}, {L".woff", 2},
};

constexpr const wchar_t* kBaseNames[] = {
    L"logo",      L"banner", L"jquery.min", L"main",  L"style", L"index", L"ad_300x250", L"sprite", L"bg",   L"icon",
    L"analytics", L"player", L"thumb",      L"photo", L"video", L"song",  L"setup",      L"update", L"font", L"data",
    L"图片",      L"新闻",   L"视频",       L"音乐",  L"首页",  L"广告",  L"下载",       L"头像",
};

const wchar_t* PickExtension(Lcg& rng) {
  unsigned total = 0;
  for (const WeightedExtension& e : kExtensions) total += e.weight;
  unsigned pick = rng.Below(total);
  for (const WeightedExtension& e : kExtensions) {
    if (pick < e.weight) return e.text;
    pick -= e.weight;
  }
  return kExtensions[0].text;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WriteFileText(const std::wstring& path, std::string_view bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  const win32::UniqueHandle file(
      win32::NullIfInvalid(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr)));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

std::string ReadFileText(const std::wstring& path) {
  const win32::UniqueHandle file(win32::NullIfInvalid(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)));
  if (!file) return {};
  std::string text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
  return text;
}

// Deletes a folder with everything in it, hidden, system and read-only files included.
void DeleteTree(const std::wstring& dir) {
  WIN32_FIND_DATAW data;
  {
    const win32::UniqueFindHandle find(win32::NullIfInvalid(FindFirstFileExW(
        (dir + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH)));
    if (find) {
      do {
        const std::wstring_view name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = dir + L"\\" + data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          DeleteTree(path);
        } else {
          SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileW(path.c_str());
        }
      } while (FindNextFileW(find.get(), &data));
    }
  }
  RemoveDirectoryW(dir.c_str());
}

std::string Signature(const CacheLayout& layout) {
  char text[96];
  std::snprintf(text, sizeof text, "layout %d buckets %d entries %d\n", kLayoutVersion,
                static_cast<int>(layout.buckets.size()), layout.entries);
  return text;
}

bool CreateEmptyFiles(const std::wstring& folder, const std::vector<std::wstring>& names, std::wstring& error) {
  if (!CreateDirectoryW(folder.c_str(), nullptr)) {
    error = L"cannot create " + folder + L" (error " + std::to_wstring(GetLastError()) + L")";
    return false;
  }
  // Empty files: the scan reads names only, and a full cache must be quick to make.
  for (const std::wstring& name : names) {
    const std::wstring path = folder + L"\\" + name;
    const win32::UniqueHandle file(win32::NullIfInvalid(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!file) {
      error = L"cannot create " + path + L" (error " + std::to_wstring(GetLastError()) + L")";
      return false;
    }
  }
  return true;
}

}  // namespace

CacheLayout MakeLayout(int bucket_count) {
  static constexpr wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  CacheLayout layout;
  layout.entries = bucket_count * kEntriesPerBucket;
  std::set<std::wstring> taken;
  for (int b = 0; b < bucket_count; ++b) {
    // Each bucket from a seed of its own, so that it is the same in every layout.
    Lcg rng(0x7A110000ULL + static_cast<unsigned long long>(b));
    std::wstring bucket(8, L'A');
    do {
      for (wchar_t& c : bucket) c = kAlphabet[rng.Below(36)];
    } while (!taken.insert(bucket).second);
    layout.buckets.push_back(bucket);
    std::vector<std::wstring>& names = layout.names.emplace_back();
    names.reserve(kEntriesPerBucket);
    for (int i = 0; i < kEntriesPerBucket; ++i) {
      // The serial keeps names unique inside a bucket; the counter in brackets is the cache's own.
      wchar_t serial[24];
      std::swprintf(serial, 24, L"_%X[%d]", static_cast<unsigned>(i) * 7919u % 0xFFFFFu, rng.Below(5) == 0 ? 2 : 1);
      names.push_back(std::wstring(kBaseNames[rng.Below(static_cast<unsigned>(std::size(kBaseNames)))]) + serial +
                      PickExtension(rng));
    }
  }
  return layout;
}

std::vector<std::wstring> FullPaths(const CacheLayout& layout, const std::wstring& root) {
  std::vector<std::wstring> paths;
  paths.reserve(static_cast<size_t>(layout.entries));
  for (size_t b = 0; b < layout.buckets.size(); ++b) {
    const std::wstring folder = root + layout.buckets[b] + L"\\";
    for (const std::wstring& name : layout.names[b]) paths.push_back(folder + name);
  }
  return paths;
}

CacheStage::CacheStage(std::wstring inet_cache)
    : inet_cache_(std::move(inet_cache)),
      stage_(inet_cache_ + L"\\TallowBench"),
      pool_(stage_ + L"\\pool"),
      moves_(stage_ + L"\\placed.txt") {
  CreateDirectoryW(inet_cache_.c_str(), nullptr);
  CreateDirectoryW(stage_.c_str(), nullptr);
  Recover();
}

CacheStage::~CacheStage() {
  Unplace();
  for (const auto& [aside, live] : saved_) {
    CreateDirectoryW((inet_cache_ + L"\\Low").c_str(), nullptr);
    MoveFileExW(aside.c_str(), live.c_str(), 0);
  }
}

// Undoes what an interrupted run left: its buckets in place, or the containers it had moved
// aside; then moves aside what the containers hold now.
void CacheStage::Recover() {
  const std::string moves = ReadFileText(moves_);
  for (size_t start = 0; start < moves.size();) {
    size_t end = moves.find('\n', start);
    if (end == std::string::npos) end = moves.size();
    const std::string line = moves.substr(start, end - start);
    const size_t bar = line.find('|');
    if (bar != std::string::npos) {
      auto wide = [](const std::string& utf8) {
        std::wstring text(utf8.size(), L'\0');
        text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                            text.data(), static_cast<int>(text.size()))));
        return text;
      };
      MoveFileExW(wide(line.substr(bar + 1)).c_str(), wide(line.substr(0, bar)).c_str(), 0);
    }
    start = end + 1;
  }
  DeleteFileW(moves_.c_str());
  const wchar_t* const containers[] = {L"Content.IE5", L"Low\\Content.IE5", L"IE", L"Low\\IE"};
  for (size_t i = 0; i < std::size(containers); ++i) {
    const std::wstring live = inet_cache_ + L"\\" + containers[i];
    const std::wstring aside = stage_ + L"\\saved" + std::to_wstring(i);
    if (Exists(aside) && !Exists(live)) {
      CreateDirectoryW((inet_cache_ + L"\\Low").c_str(), nullptr);
      MoveFileExW(aside.c_str(), live.c_str(), 0);
    }
    if (!Exists(live)) continue;
    if (!MoveFileExW(live.c_str(), aside.c_str(), 0)) {
      Fail(L"cannot move " + live + L" aside");
      return;
    }
    saved_.emplace_back(aside, live);
  }
}

bool CacheStage::Fail(const std::wstring& what) {
  if (error_.empty()) error_ = what + L" (error " + std::to_wstring(GetLastError()) + L")";
  return false;
}

bool CacheStage::Ensure(const CacheLayout& largest) {
  if (!error_.empty()) return false;
  all_buckets_ = largest.buckets;
  const std::wstring marker = stage_ + L"\\complete.txt";
  if (ReadFileText(marker) == Signature(largest) && Exists(pool_)) return true;
  DeleteFileW(marker.c_str());
  DeleteTree(pool_);
  if (!Build(largest)) return false;
  return WriteFileText(marker, Signature(largest)) || Fail(L"cannot write " + marker);
}

bool CacheStage::Build(const CacheLayout& layout) {
  if (!CreateDirectoryW(pool_.c_str(), nullptr)) return Fail(L"cannot create " + pool_);
  // Two workers, one bucket at a time each: creating a file costs Wine a walk through its
  // folder, work that runs on both cores.
  std::atomic<size_t> next{0};
  std::mutex mutex;
  std::wstring error;
  auto worker = [&] {
    for (size_t b = next++; b < layout.buckets.size(); b = next++) {
      std::wstring failure;
      if (CreateEmptyFiles(pool_ + L"\\" + layout.buckets[b], layout.names[b], failure)) continue;
      const std::lock_guard<std::mutex> lock(mutex);
      if (error.empty()) error = failure;
      next = layout.buckets.size();
    }
  };
  std::thread helper(worker);
  worker();
  helper.join();
  if (!error.empty()) error_ = error;
  return error.empty();
}

bool CacheStage::Move(const std::wstring& from, const std::wstring& to) {
  if (!MoveFileExW(from.c_str(), to.c_str(), 0)) return Fail(L"cannot move " + from);
  placed_.emplace_back(from, to);
  std::string line;
  for (const std::wstring* part : {&from, &to}) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, part->c_str(), static_cast<int>(part->size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, part->c_str(), static_cast<int>(part->size()), utf8.data(), bytes, nullptr,
                        nullptr);
    line += utf8 + (part == &from ? "|" : "\n");
  }
  const std::string before = ReadFileText(moves_);
  return WriteFileText(moves_, before + line) || Fail(L"cannot write " + moves_);
}

bool CacheStage::Place(const std::vector<Placement>& placements) {
  Unplace();
  if (!error_.empty()) return false;
  for (const Placement& placement : placements) {
    const std::wstring container = ContainerPath(placement.container);
    CreateDirectoryW((inet_cache_ + L"\\Low").c_str(), nullptr);
    if (!CreateDirectoryW(container.c_str(), nullptr)) return Fail(L"cannot create " + container);
    placed_.emplace_back(std::wstring(), container);  // made here: removed when unplaced
    // A container also holds the cache's own files beside its buckets.
    if (!WriteFileText(container + L"index.dat", std::string_view("Client UrlCache MMF Ver 5.2\0", 28)) ||
        !WriteFileText(container + L"desktop.ini", "[.ShellClassInfo]\r\n",
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
      return Fail(L"cannot write the files of " + container);
    }
    for (size_t b = placement.first; b < placement.first + placement.count && b < all_buckets_.size(); ++b) {
      if (!Move(pool_ + L"\\" + all_buckets_[b], container + all_buckets_[b])) return false;
    }
  }
  return true;
}

void CacheStage::Unplace() {
  for (auto it = placed_.rbegin(); it != placed_.rend(); ++it) {
    if (it->first.empty()) {
      DeleteTree(it->second.substr(0, it->second.size() - 1));
    } else {
      MoveFileExW(it->second.c_str(), it->first.c_str(), 0);
    }
  }
  RemoveDirectoryW((inet_cache_ + L"\\Low").c_str());  // only when empty
  placed_.clear();
  DeleteFileW(moves_.c_str());
}

void CacheStage::RemoveTree() {
  Unplace();
  DeleteFileW((stage_ + L"\\complete.txt").c_str());
  DeleteTree(pool_);
}

}  // namespace tallow::bench
