// TesselDemo: a form with the TesselControl header above a list of 200 files
// that the header sorts.
//
//   TesselDemo.exe                  the form, for a person to use
//   TesselDemo.exe --scripted [--pictures <folder>]
//                                   a scripted session with no one at the
//                                   screen: prints the header's events and
//                                   saves a picture of the form after each
//                                   step, then one of each of the control's
//                                   property pages (default folder:
//                                   ..\demo\ from the program's folder)
//
// Exit code 0: the form ran (and a scripted session ended with the list
// sorted as the header shows); 1: something failed; 2: a wrong command line.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "console.h"
#include "control_source.h"
#include "demo_error.h"
#include "demo_form.h"
#include "page_pictures.h"
#include "scripted_session.h"

namespace demo {
namespace {

constexpr size_t kSampleFileCount = 200;
constexpr POINT kFormOrigin{40, 40};
constexpr SIZE kFormClient{560, 320};

struct Options {
  bool scripted = false;
  std::wstring pictures;  // folder, ends with a backslash
  bool valid = true;
};

// The folder of the running program, with a trailing backslash.
std::wstring program_folder() {
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = 0;
  while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
         path.size()) {
    path.resize(path.size() * 2);
  }
  path.resize(length);
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

// The full path of a folder, with a trailing backslash.
std::wstring full_folder(const std::wstring& folder) {
  std::wstring full(MAX_PATH, L'\0');
  DWORD length = 0;
  while ((length = GetFullPathNameW(folder.c_str(), static_cast<DWORD>(full.size()), full.data(),
                                    nullptr)) > full.size()) {
    full.resize(length);
  }
  full.resize(length);
  if (full.empty()) full = folder;  // not a path the system can complete: as given
  if (full.back() != L'\\' && full.back() != L'/') full += L'\\';
  return full;
}

Options parse_options() {
  Options options;
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> words(arguments + (arguments ? 1 : 0), arguments + count);
  LocalFree(arguments);
  for (size_t i = 0; i < words.size(); ++i) {
    if (words[i] == L"--scripted") {
      options.scripted = true;
    } else if (words[i] == L"--pictures" && i + 1 < words.size() && !words[i + 1].empty()) {
      options.pictures = full_folder(words[++i]);
    } else {
      options.valid = false;
    }
  }
  if (options.pictures.empty()) options.pictures = full_folder(program_folder() + L"..\\demo");
  return options;
}

class OleSession {
 public:
  OleSession() { check(OleInitialize(nullptr), L"OleInitialize"); }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;
  ~OleSession() { OleUninitialize(); }
};

int run_message_loop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

int run(const Options& options, int show_command) {
  OleSession ole;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);

  HeaderControl header = create_header_control(program_folder());
  print_line(L"control: " + header.origin);
  DemoForm form(header.object.get(), sample_files(kSampleFileCount), kFormOrigin, kFormClient,
                &print_line);
  print_line(L"form: " + std::to_wstring(kFormClient.cx) + L" x " +
             std::to_wstring(kFormClient.cy) + L" pixels, the header above " +
             std::to_wstring(form.list().size()) + L" files");
  if (!options.scripted) {
    form.show(show_command);
    return run_message_loop();
  }
  const int created = SHCreateDirectoryExW(nullptr, options.pictures.c_str(), nullptr);
  if (created != ERROR_SUCCESS && created != ERROR_ALREADY_EXISTS) {
    throw DemoError(L"creating the folder " + options.pictures + L" failed");
  }
  form.show(SW_SHOWNOACTIVATE);
  // Nothing may lie over the form while the pointer is placed on it.
  SetWindowPos(form.handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const int status = play_scripted_session(form, options.pictures);
  if (status == 0) save_page_pictures(form.handle(), header.object.get(), options.pictures);
  return status;
}

}  // namespace
}  // namespace demo

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show_command) {
  const demo::Options options = demo::parse_options();
  if (!options.valid) {
    demo::print_line(L"usage: TesselDemo.exe [--scripted [--pictures <folder>]]");
    return 2;
  }
  try {
    return demo::run(options, show_command);
  } catch (const demo::DemoError& error) {
    demo::print_line(L"error: " + error.message());
    return 1;
  }
}
