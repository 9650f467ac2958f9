// Live GDI objects of this process, for leak checks. GetGuiResources is a
// stub under Wine (always 0), so the count comes from the GDI handle table
// that the PEB points at: every entry with a non-zero type is a live object.
#pragma once

#include <array>
#include <cstddef>

namespace tessel_test {

size_t live_gdi_objects();

// Object types of the table (the entry's type byte).
namespace gdi_type {
inline constexpr size_t kDc = 0x01;
inline constexpr size_t kRegion = 0x04;
inline constexpr size_t kSurface = 0x05;
}  // namespace gdi_type

// The same count by the table's object type (index: the entry's type byte).
std::array<size_t, 256> live_gdi_objects_by_type();

// The DCs among them that the window manager hands out for windows and the
// screen (GetDC, BeginPaint) and keeps in its cache afterwards; memory DCs
// and metafile DCs are not among them.
size_t live_window_dcs();

}  // namespace tessel_test
