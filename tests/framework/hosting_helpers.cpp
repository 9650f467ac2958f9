#include "framework/hosting_helpers.h"

#include <gtest/gtest.h>

#include "framework/bstr.h"
#include "support/com_test_env.h"
#include "tessel_interfaces.h"

namespace tessel_test {

void pump_messages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

RECT client_rect(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return rect;
}

RECT rect_in_parent(HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

TestFrame::TestFrame() {
  static const bool registered = [] {
    WNDCLASSW frame{};
    frame.lpfnWndProc = DefWindowProcW;
    frame.hInstance = GetModuleHandleW(nullptr);
    frame.lpszClassName = L"HostingTestFrame";
    return RegisterClassW(&frame) != 0;
  }();
  EXPECT_TRUE(registered);
  window_ = CreateWindowExW(0, L"HostingTestFrame", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                            400, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  EXPECT_NE(window_, nullptr);
}

void TestFrame::destroy() {
  if (window_) DestroyWindow(window_);
  window_ = nullptr;
  pump_messages();
}

Canvas::Canvas(int width, int height) : width_(width) {
  // Written out here rather than taken from the product's own helper, so that
  // a wrong row order there cannot cancel out in the pixels read here.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = framework::GdiObject<HBITMAP>(
      CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  bits_ = static_cast<const DWORD*>(bits);
  selection_.emplace(dc_.get(), bitmap_.get());
}

COLORREF Canvas::pixel(int x, int y) const {
  GdiFlush();
  DWORD bgr = bits_[y * width_ + x];
  return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

void keep_from_painting(IUnknown* control) {
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(control->QueryInterface(IID_IDispatch, dispatch.put_void()), S_OK);
  put(dispatch.get(), tessel::dispid::Alignment, {}, vlong(tessel::reg_Bottom));
}

ComPtr<IHostingTestProbe> probe_of(IUnknown* control) {
  ComPtr<IHostingTestProbe> probe;
  if (control) control->QueryInterface(framework::IID_IHostingTestProbe, probe.put_void());
  EXPECT_TRUE(probe);
  return probe;
}

SIZE surface_size(IHostingTestProbe* probe) {
  LONG width = -1;
  LONG height = -1;
  EXPECT_EQ(probe->GetSurfaceSize(&width, &height), S_OK);
  return {width, height};
}

std::wstring take_log(IHostingTestProbe* probe) {
  framework::Bstr log;
  EXPECT_EQ(probe->TakeHookLog(log.put()), S_OK);
  return log.str();
}

ComPtr<IFontDisp> ambient_font_of(IHostingTestProbe* probe) {
  ComPtr<IFontDisp> font;
  EXPECT_EQ(probe->GetAmbientFont(font.put()), S_OK);
  return font;
}

HRESULT draw_view(IUnknown* control, const Canvas& canvas, const RECTL& bounds) {
  ComPtr<IViewObject> view;
  if (FAILED(control->QueryInterface(IID_IViewObject, view.put_void()))) return E_NOINTERFACE;
  return view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds, nullptr,
                    nullptr, 0);
}

LONG pixels_of_himetric(LONG himetric, int axis_index) {
  framework::WindowDc screen(nullptr);
  return MulDiv(himetric, GetDeviceCaps(screen.get(), axis_index), 2540);
}

ComPtr<IFontDisp> new_font(const wchar_t* name, LONGLONG points) {
  FONTDESC desc{};
  desc.cbSizeofstruct = sizeof(desc);
  desc.lpstrName = const_cast<LPOLESTR>(name);
  desc.cySize.int64 = points * 10000;
  desc.sWeight = FW_NORMAL;
  desc.sCharset = ANSI_CHARSET;
  ComPtr<IFontDisp> font;
  EXPECT_EQ(OleCreateFontIndirect(&desc, IID_IFontDisp, font.put_void()), S_OK);
  return font;
}

std::wstring font_name(IFontDisp* font) {
  auto ifont = ComPtr<IFontDisp>(font).query<IFont>(IID_IFont);
  framework::Bstr name;
  if (ifont) ifont->get_Name(name.put());
  return name.str();
}

LONGLONG font_size(IFontDisp* font) {
  auto ifont = ComPtr<IFontDisp>(font).query<IFont>(IID_IFont);
  CY size{};
  if (ifont) ifont->get_Size(&size);
  return size.int64;
}

// Wine's font objects report the face and size they realise: without Wine's
// own fonts installed, "MS Sans Serif" 8 pt reads back as another face at
// 8.25 pt. So the default is compared with a font made the same way.
bool is_default_font(IFontDisp* font) {
  ComPtr<IFontDisp> reference = new_font(L"MS Sans Serif", 8);
  return font && font_name(font) == font_name(reference.get()) &&
         font_size(font) == font_size(reference.get());
}

bool same_object(IUnknown* a, IUnknown* b) {
  ComPtr<IUnknown> first;
  ComPtr<IUnknown> second;
  if (a) a->QueryInterface(IID_IUnknown, first.put_void());
  if (b) b->QueryInterface(IID_IUnknown, second.put_void());
  return first && first.get() == second.get();
}

}  // namespace tessel_test
