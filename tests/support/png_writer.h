// Writes a device context's bitmap to a PNG file (through the platform's
// imaging component), so that painted states can be looked at.
#pragma once

#include <windows.h>

#include <string>

namespace tessel_test {

// Saves the width x height block at the top left of dc. Returns false when
// the platform cannot encode it.
bool write_png(HDC dc, int width, int height, const std::wstring& path);

// A folder under the build tree for pictures the tests write.
std::wstring picture_dir();

}  // namespace tessel_test
