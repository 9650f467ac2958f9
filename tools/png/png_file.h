// PNG files through the platform's imaging component (WIC), for the demo's
// window pictures and the tests' pictures of painted states.
#pragma once

#include <windows.h>

#include <string>

namespace png {

// Writes width x height pixels, 32 bits each (blue, green, red, unused),
// top row first, as an opaque PNG file. Returns an empty string, or what
// failed with its HRESULT ("opening the file failed (0x80070005)").
std::wstring write_png(const std::wstring& path, int width, int height, const void* pixels);

}  // namespace png
