// Measures the cache scan against the bare enumeration it is built on, on a synthetic full
// Content.IE5 of 60,000 entries, on one twice that size, and on four full containers of
// 240,000 entries in all; delete all of 60,000 listed files against a bare DeleteFileW loop;
// and a save of 10,000 selected files against a bare CopyFileW loop. Prints one line per case and size, then the
// ratios, the scan's last, and how far a full scan in the window raises the peak working set. Progress and failures go
// to stderr.
//
//   tallow_bench [--runs N] [--remove-tree] [--save-only]
#include <windows.h>
// psapi.h builds on the types of windows.h.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "bench_support.h"
#include "cases.h"
#include "delete_case.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_platform.h"
#include "save_case.h"
#include "search/remove_dups.h"
#include "search/run_search.h"
#include "synthetic_cache.h"
#include "window_case.h"

namespace tallow::bench {
namespace {

// Bucket folders keep the size of a full cache's; the larger cache has twice as many.
constexpr int kBucketCounts[] = {16, 32};
// Four full containers, each of a full cache's 16 buckets.
constexpr int kContainerBuckets = 16;
constexpr int kAllBuckets = 4 * kContainerBuckets;
// An extension every path of the cache holds, so that the names list takes every entry.
constexpr wchar_t kEverything[] = L"INetCache";

struct Options {
  int runs = 9;
  bool remove_tree = false;
  bool save_only = false;  // the save case alone, without the tree the others need
};

using Samples = std::map<std::string, std::vector<double>>;  // case -> milliseconds per run
// Cases in the order they are printed.
const char* const kCaseOrder[] = {"enumeration",     "scan_gif",   "scan_ie5", "dedupe_distinct",
                                  "dedupe_variants", "window_gif", "window"};

void Say(const char* format, const std::wstring& detail = {}) {
  std::fprintf(stderr, format, detail.c_str());
  std::fflush(stderr);
}

// A case's result that is not what the tree holds makes every figure meaningless.
bool Check(const char* what, long long got, long long expected) {
  if (got == expected) return true;
  std::fprintf(stderr, "tallow_bench: %s gave %lld, expected %lld\n", what, got, expected);
  return false;
}

// Rounds interleave the cases, so a colleague's build slowing the machine for a while
// touches every case alike; the first round warms the caches and is not counted. A case
// that reports its own time sets measured_ms.
struct Case {
  const char* name;
  std::function<bool()> run;  // false when the result is wrong
};
double measured_ms = -1;
bool RunRounds(const std::vector<Case>& cases, const Options& options, Samples& samples) {
  for (int round = 0; round <= options.runs; ++round) {
    for (const Case& c : cases) {
      measured_ms = -1;
      const Stopwatch watch;
      if (!c.run()) return false;
      const double ms = measured_ms >= 0 ? measured_ms : watch.ElapsedMs();
      if (round > 0) samples[c.name].push_back(ms);
    }
  }
  return true;
}

bool MeasureSize(Platform& platform, CacheStage& stage, const CacheLayout& layout, const Options& options,
                 Samples& samples) {
  if (!stage.Place({{L"Content.IE5", 0, layout.buckets.size()}})) return false;
  const std::wstring root = stage.ContainerPath(L"Content.IE5");
  std::vector<std::wstring> folders;
  for (const std::wstring& bucket : layout.buckets) folders.push_back(root + bucket + L"\\");

  // Every bucket also lists "." and "..".
  const long long listed = layout.entries + 2LL * static_cast<long long>(layout.buckets.size());
  const std::vector<std::wstring> distinct = FullPaths(layout, root);
  const std::vector<std::wstring> variants = WithCaseVariants(distinct);
  const long long gifs = std::count_if(distinct.begin(), distinct.end(),
                                       [](const std::wstring& p) { return p.find(L".gif") != std::wstring::npos; });
  const long long originals = layout.entries - (layout.entries + 1) / 3;

  WindowCase window(platform);

  auto dedupe = [&](const std::vector<std::wstring>& input, long long expected, const char* what) {
    CacheListing work = ListingOf(input);  // the copy is not timed
    const Stopwatch watch;
    RemoveDups(work, 0, platform);
    measured_ms = watch.ElapsedMs();
    return Check(what, static_cast<long long>(work.Count()), expected);
  };
  std::vector<Case> cases = {
      {"enumeration", [&] { return Check("enumeration", CountEntries(folders), listed); }},
      {"scan_gif", [&] { return Check("scan_gif", Scan(platform, L".gif"), gifs); }},
      {"scan_ie5", [&] { return Check("scan_ie5", Scan(platform, L".IE5"), listed); }},
      {"dedupe_distinct", [&] { return dedupe(distinct, layout.entries, "dedupe_distinct"); }},
      {"dedupe_variants", [&] { return dedupe(variants, originals, "dedupe_variants"); }},
  };
  // "window" picks ".IE5", a name in the list box for every entry of the cache; the picks
  // alternate, so each one changes the selection and runs exactly one scan.
  if (window.Available()) {
    cases.push_back({"window_gif", [&] { return Check("window_gif", window.Pick(L".gif"), gifs); }});
    cases.push_back({"window", [&] { return Check("window", window.Pick(L".IE5"), listed); }});
  } else {
    Say("tallow_bench: no main window could be created; the window cases are left out\n");
  }

  return RunRounds(cases, options, samples);
}

std::vector<Placement> AllContainers() {
  std::vector<Placement> placements;
  for (size_t i = 0; i < kCacheContainers.size(); ++i) {
    placements.push_back({std::wstring(kCacheContainers[i]), i * kContainerBuckets, kContainerBuckets});
  }
  return placements;
}

// Every container full: the search of the window from its start to the names list filled
// with every entry, against bare enumeration of the same buckets.
bool MeasureContainers(Platform& platform, CacheStage& stage, const CacheLayout& pool, const Options& options,
                       Samples& samples) {
  if (!stage.Place(AllContainers())) return false;
  std::vector<std::wstring> folders;
  for (const Placement& placement : AllContainers()) {
    for (size_t b = placement.first; b < placement.first + placement.count; ++b) {
      folders.push_back(stage.ContainerPath(placement.container) + pool.buckets[b] + L"\\");
    }
  }
  const long long listed = pool.entries + 2LL * static_cast<long long>(folders.size());
  WindowCase window(platform);
  if (!window.Available() || !Check("containers", window.Pick(kEverything), listed)) return false;
  return RunRounds({{"enumeration", [&] { return Check("enumeration", CountEntries(folders), listed); }},
                    {"containers", [&] { return Check("containers", window.Search(), listed); }}},
                   options, samples);
}

// Run in a process of its own, so that nothing measured before counts: how far one search
// that lists every entry of the placed containers raises the peak working set over its value
// before the first search. Returns the rise in KiB as the exit code.
int MeasurePeak() {
  Win32Platform platform;
  WindowCase window(platform);
  PROCESS_MEMORY_COUNTERS before{};
  if (!window.Available() || !GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before)) return 0;
  if (window.Pick(kEverything) <= 0) return 0;
  PROCESS_MEMORY_COUNTERS after{};
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after)) return 0;
  return static_cast<int>((after.PeakWorkingSetSize - std::min(after.PeakWorkingSetSize, before.PeakWorkingSetSize)) /
                          1024);
}

// Starts this program again to measure the peak; -1 when it could not.
double PeakRiseMb() {
  wchar_t self[MAX_PATH] = {};
  if (!GetModuleFileNameW(nullptr, self, MAX_PATH)) return -1;
  std::wstring command = L"\"" + std::wstring(self) + L"\" --peak";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return -1;
  const win32::UniqueHandle owned_process(process.hProcess);
  const win32::UniqueHandle owned_thread(process.hThread);
  DWORD code = 0;
  if (WaitForSingleObject(process.hProcess, INFINITE) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process.hProcess, &code) || code == 0) {
    return -1;
  }
  return code / 1024.0;
}

double MedianOf(const Samples& samples, const char* name) {
  const auto it = samples.find(name);
  return it == samples.end() ? -1 : Median(it->second);
}

void PrintRatio(const char* name, double ratio) {
  if (ratio < 0) {
    std::printf("%s=n/a\n", name);
  } else {
    std::printf("%s=%.3f\n", name, ratio);
  }
}

// The larger of the ratios a/b, or -1 when a figure is missing.
double WorstRatio(const Samples& samples, std::initializer_list<const char*> cases, const char* base) {
  const double denominator = MedianOf(samples, base);
  double worst = -1;
  for (const char* name : cases) {
    const double numerator = MedianOf(samples, name);
    if (numerator >= 0 && denominator > 0) worst = std::max(worst, numerator / denominator);
  }
  return worst;
}

void PrintSaves(const SaveTimes& saves) {
  std::printf("case=save_many entries=%d median_ms=%.2f\n", saves.files, saves.program_ms);
  std::printf("case=copy_file entries=%d median_ms=%.2f\n", saves.files, saves.bare_ms);
  PrintRatio("ratio_save_many_vs_copyfile",
             saves.program_ms >= 0 && saves.bare_ms > 0 ? saves.program_ms / saves.bare_ms : -1);
}

int Run(const Options& options) {
  Win32Platform platform;
  const std::optional<std::wstring> cache = platform.SpecialFolderPath(kCsidlInternetCache);
  if (!cache || cache->empty()) {
    Say("tallow_bench: the Internet cache folder is unknown\n");
    return 1;
  }
  Say("tallow_bench: cache folder %ls\n", *cache);
  if (options.save_only) {
    PrintSaves(MeasureSaveMany(platform, *cache, std::min(options.runs, 5)));
    return 0;
  }

  CacheStage stage(*cache);
  std::vector<CacheLayout> layouts;
  for (int buckets : kBucketCounts) layouts.push_back(MakeLayout(buckets));
  const CacheLayout pool = MakeLayout(kAllBuckets);
  const Stopwatch watch;
  if (!stage.Ensure(pool)) {
    Say("tallow_bench: %ls\n", stage.Error());
    return 1;
  }
  std::fprintf(stderr, "tallow_bench: tree of %d entries ready in %.1f s\n", pool.entries, watch.ElapsedMs() / 1000);

  std::vector<Samples> results(layouts.size());
  for (size_t i = 0; i < layouts.size(); ++i) {
    if (!MeasureSize(platform, stage, layouts[i], options, results[i])) {
      if (!stage.Error().empty()) Say("tallow_bench: %ls\n", stage.Error());
      return 1;
    }
    stage.Unplace();
  }
  Samples containers;
  if (!MeasureContainers(platform, stage, pool, options, containers)) {
    if (!stage.Error().empty()) Say("tallow_bench: %ls\n", stage.Error());
    return 1;
  }
  const double peak_mb = PeakRiseMb();
  stage.Unplace();
  if (options.remove_tree) stage.RemoveTree();
  // Each round makes its 60,000 files twice, so fewer rounds than the scans take.
  const DeleteTimes deletes = MeasureDeleteAll(platform, *cache, layouts.front(), std::min(options.runs, 5));
  if (deletes.program_ms < 0) Say("tallow_bench: the delete case could not make or delete its files\n");
  const SaveTimes saves = MeasureSaveMany(platform, *cache, std::min(options.runs, 5));
  if (saves.program_ms < 0) Say("tallow_bench: the save case did not copy every file\n");

  for (size_t i = 0; i < layouts.size(); ++i) {
    for (const char* name : kCaseOrder) {
      const double ms = MedianOf(results[i], name);
      if (ms >= 0) std::printf("case=%s entries=%d median_ms=%.2f\n", name, layouts[i].entries, ms);
    }
  }

  const Samples& small = results.front();
  double growth = -1;
  const char* fastest_growing = "";
  for (const char* name : kCaseOrder) {
    const double a = MedianOf(small, name);
    const double b = MedianOf(results.back(), name);
    if (a > 0 && b >= 0 && b / a > growth) {
      growth = b / a;
      fastest_growing = name;
    }
  }
  std::fprintf(stderr, "tallow_bench: the case growing most with the cache is %s\n", fastest_growing);
  PrintRatio("ratio_window_vs_enumeration", WorstRatio(small, {"window_gif", "window"}, "enumeration"));
  PrintRatio("ratio_dedupe_vs_enumeration", WorstRatio(small, {"dedupe_distinct", "dedupe_variants"}, "enumeration"));
  PrintRatio("ratio_120k_vs_60k", growth);
  std::printf("case=containers entries=%d median_ms=%.2f\n", pool.entries, MedianOf(containers, "containers"));
  PrintRatio("ratio_containers_vs_enumeration", WorstRatio(containers, {"containers"}, "enumeration"));
  if (peak_mb < 0) {
    std::printf("peak_mb_240k=n/a\n");
  } else {
    std::printf("peak_mb_240k=%.1f\n", peak_mb);
  }
  std::printf("case=delete_all entries=%d median_ms=%.2f\n", layouts.front().entries, deletes.program_ms);
  std::printf("case=delete_file entries=%d median_ms=%.2f\n", layouts.front().entries, deletes.bare_ms);
  PrintRatio("ratio_delete_all_vs_deletefile",
             deletes.program_ms >= 0 && deletes.bare_ms > 0 ? deletes.program_ms / deletes.bare_ms : -1);
  PrintSaves(saves);
  PrintRatio("ratio_scan_vs_enumeration", WorstRatio(small, {"scan_gif", "scan_ie5"}, "enumeration"));
  std::fflush(stdout);
  return 0;
}

}  // namespace
}  // namespace tallow::bench

int wmain(int argc, wchar_t** argv) {
  tallow::bench::Options options;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--runs" && i + 1 < argc) {
      options.runs = std::max(5, _wtoi(argv[++i]));
    } else if (arg == L"--save-only") {
      options.save_only = true;
    } else if (arg == L"--remove-tree") {
      options.remove_tree = true;
    } else if (arg == L"--peak") {
      return tallow::bench::MeasurePeak();
    } else {
      std::fprintf(stderr, "usage: tallow_bench [--runs N (at least 5)] [--remove-tree] [--save-only]\n");
      return 2;
    }
  }
  return tallow::bench::Run(options);
}
