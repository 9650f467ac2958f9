#include "control/property_table.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "control/font_copy.h"
#include "control/tessel_control.h"
#include "framework/bstr.h"

namespace tessel {

using framework::Variant;

namespace {

LONG long_of(const Variant& v) { return V_I4(v.get()); }
bool bool_of(const Variant& v) { return V_BOOL(v.get()) != VARIANT_FALSE; }

// A loaded picture; Nothing stays Nothing, any other object is refused.
framework::ComPtr<IPictureDisp> picture_of(const Variant& v) {
  IDispatch* object = V_DISPATCH(v.get());
  framework::ComPtr<IPictureDisp> picture;
  if (!object) return picture;
  framework::ComPtr<IPicture> check;
  if (FAILED(object->QueryInterface(IID_IPictureDisp, picture.put_void())) ||
      FAILED(object->QueryInterface(IID_IPicture, check.put_void()))) {
    framework::raise_error(framework::error_number::kInvalidPicture);
  }
  return picture;
}

using Kind = SavedDefault::Kind;
constexpr SavedDefault kNone{};
constexpr SavedDefault kCurrent{Kind::Current};
constexpr SavedDefault kNothing{Kind::Nothing};
constexpr SavedDefault kTrue{Kind::Bool, 1};
constexpr SavedDefault Short(LONG n) { return {Kind::Short, n}; }
constexpr SavedDefault Long(LONG n) { return {Kind::Long, n}; }
constexpr SavedDefault Text(const wchar_t* text) { return {Kind::Text, 0, text}; }

}  // namespace

Variant SavedDefault::value() const {
  switch (kind) {
    case Kind::Short:
      return Variant::from_short(static_cast<SHORT>(number));
    case Kind::Long:
      return Variant::from_long(number);
    case Kind::Bool:
      return Variant::from_bool(number != 0);
    case Kind::Text:
      return Variant::from_text(text);
    case Kind::Nothing:
      return Variant::from_dispatch(nullptr);
    case Kind::None:
    case Kind::Current:
      break;
  }
  return Variant();
}

// How each property is loaded and saved: the setters a load runs (which
// announce and repaint) and the fields a save reads. The column properties
// go straight into their records: no setter, no icon conversion, no
// announcement, no repaint.
struct PropertyAccess {
  using ColourSetter = decltype(&TesselControl::put_BackColor);
  using LongSetter = decltype(&TesselControl::put_HeaderHeight);
  using SwitchSetter = decltype(&TesselControl::put_ShowFrame);
  using FlagSetter = void (TesselControl::*)(bool);

  static Variant variant_of(LONG value) { return Variant::from_long(value); }
  static Variant variant_of(OLE_COLOR value) {
    return Variant::from_long(static_cast<LONG>(value));
  }
  static Variant variant_of(bool value) { return Variant::from_bool(value); }
  static Variant variant_of(float value) { return Variant::from_float(value); }
  static Variant variant_of(const std::wstring& value) { return Variant::from_text(value); }

  // A save of an appearance field, or of a field of the control's state.
  template <auto field>
  static Variant save_look(TesselControl& c, LONG) {
    return variant_of(c.s_.look.*field);
  }
  template <auto field>
  static Variant save_state(TesselControl& c, LONG) {
    return variant_of(c.s_.*field);
  }

  template <ColourSetter setter>
  static void load_colour(TesselControl& c, const Variant& v, LONG) {
    (c.*setter)(static_cast<OLE_COLOR>(long_of(v)));
  }
  template <LongSetter setter>
  static void load_long(TesselControl& c, const Variant& v, LONG) {
    (c.*setter)(long_of(v));
  }
  template <SwitchSetter setter>
  static void load_switch(TesselControl& c, const Variant& v, LONG) {
    (c.*setter)(V_BOOL(v.get()));
  }
  template <FlagSetter setter>
  static void load_font_flag(TesselControl& c, const Variant& v, LONG) {
    (c.*setter)(bool_of(v));
  }

  static void load_alignment(TesselControl& c, const Variant& v, LONG) {
    c.put_Alignment(static_cast<eTabAlignment>(long_of(v)));
  }
  static void load_column_count(TesselControl& c, const Variant& v, LONG) {
    const LONG count = long_of(v);
    if (count < 0 || count > kMaxColumnCount) {
      framework::raise_error(framework::error_number::kInvalidPropertyValue);
    }
    c.s_.NumberOfRows = count;
  }
  static void load_font_name(TesselControl& c, const Variant& v, LONG) {
    c.set_font_name(framework::view_of(V_BSTR(v.get())));
  }
  // A saved size the setter would refuse loads as a missing key does.
  static void load_font_size(TesselControl& c, const Variant& v, LONG) {
    const float size = V_R4(v.get());
    c.set_font_size(TesselControl::font_size_refused(size)
                        ? static_cast<float>(property_row(dispid::FontSize).read_default.number)
                        : size);
  }
  // The saved font becomes the drawing font itself, not through Font.
  static void load_font(TesselControl& c, const Variant& v, LONG) {
    IFontDisp* drawing = c.surface().font();
    framework::ComPtr<IFontDisp> loaded;
    if (IDispatch* object = V_DISPATCH(v.get())) {
      object->QueryInterface(IID_IFontDisp, loaded.put_void());
    }
    if (!loaded) framework::raise_error(framework::error_number::kObjectRequired);
    if (loaded.get() != drawing) copy_font_attributes(loaded.get(), drawing);
  }
  static Variant save_font(TesselControl& c, LONG) {
    return Variant::from_dispatch(c.surface().font());
  }
  // Before the columns exist this changes no width (and with a column
  // count above 0 not the string either).
  static void load_column_widths(TesselControl& c, const Variant& v, LONG) {
    c.put_ColumnWidths(V_BSTR(v.get()));
  }

  // A save reaches a record never reached before and creates it; a column
  // that has left the array fails with error 9.
  static void load_row_width(TesselControl& c, const Variant& v, LONG i) {
    c.s_.Tabs(i).RowWidth = long_of(v);
  }
  static Variant save_row_width(TesselControl& c, LONG i) {
    return Variant::from_long(c.s_.Tabs(i).RowWidth);
  }
  static void load_row_caption(TesselControl& c, const Variant& v, LONG i) {
    c.s_.Tabs(i).RowCaption = framework::view_of(V_BSTR(v.get()));
  }
  static Variant save_row_caption(TesselControl& c, LONG i) {
    return Variant::from_text(c.s_.Tabs(i).RowCaption);
  }
  static void load_row_sorted(TesselControl& c, const Variant& v, LONG i) {
    c.s_.Tabs(i).RowSort = bool_of(v);
  }
  static Variant save_row_sorted(TesselControl& c, LONG i) {
    return Variant::from_bool(c.s_.Tabs(i).RowSort);
  }
  // Saved only when there is one: a missing picture is Nothing.
  static void load_row_picture(TesselControl& c, const Variant& v, LONG i) {
    auto picture = picture_of(v);
    c.s_.Tabs(i).set_RowIcon(picture.get());
  }
  static Variant save_row_picture(TesselControl& c, LONG i) {
    return Variant::from_dispatch(c.s_.Tabs(i).RowIcon());
  }

  // The table itself: defined here, where the control's own setters may be named.
  static const std::array<PropertyRow, 32> kTable;
};

namespace {

using A = PropertyAccess;

// A colour: a VT_I4 key under the property's name, edited on the colour page.
template <auto field, A::ColourSetter setter>
constexpr PropertyRow Colour(std::wstring_view name, DISPID id, LONG fallback, int load, int save,
                             bool repaints = true) {
  return {name,
          id,
          name,
          VT_I4,
          false,
          Long(fallback),
          kNone,
          load,
          save,
          &CLSID_StockColorPage,
          true,
          repaints,
          &A::load_colour<setter>,
          &A::save_look<field>};
}

// A font attribute: a VT_BOOL key written only when set.
template <auto field, A::FlagSetter setter>
constexpr PropertyRow FontFlag(std::wstring_view name, DISPID id, int load, int save) {
  return {name,
          id,
          name,
          VT_BOOL,
          false,
          Short(0),
          Short(0),
          load,
          save,
          nullptr,
          true,
          true,
          &A::load_font_flag<setter>,
          &A::save_look<field>};
}

using T = TesselControl;
using Look = Appearance;

// A row that names its property once: name, DISPID, field and setter.
#define TESSEL_COLOUR(Name, ...) \
  Colour<&Look::Name, &T::put_##Name>(L## #Name, dispid::Name, __VA_ARGS__)
#define TESSEL_FONT_FLAG(Name, setter, ...) \
  FontFlag<&Look::Name, &T::setter>(L## #Name, dispid::Name, __VA_ARGS__)

}  // namespace

// clang-format off
const std::array<PropertyRow, 32> PropertyAccess::kTable{
  PropertyRow{L"HeaderHeight", dispid::HeaderHeight, L"HeaderHeight", VT_I4, false, Short(25),
              kNone, 1, 1, &CLSID_Allgemein, true, true, &A::load_long<&T::put_HeaderHeight>,
              &A::save_look<&Look::HeaderHeight>},
  TESSEL_COLOUR(BackColor, 0xFDFAF9, 2, 2),
  TESSEL_COLOUR(ForeColor, 0x80000012, 4, 4),
  TESSEL_COLOUR(ForeColorActive, 0x985038, 5, 5),
  TESSEL_COLOUR(BackColorForm, 0xE0F0F0, 3, 3),
  TESSEL_COLOUR(MouseMoveColor0, 0x2890E8, 12, 15),
  TESSEL_COLOUR(MouseMoveColor1, 0x38D0FF, 13, 16),
  TESSEL_COLOUR(MouseMoveColor2, 0x38C8FF, 14, 17),
  TESSEL_COLOUR(RegisterFocusColor0, 0x2890E8, 17, 18),
  TESSEL_COLOUR(RegisterFocusColor1, 0x38D0FF, 15, 13),
  TESSEL_COLOUR(RegisterFocusColor2, 0x38C8FF, 16, 14),
  TESSEL_COLOUR(FrameColor, 0, 7, 7),
  PropertyRow{L"RowWidth", dispid::RowWidth, L"RowWidth", VT_I4, true, kNone, kNone, 0, 0,
              &CLSID_Register, true, true, &A::load_row_width, &A::save_row_width},
  PropertyRow{L"RowCaption", dispid::RowCaption, L"RowText", VT_BSTR, true, kNone, kNone, 1, 1,
              &CLSID_Register, true, true, &A::load_row_caption, &A::save_row_caption},
  PropertyRow{L"RowSorted", dispid::RowSorted, L"RowSorted", VT_BOOL, true, kNone, kNone, 3, 2,
              nullptr, true, true, &A::load_row_sorted, &A::save_row_sorted},
  PropertyRow{L"RowPicture", dispid::RowPicture, L"RowPicture", VT_DISPATCH, true, kNothing,
              kNothing, 2, 3, &CLSID_Register, true, true, &A::load_row_picture,
              &A::save_row_picture},
  PropertyRow{L"Font", dispid::Font, L"Font", VT_DISPATCH, false, kCurrent, kNone, 25, 11,
              &CLSID_StockFontPage, true, true, &A::load_font, &A::save_font},
  TESSEL_FONT_FLAG(FontBold, set_font_bold, 19, 19),
  TESSEL_FONT_FLAG(FontItalic, set_font_italic, 20, 20),
  TESSEL_FONT_FLAG(FontStrikethru, set_font_strikethru, 21, 23),
  TESSEL_FONT_FLAG(FontUnderline, set_font_underline, 24, 24),
  PropertyRow{L"FontSize", dispid::FontSize, L"FontSize", VT_R4, false, Short(8), Short(8), 23,
              21, nullptr, true, true, &A::load_font_size, &A::save_look<&Look::FontSize>},
  // Always stored: a name left out would read back as the read default, not
  // as the ambient font's name it was compared with.
  PropertyRow{L"FontName", dispid::FontName, L"FontName", VT_BSTR, false, Text(L"MS Sans Serif"),
              kNone, 22, 22, nullptr, true, true, &A::load_font_name,
              &A::save_look<&Look::FontName>},
  TESSEL_COLOUR(MaskColor, 0xFF00FF, 8, 8),
  // Changed by AddRow and DeleteRow.
  PropertyRow{L"NumberOfRows", dispid::NumberOfRows, L"NumberOfTabs", VT_I4, false, Short(0),
              kNone, 11, 12, nullptr, true, true, &A::load_column_count,
              &A::save_state<&ControlState::NumberOfRows>},
  PropertyRow{L"Alignment", dispid::Alignment, L"Alignment", VT_I4, false, kCurrent, kNone, 0, 0,
              &CLSID_Allgemein, true, true, &A::load_alignment, &A::save_look<&Look::Alignment>},
  // The hot column's colour shows at the next repaint that mouse tracking makes.
  TESSEL_COLOUR(ForeColorHot, 0xFF0000, 6, 6, false),
  PropertyRow{L"SortedRow", dispid::SortedRow, L"SortedRow", VT_I4, false, Short(1), kNone, 10,
              10, nullptr, true, true, &A::load_long<&T::put_SortedRow>,
              &A::save_state<&ControlState::SortedRow>},
  PropertyRow{L"ShowFrame", dispid::ShowFrame, L"ShowFrame", VT_BOOL, false, kTrue, kTrue, 18, 25,
              nullptr, true, true, &A::load_switch<&T::put_ShowFrame>,
              &A::save_look<&Look::ShowFrame>},
  PropertyRow{L"ShowSortPic", dispid::ShowSortPic, L"ShowSortPic", VT_BOOL, false, kTrue, kTrue,
              27, 27, nullptr, true, true, &A::load_switch<&T::put_ShowSortPic>,
              &A::save_look<&Look::ShowSortPic>},
  PropertyRow{L"ColumnWidths", dispid::ColumnWidths, L"ColumnWidths", VT_BSTR, false, Short(900),
              Short(900), 26, 26, &CLSID_Allgemein, true, true, &A::load_column_widths,
              &A::save_state<&ControlState::ColumnWidths>},
  // Loaded before the columns: any stored selection above 0 is ignored.
  PropertyRow{L"SelectedRow", dispid::SelectedRow, L"SelectedRow", VT_I4, false, Short(1), kNone,
              9, 9, nullptr, true, true, &A::load_long<&T::put_SelectedRow>,
              &A::save_state<&ControlState::SelectedRow>},
};
// clang-format on
#undef TESSEL_COLOUR
#undef TESSEL_FONT_FLAG

namespace {

constexpr auto& kTable = PropertyAccess::kTable;

std::vector<const PropertyRow*> sequence(bool per_column, int PropertyRow::*order) {
  std::vector<const PropertyRow*> rows;
  for (const PropertyRow& row : kTable) {
    if (row.per_column == per_column) rows.push_back(&row);
  }
  std::sort(rows.begin(), rows.end(),
            [&](const PropertyRow* a, const PropertyRow* b) { return a->*order < b->*order; });
  return rows;
}

}  // namespace

std::span<const PropertyRow> property_table() { return kTable; }

const PropertyRow& property_row(DISPID id) {
  for (const PropertyRow& row : kTable) {
    if (row.dispid == id) return row;
  }
  // Only the control's own properties are asked for.
  std::abort();
}

std::span<const PropertyRow* const> load_sequence(bool per_column) {
  static const std::vector<const PropertyRow*> control = sequence(false, &PropertyRow::load_order);
  static const std::vector<const PropertyRow*> column = sequence(true, &PropertyRow::load_order);
  return per_column ? column : control;
}

std::span<const PropertyRow* const> save_sequence(bool per_column) {
  static const std::vector<const PropertyRow*> control = sequence(false, &PropertyRow::save_order);
  static const std::vector<const PropertyRow*> column = sequence(true, &PropertyRow::save_order);
  return per_column ? column : control;
}

}  // namespace tessel
