// What the framework tells a control: the notifications of its container
// and its window. A control overrides the ones it handles; the others do
// nothing. The framework catches whatever a hook throws: a failing
// on_init_properties fails InitNew with its error, a failing
// on_write_properties fails the save with its error, and the other failures
// go no further than the notification.
#pragma once

#include <windows.h>

namespace framework {

class PropertyReader;
class PropertyWriter;

class ControlHooks {
 protected:
  virtual ~ControlHooks() = default;

  // A new instance placed in a container (InitNew).
  virtual void on_init_properties() {}
  // A saved instance loaded from a property bag or the framework's stream
  // (IPersistPropertyBag, IPersistStreamInit, IPersistStorage Load), instead
  // of on_init_properties. Loading never fails as a whole: the control skips
  // what it cannot read.
  virtual void on_read_properties(PropertyReader& /*bag*/) {}
  // The container saves the instance (any of the three Save methods, and
  // GetSizeMax, which measures a save). What it throws ends the save.
  virtual void on_write_properties(PropertyWriter& /*bag*/) {}
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
  // WM_GETOBJECT for the control's window: the control's answer (an
  // LresultFromObject value), or 0 to leave it to the platform.
  virtual LRESULT on_get_object(WPARAM /*flags*/, LPARAM /*object_id*/) { return 0; }
};

}  // namespace framework
