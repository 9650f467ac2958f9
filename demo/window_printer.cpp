#include "window_printer.h"

#include "framework/gdi.h"
#include "png_file.h"

namespace demo {

namespace {

// The frame parts a child window draws outside its client area: the sunken
// edge and the scroll bars. WM_PRINT asks a window only for its client area
// where the platform does not print frames itself.
void print_frame(HWND window, HDC dc, const RECT& outer) {
  const auto ex_style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  RECT edge = outer;
  if (ex_style & WS_EX_CLIENTEDGE) DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
  if (!(style & WS_VSCROLL)) return;
  SCROLLBARINFO bar{};
  bar.cbSize = sizeof(bar);
  if (!GetScrollBarInfo(window, OBJID_VSCROLL, &bar) ||
      (bar.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN))) {
    return;
  }
  RECT track = bar.rcScrollBar;
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&track), 2);
  const int arrow = track.right - track.left;
  FillRect(dc, &track, GetSysColorBrush(COLOR_SCROLLBAR));
  RECT up{track.left, track.top, track.right, track.top + arrow};
  RECT down{track.left, track.bottom - arrow, track.right, track.bottom};
  DrawFrameControl(dc, &up, DFC_SCROLL, DFCS_SCROLLUP);
  DrawFrameControl(dc, &down, DFC_SCROLL, DFCS_SCROLLDOWN);
  RECT thumb{track.left, track.top + bar.xyThumbTop, track.right, track.top + bar.xyThumbBottom};
  if (thumb.bottom > thumb.top) DrawFrameControl(dc, &thumb, DFC_BUTTON, DFCS_BUTTONPUSH);
}

// Prints window's client area at origin (in the bitmap's pixels), clipped
// to it, then its visible children over it, bottom of the z-order first.
void print_tree(HWND window, HDC dc, POINT origin) {
  RECT client{};
  GetClientRect(window, &client);
  const int saved = SaveDC(dc);
  // A window may paint its background over the whole DC it is given.
  IntersectClipRect(dc, origin.x, origin.y, origin.x + client.right, origin.y + client.bottom);
  SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
  SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_ERASEBKGND | PRF_CLIENT);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  for (HWND child = GetWindow(GetWindow(window, GW_CHILD), GW_HWNDLAST); child;
       child = GetWindow(child, GW_HWNDPREV)) {
    if (!IsWindowVisible(child)) continue;
    RECT outer{};
    GetWindowRect(child, &outer);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&outer), 2);
    POINT inner{0, 0};
    ClientToScreen(child, &inner);
    ScreenToClient(window, &inner);
    SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    print_frame(child, dc, outer);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    print_tree(child, dc, {origin.x + inner.x, origin.y + inner.y});
  }
  RestoreDC(dc, saved);
}

// A 32-bit bitmap of window's client area, filled by draw(dc), saved as PNG.
template <class Draw>
std::wstring save_client_area(HWND window, const std::wstring& path, Draw draw) {
  RECT client{};
  GetClientRect(window, &client);
  const int width = client.right;
  const int height = client.bottom;
  if (width <= 0 || height <= 0) return L"the window has no client area";

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  framework::MemoryDc dc;
  framework::GdiObject<HBITMAP> bitmap(
      CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc || !bitmap || !bits) return L"creating a bitmap for the picture failed";
  {
    framework::Selection selected(dc.get(), bitmap.get());
    draw(dc.get(), width, height);
    GdiFlush();
  }
  return png::write_png(path, width, height, bits);
}

}  // namespace

std::wstring save_window_picture(HWND window, const std::wstring& path) {
  return save_client_area(window, path, [&](HDC dc, int, int) { print_tree(window, dc, {0, 0}); });
}

std::wstring copy_window_picture(HWND window, const std::wstring& path) {
  return save_client_area(window, path, [&](HDC dc, int width, int height) {
    framework::WindowDc source(window);
    BitBlt(dc, 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
  });
}

}  // namespace demo
