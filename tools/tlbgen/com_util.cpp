#include "com_util.h"

#include <cstdio>

namespace tlbgen {

void Check(HRESULT hr, const char* what) {
  if (SUCCEEDED(hr)) return;
  char text[160];
  std::snprintf(text, sizeof text, "%s failed: 0x%08lX", what, static_cast<unsigned long>(hr));
  throw std::runtime_error(text);
}

std::string Narrow(std::wstring_view text) {
  std::string result;
  for (wchar_t c : text) result.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return result;
}

}  // namespace tlbgen
