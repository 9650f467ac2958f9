// The inputs of one arm of the fuzz run, and what they share. A child
// process makes them once and runs a batch of them by index; an input is
// derived from the seed and its index alone.
#pragma once

#include <memory>

namespace soak {

class FuzzInputs {
 public:
  virtual ~FuzzInputs() = default;
  // Runs input n; false when it left a reference behind on an object that
  // should have been back to its own count.
  virtual bool run(long n, unsigned seed) = 0;
};

// Damaged streams (even n) and property bags (odd n), each loaded into a
// new control.
std::unique_ptr<FuzzInputs> make_loader_inputs();

// Random members of a new control invoked through IDispatch with random
// argument lists.
std::unique_ptr<FuzzInputs> make_dispatch_inputs();

}  // namespace soak
