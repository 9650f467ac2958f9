// tessel_soak.exe [--operations N] [--inputs N] [--seed S]
//   The soak run, then the loader fuzz run; exits 0 when both are clean.
// tessel_soak.exe --fuzz-child FIRST COUNT SEED   (started by the fuzz run)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "soak_run.h"

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--fuzz-child") == 0) {
    return soak::fuzz_child(std::atol(argv[2]), std::atol(argv[3]),
                            static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10)));
  }
  long operations = 100000, inputs = 100000;
  unsigned seed = 8;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--operations") == 0) {
      operations = std::atol(argv[i + 1]);
    } else if (std::strcmp(argv[i], "--inputs") == 0) {
      inputs = std::atol(argv[i + 1]);
    } else if (std::strcmp(argv[i], "--seed") == 0) {
      seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
    } else {
      std::fprintf(stderr, "usage: tessel_soak [--operations N] [--inputs N] [--seed S]\n");
      return 2;
    }
  }
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const bool soaked = soak::run_soak(operations, seed);
  std::fflush(stdout);
  const bool fuzzed = soak::run_fuzz(inputs, seed, self);
  return soaked && fuzzed ? 0 : 1;
}
