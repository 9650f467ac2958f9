// Picture files chosen on the column page: loading them, and telling an
// icon file by its name.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "framework/com_ptr.h"

namespace tessel {

// Loads a bitmap, icon or metafile from the file named by path, read up to
// its first NUL. Throws ControlError 53 when the file cannot be opened and
// 481 (invalid picture) when it holds no picture.
framework::ComPtr<IPictureDisp> LoadPicture(const std::wstring& path);

// Whether the chosen path names an icon: its last four characters, trailing
// spaces removed, begin with "ico" in any case. The dialog's path ends with
// a NUL, so "x.ico" + NUL passes; any other case of ICO passes too.
bool is_icon_file_name(const std::wstring& path);

}  // namespace tessel
