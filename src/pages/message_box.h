// Message boxes of the component go through here, so that tests answer them
// instead of a person (no test ever waits on a modal window).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace tessel {

using MessageBoxHandler =
    std::function<int(const std::wstring& text, const std::wstring& title, UINT style)>;

int show_message_box(const std::wstring& text, const std::wstring& title, UINT style);
// Replaces the handler (nullptr restores the real message box) and returns
// the previous one.
MessageBoxHandler set_message_box_handler(MessageBoxHandler handler);

}  // namespace tessel
