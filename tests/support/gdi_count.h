// Live GDI objects of this process, for leak checks. GetGuiResources is a
// stub under Wine (always 0), so the count comes from the GDI handle table
// that the PEB points at: every entry with a non-zero type is a live object.
#pragma once

#include <cstddef>

namespace tessel_test {

size_t live_gdi_objects();

}  // namespace tessel_test
