// Live GDI objects of this process, for leak checks. GetGuiResources is a
// stub under Wine (always 0), so the count comes from the GDI handle table
// that the PEB points at: every entry with a non-zero type is a live object.
#pragma once

#include <array>
#include <cstddef>

namespace tessel_test {

size_t live_gdi_objects();

// The same count by the table's object type (index: the entry's type byte).
std::array<size_t, 256> live_gdi_objects_by_type();

}  // namespace tessel_test
