#include "pages/common_dialog.h"

#include <cstddef>
#include <utility>
#include <vector>

#include "framework/module.h"

namespace tessel::mCommonDialog {

namespace {

// OPENFILENAME_SIZE_VERSION_400A: the record up to and with lpTemplateName.
constexpr DWORD kRecordSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
#if !defined(_WIN64)
static_assert(kRecordSize == 76, "the 32-bit record has the dialog's first, 76-byte layout");
#endif

constexpr int kFileBufferLength = 260;

OpenDialogFunction& dialog_function() {
  static OpenDialogFunction f;
  return f;
}

thread_local DWORD t_last_dll_error = 0;

// An ANSI copy of text (embedded NULs included) with one terminating NUL.
std::vector<char> ansi_copy(const std::wstring& text) {
  std::vector<char> ansi;
  if (!text.empty()) {
    const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    ansi.resize(static_cast<size_t>(length));
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), length,
                        nullptr, nullptr);
  }
  ansi.push_back('\0');
  return ansi;
}

// The text of the ANSI copy without the terminating NUL that ansi_copy added.
std::wstring from_ansi(const std::vector<char>& ansi) {
  const int bytes = static_cast<int>(ansi.size()) - 1;
  if (bytes <= 0) return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), bytes, nullptr, 0);
  std::wstring text(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), bytes, text.data(), length);
  return text;
}

// The platform's dialog appends its default extension to a name typed
// without one. A wildcard is no extension: "a" would come back as "a.*.*", a
// file that does not exist. An empty one is none either, and some dialogs
// then append the filter's first extension instead. The dialog gets no
// default extension in these cases, so a name typed without an extension
// comes back as typed.
bool is_file_extension(const std::wstring& extension) {
  return !extension.empty() && extension.find_first_of(L"*?") == std::wstring::npos;
}

BOOL call_dialog(OPENFILENAMEA* record) {
  if (dialog_function()) return dialog_function()(record);
  return GetOpenFileNameA(record);
}

// Hands the record to the dialog through ANSI copies of its strings and
// takes the dialog's answers back into it.
void show_dialog(OpenFileName& record) {
  std::vector<char> filter = ansi_copy(record.lpstrFilter);
  std::vector<char> file = ansi_copy(record.lpstrFile);
  std::vector<char> title = ansi_copy(record.lpstrTitle);
  std::vector<char> default_extension = ansi_copy(record.lpstrDefExt);

  OPENFILENAMEA ansi{};
  ansi.lStructSize = record.lStructSize;
  ansi.hwndOwner = record.hwndOwner;
  ansi.hInstance = record.hInstance;
  ansi.lpstrFilter = filter.data();
  ansi.nFilterIndex = record.nFilterIndex;
  ansi.lpstrFile = file.data();
  ansi.nMaxFile = record.nMaxFile;
  ansi.lpstrTitle = title.data();
  ansi.Flags = record.Flags;
  ansi.nFileOffset = record.nFileOffset;
  ansi.nFileExtension = record.nFileExtension;
  ansi.lpstrDefExt = is_file_extension(record.lpstrDefExt) ? default_extension.data() : nullptr;
  ansi.lCustData = record.lCustData;

  SetLastError(0);
  call_dialog(&ansi);  // the answer is in the buffer, not in the result
  t_last_dll_error = GetLastError();

  record.nFilterIndex = ansi.nFilterIndex;
  record.Flags = ansi.Flags;
  record.nFileOffset = ansi.nFileOffset;
  record.nFileExtension = ansi.nFileExtension;
  record.lpstrFile = from_ansi(file);  // the whole buffer, not only up to a NUL
}

std::wstring trim_spaces(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring::npos) return {};
  return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

}  // namespace

OpenFileName& OpenFileRecord() {
  thread_local OpenFileName record;
  return record;
}

void fnc_BuildFilter(const std::wstring& filter) {
  std::wstring& converted = OpenFileRecord().lpstrFilter;
  converted.clear();
  for (wchar_t c : filter) converted.push_back(c == L'|' ? L'\0' : c);
  converted.push_back(L'\0');
}

std::wstring fnc_ShowOpenDialog(const std::wstring& title, const std::wstring& filter,
                                const std::wstring& default_extension) {
  OpenFileName& record = OpenFileRecord();
  record.lpstrTitle = title;
  record.lpstrDefExt = default_extension;
  fnc_BuildFilter(filter);
  record.hInstance = framework::module_instance();
  // Rebuilt on every call, so the dialog always starts with an empty name.
  record.lpstrFile = L'\0' + std::wstring(kFileBufferLength - 1, L' ');
  record.nMaxFile = kFileBufferLength;
  record.Flags = OFN_HIDEREADONLY;
  record.lStructSize = kRecordSize;
  show_dialog(record);
  // An untouched buffer trims to its leading NUL alone; a chosen path keeps
  // the NUL the dialog wrote after it.
  const std::wstring result = trim_spaces(record.lpstrFile);
  return result.size() == 1 ? std::wstring() : result;
}

DWORD LastDllError() { return t_last_dll_error; }

OpenDialogFunction set_open_dialog_function(OpenDialogFunction dialog) {
  return std::exchange(dialog_function(), std::move(dialog));
}

}  // namespace tessel::mCommonDialog
