// The control's window while it is in-place active: a child of the
// container's window that shows the retained surface (WM_PAINT, WM_PRINT,
// WM_PRINTCLIENT copy it; nothing else paints) and reports mouse, keyboard,
// focus and size changes to its listener.
#pragma once

#include <windows.h>

namespace framework {

class Surface;

enum class MouseAction { move, down, up };

class WindowListener {
 public:
  // button: for a move the buttons held, for down/up the button that changed
  // (1 left, 2 right, 4 middle); shift: 1 Shift, 2 Ctrl, 4 Alt; x, y: client
  // pixels.
  virtual void window_mouse(MouseAction action, SHORT button, SHORT shift, float x, float y) = 0;
  virtual void window_key_down(SHORT key, SHORT shift) = 0;
  virtual void window_focus(bool gained) = 0;
  virtual void window_resized(int width, int height) = 0;
  // A click on the window that is about to reach it.
  virtual void window_mouse_activate() = 0;
  // WM_GETOBJECT: the answer, or 0 for the platform's default.
  virtual LRESULT window_get_object(WPARAM flags, LPARAM object_id) = 0;

 protected:
  ~WindowListener() = default;
};

class ControlWindow {
 public:
  ControlWindow(Surface& surface, WindowListener& listener)
      : surface_(surface), listener_(&listener) {}
  ControlWindow(const ControlWindow&) = delete;
  ControlWindow& operator=(const ControlWindow&) = delete;
  ~ControlWindow();

  // Creates the window, hidden, at position (the parent's client pixels).
  // Throws when it cannot be created.
  void create(HWND parent, const RECT& position);
  void show();
  void move(const RECT& position);
  void destroy();
  // Stops all reports (the owner is going away).
  void detach() { listener_ = nullptr; }

  HWND handle() const { return window_; }

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void mouse(MouseAction action, SHORT button, WPARAM wparam, LPARAM lparam);

  Surface& surface_;
  WindowListener* listener_;
  HWND window_ = nullptr;
  bool registered_ = false;  // holds a use of the window class
};

}  // namespace framework
