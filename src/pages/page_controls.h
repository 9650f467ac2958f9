// Small helpers the pages share: statement-by-statement error handling and
// the values of their child windows.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

#include "framework/variant.h"

namespace tessel {

// Runs one step of a handler that ignores its errors: whatever the step
// throws ends the step, and the handler goes on with the next one.
template <class F>
void ignore_errors(F&& step) noexcept {
  try {
    step();
  } catch (...) {
  }
}

// The value as a Long (VariantChangeType); throws ControlError on failure.
LONG variant_to_long(const framework::Variant& value);
VARIANT bool_variant(bool value);

// A check box's value: BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
LRESULT check_value(HWND box);

// Sets the window text unless it already is text. An edit box reports the
// change (EN_CHANGE) before this returns.
void set_text_if_different(HWND window, const std::wstring& text);

// The scroll bar's value and maximum (its minimum stays what it is).
int scroll_value(HWND bar);
void set_scroll_value(HWND bar, int value);
void set_scroll_maximum(HWND bar, int maximum);

}  // namespace tessel
