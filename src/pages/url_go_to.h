// Opening an address (mail, web, news) through the Windows shell.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace tessel {

// Shows the hourglass, asks the shell to open url (verb "Open", no
// parameters, no folder, shown normally) and shows the default pointer
// again. The shell's answer is not used.
void URLGoTo(HWND window, const std::wstring& url);

// The shell call itself. Tests answer it; nullptr restores ShellExecuteA.
using ShellExecuteFunction =
    std::function<HINSTANCE(HWND window, const char* verb, const char* file, const char* parameters,
                            const char* directory, int show)>;
ShellExecuteFunction set_shell_execute_function(ShellExecuteFunction function);

}  // namespace tessel
