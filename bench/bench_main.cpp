// Measures the cache scan against the bare enumeration it is built on, on a synthetic full
// cache of 60,000 entries and on one twice that size. Prints one line per case and size,
// then the ratios, the scan's last. Progress and failures go to stderr.
//
//   tallow_bench [--runs N] [--remove-tree]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "bench_support.h"
#include "cases.h"
#include "platform/win32/win32_platform.h"
#include "search/remove_dups.h"
#include "synthetic_cache.h"
#include "window_case.h"

namespace tallow::bench {
namespace {

// Bucket folders keep the size of a full cache's; the larger cache has twice as many.
constexpr int kBucketCounts[] = {16, 32};

struct Options {
  int runs = 9;
  bool remove_tree = false;
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

bool MeasureSize(Platform& platform, CacheStage& stage, const CacheLayout& layout, const Options& options,
                 Samples& samples) {
  if (!stage.Place(layout)) return false;
  const std::wstring root = stage.Root();
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

  struct Case {
    const char* name;
    std::function<bool()> run;  // false when the result is wrong
  };
  double dedupe_ms = 0;
  auto dedupe = [&](const std::vector<std::wstring>& input, long long expected, const char* what) {
    CacheListing work = ListingOf(input);  // the copy is not timed
    const Stopwatch watch;
    RemoveDups(work, 0, platform);
    dedupe_ms = watch.ElapsedMs();
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

  // Rounds interleave the cases, so a colleague's build slowing the machine for a while
  // touches every case alike; the first round warms the caches and is not counted.
  for (int round = 0; round <= options.runs; ++round) {
    for (const Case& c : cases) {
      dedupe_ms = -1;
      const Stopwatch watch;
      if (!c.run()) return false;
      const double ms = dedupe_ms >= 0 ? dedupe_ms : watch.ElapsedMs();
      if (round > 0) samples[c.name].push_back(ms);
    }
  }
  return true;
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

int Run(const Options& options) {
  Win32Platform platform;
  const std::optional<std::wstring> cache = platform.SpecialFolderPath(kCsidlInternetCache);
  if (!cache || cache->empty()) {
    Say("tallow_bench: the Internet cache folder is unknown\n");
    return 1;
  }
  Say("tallow_bench: cache folder %ls\n", *cache);

  CacheStage stage(*cache);
  std::vector<CacheLayout> layouts;
  for (int buckets : kBucketCounts) layouts.push_back(MakeLayout(buckets));
  const Stopwatch watch;
  if (!stage.Ensure(layouts.back())) {
    Say("tallow_bench: %ls\n", stage.Error());
    return 1;
  }
  std::fprintf(stderr, "tallow_bench: tree of %d entries ready in %.1f s\n", layouts.back().entries,
               watch.ElapsedMs() / 1000);

  std::vector<Samples> results(layouts.size());
  for (size_t i = 0; i < layouts.size(); ++i) {
    if (!MeasureSize(platform, stage, layouts[i], options, results[i])) {
      if (!stage.Error().empty()) Say("tallow_bench: %ls\n", stage.Error());
      return 1;
    }
    stage.Unplace();
  }
  if (options.remove_tree) stage.RemoveTree();

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
    } else if (arg == L"--remove-tree") {
      options.remove_tree = true;
    } else {
      std::fprintf(stderr, "usage: tallow_bench [--runs N (at least 5)] [--remove-tree]\n");
      return 2;
    }
  }
  return tallow::bench::Run(options);
}
