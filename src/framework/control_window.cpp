#include "framework/control_window.h"

#include <windowsx.h>

#include <mutex>
#include <utility>

#include "framework/error.h"
#include "framework/surface.h"

namespace framework {

namespace {

constexpr wchar_t kClassName[] = L"FrameworkControlWindow";

// The module that holds this code (the control's DLL, or a program linking
// the framework statically).
HINSTANCE code_module() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&code_module), &module);
  return module;
}

// The window class is registered while any control window exists and
// unregistered with the last one, so that nothing of it outlives the
// module's objects (a DLL's classes are not removed when it unloads).
std::mutex g_class_mutex;
int g_class_users = 0;

bool use_window_class(WNDPROC procedure) {
  std::lock_guard lock(g_class_mutex);
  if (g_class_users == 0) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = procedure;
    wc.cbWndExtra = sizeof(void*);
    wc.hInstance = code_module();
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  }
  ++g_class_users;
  return true;
}

void release_window_class() {
  std::lock_guard lock(g_class_mutex);
  if (--g_class_users == 0) UnregisterClassW(kClassName, code_module());
}

SHORT held_buttons(WPARAM wparam) {
  SHORT buttons = 0;
  if (wparam & MK_LBUTTON) buttons |= 1;
  if (wparam & MK_RBUTTON) buttons |= 2;
  if (wparam & MK_MBUTTON) buttons |= 4;
  return buttons;
}

// The button a press or release message is about: 1 left, 2 right, 4 middle.
SHORT button_of(UINT message) {
  switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return 2;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      return 4;
    default:
      return 1;
  }
}

SHORT alt_state() { return GetKeyState(VK_MENU) < 0 ? 4 : 0; }

SHORT mouse_shift(WPARAM wparam) {
  SHORT shift = alt_state();
  if (wparam & MK_SHIFT) shift |= 1;
  if (wparam & MK_CONTROL) shift |= 2;
  return shift;
}

SHORT key_shift() {
  SHORT shift = alt_state();
  if (GetKeyState(VK_SHIFT) < 0) shift |= 1;
  if (GetKeyState(VK_CONTROL) < 0) shift |= 2;
  return shift;
}

}  // namespace

ControlWindow::~ControlWindow() {
  detach();
  destroy();
}

void ControlWindow::create(HWND parent, const RECT& position) {
  if (window_) return;
  if (!registered_) {
    if (!use_window_class(&ControlWindow::procedure)) {
      throw ControlError::from_hresult(HRESULT_FROM_WIN32(GetLastError()));
    }
    registered_ = true;
  }
  HWND window =
      CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                      position.left, position.top, position.right - position.left,
                      position.bottom - position.top, parent, nullptr, code_module(), this);
  if (!window) {
    DWORD error = GetLastError();
    release_window_class();
    registered_ = false;
    throw ControlError::from_hresult(error ? HRESULT_FROM_WIN32(error) : E_FAIL);
  }
}

void ControlWindow::show() {
  if (window_) ShowWindow(window_, SW_SHOWNA);
}

void ControlWindow::move(const RECT& position) {
  if (!window_) return;
  SetWindowPos(window_, nullptr, position.left, position.top, position.right - position.left,
               position.bottom - position.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ControlWindow::destroy() {
  // The messages of the destruction (a focus loss) may lead back here.
  if (HWND window = std::exchange(window_, nullptr)) DestroyWindow(window);
  if (registered_) {
    release_window_class();
    registered_ = false;
  }
}

LRESULT CALLBACK ControlWindow::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<ControlWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
    self->surface_.set_window(window);
  }
  auto* self = reinterpret_cast<ControlWindow*>(GetWindowLongPtrW(window, 0));
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, 0, 0);
    if (self) {
      if (self->window_ == window) self->window_ = nullptr;
      self->surface_.set_window(nullptr);
    }
    return DefWindowProcW(window, message, wparam, lparam);
  }
  if (!self) return DefWindowProcW(window, message, wparam, lparam);
  try {
    return self->handle_message(window, message, wparam, lparam);
  } catch (...) {
    // Nothing thrown may leave a window procedure.
    return 0;
  }
}

// A listener may end the control (and this object) while it handles a
// report: after a report nothing here touches a member.
LRESULT ControlWindow::handle_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  RECT all{0, 0, surface_.width(), surface_.height()};
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      if (HDC dc = BeginPaint(window, &paint)) {
        surface_.render(dc, all);
        EndPaint(window, &paint);
      }
      return 0;
    }
    case WM_PRINTCLIENT:
      surface_.render(reinterpret_cast<HDC>(wparam), all);
      return 0;
    case WM_PRINT:
      if ((lparam & PRF_CHECKVISIBLE) && !IsWindowVisible(window)) return 0;
      if (lparam & PRF_CLIENT) surface_.render(reinterpret_cast<HDC>(wparam), all);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers everything
    case WM_MOUSEACTIVATE:
      if (listener_) listener_->window_mouse_activate();
      return MA_ACTIVATE;
    case WM_MOUSEMOVE:
      mouse(MouseAction::move, held_buttons(wparam), wparam, lparam);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      mouse(MouseAction::down, button_of(message), wparam, lparam);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      mouse(MouseAction::up, button_of(message), wparam, lparam);
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (listener_) listener_->window_key_down(static_cast<SHORT>(wparam), key_shift());
      // Alt combinations go on to the container's menu and mnemonic handling.
      if (message == WM_SYSKEYDOWN) break;
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (listener_) listener_->window_focus(message == WM_SETFOCUS);
      return 0;
    case WM_SIZE:
      if (listener_) listener_->window_resized(LOWORD(lparam), HIWORD(lparam));
      return 0;
    case WM_GETOBJECT:
      if (listener_) {
        if (LRESULT answer = listener_->window_get_object(wparam, lparam)) return answer;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

void ControlWindow::mouse(MouseAction action, SHORT button, WPARAM wparam, LPARAM lparam) {
  if (!listener_) return;
  listener_->window_mouse(action, button, mouse_shift(wparam),
                          static_cast<float>(GET_X_LPARAM(lparam)),
                          static_cast<float>(GET_Y_LPARAM(lparam)));
}

}  // namespace framework
