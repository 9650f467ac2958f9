// The control embedded in a container nobody here wrote, Wine's ATL host
// window: in-place activation, the window and the retained surface, drawing,
// notifications, access keys, height changes, and that nothing outlives the
// host.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "framework/hosting_helpers.h"
#include "support/com_test_env.h"
#include "support/gdi_count.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

// The height a new control paints itself at (HeaderHeight 25), so that it
// asks for no other.
constexpr int kHostWidth = 300;
constexpr int kHostHeight = 25;
constexpr auto kInvalidPropertyValue = static_cast<HRESULT>(0x800A017C);

// Wine's ATL host: an AtlAxWin window, titled with the control's ProgID,
// inside a top-level test window.
class AtlHost {
 public:
  AtlHost() {
    ensure_registered();
    static const bool ready = [] {
      HMODULE atl = LoadLibraryW(L"atl.dll");
      if (!atl) return false;
      auto init = reinterpret_cast<BOOL(WINAPI*)()>(
          reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
      get_control_ = reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(
          reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
      return init && get_control_ && init();
    }();
    EXPECT_TRUE(ready) << "atl.dll's host window is not available";
    host_ = CreateWindowExW(0, L"AtlAxWin", L"QuonTessel.TesselControl", WS_CHILD | WS_VISIBLE, 10,
                            10, kHostWidth, kHostHeight, frame_.handle(), nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(host_, nullptr);
    pump_messages();
  }
  AtlHost(const AtlHost&) = delete;
  AtlHost& operator=(const AtlHost&) = delete;

  HWND frame() const { return frame_.handle(); }
  HWND host() const { return host_; }

  template <class T>
  ComPtr<T> control(REFIID iid) const {
    ComPtr<IUnknown> unknown;
    if (!host_ || FAILED(get_control_(host_, unknown.put()))) return nullptr;
    return unknown.query<T>(iid);
  }
  ComPtr<IHostingTestProbe> probe() const {
    return probe_of(control<IUnknown>(IID_IUnknown).get());
  }
  void keep_from_painting() const {
    tessel_test::keep_from_painting(control<IUnknown>(IID_IUnknown).get());
  }

  // The control's own window (IOleWindow::GetWindow).
  HWND control_window() const {
    auto window = control<IOleWindow>(IID_IOleWindow);
    HWND handle = nullptr;
    if (window) window->GetWindow(&handle);
    return handle;
  }

 private:
  static inline HRESULT(WINAPI* get_control_)(HWND, IUnknown**) = nullptr;
  TestFrame frame_;
  HWND host_ = nullptr;
};

TEST(Hosting, TheContainerActivatesTheControlInPlaceAtItsSize) {
  AtlHost host;
  HWND window = host.control_window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GetParent(window), host.host());
  EXPECT_TRUE(IsWindowVisible(window));
  RECT rect = client_rect(window);
  EXPECT_EQ(rect.right, kHostWidth);
  EXPECT_EQ(rect.bottom, kHostHeight);
  SIZE size = surface_size(host.probe().get());
  EXPECT_EQ(size.cx, kHostWidth);
  EXPECT_EQ(size.cy, kHostHeight);
  // The extent is the container's to set: Wine's host sets it in hundredths
  // of an inch instead of HIMETRIC, so it is not compared with the window.
  auto object = host.control<IOleObject>(IID_IOleObject);
  ComPtr<IOleClientSite> site;
  ASSERT_EQ(object->GetClientSite(site.put()), S_OK);
  EXPECT_TRUE(site);
  // The container ran InitNew when it created the control.
  auto init = host.control<IPersistStreamInit>(IID_IPersistStreamInit);
  EXPECT_EQ(init->InitNew(), CO_E_ALREADYINITIALIZED);
  // Wine's host offers no ambient properties: the default font applies.
  EXPECT_TRUE(is_default_font(ambient_font_of(host.probe().get()).get()));
  // A newly placed control holds the defaults InitNew gave it.
  auto control = host.control<IDispatch>(IID_IDispatch);
  namespace id = tessel::dispid;
  EXPECT_EQ(as_long(get(control.get(), id::NumberOfRows)), 1);
  EXPECT_EQ(as_string(get(control.get(), id::RowCaption, {vlong(1)})), L"Spalte");
  EXPECT_EQ(as_long(get(control.get(), id::RowWidth, {vlong(1)})), 60);
  EXPECT_EQ(as_long(get(control.get(), id::HeaderHeight)), 25);
  EXPECT_EQ(as_long(get(control.get(), id::BackColor)), 0xFDFAF9);
  EXPECT_EQ(as_long(get(control.get(), id::ForeColorActive)), 0x985038);
  EXPECT_EQ(as_string(get(control.get(), id::FontName)), L"MS Sans Serif");
  EXPECT_EQ(as_long(get(control.get(), id::FontSize)), 8);
  EXPECT_FALSE(as_bool(get(control.get(), id::FontBold)));
}

TEST(Hosting, ResizingResizesTheWindowAndTheSurfaceOnce) {
  AtlHost host;
  host.keep_from_painting();
  auto probe = host.probe();
  ASSERT_EQ(probe->StartHookLog(), S_OK);
  SetWindowPos(host.host(), nullptr, 0, 0, 260, 30, SWP_NOMOVE | SWP_NOZORDER);
  pump_messages();
  RECT rect = client_rect(host.control_window());
  EXPECT_EQ(rect.right, 260);
  EXPECT_EQ(rect.bottom, 30);
  SIZE size = surface_size(probe.get());
  EXPECT_EQ(size.cx, 260);
  EXPECT_EQ(size.cy, 30);
  // A move without a new size is no resize.
  SetWindowPos(host.host(), nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  pump_messages();
  // The window sized by someone else than the container.
  SetWindowPos(host.control_window(), nullptr, 0, 0, 100, 12, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(surface_size(probe.get()).cx, 100);
  EXPECT_EQ(take_log(probe.get()), L"resize 260 30\nresize 100 12\n");
}

TEST(Hosting, SettingTheHeightResizesBeforeItReturns) {
  AtlHost host;
  host.keep_from_painting();
  auto probe = host.probe();
  ASSERT_EQ(probe->StartHookLog(), S_OK);
  // Wine's host declines OnPosRectChange: the control takes the height.
  ASSERT_EQ(probe->SetHeightTwips(300.0f), S_OK);  // 20 pixels at 96 dpi
  EXPECT_EQ(take_log(probe.get()), L"resize 300 20\n");
  EXPECT_EQ(client_rect(host.control_window()).bottom, 20);
  EXPECT_EQ(surface_size(probe.get()).cy, 20);
  ASSERT_EQ(probe->SetHeightTwips(-1.0f), S_OK);
  EXPECT_EQ(client_rect(host.control_window()).bottom, 0);
}

TEST(Hosting, DrawAndPrintShowTheRetainedImage) {
  AtlHost host;
  host.keep_from_painting();
  auto control = host.control<IUnknown>(IID_IUnknown);
  const COLORREF kGreen = RGB(10, 200, 30);
  ASSERT_EQ(host.probe()->FillSurface(kGreen), S_OK);

  Canvas canvas(2 * kHostWidth + 1, 2 * kHostHeight + 1);
  ASSERT_EQ(draw_view(control.get(), canvas, {0, 0, kHostWidth, kHostHeight}), S_OK);
  EXPECT_EQ(canvas.pixel(0, 0), kGreen);
  EXPECT_EQ(canvas.pixel(kHostWidth - 1, kHostHeight - 1), kGreen);
  EXPECT_EQ(canvas.pixel(kHostWidth, kHostHeight), RGB(0, 0, 0));
  // Stretched over bounds twice the size.
  ASSERT_EQ(draw_view(control.get(), canvas, {0, 0, 2 * kHostWidth, 2 * kHostHeight}), S_OK);
  EXPECT_EQ(canvas.pixel(2 * kHostWidth - 1, 2 * kHostHeight - 1), kGreen);
  EXPECT_EQ(canvas.pixel(2 * kHostWidth, 2 * kHostHeight), RGB(0, 0, 0));
  auto view = control.query<IViewObject>(IID_IViewObject);
  RECTL bounds{0, 0, kHostWidth, kHostHeight};
  EXPECT_EQ(view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds, nullptr,
                       nullptr, 0),
            DV_E_DVASPECT);

  // The window shows the same image when it prints itself.
  Canvas printed(kHostWidth, kHostHeight);
  SendMessageW(host.control_window(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.dc()),
               PRF_CLIENT);
  EXPECT_EQ(printed.pixel(kHostWidth / 2, kHostHeight / 2), kGreen);
}

TEST(Hosting, SurfaceColoursTranslateAndInvalidOnesAreRefused) {
  AtlHost host;
  host.keep_from_painting();
  auto control = host.control<IUnknown>(IID_IUnknown);
  auto probe = host.probe();
  Canvas canvas(kHostWidth, kHostHeight);
  auto pixel_drawn = [&] {
    draw_view(control.get(), canvas, {0, 0, kHostWidth, kHostHeight});
    return canvas.pixel(1, 1);
  };
  ASSERT_EQ(probe->FillSurface(0x80000000u | COLOR_HIGHLIGHT), S_OK);
  EXPECT_EQ(pixel_drawn(), GetSysColor(COLOR_HIGHLIGHT));
  // Neither an unknown colour type nor a system colour beyond the table.
  EXPECT_EQ(probe->FillSurface(0x12000000u), kInvalidPropertyValue);
  EXPECT_EQ(probe->FillSurface(0x800000FFu), kInvalidPropertyValue);
  EXPECT_EQ(pixel_drawn(), GetSysColor(COLOR_HIGHLIGHT));
}

TEST(Hosting, FocusChangesReachTheControl) {
  AtlHost host;
  host.keep_from_painting();
  auto probe = host.probe();
  HWND window = host.control_window();
  ASSERT_EQ(probe->StartHookLog(), S_OK);
  SetFocus(window);
  EXPECT_EQ(GetFocus(), window);
  SetFocus(host.frame());
  pump_messages();
  EXPECT_EQ(take_log(probe.get()), L"got_focus\nlost_focus\n");
}

// Holds the Alt and Shift keys down in this thread's keyboard state.
class AltShiftHeld {
 public:
  AltShiftHeld() {
    GetKeyboardState(saved_);
    BYTE keys[256];
    std::copy(std::begin(saved_), std::end(saved_), keys);
    keys[VK_MENU] = keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
  }
  ~AltShiftHeld() { SetKeyboardState(saved_); }

 private:
  BYTE saved_[256];
};

TEST(Hosting, MouseAndKeysReachTheControlWithButtonsShiftAndPixels) {
  AtlHost host;
  host.keep_from_painting();
  auto probe = host.probe();
  HWND window = host.control_window();
  ASSERT_EQ(probe->StartHookLog(), S_OK);
  SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON | MK_MBUTTON | MK_CONTROL, MAKELPARAM(12, 7));
  SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, MAKELPARAM(3, 4));
  // Outside the window while the mouse is captured: negative coordinates.
  SendMessageW(window, WM_RBUTTONUP, MK_LBUTTON, MAKELPARAM(-2, 300));
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, MAKELPARAM(0, 0));
  SendMessageW(window, WM_MBUTTONUP, 0, MAKELPARAM(1, 2));
  SendMessageW(window, WM_KEYDOWN, VK_F5, 0);
  {
    AltShiftHeld held;
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 6));
    SendMessageW(window, WM_KEYDOWN, 'A', 0);
  }
  EXPECT_EQ(take_log(probe.get()),
            L"mouse_move 5 2 12 7\n"
            L"mouse_down 2 1 3 4\n"
            L"mouse_up 2 0 -2 300\n"
            L"mouse_down 1 0 0 0\n"
            L"mouse_up 4 0 1 2\n"
            L"key_down 116 0\n"
            L"mouse_move 0 4 5 6\n"
            L"key_down 65 5\n");
}

TEST(Hosting, AccessKeysBecomeTheContainersMnemonics) {
  AtlHost host;
  host.keep_from_painting();
  auto dispatch = host.control<IDispatch>(IID_IDispatch);
  call(dispatch.get(), tessel::dispid::AddRow, {vlong(60), vstr(L"&Name")});
  call(dispatch.get(), tessel::dispid::AddRow, {vlong(60), vstr(L"Nummer &1")});
  auto control = dispatch.query<IOleControl>(IID_IOleControl);
  ASSERT_TRUE(control);
  CONTROLINFO info{};
  info.cb = sizeof(info);
  ASSERT_EQ(control->GetControlInfo(&info), S_OK);
  ASSERT_EQ(info.cAccel, 3);
  ACCEL entries[3] = {};
  ASSERT_EQ(CopyAcceleratorTableW(info.hAccel, entries, 3), 3);
  EXPECT_EQ(entries[0].fVirt, FALT);
  EXPECT_EQ(entries[0].key, 'n');
  EXPECT_EQ(entries[1].fVirt, FALT);
  EXPECT_EQ(entries[1].key, 'N');
  EXPECT_EQ(entries[2].fVirt, FALT);
  EXPECT_EQ(entries[2].key, '1');

  // What a container does with the table: Alt+N as a key and as a character
  // is the control's mnemonic, Alt+X and a plain N are not.
  constexpr LPARAM kAltDown = 0x20000000;
  HWND window = host.control_window();
  WORD command = 0;
  MSG alt_n{window, WM_SYSKEYDOWN, 'N', kAltDown, 0, {}};
  MSG alt_n_char{window, WM_SYSCHAR, 'n', kAltDown, 0, {}};
  MSG alt_x{window, WM_SYSKEYDOWN, 'X', kAltDown, 0, {}};
  MSG plain_n{window, WM_KEYDOWN, 'N', 0, 0, {}};
  EXPECT_TRUE(IsAccelerator(info.hAccel, info.cAccel, &alt_n, &command));
  EXPECT_TRUE(IsAccelerator(info.hAccel, info.cAccel, &alt_n_char, &command));
  EXPECT_FALSE(IsAccelerator(info.hAccel, info.cAccel, &alt_x, &command));
  EXPECT_FALSE(IsAccelerator(info.hAccel, info.cAccel, &plain_n, &command));

  auto probe = probe_of(control.get());
  ASSERT_EQ(probe->StartHookLog(), S_OK);
  EXPECT_EQ(control->OnMnemonic(&alt_n), S_OK);
  MSG alt_1{window, WM_SYSCHAR, '1', kAltDown, 0, {}};
  EXPECT_EQ(control->OnMnemonic(&alt_1), S_OK);
  EXPECT_EQ(take_log(probe.get()), L"access_key 110\naccess_key 49\n");
}

// One host with everything the framework creates in use, the control
// painting: the window, the surface drawn and resized, focus, mouse, the
// accelerator table.
void host_once() {
  AtlHost host;
  auto control = host.control<IUnknown>(IID_IUnknown);
  auto probe = host.probe();
  probe->FillSurface(RGB(1, 2, 3));
  SetWindowPos(host.host(), nullptr, 0, 0, 320, 50, SWP_NOMOVE | SWP_NOZORDER);
  probe->SetHeightTwips(450.0f);
  HWND window = host.control_window();
  SetFocus(window);
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  auto dispatch = control.query<IDispatch>(IID_IDispatch);
  call(dispatch.get(), tessel::dispid::AddRow, {vlong(60), vstr(L"&Name")});
  CONTROLINFO info{};
  info.cb = sizeof(info);
  control.query<IOleControl>(IID_IOleControl)->GetControlInfo(&info);
  Canvas canvas(40, 40);
  draw_view(control.get(), canvas, {0, 0, 40, 40});
  SetFocus(host.frame());
}

HRESULT dll_can_unload_now() {
  HMODULE dll = GetModuleHandleW(L"TesselControl.dll");
  if (!dll) return S_OK;
  auto can_unload = reinterpret_cast<HRESULT(WINAPI*)()>(
      reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
  return can_unload ? can_unload() : E_FAIL;
}

TEST(Lifetime, TheGdiCountCatchesALeakedBrush) {
  size_t before = live_gdi_objects();
  ASSERT_GT(before, 0u);
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  EXPECT_EQ(live_gdi_objects(), before + 1);
  DeleteObject(brush);
  EXPECT_EQ(live_gdi_objects(), before);
}

TEST(Lifetime, NothingOutlivesTheHost) {
  host_once();  // warm-up: the first use of fonts and DCs caches a few objects
  size_t baseline = live_gdi_objects();
  host_once();
  EXPECT_EQ(live_gdi_objects(), baseline);
  EXPECT_EQ(dll_can_unload_now(), S_OK);
  // The window class goes with the last window: a DLL's classes are not
  // removed when it unloads.
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(L"TesselControl.dll"), L"FrameworkControlWindow",
                               &window_class));
}

}  // namespace
}  // namespace tessel_test
