// tessel_soak.exe [--operations N] [--inputs N] [--calls N] [--seed S]: the soak run, then the fuzz
// run's loader arm (N damaged inputs) and its dispatch arm (N random calls); 0 when all are clean.
// tessel_soak.exe --fuzz-child ARM FIRST COUNT SEED   (started by the fuzz run)
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
  unsigned long operations = 100000, inputs = 100000, calls = 100000, seed = 8;
  const struct {
    const char* name;
    unsigned long* value;
  } options[] = {
      {"--operations", &operations}, {"--inputs", &inputs}, {"--calls", &calls}, {"--seed", &seed}};
  for (int i = 1; i + 1 < argc; i += 2) {
    unsigned long* value = nullptr;
    for (const auto& option : options) {
      if (std::strcmp(argv[i], option.name) == 0) value = option.value;
    }
    if (!value) {
      std::fprintf(stderr,
                   "usage: tessel_soak [--operations N] [--inputs N] [--calls N] [--seed S]\n");
      return 2;
    }
    *value = std::strtoul(argv[i + 1], nullptr, 10);
  }
  const bool soaked = soak::run_soak(static_cast<long>(operations), static_cast<unsigned>(seed));
  std::fflush(stdout);
  const bool loaded = soak::run_fuzz(soak::FuzzArm::kLoader, static_cast<long>(inputs),
                                     static_cast<unsigned>(seed));
  std::fflush(stdout);
  const bool called = soak::run_fuzz(soak::FuzzArm::kDispatch, static_cast<long>(calls),
                                     static_cast<unsigned>(seed));
  return soaked && loaded && called ? 0 : 1;
}
