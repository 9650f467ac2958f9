// Shared by the hosting tests: windows, a DIB canvas to read drawn pixels,
// the framework's test probe, and OLE font checks.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <optional>
#include <string>

#include "framework/com_ptr.h"
#include "framework/gdi.h"
#include "framework/test_probe.h"

namespace tessel_test {

using framework::ComPtr;
using framework::IHostingTestProbe;

void pump_messages();
RECT client_rect(HWND window);
// The rectangle of child in its parent's client pixels.
RECT rect_in_parent(HWND child);

// A visible top-level window to hold containers and controls.
class TestFrame {
 public:
  TestFrame();
  TestFrame(const TestFrame&) = delete;
  TestFrame& operator=(const TestFrame&) = delete;
  ~TestFrame() { destroy(); }
  void destroy();
  HWND handle() const { return window_; }

 private:
  HWND window_ = nullptr;
};

// A 32-bit top-down DIB section selected into a memory DC, black at first.
class Canvas {
 public:
  Canvas(int width, int height);
  HDC dc() const { return dc_.get(); }
  COLORREF pixel(int x, int y) const;

 private:
  int width_;
  framework::MemoryDc dc_;
  framework::GdiObject<HBITMAP> bitmap_;
  const DWORD* bits_ = nullptr;
  std::optional<framework::Selection> selection_;
};

// Sets the control's Alignment to bottom: then it paints nothing and so
// sets no height of its own, and what the framework does shows apart from
// what the control does with the notifications.
void keep_from_painting(IUnknown* control);

// The framework's test probe of a control (IHostingTestProbe).
ComPtr<IHostingTestProbe> probe_of(IUnknown* control);
SIZE surface_size(IHostingTestProbe* probe);
// The hook log since the last call.
std::wstring take_log(IHostingTestProbe* probe);
ComPtr<IFontDisp> ambient_font_of(IHostingTestProbe* probe);
// Renders the control's view into canvas at bounds.
HRESULT draw_view(IUnknown* control, const Canvas& canvas, const RECTL& bounds);

// HIMETRIC as screen pixels along LOGPIXELSX or LOGPIXELSY.
LONG pixels_of_himetric(LONG himetric, int axis_index);

ComPtr<IFontDisp> new_font(const wchar_t* name, LONGLONG points);
std::wstring font_name(IFontDisp* font);
LONGLONG font_size(IFontDisp* font);  // points × 10000
// Whether font has the attributes of a new "MS Sans Serif" 8 pt font.
bool is_default_font(IFontDisp* font);
// COM identity.
bool same_object(IUnknown* a, IUnknown* b);

}  // namespace tessel_test
