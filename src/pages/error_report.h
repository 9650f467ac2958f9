// The report of an error that a procedure trapped: one message box with a
// fixed layout, titled with the procedure's name.
#pragma once

#include <string>

namespace tessel {

std::wstring error_report_title(const std::wstring& procedure);
std::wstring error_report_text(const std::wstring& procedure, int number,
                               const std::wstring& description);
// Shows the report (critical-stop icon, OK) and waits until it is closed.
void show_error_report(const std::wstring& procedure, int number, const std::wstring& description);

}  // namespace tessel
