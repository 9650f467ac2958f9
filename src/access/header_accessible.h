// The accessible object that screen readers and UI Automation clients reach
// through WM_GETOBJECT: the header's client area, whose children are the
// columns 1..NumberOfRows, each a column header with its caption as the
// user sees it, its access key, its rectangle on the screen, the hot and
// pressed states the painter shows, the sort direction of the sort marker,
// and a default action that presses it.
//
// The objects handed out hold no reference on the control: they reach it
// through a link that the control cuts when it goes, after which every call
// fails with CO_E_OBJNOTCONNECTED.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "control/control_state.h"

namespace tessel::access {

// What the accessible object reads from and asks of its control.
class ColumnSource {
 public:
  virtual ControlState& state() = 0;
  // The control's window, nullptr while it has none.
  virtual HWND window() const = 0;
  // The access key of column i as the container routes it ("" for none).
  virtual std::wstring access_key(LONG column) const = 0;
  // Presses column i as a left click at its centre does.
  virtual void press(LONG column) = 0;

 protected:
  ~ColumnSource() = default;
};

// A caption as the painter shows it with prefix processing: every "&" that
// marks an access key is dropped and "&&" shows one "&".
std::wstring visible_caption(std::wstring_view caption);

// The control's side: answers WM_GETOBJECT and raises the platform's
// accessibility events for what changed. Owned by the control; its
// destruction disconnects every object handed out.
class HeaderAccessibility {
 public:
  explicit HeaderAccessibility(ColumnSource& source);
  HeaderAccessibility(const HeaderAccessibility&) = delete;
  HeaderAccessibility& operator=(const HeaderAccessibility&) = delete;
  ~HeaderAccessibility();

  // The answer to WM_GETOBJECT: a new accessible object for OBJID_CLIENT,
  // 0 (the platform's default) for any other object id.
  LRESULT get_object(WPARAM flags, LPARAM object_id);

  // Column i's caption changed.
  void caption_changed(LONG column);
  // Compares the hot column, the pressed column and the column count with
  // those seen last and raises state change, create, destroy or reorder
  // events for the differences.
  void state_seen();

  struct Link;

 private:
  void notify(DWORD event, LONG child) const;

  std::shared_ptr<Link> link_;
  LONG hot_ = 0;
  LONG pressed_ = 0;
  LONG count_ = 0;
};

}  // namespace tessel::access
