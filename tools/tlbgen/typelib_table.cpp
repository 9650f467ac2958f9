// The one table of the control's type library: identifiers, members in
// type-library order, DISPIDs, parameter names, types and defaults.
#include "typelib_table.h"

#include <array>

namespace tlbgen {
namespace {

constexpr Member Property(std::wstring_view name, Kind kind, DISPID dispid, Type type,
                          std::wstring_view setter_param, std::wstring_view help,
                          unsigned flags = kNoFlags) {
  return Member{name, kind, dispid, type, false, setter_param, {}, flags, help};
}

constexpr Member IndexedProperty(std::wstring_view name, Kind kind, DISPID dispid, Type type,
                                 std::wstring_view setter_param, std::wstring_view help) {
  return Member{name, kind, dispid, type, true, setter_param, {}, kNoFlags, help};
}

constexpr Member Method(std::wstring_view name, DISPID dispid, Type result,
                        std::span<const Param> params, std::wstring_view help,
                        unsigned flags = kNoFlags) {
  return Member{name, Kind::Method, dispid, result, false, {}, params, flags, help};
}

constexpr Param InOut(std::wstring_view name, Type type) { return Param{name, type, true}; }

constexpr Param InOutOptional(std::wstring_view name, Type type, Default value) {
  return Param{name, type, true, true, value};
}

constexpr std::array kAddRowParams{
    InOutOptional(L"iTabWidth", Type::Long, DefaultLong(60)),
    InOutOptional(L"sTabText", Type::String, DefaultString(L"")),
    InOutOptional(L"pTabPicture", Type::Picture, kDefaultNothing),
};

constexpr std::array kGetPictureSizeParams{
    InOut(L"pPicture", Type::Picture),
    InOut(L"picX", Type::Single),
    InOut(L"picY", Type::Single),
};

constexpr std::array kGetTabAccessKeyParams{
    InOut(L"iKey", Type::Integer),
};

constexpr DISPID kDispidAboutBox = -552;

constexpr std::array kMembers{
    Property(L"HeaderHeight", Kind::GetLet, 0x68030020, Type::Long, L"NewTabHeight",
             L"Height of the strip in pixels; the control takes this height when it paints."),
    Property(L"BackColor", Kind::GetLet, 0x6803001F, Type::OleColor, L"NewBackColor",
             L"Fill behind the columns."),
    Property(L"ForeColor", Kind::GetLet, 0x6803001E, Type::OleColor, L"NewForeColor",
             L"Caption colour of ordinary columns."),
    Property(L"ForeColorActive", Kind::GetLet, 0x6803001D, Type::OleColor, L"NewForeColorActive",
             L"Caption colour of the pressed column."),
    Property(L"BackColorForm", Kind::GetLet, 0x6803001C, Type::OleColor, L"NewBackColorForm",
             L"Fill right of the last column."),
    Property(L"MouseMoveColor0", Kind::GetLet, 0x6803001B, Type::OleColor, L"NewColor",
             L"Stored and saved; not used for painting.", kHidden),
    Property(L"MouseMoveColor1", Kind::GetLet, 0x6803001A, Type::OleColor, L"NewColor",
             L"Stored and saved; not used for painting.", kHidden),
    Property(L"MouseMoveColor2", Kind::GetLet, 0x68030019, Type::OleColor, L"NewColor",
             L"Stored and saved; not used for painting.", kHidden),
    Property(L"RegisterFocusColor0", Kind::LetGet, 0x68030018, Type::OleColor, L"NewColor",
             L"Stored and saved; not used for painting.", kHidden),
    Property(L"RegisterFocusColor1", Kind::LetGet, 0x68030017, Type::OleColor, L"NewColor",
             L"Stored and saved; not used for painting.", kHidden),
    Property(L"RegisterFocusColor2", Kind::LetGet, 0x68030016, Type::OleColor, L"NewColor",
             L"Stored and saved; not used for painting.", kHidden),
    Property(L"FrameColor", Kind::GetLet, 0x68030015, Type::OleColor, L"NewFrameColor",
             L"Colour of the outer frame lines when ShowFrame is True."),
    IndexedProperty(L"RowWidth", Kind::GetLet, 0x68030014, Type::Long, L"NewTabWidth",
                    L"Width of column Index in pixels; the column takes 2 more for its separator."),
    IndexedProperty(L"RowCaption", Kind::GetLet, 0x68030013, Type::String, L"NewTabCaption",
                    L"Caption of column Index; \"&\" marks its access key."),
    IndexedProperty(L"RowSorted", Kind::GetLet, 0x68030012, Type::Boolean, L"NewTabSort",
                    L"True: the next press on column Index reports \"DESC\"."),
    IndexedProperty(L"RowPicture", Kind::GetSet, 0x68030011, Type::Picture, L"NewTabPicture",
                    L"Picture left of the caption; icons are stored as bitmaps on magenta."),
    Property(L"Font", Kind::GetSet, 0x68030010, Type::Font, L"New_Font",
             L"Get returns the font the control draws with; Set copies the attributes of the given "
             L"font."),
    Property(L"FontBold", Kind::GetLet, 0x6803000F, Type::Boolean, L"vNew", L"Bold captions."),
    Property(L"FontItalic", Kind::GetLet, 0x6803000E, Type::Boolean, L"vNew", L"Italic captions."),
    Property(L"FontStrikethru", Kind::GetLet, 0x6803000D, Type::Boolean, L"vNew",
             L"Struck-through captions."),
    Property(L"FontUnderline", Kind::GetLet, 0x6803000C, Type::Boolean, L"vNew",
             L"Underlined captions."),
    Property(L"FontSize", Kind::GetLet, 0x6803000B, Type::Single, L"vNew",
             L"Caption size in points."),
    Property(L"FontName", Kind::GetLet, 0x6803000A, Type::String, L"vNew", L"Caption font name."),
    Property(L"MaskColor", Kind::GetLet, 0x68030009, Type::OleColor, L"NewMaskColor",
             L"Colour of column pictures that stays transparent."),
    Property(L"NumberOfRows", Kind::Get, 0x68030008, Type::Long, {}, L"Number of columns.",
             kNonBrowsable),
    Property(L"Alignment", Kind::GetLet, 0x68030007, Type::TabAlignment, L"NewAlignment",
             L"reg_Top (0) paints the header; any other value paints nothing.", kHidden),
    Property(L"ForeColorHot", Kind::GetLet, 0x68030005, Type::OleColor, L"NewForeColorHot",
             L"Caption colour of the column under the mouse; shows at the next repaint."),
    Property(L"SortedRow", Kind::GetLet, 0x68030004, Type::Long, L"NewSortedTab",
             L"The column that carries the sort marker."),
    Property(L"ShowFrame", Kind::GetLet, 0x68030003, Type::Boolean, L"varNew",
             L"Draws the outer frame."),
    Property(L"ShowSortPic", Kind::GetLet, 0x68030002, Type::Boolean, L"varNew",
             L"Draws the sort marker on SortedRow."),
    Property(L"ColumnWidths", Kind::GetLet, 0x68030001, Type::String, L"NewColumnWidths",
             L"All column widths at once, in twips, separated by \";\"."),
    Property(L"SelectedRow", Kind::GetLet, 0x68030000, Type::Long, L"NewSelectedTab",
             L"The pressed column (0: none)."),
    Method(L"DrawTab", 0x6003002E, Type::Void, {}, L"Repaints the header.", kHidden),
    Method(L"DrawTabTop", 0x6003002F, Type::Void, {}, L"One paint pass of a top-aligned header.",
           kHidden),
    Method(L"AddRow", 0x60030030, Type::Long, kAddRowParams,
           L"Appends a column and returns its index."),
    Method(L"DeleteRow", 0x60030031, Type::Variant, {},
           L"Removes the last column (never the only one); returns Empty."),
    Method(L"GetPictureSize", 0x60030032, Type::Void, kGetPictureSizeParams,
           L"Writes the picture's size in pixels into picX and picY.", kHidden),
    Method(L"SetTabAccessKeys", 0x60030033, Type::Void, {},
           L"Rebuilds the access keys from the captions.", kHidden),
    Method(L"GetTabAccessKey", 0x60030034, Type::Long, kGetTabAccessKeyParams,
           L"Position of the character code iKey among the access keys, or 0.", kHidden),
    Method(L"ShowAboutBox", kDispidAboutBox, Type::Void, {}, L"Shows the about box."),
};

constexpr std::array kRowPressedParams{
    InOut(L"PreviousTab", Type::Integer),
    InOut(L"SortRow", Type::Long),
    InOut(L"Sort", Type::String),
};

constexpr std::array kMouseParams{
    InOut(L"Button", Type::Integer), InOut(L"Shift", Type::Integer), InOut(L"X", Type::Single),
    InOut(L"Y", Type::Single),       InOut(L"SortRow", Type::Long),
};

constexpr std::array kMouseDownParams{
    InOut(L"Button", Type::Integer), InOut(L"Shift", Type::Integer), InOut(L"X", Type::Single),
    InOut(L"Y", Type::Single),       InOut(L"SortRow", Type::Long),  InOut(L"Sort", Type::String),
};

constexpr std::array kEvents{
    Event{L"RowPressed", 1, kRowPressedParams, true,
          L"SelectedRow was set, by a press on a column or by code (also to 0)."},
    Event{L"MouseIn", 2, kMouseParams, false, L"The mouse moves over the control."},
    Event{L"MouseOut", 3, kMouseParams, false, L"The mouse has left the control."},
    Event{L"MouseDown", 4, kMouseDownParams, false,
          L"A press of any mouse button on a column, after RowPressed: SortRow is the pressed "
          L"column, Sort the direction the host should sort in."},
    Event{L"MouseUp", 5, kMouseParams, false,
          L"Every release of a mouse button over the control; SortRow is SortedRow."},
};

constexpr std::array kEnumValues{
    EnumValue{L"reg_Top", 0},
    EnumValue{L"reg_Bottom", 1},
};

constexpr std::array kPages{
    PageClass{L"Register",
              {0x85DE8798, 0xFB3F, 0x458F, {0xAA, 0xF0, 0x5C, 0x11, 0xB6, 0x35, 0x45, 0xC9}},
              L"_Register",
              {0x13B12C5E, 0xCBCE, 0x4D0D, {0x95, 0xF9, 0x4F, 0x59, 0x5F, 0xD4, 0x0C, 0x54}}},
    PageClass{L"Allgemein",
              {0xD9B2F13B, 0xE27C, 0x4284, {0xAB, 0x72, 0xF3, 0xEB, 0x9F, 0xEE, 0x28, 0xF2}},
              L"_Allgemein",
              {0x15FF5711, 0x8BE4, 0x4B52, {0x8F, 0x02, 0x91, 0xF1, 0xC0, 0x90, 0xD5, 0xB8}}},
    PageClass{L"TabsC",
              {0x6D009291, 0x8571, 0x4A84, {0xAC, 0xA8, 0x46, 0x9A, 0xF4, 0x6D, 0xD3, 0x76}},
              L"_TabsC",
              {0x522018FB, 0xCDE3, 0x48E7, {0x98, 0xD3, 0x3D, 0x9C, 0xB7, 0x19, 0xB2, 0x85}}},
};

constexpr Library kLibrary{
    .name = L"QuonTessel",
    .help_string = L"QuonTessel",
    .libid = {0x9EB8290B, 0xAEE2, 0x458F, {0x94, 0xBF, 0xF5, 0xBA, 0x19, 0x49, 0x75, 0x84}},
    .major = 1,
    .minor = 0,
    .lcid = 0x0409,
    .control_name = L"TesselControl",
    .control_clsid = {0xF4722E3F, 0x5CA6, 0x46F0, {0x82, 0xD3, 0xD5, 0xB3, 0x90, 0xD7, 0xC1, 0x99}},
    .interface_name = L"_TesselControl",
    .interface_iid = {0x2F4C7958, 0x4A34, 0x4A52, {0xB4, 0x95, 0x90, 0x8A, 0x68, 0x3E, 0x06, 0xC6}},
    .events_name = L"__TesselControl",
    .events_iid = {0x86C55B5A, 0x8A7E, 0x445C, {0x9D, 0x1E, 0x15, 0xF0, 0x1E, 0x88, 0xB4, 0xE0}},
    .enum_name = L"eTabAlignment",
    .enum_guid = {0xD6DE6F69, 0x2D41, 0x4E8D, {0xBE, 0x16, 0x32, 0x86, 0x40, 0x85, 0x38, 0x6B}},
    .enum_values = kEnumValues,
    .members = kMembers,
    .events = kEvents,
    .pages = kPages,
};

}  // namespace

const Library& TesselLibrary() { return kLibrary; }

}  // namespace tlbgen
