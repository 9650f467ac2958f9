// The soak run and the two arms of the fuzz run; each prints its summary and returns whether it
// found no growth, crash, hang, leak or heap corruption.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <functional>

namespace soak {

enum class FuzzArm { kLoader, kDispatch };

bool run_soak(long operations, unsigned seed);
bool run_fuzz(FuzzArm arm, long inputs, unsigned seed);
// The child side of the fuzz run: runs inputs [first, first + count).
int fuzz_child(FuzzArm arm, long first, long count, unsigned seed);

// The inputs of one arm, made once by a child, which runs a batch of them by index: input n,
// derived from the seed and n alone, returns false when it left a reference behind on an object
// that should have been back to its own count.
using FuzzInputs = std::function<bool(long n, unsigned seed)>;

// Random members of a new control invoked through IDispatch with random argument lists.
FuzzInputs make_dispatch_inputs();

inline ULONG ref_count(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

}  // namespace soak
