// mCommonDialog: the system's file-open dialog (GetOpenFileNameA) for the
// column page's picture files. One dialog record per thread, reused by every
// call; its string fields are text here and cross to the dialog as ANSI
// copies, the way a string field of a record crosses to an ANSI entry point.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <string>

namespace tessel::mCommonDialog {

// The record in the dialog's first layout (OPENFILENAME_SIZE_VERSION_400A:
// 76 bytes in the 32-bit build). The string fields that are never set
// (custom filter, file title, initial folder, template name) cross as null.
struct OpenFileName {
  DWORD lStructSize = 0;
  HWND hwndOwner = nullptr;
  HINSTANCE hInstance = nullptr;
  std::wstring lpstrFilter;
  DWORD nFilterIndex = 0;
  std::wstring lpstrFile;
  DWORD nMaxFile = 0;
  std::wstring lpstrTitle;
  DWORD Flags = 0;
  WORD nFileOffset = 0;
  WORD nFileExtension = 0;
  std::wstring lpstrDefExt;
  LPARAM lCustData = 0;
};

// The calling thread's record.
OpenFileName& OpenFileRecord();

// Stores filter in the record's lpstrFilter with every "|" turned into a
// NUL and one NUL appended; the ANSI copy adds the second terminating NUL.
void fnc_BuildFilter(const std::wstring& filter);

// Shows the dialog. "" when the developer cancelled (the file buffer came
// back untouched), else the chosen path followed by exactly one NUL. The
// record keeps default_extension as given; one that is empty or holds a
// wildcard reaches the dialog as none.
std::wstring fnc_ShowOpenDialog(const std::wstring& title, const std::wstring& filter,
                                const std::wstring& default_extension);

// The system's last error right after the dialog returned (the caller's
// error object reads it).
DWORD LastDllError();

// The dialog itself. Tests answer it instead of a person; nullptr restores
// GetOpenFileNameA. Returns the previous function.
using OpenDialogFunction = std::function<BOOL(OPENFILENAMEA* record)>;
OpenDialogFunction set_open_dialog_function(OpenDialogFunction dialog);

}  // namespace tessel::mCommonDialog
