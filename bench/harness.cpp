#include "harness.h"

#include <windows.h>

#include <algorithm>

namespace bench {

namespace {
double ticks_per_us() {
  static const double value = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1e6;
  }();
  return value;
}

double at(std::vector<double>& sorted, double fraction) {
  const size_t i = static_cast<size_t>(fraction * static_cast<double>(sorted.size() - 1) + 0.5);
  return sorted[std::min(i, sorted.size() - 1)];
}
}  // namespace

Stats summarise(std::vector<double>& samples_us) {
  Stats s;
  if (samples_us.empty()) return s;
  std::sort(samples_us.begin(), samples_us.end());
  s.median_us = at(samples_us, 0.5);
  s.p10_us = at(samples_us, 0.1);
  s.p90_us = at(samples_us, 0.9);
  s.repetitions = static_cast<int>(samples_us.size());
  return s;
}

Stats measure(int repetitions, int warmup, const std::function<void()>& setup,
              const std::function<void()>& body) {
  for (int i = 0; i < warmup; ++i) {
    if (setup) setup();
    body();
  }
  std::vector<double> samples;
  samples.reserve(static_cast<size_t>(repetitions));
  for (int i = 0; i < repetitions; ++i) {
    if (setup) setup();
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    body();
    QueryPerformanceCounter(&end);
    samples.push_back(static_cast<double>(end.QuadPart - start.QuadPart) / ticks_per_us());
  }
  return summarise(samples);
}

}  // namespace bench
