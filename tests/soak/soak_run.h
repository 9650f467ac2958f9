// The soak run and the two arms of the fuzz run; each prints its summary
// and returns whether it found no growth, crash, hang, leak or heap
// corruption.
#pragma once

namespace soak {

enum class FuzzArm { kLoader, kDispatch };

bool run_soak(long operations, unsigned seed);
bool run_fuzz(FuzzArm arm, long inputs, unsigned seed, const wchar_t* self_path);
// The child side of the fuzz run: runs inputs [first, first + count).
int fuzz_child(FuzzArm arm, long first, long count, unsigned seed);

}  // namespace soak
