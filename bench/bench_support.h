// Timing and number helpers shared by the benchmark's cases.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tallow::bench {

// Wall-clock milliseconds from the performance counter, the finest clock Windows has.
class Stopwatch {
 public:
  Stopwatch() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    ms_per_tick_ = 1000.0 / static_cast<double>(frequency.QuadPart);
    QueryPerformanceCounter(&start_);
  }
  double ElapsedMs() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start_.QuadPart) * ms_per_tick_;
  }

 private:
  LARGE_INTEGER start_{};
  double ms_per_tick_ = 0;
};

inline double Median(std::vector<double> samples) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const size_t mid = samples.size() / 2;
  return samples.size() % 2 ? samples[mid] : (samples[mid - 1] + samples[mid]) / 2;
}

// Deterministic numbers, so that every run builds the same tree and the same inputs.
class Lcg {
 public:
  explicit Lcg(unsigned long long seed) : state_(seed) {}
  unsigned Next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<unsigned>(state_ >> 33);
  }
  unsigned Below(unsigned bound) { return Next() % bound; }

 private:
  unsigned long long state_;
};

}  // namespace tallow::bench
