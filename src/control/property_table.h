// The control's properties, each described once: its name and DISPID (from
// the type library's generated header), its saved key, type and defaults,
// its place in the saved format, its property page, whether its setter
// announces and repaints, and how a load applies a saved value and a save
// takes it. Saving, loading, property notifications and the property-page
// map all read this table.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <span>
#include <string_view>

#include "framework/variant.h"

namespace tessel {

class TesselControl;

// The platform's standard font and colour pages (msstkppg.h).
inline constexpr CLSID CLSID_StockFontPage = {
    0x7ebdaae0, 0x8120, 0x11cf, {0x89, 0x9f, 0x00, 0xaa, 0x00, 0x68, 0x8b, 0x10}};
inline constexpr CLSID CLSID_StockColorPage = {
    0x7ebdaae1, 0x8120, 0x11cf, {0x89, 0x9f, 0x00, 0xaa, 0x00, 0x68, 0x8b, 0x10}};

// A default of the saved format: the value a load falls back on when the
// key is missing, or the value a save leaves out.
struct SavedDefault {
  enum class Kind : unsigned char {
    None,     // load: a missing key fails the step; save: always written
    Short,    // VT_I2 number
    Long,     // VT_I4 number (colours)
    Bool,     // VT_BOOL, true when number is not 0
    Text,     // VT_BSTR text
    Nothing,  // VT_DISPATCH, no object
    Current,  // load: what the control holds now (the value a save would write)
  };
  Kind kind = Kind::None;
  LONG number = 0;
  const wchar_t* text = nullptr;

  // The default as a variant; Current and None give an empty one.
  framework::Variant value() const;
};

struct PropertyRow {
  std::wstring_view name;  // as in the type library
  DISPID dispid;
  std::wstring_view key;  // saved key; for a column property followed by the column's number
  VARTYPE saved_type;     // the type a load asks the bag for
  bool per_column;        // saved once for each column, after the control-level keys
  SavedDefault read_default;
  SavedDefault write_default;
  // Positions in the saved format, counted apart for the control-level keys
  // and for each column's keys: loads and saves run in these orders.
  int load_order;
  int save_order;
  const CLSID* page;  // the page that edits it; nullptr: none
  bool notifies;      // its setter tells the property notification sinks
  bool repaints;      // its setter repaints the header
  // Applies a loaded value (column: the column's number, else 0).
  void (*load)(TesselControl& control, const framework::Variant& value, LONG column);
  // The value a save writes.
  framework::Variant (*save)(TesselControl& control, LONG column);
};

// Every property, in the type library's order.
std::span<const PropertyRow> property_table();

// The row of a DISPID; every property of the control has one.
const PropertyRow& property_row(DISPID id);

// The saved keys in the order a load reads them (control-level or per column).
std::span<const PropertyRow* const> load_sequence(bool per_column);
std::span<const PropertyRow* const> save_sequence(bool per_column);

}  // namespace tessel
