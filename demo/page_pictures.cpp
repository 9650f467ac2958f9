#include "page_pictures.h"

#include <ocidl.h>
#include <olectl.h>
#include <prsht.h>

#include <cwchar>
#include <iterator>
#include <memory>
#include <vector>

#include "console.h"
#include "demo_error.h"
#include "framework/com_ptr.h"
#include "tessel_interfaces.h"
#include "window_printer.h"

namespace demo {

namespace {

struct PagePicture {
  const GUID* page;
  const wchar_t* file_name;
};

constexpr PagePicture kPictures[] = {
    {&tessel::CLSID_TabsC, L"page_info.png"},
    {&tessel::CLSID_Allgemein, L"page_allgemein.png"},
    {&tessel::CLSID_Register, L"page_columns.png"},
};

struct CoTaskFree {
  void operator()(GUID* memory) const { CoTaskMemFree(memory); }
};

// What the timer does once the frame shows: the pages in the frame's order,
// the folder, and the first failure.
struct Capture {
  std::vector<GUID> pages;
  std::wstring folder;
  std::wstring failure;
  bool done = false;
  int ticks = 0;
  UINT_PTR timer = 0;
};
Capture* g_capture = nullptr;

// The visible dialog of this thread: the property frame.
BOOL CALLBACK find_frame(HWND window, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, static_cast<int>(std::size(name)));
  if (!IsWindowVisible(window) || std::wcscmp(name, L"#32770") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

HWND frame_window() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &find_frame, reinterpret_cast<LPARAM>(&found));
  return found;
}

void pump_messages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void save_pictures(HWND frame, Capture& capture) {
  for (const PagePicture& picture : kPictures) {
    size_t index = 0;
    while (index < capture.pages.size() && !IsEqualGUID(capture.pages[index], *picture.page)) {
      ++index;
    }
    if (index == capture.pages.size()) {
      capture.failure = std::wstring(L"the control names no page for ") + picture.file_name;
      return;
    }
    SendMessageW(frame, PSM_SETCURSEL, index, 0);
    pump_messages();
    const std::wstring path = capture.folder + picture.file_name;
    RedrawWindow(frame, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pump_messages();
    const std::wstring failure = copy_window_picture(frame, path);
    if (!failure.empty()) {
      capture.failure = L"saving " + path + L": " + failure;
      return;
    }
    print_line(L"  screenshot: " + path);
  }
}

// Waits for the frame (a few seconds at most), takes the pictures and
// cancels it.
void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
  Capture& capture = *g_capture;
  HWND frame = frame_window();
  if (capture.done || (!frame && ++capture.ticks < 200)) return;
  capture.done = true;
  KillTimer(nullptr, capture.timer);
  if (!frame) {
    capture.failure = L"the property frame did not show";
    return;
  }
  save_pictures(frame, capture);
  PostMessageW(frame, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

}  // namespace

void save_page_pictures(HWND owner, IUnknown* control, const std::wstring& folder) {
  framework::ComPtr<ISpecifyPropertyPages> specify;
  CAUUID pages{};
  if (FAILED(control->QueryInterface(IID_ISpecifyPropertyPages, specify.put_void())) ||
      FAILED(specify->GetPages(&pages))) {
    throw DemoError(L"the control names no property pages");
  }
  const std::unique_ptr<GUID, CoTaskFree> elements(pages.pElems);
  Capture capture;
  capture.pages.assign(pages.pElems, pages.pElems + pages.cElems);
  capture.folder = folder;
  g_capture = &capture;
  capture.timer = SetTimer(nullptr, 0, 25, &tick);
  IUnknown* objects[] = {control};
  const HRESULT hr = OleCreatePropertyFrame(owner, 0, 0, L"TesselControl", 1, objects, pages.cElems,
                                            pages.pElems, LOCALE_USER_DEFAULT, 0, nullptr);
  if (!capture.done) KillTimer(nullptr, capture.timer);
  g_capture = nullptr;
  if (FAILED(hr)) throw DemoError(L"the property frame failed to open");
  if (!capture.failure.empty()) throw DemoError(capture.failure);
}

}  // namespace demo
