// What the framework tells a control: the notifications of its container
// and its window. A control overrides the ones it handles; the others do
// nothing. The framework catches whatever a hook throws: a failing
// on_init_properties fails InitNew with its error, the other failures go no
// further than the notification.
#pragma once

#include <windows.h>

namespace framework {

class ControlHooks {
 protected:
  virtual ~ControlHooks() = default;

  // A new instance placed in a container (InitNew).
  virtual void on_init_properties() {}
  // The surface changed its size (the window's or the extent's).
  virtual void on_resize() {}
  // button: for a move the buttons held, for down/up the button that changed
  // (1 left, 2 right, 4 middle); shift: 1 Shift, 2 Ctrl, 4 Alt; x, y: pixels
  // of the client area.
  virtual void on_mouse_move(SHORT /*button*/, SHORT /*shift*/, float /*x*/, float /*y*/) {}
  virtual void on_mouse_down(SHORT /*button*/, SHORT /*shift*/, float /*x*/, float /*y*/) {}
  virtual void on_mouse_up(SHORT /*button*/, SHORT /*shift*/, float /*x*/, float /*y*/) {}
  // key: the virtual key code.
  virtual void on_key_down(SHORT /*key*/, SHORT /*shift*/) {}
  // key: the character code of the access key the container routed here.
  virtual void on_access_key(SHORT /*key*/) {}
  virtual void on_got_focus() {}
  virtual void on_lost_focus() {}
};

}  // namespace framework
