// tessel_soak.exe [--operations N] [--inputs N] [--calls N] [--seed S]
//   The soak run, then the fuzz run's loader arm (N damaged inputs) and its
//   dispatch arm (N random calls); exits 0 when all three are clean.
// tessel_soak.exe --fuzz-child ARM FIRST COUNT SEED   (started by the fuzz run)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "soak_run.h"

int main(int argc, char** argv) {
  if (argc == 6 && std::strcmp(argv[1], "--fuzz-child") == 0) {
    return soak::fuzz_child(static_cast<soak::FuzzArm>(std::atoi(argv[2])), std::atol(argv[3]),
                            std::atol(argv[4]),
                            static_cast<unsigned>(std::strtoul(argv[5], nullptr, 10)));
  }
  long operations = 100000, inputs = 100000, calls = 100000;
  unsigned seed = 8;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--operations") == 0) {
      operations = std::atol(argv[i + 1]);
    } else if (std::strcmp(argv[i], "--inputs") == 0) {
      inputs = std::atol(argv[i + 1]);
    } else if (std::strcmp(argv[i], "--calls") == 0) {
      calls = std::atol(argv[i + 1]);
    } else if (std::strcmp(argv[i], "--seed") == 0) {
      seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
    } else {
      std::fprintf(stderr,
                   "usage: tessel_soak [--operations N] [--inputs N] [--calls N] [--seed S]\n");
      return 2;
    }
  }
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const bool soaked = soak::run_soak(operations, seed);
  std::fflush(stdout);
  const bool loaded = soak::run_fuzz(soak::FuzzArm::kLoader, inputs, seed, self);
  std::fflush(stdout);
  const bool called = soak::run_fuzz(soak::FuzzArm::kDispatch, calls, seed, self);
  return soaked && loaded && called ? 0 : 1;
}
