// Where procedures that trap their own errors report them instead of raising
// them. The component routes these reports to the error report message box;
// tests record them.
#pragma once

#include <functional>
#include <string>

namespace framework {

using TrappedErrorHandler =
    std::function<void(const std::wstring& procedure, int number, const std::wstring& text)>;

// Replaces the handler and returns the previous one.
TrappedErrorHandler set_trapped_error_handler(TrappedErrorHandler handler);
void report_trapped_error(const std::wstring& procedure, int number,
                          const std::wstring& description);

}  // namespace framework
