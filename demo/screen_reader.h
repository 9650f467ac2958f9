// What a screen reader announces for the header: the demo reads the
// control's window through the platform's accessibility client side, the
// way assistive technology reaches it, and prints one line per column.
#pragma once

#include <windows.h>

namespace demo {

// Prints the header's columns as a screen reader finds them: name, role,
// states, sort direction and keyboard shortcut. Throws DemoError when the
// window has no accessible object.
void print_screen_reader_view(HWND header);

}  // namespace demo
