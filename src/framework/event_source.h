// The outgoing side of a control: its event dispinterface and the
// IPropertyNotifySink connection, and the dirty flag that property changes set.
#pragma once

#include <ocidl.h>

#include <initializer_list>
#include <string>

#include "framework/connection_point.h"

namespace framework {

class EventSource {
 public:
  EventSource(IConnectionPointContainer* owner, REFIID events_iid);

  ConnectionPoint& events() { return events_; }
  ConnectionPoint& property_notify() { return property_notify_; }
  ConnectionPoint* find(REFIID iid);

  // Raises an event on every sink, synchronously. args are in declaration
  // order; by-reference arguments point at the caller's storage. A sink that
  // fails does not stop the others and raises nothing to the caller.
  void raise(DISPID id, std::initializer_list<VARIANT> args);

  // PropertyChanged: tells every IPropertyNotifySink that the property with
  // this DISPID changed and marks the object dirty. Every sink hears of it;
  // the first failure a sink returns is the result.
  HRESULT property_changed(DISPID id);

  bool dirty() const { return dirty_; }
  void set_dirty(bool dirty) { dirty_ = dirty; }

  void disconnect_all();

 private:
  ConnectionPoint events_;
  ConnectionPoint property_notify_;
  bool dirty_ = false;
};

// By-reference event arguments pointing at the caller's variables.
VARIANT by_ref(SHORT& value);
VARIANT by_ref(LONG& value);
VARIANT by_ref(float& value);
VARIANT by_ref(BSTR& value);

}  // namespace framework
