#include "synthetic_cache.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <set>
#include <string_view>
#include <utility>

#include "bench_support.h"

namespace tallow::bench {
namespace {

// Bumped whenever the names change, so that a staged tree of an older layout is rebuilt.
constexpr int kLayoutVersion = 1;

struct WeightedExtension {
  const wchar_t* text;
  unsigned weight;
};

// The built-in extensions and a few a modern cache is full of; ".gif" is about one entry in
// twelve, a few thousand in a full cache.
constexpr WeightedExtension kExtensions[] = {
    {L".gif", 8},  {L".bmp", 2},  {L".jpg", 12}, {L".swf", 3},  {L".flv", 2},  {L".mp3", 2},  {L".wma", 1},
    {L".wav", 1},  {L".mid", 1},  {L".rar", 1},  {L".exe", 1},  {L".zip", 1},  {L".js", 14},  {L".css", 8},
    {L".htm", 6},  {L".html", 10}, {L".png", 12}, {L".txt", 3},  {L".json", 4}, {L".woff", 2},
};

constexpr const wchar_t* kBaseNames[] = {
    L"logo",   L"banner", L"jquery.min", L"main",   L"style", L"index",  L"ad_300x250", L"sprite",
    L"bg",     L"icon",   L"analytics",  L"player", L"thumb", L"photo",  L"video",      L"song",
    L"setup",  L"update", L"font",       L"data",   L"图片",  L"新闻",   L"视频",       L"音乐",
    L"首页",   L"广告",   L"下载",       L"头像",
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

std::wstring BucketName(Lcg& rng) {
  static constexpr wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::wstring name(8, L'A');
  for (wchar_t& c : name) c = kAlphabet[rng.Below(36)];
  return name;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WriteFileText(const std::wstring& path, std::string_view bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
  if (!file.valid()) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

std::string ReadFileText(const std::wstring& path) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file.valid()) return {};
  char buffer[256];
  DWORD read = 0;
  if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return {};
  return std::string(buffer, read);
}

// Deletes a folder with everything in it, hidden, system and read-only files included.
void DeleteTree(const std::wstring& dir) {
  WIN32_FIND_DATAW data;
  {
    FindHandle find(FindFirstFileExW((dir + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                     nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (find.valid()) {
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
  std::snprintf(text, sizeof text, "layout %d entries %d buckets %d\n", kLayoutVersion, layout.entries,
                static_cast<int>(layout.buckets.size()));
  return text;
}

}  // namespace

CacheLayout MakeLayout(int entries, int bucket_count) {
  CacheLayout layout;
  layout.entries = entries;
  Lcg rng(0x7A11'0000ULL + static_cast<unsigned long long>(entries));
  std::set<std::wstring> taken;
  while (static_cast<int>(layout.buckets.size()) < bucket_count) {
    std::wstring name = BucketName(rng);
    if (taken.insert(name).second) layout.buckets.push_back(std::move(name));
  }
  layout.names.resize(static_cast<size_t>(bucket_count));
  for (int i = 0; i < entries; ++i) {
    auto& bucket = layout.names[static_cast<size_t>(i % bucket_count)];
    // The serial keeps names unique inside a bucket; the counter in brackets is the cache's own.
    wchar_t serial[16];
    std::swprintf(serial, 16, L"_%X[%d]", static_cast<unsigned>(bucket.size()) * 7919u % 0xFFFFFu,
                  rng.Below(5) == 0 ? 2 : 1);
    bucket.push_back(std::wstring(kBaseNames[rng.Below(std::size(kBaseNames))]) + serial + PickExtension(rng));
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
    : inet_cache_(std::move(inet_cache)), bench_dir_(inet_cache_ + L"\\TallowBench") {
  CreateDirectoryW(inet_cache_.c_str(), nullptr);
  CreateDirectoryW(bench_dir_.c_str(), nullptr);
  Recover();
}

CacheStage::~CacheStage() {
  Unplace();
  const std::wstring saved = bench_dir_ + L"\\saved\\Content.IE5";
  if (saved_foreign_) MoveFileExW(saved.c_str(), (inet_cache_ + L"\\Content.IE5").c_str(), 0);
}

// Undoes what an interrupted run left: its tree in place, or the cache it had moved aside.
void CacheStage::Recover() {
  const std::wstring live = inet_cache_ + L"\\Content.IE5";
  const std::wstring placed_marker = bench_dir_ + L"\\placed.txt";
  if (Exists(placed_marker)) {
    const int entries = std::atoi(ReadFileText(placed_marker).c_str());
    if (Exists(live) && (entries <= 0 || !MoveFileExW(live.c_str(), TreeDir(entries).c_str(), 0))) DeleteTree(live);
    DeleteFileW(placed_marker.c_str());
  }
  const std::wstring saved = bench_dir_ + L"\\saved\\Content.IE5";
  if (Exists(saved) && !Exists(live)) MoveFileExW(saved.c_str(), live.c_str(), 0);
  if (Exists(live)) {
    CreateDirectoryW((bench_dir_ + L"\\saved").c_str(), nullptr);
    saved_foreign_ = MoveFileExW(live.c_str(), saved.c_str(), 0) != 0;
    if (!saved_foreign_) Fail(L"cannot move the existing Content.IE5 aside");
  }
}

bool CacheStage::Fail(const std::wstring& what) {
  if (error_.empty()) error_ = what + L" (error " + std::to_wstring(GetLastError()) + L")";
  return false;
}

std::wstring CacheStage::StageDir(int entries) const { return bench_dir_ + L"\\" + std::to_wstring(entries); }

bool CacheStage::Ensure(const CacheLayout& layout) {
  if (!error_.empty()) return false;
  const std::wstring marker = StageDir(layout.entries) + L"\\complete.txt";
  if (ReadFileText(marker) == Signature(layout) && Exists(TreeDir(layout.entries))) return true;
  DeleteTree(StageDir(layout.entries));
  if (!Build(layout)) return false;
  return WriteFileText(marker, Signature(layout)) || Fail(L"cannot write " + marker);
}

bool CacheStage::Build(const CacheLayout& layout) {
  const std::wstring tree = TreeDir(layout.entries);
  if (!CreateDirectoryW(StageDir(layout.entries).c_str(), nullptr) || !CreateDirectoryW(tree.c_str(), nullptr)) {
    return Fail(L"cannot create " + tree);
  }
  if (!WriteFileText(tree + L"\\index.dat", std::string_view("Client UrlCache MMF Ver 5.2\0", 28))) {
    return Fail(L"cannot write index.dat");
  }
  if (!WriteFileText(tree + L"\\desktop.ini", "[.ShellClassInfo]\r\n",
                     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
    return Fail(L"cannot write desktop.ini");
  }
  for (size_t b = 0; b < layout.buckets.size(); ++b) {
    const std::wstring folder = tree + L"\\" + layout.buckets[b];
    if (!CreateDirectoryW(folder.c_str(), nullptr)) return Fail(L"cannot create " + folder);
    // Empty files: the scan reads names only, and a full cache must be quick to make.
    for (const std::wstring& name : layout.names[b]) {
      const std::wstring path = folder + L"\\" + name;
      FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!file.valid()) return Fail(L"cannot create " + path);
    }
  }
  return true;
}

bool CacheStage::Place(const CacheLayout& layout) {
  Unplace();
  if (!error_.empty()) return false;
  if (!WriteFileText(bench_dir_ + L"\\placed.txt", std::to_string(layout.entries))) {
    return Fail(L"cannot write placed.txt");
  }
  if (!MoveFileExW(TreeDir(layout.entries).c_str(), (inet_cache_ + L"\\Content.IE5").c_str(), 0)) {
    DeleteFileW((bench_dir_ + L"\\placed.txt").c_str());
    return Fail(L"cannot move the tree into place");
  }
  placed_ = layout.entries;
  return true;
}

void CacheStage::Unplace() {
  if (placed_ == 0) return;
  if (MoveFileExW((inet_cache_ + L"\\Content.IE5").c_str(), TreeDir(placed_).c_str(), 0)) {
    DeleteFileW((bench_dir_ + L"\\placed.txt").c_str());
  }
  placed_ = 0;
}

void CacheStage::RemoveTrees() {
  Unplace();
  WIN32_FIND_DATAW data;
  std::vector<std::wstring> stages;
  {
    FindHandle find(FindFirstFileExW((bench_dir_ + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                     nullptr, 0));
    if (!find.valid()) return;
    do {
      const std::wstring_view name = data.cFileName;
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L".." && name != L"saved") {
        stages.emplace_back(name);
      }
    } while (FindNextFileW(find.get(), &data));
  }
  for (const std::wstring& stage : stages) DeleteTree(bench_dir_ + L"\\" + stage);
}

}  // namespace tallow::bench
