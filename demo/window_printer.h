// A picture of a window as it shows on screen, made without the screen: the
// window and its children are asked to draw themselves into a bitmap
// (WM_PRINT), so it works under a display driver that shows nothing.
#pragma once

#include <windows.h>

#include <string>

namespace demo {

// Renders window's client area with every visible child window in it and
// saves it as a PNG file. Returns an empty string or what failed.
std::wstring save_window_picture(HWND window, const std::wstring& path);

// The same picture copied from the window's device context, as the window
// manager has it drawn: for windows (the platform's property frame) that
// leave parts out when asked to print themselves.
std::wstring copy_window_picture(HWND window, const std::wstring& path);

}  // namespace demo
