// The control embedded in a container nobody here wrote, Wine's ATL host
// window. Focus, repaints and mnemonics in the same host:
// control/keyboard_focus_test.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "control/interaction_helpers.h"
#include "support/com_test_env.h"
#include "support/gdi_count.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

constexpr int kWidth = AxHost::kWidth;
constexpr int kHeight = AxHost::kHeight;

// The container places the control from its ProgID and activates it in
// place at its size; then, the control painting nothing: drawing and
// printing show the retained image, mouse and keys reach the control, and a
// resize resizes the window and the surface once.
TEST(Hosting, TheContainerActivatesDrawsForwardsInputAndResizesTheControl) {
  AxHost host(L"QuonTessel.TesselControl");
  HWND window = host.control_window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GetParent(window), host.host());
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(client_rect(window).right, kWidth);
  EXPECT_EQ(client_rect(window).bottom, kHeight);
  auto probe = host.probe();
  SIZE size = surface_size(probe.get());
  EXPECT_EQ(size.cx, kWidth);
  EXPECT_EQ(size.cy, kHeight);
  // The extent is not compared: Wine's host sets it in hundredths of an inch.
  auto control = host.control();
  ComPtr<IOleClientSite> site;
  ASSERT_EQ(control.query<IOleObject>(IID_IOleObject)->GetClientSite(site.put()), S_OK);
  EXPECT_TRUE(site);
  // The container ran InitNew (a newly placed control has one column), and
  // offers no ambient font: the default applies.
  EXPECT_EQ(control.query<IPersistStreamInit>(IID_IPersistStreamInit)->InitNew(),
            CO_E_ALREADYINITIALIZED);
  EXPECT_EQ(as_long(get(control.get(), tessel::dispid::NumberOfRows)), 1);
  EXPECT_TRUE(is_default_font(ambient_font_of(probe.get()).get()));

  keep_from_painting(control.get());
  const COLORREF kGreen = RGB(10, 200, 30), kBlack = RGB(0, 0, 0);
  ASSERT_EQ(probe->FillSurface(kGreen), S_OK);
  Canvas canvas(2 * kWidth + 1, 2 * kHeight + 1);
  ASSERT_EQ(draw_view(control.get(), canvas, {0, 0, kWidth, kHeight}), S_OK);
  EXPECT_EQ(canvas.pixel(0, 0), kGreen);
  EXPECT_EQ(canvas.pixel(kWidth - 1, kHeight - 1), kGreen);
  EXPECT_EQ(canvas.pixel(kWidth, kHeight), kBlack);
  // Stretched over bounds twice the size.
  ASSERT_EQ(draw_view(control.get(), canvas, {0, 0, 2 * kWidth, 2 * kHeight}), S_OK);
  EXPECT_EQ(canvas.pixel(2 * kWidth - 1, 2 * kHeight - 1), kGreen);
  EXPECT_EQ(canvas.pixel(2 * kWidth, 2 * kHeight), kBlack);
  RECTL bounds{0, 0, kWidth, kHeight};
  EXPECT_EQ(control.query<IViewObject>(IID_IViewObject)
                ->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds, nullptr,
                       nullptr, 0),
            DV_E_DVASPECT);
  Canvas printed(kWidth, kHeight);
  SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.dc()), PRF_CLIENT);
  EXPECT_EQ(printed.pixel(kWidth / 2, kHeight / 2), kGreen);

  ASSERT_EQ(probe->StartHookLog(), S_OK);
  SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON | MK_MBUTTON | MK_CONTROL, MAKELPARAM(12, 7));
  SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, MAKELPARAM(3, 4));
  // Outside the window while the mouse is captured: negative coordinates.
  SendMessageW(window, WM_RBUTTONUP, MK_LBUTTON, MAKELPARAM(-2, 300));
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, MAKELPARAM(0, 0));
  SendMessageW(window, WM_MBUTTONUP, 0, MAKELPARAM(1, 2));
  SendMessageW(window, WM_KEYDOWN, VK_F5, 0);
  // With Alt and Shift held down in this thread's keyboard state.
  BYTE saved[256], held[256];
  GetKeyboardState(saved);
  std::copy(std::begin(saved), std::end(saved), held);
  held[VK_MENU] = held[VK_SHIFT] = 0x80;
  SetKeyboardState(held);
  SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 6));
  SendMessageW(window, WM_KEYDOWN, 'A', 0);
  SetKeyboardState(saved);
  EXPECT_EQ(take_log(probe.get()),
            L"mouse_move 5 2 12 7\n"
            L"mouse_down 2 1 3 4\n"
            L"mouse_up 2 0 -2 300\n"
            L"mouse_down 1 0 0 0\n"
            L"mouse_up 4 0 1 2\n"
            L"key_down 116 0\n"
            L"mouse_move 0 4 5 6\n"
            L"key_down 65 5\n");

  SetWindowPos(host.host(), nullptr, 0, 0, 260, 30, SWP_NOMOVE | SWP_NOZORDER);
  pump_messages();
  EXPECT_EQ(client_rect(window).right, 260);
  EXPECT_EQ(client_rect(window).bottom, 30);
  EXPECT_EQ(surface_size(probe.get()).cx, 260);
  EXPECT_EQ(surface_size(probe.get()).cy, 30);
  // A move is no resize; a resize of the window by someone else is one.
  SetWindowPos(host.host(), nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  pump_messages();
  SetWindowPos(window, nullptr, 0, 0, 100, 12, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(surface_size(probe.get()).cx, 100);
  EXPECT_EQ(take_log(probe.get()), L"resize 260 30\nresize 100 12\n");
}

// One host with everything the framework creates in use, the control
// painting: the window, the surface drawn and resized, focus, mouse, the
// accelerator table.
void host_once() {
  AxHost host(L"QuonTessel.TesselControl");
  auto control = host.control();
  host.probe()->FillSurface(RGB(1, 2, 3));
  SetWindowPos(host.host(), nullptr, 0, 0, 320, 50, SWP_NOMOVE | SWP_NOZORDER);
  host.probe()->SetHeightTwips(450.0f);
  HWND window = host.control_window();
  SetFocus(window);
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  call(control.get(), tessel::dispid::AddRow, {vlong(60), vstr(L"&Name")});
  CONTROLINFO info{};
  info.cb = sizeof(info);
  control.query<IOleControl>(IID_IOleControl)->GetControlInfo(&info);
  Canvas canvas(40, 40);
  draw_view(control.get(), canvas, {0, 0, 40, 40});
  SetFocus(host.frame());
}

// The GDI count itself is proven in render/gdi_leak_test.
TEST(Lifetime, NothingOutlivesTheHost) {
  host_once();  // warm-up: the first use of fonts and DCs caches a few objects
  size_t baseline = live_gdi_objects();
  host_once();
  EXPECT_EQ(live_gdi_objects(), baseline);
  HMODULE dll = GetModuleHandleW(kTestDllName);
  ASSERT_NE(dll, nullptr);
  auto can_unload = reinterpret_cast<HRESULT(WINAPI*)()>(
      reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
  EXPECT_EQ(can_unload(), S_OK);
  // The window class goes with the last window: a DLL's classes are not
  // removed when it unloads.
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  EXPECT_FALSE(GetClassInfoExW(dll, L"FrameworkControlWindow", &window_class));
}

}  // namespace
}  // namespace tessel_test
