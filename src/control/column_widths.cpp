#include "control/column_widths.h"

#include <climits>
#include <cmath>

#include "control/tessel_control.h"
#include "framework/bstr.h"
#include "framework/error.h"
#include "render/units.h"

namespace tessel {

std::wstring fnc_GetToken(std::wstring_view text, SHORT n, std::wstring_view delimiter) {
  // Positions are 1-based as the format describes them.
  const long length = static_cast<long>(text.size());
  const long step = static_cast<long>(delimiter.size());
  long start = 0;
  long end = 1 - step;
  for (SHORT i = 0; i < n; ++i) {
    start = end + step;
    size_t found = start >= 1 && start <= length + 1
                       ? text.find(delimiter, static_cast<size_t>(start - 1))
                       : std::wstring_view::npos;
    end = found == std::wstring_view::npos ? length + 1 : static_cast<long>(found) + 1;
  }
  if (start > end) return L"";
  std::wstring token(text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(end - start)));
  if (!token.empty() && token.front() == L'"') token.erase(0, 1);
  if (!token.empty() && token.back() == L'"') token.pop_back();
  return token;
}

namespace {

// One entry in twips to a column width in pixels; throws on an entry that is
// missing, not a number, or outside the Long range.
LONG entry_to_pixels(const std::wstring& token) {
  double twips = 0;
  framework::Bstr text(token);
  framework::check_hr(VarR8FromStr(text.get(), LOCALE_USER_DEFAULT, 0, &twips));
  double pixels = basUmrechnung::fnc_TwipsToPixel(twips, 1) - 2;
  double rounded = std::nearbyint(pixels);
  if (!(rounded >= LONG_MIN && rounded <= LONG_MAX)) {
    framework::raise_error(framework::error_number::kOverflow);
  }
  return static_cast<LONG>(rounded);
}

}  // namespace

STDMETHODIMP TesselControl::put_ColumnWidths(BSTR NewColumnWidths) {
  return boundary([&] {
    const std::wstring_view text = framework::view_of(NewColumnWidths);
    // Any failure stops the assignment silently: the columns already done
    // keep their new widths, the string and the picture stay as they were.
    try {
      if (s_.NumberOfRows > SHRT_MAX) framework::raise_error(framework::error_number::kOverflow);
      for (LONG i = 1; i <= s_.NumberOfRows; ++i) {
        LONG width = entry_to_pixels(fnc_GetToken(text, static_cast<SHORT>(i), L";"));
        s_.Tabs(i).RowWidth = width;
      }
    } catch (const framework::ControlError&) {
      return;
    }
    s_.ColumnWidths = text;
    property_changed(L"ColumnWidths");
    draw_tab();
  });
}

}  // namespace tessel
