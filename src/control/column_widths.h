// The ColumnWidths string: column widths in twips, separated by ";".
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tessel {

// The n-th token (n >= 1) of text between delimiters, with one leading and
// one trailing double quote removed; "" when there is no n-th token.
// Positions in text are 16-bit: throws ControlError 6 (overflow) when the
// n-th token, or one before it, starts or ends beyond position 32767.
std::wstring fnc_GetToken(std::wstring_view text, SHORT n, std::wstring_view delimiter);

}  // namespace tessel
