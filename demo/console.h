// The demo's report: lines on standard output.
#pragma once

#include <string_view>

namespace demo {

// Writes one line to standard output: the handle the program was started
// with (a pipe or a file, as UTF-8), or else the console of the program that
// started it. A program with neither prints nothing.
void print_line(std::wstring_view line);

}  // namespace demo
