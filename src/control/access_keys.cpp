#include "control/access_keys.h"

namespace tessel {

namespace {

std::wstring lower_char(wchar_t c) {
  wchar_t buffer[1] = {c};
  CharLowerBuffW(buffer, 1);
  return std::wstring(1, buffer[0]);
}

// The character code of c in the system's ANSI code page (as a signed
// 16-bit value for double-byte characters).
SHORT ansi_code(wchar_t c) {
  char bytes[4] = {};
  int n = WideCharToMultiByte(CP_ACP, 0, &c, 1, bytes, sizeof bytes, nullptr, nullptr);
  if (n == 2) {
    return static_cast<SHORT>((static_cast<unsigned char>(bytes[0]) << 8) |
                              static_cast<unsigned char>(bytes[1]));
  }
  return static_cast<SHORT>(static_cast<unsigned char>(bytes[0]));
}

}  // namespace

std::wstring fnc_AccessKeyOf(std::wstring_view caption) {
  size_t p = caption.find(L'&');
  if (p == std::wstring_view::npos || p + 1 >= caption.size()) return L"";
  if (caption[p + 1] != L'&') return lower_char(caption[p + 1]);
  size_t q = caption.find(L'&', p + 2);
  if (q == std::wstring_view::npos || q + 1 >= caption.size()) return L"";
  if (caption[q + 1] != L'&') return lower_char(caption[q + 1]);
  return L"";
}

std::wstring collect_access_keys(ControlState& state) {
  std::wstring keys;
  for (LONG i = 1; i <= state.NumberOfRows; ++i) keys += fnc_AccessKeyOf(state.Tabs(i).RowCaption);
  return keys;
}

LONG find_access_key(std::wstring_view keys, SHORT code) {
  for (size_t i = 0; i < keys.size(); ++i) {
    if (ansi_code(keys[i]) == code) return static_cast<LONG>(i + 1);
  }
  return 0;
}

}  // namespace tessel
