// Pictures of the control's property pages as a host shows them: the
// platform's property frame for the control, one picture per page.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <string>

namespace demo {

// Opens the property frame for control (owned by owner) with the pages the
// control names, saves a picture of the frame with each of its own three
// pages shown (page_info.png, page_allgemein.png, page_columns.png in
// folder, which ends with a backslash), prints each path, and cancels the
// frame. Throws DemoError when the frame does not show or a picture fails.
void save_page_pictures(HWND owner, IUnknown* control, const std::wstring& folder);

}  // namespace demo
