#include "pages/error_report.h"

#include "pages/message_box.h"

namespace tessel {

std::wstring error_report_title(const std::wstring& procedure) {
  return L"Fehler in \"" + procedure + L"\"";
}

std::wstring error_report_text(const std::wstring& procedure, int number,
                               const std::wstring& description) {
  return L"Es ist ein Fehler aufgetreten.\r\n\r\nIn Function:\t" + procedure +
         L"\r\nFehlernummer:\t" + std::to_wstring(number) + L"\r\nBeschreibung:\t" + description;
}

void show_error_report(const std::wstring& procedure, int number, const std::wstring& description) {
  show_message_box(error_report_text(procedure, number, description), error_report_title(procedure),
                   MB_OK | MB_ICONSTOP);
}

}  // namespace tessel
