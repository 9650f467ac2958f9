// Timing for the benchmarks: QueryPerformanceCounter around each repetition,
// reported as the median with the spread (the 10th and 90th percentiles).
#pragma once

#include <functional>
#include <vector>

namespace bench {

struct Stats {
  double median_us = 0;
  double p10_us = 0;
  double p90_us = 0;
  int repetitions = 0;
};

// Runs setup (not timed) and then body (timed) repetitions times, after
// warmup untimed rounds of both.
Stats measure(int repetitions, int warmup, const std::function<void()>& setup,
              const std::function<void()>& body);

// The statistics of samples in microseconds (reorders them).
Stats summarise(std::vector<double>& samples_us);

}  // namespace bench
