// The platform's own header control (SysHeader32) in a visible frame, for
// the comparison rows: columns, full redraws into a memory DC, mouse moves
// with hot tracking, and its items written to and read back from a property
// bag and a stream (it has no persistence of its own).
#pragma once

#include <windows.h>
#include <ocidl.h>

namespace bench {

class HeaderControl {
 public:
  HeaderControl(HWND parent, int width, int height);
  HeaderControl(const HeaderControl&) = delete;
  HeaderControl& operator=(const HeaderControl&) = delete;
  ~HeaderControl();

  HWND window() const { return window_; }
  int count() const;
  void add(int width, const wchar_t* text);
  void clear();
  // WM_PRINTCLIENT into dc.
  void print(HDC dc);
  // WM_MOUSEMOVE at (x, y), then the repaint it asked for.
  void move(int x, int y);

  // Its items written to and read from a property bag or a stream by hand.
  // The loads append to the items there are (clear() first).
  void save(IPropertyBag* bag) const;
  void load(IPropertyBag* bag);
  void save(IStream* stream) const;
  void load(IStream* stream);

 private:
  static constexpr int kTextLength = 256;
  // Item index's width, and its caption into text.
  int item(int index, wchar_t (&text)[kTextLength]) const;

  HWND window_ = nullptr;
};

}  // namespace bench
