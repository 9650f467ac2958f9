#include "control/column_widths.h"

#include <climits>
#include <cmath>
#include <vector>

#include "control/tessel_control.h"
#include "framework/bstr.h"
#include "framework/error.h"
#include "render/units.h"

namespace tessel {

namespace {

// Walks the tokens of a text one after the other. Positions are 1-based
// and 16-bit, as the format describes them: a token that starts or ends
// beyond position 32767 is an overflow.
class TokenWalk {
 public:
  TokenWalk(std::wstring_view text, std::wstring_view delimiter)
      : text_(text), delimiter_(delimiter), end_(1 - static_cast<long>(delimiter.size())) {}

  // Moves on to the next token.
  void advance() {
    const long length = static_cast<long>(text_.size());
    start_ = position(end_ + static_cast<long>(delimiter_.size()));
    const size_t found = start_ <= length + 1
                             ? text_.find(delimiter_, static_cast<size_t>(start_ - 1))
                             : std::wstring_view::npos;
    end_ = position(found == std::wstring_view::npos ? length + 1 : static_cast<long>(found) + 1);
  }

  // The current token, unquoted; "" before the first and past the last one.
  std::wstring token() const {
    if (start_ < 1 || start_ > end_) return L"";
    std::wstring token(
        text_.substr(static_cast<size_t>(start_ - 1), static_cast<size_t>(end_ - start_)));
    if (!token.empty() && token.front() == L'"') token.erase(0, 1);
    if (!token.empty() && token.back() == L'"') token.pop_back();
    return token;
  }

 private:
  static long position(long p) {
    if (p > SHRT_MAX) framework::raise_error(framework::error_number::kOverflow);
    return p;
  }

  std::wstring_view text_;
  std::wstring_view delimiter_;
  long start_ = 0;
  long end_;
};

}  // namespace

std::wstring fnc_GetToken(std::wstring_view text, SHORT n, std::wstring_view delimiter) {
  TokenWalk walk(text, delimiter);
  for (SHORT i = 0; i < n; ++i) walk.advance();
  return walk.token();
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
    // The column counter and the token positions are 16-bit. Both limits are
    // checked before any column changes: a string whose entries for these
    // columns reach beyond position 32767 (or more than 32767 columns) is
    // refused as a whole, silently, rather than stopping part of the way
    // through at a limit the caller cannot see in the string. Entries the
    // columns do not need are never read, so their positions do not matter.
    std::vector<std::wstring> entries;
    try {
      if (s_.NumberOfRows > SHRT_MAX) framework::raise_error(framework::error_number::kOverflow);
      TokenWalk walk(text, L";");
      for (LONG i = 1; i <= s_.NumberOfRows; ++i) {
        walk.advance();
        entries.push_back(walk.token());
      }
    } catch (const framework::ControlError&) {
      return;
    }
    // Any other failure stops the assignment silently: the columns already
    // done keep their new widths, the string and the picture stay as they
    // were.
    try {
      for (LONG i = 1; i <= s_.NumberOfRows; ++i) {
        LONG width = entry_to_pixels(entries[static_cast<size_t>(i - 1)]);
        s_.Tabs(i).RowWidth = width;
      }
    } catch (const framework::ControlError&) {
      return;
    }
    s_.ColumnWidths = text;
    changed(dispid::ColumnWidths);
  });
}

}  // namespace tessel
