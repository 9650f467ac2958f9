// PNG files through the platform's imaging component (WIC).
#pragma once

#include <windows.h>

#include <string>

namespace demo {

// Writes width x height pixels, 32 bits each (blue, green, red, unused),
// top row first, as an opaque PNG file. Returns an empty string or what
// failed.
std::wstring write_png(const std::wstring& path, int width, int height, const void* pixels);

}  // namespace demo
