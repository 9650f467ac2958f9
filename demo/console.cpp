#include "console.h"

#include <windows.h>

#include <string>

namespace demo {

namespace {

HANDLE output_handle() {
  static const HANDLE handle = [] {
    HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
    // A GUI program started from a console window has no handle of its
    // own; it borrows the parent's console.
    if ((!h || h == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
      h = GetStdHandle(STD_OUTPUT_HANDLE);
    }
    return h == INVALID_HANDLE_VALUE ? nullptr : h;
  }();
  return handle;
}

}  // namespace

void print_line(std::wstring_view line) {
  HANDLE out = output_handle();
  if (!out) return;
  std::wstring text(line);
  text += L'\n';
  DWORD written = 0;
  DWORD mode = 0;
  if (GetConsoleMode(out, &mode)) {
    WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace demo
