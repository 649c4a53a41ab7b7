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
constexpr int kLayoutVersion = 2;

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
  char buffer[256];
  DWORD read = 0;
  if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return {};
  return std::string(buffer, read);
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
      live_(inet_cache_ + L"\\Content.IE5"),
      stage_(inet_cache_ + L"\\TallowBench"),
      tree_(stage_ + L"\\Content.IE5"),
      parked_(stage_ + L"\\parked") {
  CreateDirectoryW(inet_cache_.c_str(), nullptr);
  CreateDirectoryW(stage_.c_str(), nullptr);
  Recover();
}

CacheStage::~CacheStage() {
  Unplace();
  if (saved_foreign_) MoveFileExW((stage_ + L"\\saved").c_str(), live_.c_str(), 0);
}

// Undoes what an interrupted run left: its tree in place, or the cache it had moved aside.
void CacheStage::Recover() {
  const std::wstring placed_marker = stage_ + L"\\placed.txt";
  const std::wstring saved = stage_ + L"\\saved";
  if (Exists(placed_marker)) {
    if (Exists(live_) && !MoveFileExW(live_.c_str(), tree_.c_str(), 0)) DeleteTree(live_);
    DeleteFileW(placed_marker.c_str());
  }
  if (Exists(saved) && !Exists(live_)) MoveFileExW(saved.c_str(), live_.c_str(), 0);
  if (Exists(live_)) {
    saved_foreign_ = MoveFileExW(live_.c_str(), saved.c_str(), 0) != 0;
    if (!saved_foreign_) Fail(L"cannot move the existing Content.IE5 aside");
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
  if (ReadFileText(marker) == Signature(largest) && Exists(tree_)) return true;
  DeleteFileW(marker.c_str());
  DeleteTree(tree_);
  DeleteTree(parked_);
  if (!Build(largest)) return false;
  return WriteFileText(marker, Signature(largest)) || Fail(L"cannot write " + marker);
}

bool CacheStage::Build(const CacheLayout& layout) {
  if (!CreateDirectoryW(tree_.c_str(), nullptr)) return Fail(L"cannot create " + tree_);
  if (!WriteFileText(tree_ + L"\\index.dat", std::string_view("Client UrlCache MMF Ver 5.2\0", 28))) {
    return Fail(L"cannot write index.dat");
  }
  if (!WriteFileText(tree_ + L"\\desktop.ini", "[.ShellClassInfo]\r\n",
                     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
    return Fail(L"cannot write desktop.ini");
  }
  // Two workers, one bucket at a time each: creating a file costs Wine a walk through its
  // folder, work that runs on both cores.
  std::atomic<size_t> next{0};
  std::mutex mutex;
  std::wstring error;
  auto worker = [&] {
    for (size_t b = next++; b < layout.buckets.size(); b = next++) {
      std::wstring failure;
      if (CreateEmptyFiles(tree_ + L"\\" + layout.buckets[b], layout.names[b], failure)) continue;
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

bool CacheStage::Place(const CacheLayout& layout) {
  Unplace();
  if (!error_.empty()) return false;
  CreateDirectoryW(parked_.c_str(), nullptr);
  // Bucket i belongs in the tree exactly when the layout has it.
  for (size_t b = 0; b < all_buckets_.size(); ++b) {
    const std::wstring in_tree = tree_ + L"\\" + all_buckets_[b];
    const std::wstring aside = parked_ + L"\\" + all_buckets_[b];
    const bool wanted = b < layout.buckets.size();
    const std::wstring& from = wanted ? aside : in_tree;
    const std::wstring& to = wanted ? in_tree : aside;
    if (Exists(from) && !MoveFileExW(from.c_str(), to.c_str(), 0)) return Fail(L"cannot move " + from);
  }
  if (!WriteFileText(stage_ + L"\\placed.txt", "placed\n")) return Fail(L"cannot write placed.txt");
  if (!MoveFileExW(tree_.c_str(), live_.c_str(), 0)) {
    DeleteFileW((stage_ + L"\\placed.txt").c_str());
    return Fail(L"cannot move the tree into place");
  }
  placed_ = true;
  return true;
}

void CacheStage::Unplace() {
  if (!placed_) return;
  if (MoveFileExW(live_.c_str(), tree_.c_str(), 0)) DeleteFileW((stage_ + L"\\placed.txt").c_str());
  placed_ = false;
}

void CacheStage::RemoveTree() {
  Unplace();
  DeleteFileW((stage_ + L"\\complete.txt").c_str());
  DeleteTree(tree_);
  DeleteTree(parked_);
}

}  // namespace tallow::bench
