// The soak run and the loader fuzz run; each prints its summary and returns
// whether it found no growth, crash, hang or leak.
#pragma once

namespace soak {

bool run_soak(long operations, unsigned seed);
bool run_fuzz(long inputs, unsigned seed, const wchar_t* self_path);
// The child side of the fuzz run: loads inputs [first, first + count).
int fuzz_child(long first, long count, unsigned seed);

}  // namespace soak
