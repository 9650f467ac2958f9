#include "framework/dialog_template.h"

#include <cstring>

namespace framework {

namespace {

void append_string(std::vector<WORD>& words, const wchar_t* text) {
  for (const wchar_t* c = text ? text : L""; *c; ++c) words.push_back(static_cast<WORD>(*c));
  words.push_back(0);
}

}  // namespace

std::vector<WORD> empty_dialog_template(DWORD style, DWORD ex_style, const wchar_t* caption,
                                        short width, short height, const wchar_t* font_face,
                                        WORD font_points) {
  DLGTEMPLATE header{};
  header.style = style | DS_SETFONT;
  header.dwExtendedStyle = ex_style;
  header.cdit = 0;
  header.cx = width;
  header.cy = height;
  static_assert(sizeof header % sizeof(WORD) == 0);
  std::vector<WORD> words(sizeof header / sizeof(WORD));
  std::memcpy(words.data(), &header, sizeof header);
  words.push_back(0);  // no menu
  words.push_back(0);  // the standard dialog class
  append_string(words, caption);
  words.push_back(font_points);
  append_string(words, font_face);
  return words;
}

}  // namespace framework
