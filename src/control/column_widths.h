// The ColumnWidths string: column widths in twips, separated by ";".
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tessel {

// The n-th token (n >= 1) of text between delimiters, with one leading and
// one trailing double quote removed; "" when there is no n-th token.
std::wstring fnc_GetToken(std::wstring_view text, SHORT n, std::wstring_view delimiter);

}  // namespace tessel
