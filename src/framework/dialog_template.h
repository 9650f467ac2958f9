// A dialog template without items, built in memory: the frame of a property
// page or a form whose children are created from a layout table.
#pragma once

#include <windows.h>

#include <vector>

namespace framework {

// The template (DLGTEMPLATE and what follows it) as WORDs, DWORD-aligned in
// memory. style gets DS_SETFONT; the size is in dialog units.
std::vector<WORD> empty_dialog_template(DWORD style, DWORD ex_style, const wchar_t* caption,
                                        short width, short height, const wchar_t* font_face,
                                        WORD font_points);

}  // namespace framework
