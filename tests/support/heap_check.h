// Whether the process's heaps are intact: a write into freed memory that
// did not crash shows here.
#pragma once

namespace tessel_test {

bool process_heaps_valid();

}  // namespace tessel_test
