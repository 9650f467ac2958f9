#include "pages/url_go_to.h"

#include <shellapi.h>

#include <utility>
#include <vector>

namespace tessel {

namespace {

ShellExecuteFunction& shell_function() {
  static ShellExecuteFunction f;
  return f;
}

std::string ansi(const std::wstring& text) {
  const int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(length > 0 ? length : 1), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, result.data(), length, nullptr, nullptr);
  result.resize(result.size() - 1);
  return result;
}

}  // namespace

void URLGoTo(HWND window, const std::wstring& url) {
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  const std::string file = ansi(url);
  if (shell_function()) {
    shell_function()(window, "Open", file.c_str(), "", "", SW_SHOWNORMAL);
  } else {
    ShellExecuteA(window, "Open", file.c_str(), "", "", SW_SHOWNORMAL);
  }
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

ShellExecuteFunction set_shell_execute_function(ShellExecuteFunction function) {
  return std::exchange(shell_function(), std::move(function));
}

}  // namespace tessel
