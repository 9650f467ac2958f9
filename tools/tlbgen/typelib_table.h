// The control's type library as data: one table that both the type library
// writer and the C++ header writer read, so the two can never disagree.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <span>
#include <string_view>

namespace tlbgen {

// Automation types that appear in the interface.
enum class Type {
  Void,          // no result
  Long,          // VT_I4
  Integer,       // VT_I2
  Boolean,       // VT_BOOL
  Single,        // VT_R4
  String,        // VT_BSTR
  Variant,       // VT_VARIANT
  OleColor,      // stdole2's OLE_COLOR alias
  Picture,       // stdole2's IPictureDisp*
  Font,          // stdole2's IFontDisp*
  TabAlignment,  // our own enumeration
};

// Member kinds as the member table lists them; the order of the accessors in
// the interface follows the kind (LetGet lists the propput first).
enum class Kind {
  GetLet,  // propget, then propput
  LetGet,  // propput, then propget
  GetSet,  // propget, then propputref
  Get,     // propget only
  Method,  // plain function
};

enum MemberFlag : unsigned {
  kNoFlags = 0,
  kHidden = 1u << 0,        // FUNCFLAG_FHIDDEN on every accessor
  kNonBrowsable = 1u << 1,  // FUNCFLAG_FNONBROWSABLE on every accessor
};

// Default value of an optional parameter.
struct Default {
  enum class Kind { None, Long, String, Nothing } kind = Kind::None;
  LONG number = 0;
  std::wstring_view text = {};
};

inline constexpr Default kNoDefault{};
inline constexpr Default DefaultLong(LONG n) { return {Default::Kind::Long, n, {}}; }
inline constexpr Default DefaultString(std::wstring_view s) {
  return {Default::Kind::String, 0, s};
}
inline constexpr Default kDefaultNothing{Default::Kind::Nothing, 0, {}};

// A parameter of a method or an event. By-reference parameters are
// [in,out]; an optional one carries its default.
struct Param {
  std::wstring_view name;
  Type type;
  bool by_ref = false;
  bool optional = false;
  Default default_value = kNoDefault;
};

struct Member {
  std::wstring_view name;
  Kind kind;
  DISPID dispid;
  Type type;                       // property type, or the method's result
  bool indexed = false;            // takes `Index` (Long) before the value
  std::wstring_view setter_param;  // name of the propput/propputref value
  std::span<const Param> params;   // method parameters (before the result)
  unsigned flags = kNoFlags;
  // One line for object browsers and code completion: the first sentence
  // of the member's row in docs/reference.md, without the backticks.
  std::wstring_view help = {};
};

struct Event {
  std::wstring_view name;
  DISPID dispid;
  std::span<const Param> params;  // all passed by reference
  bool ui_default = false;        // FUNCFLAG_FUIDEFAULT
  std::wstring_view help = {};    // as Member::help
};

struct EnumValue {
  std::wstring_view name;
  LONG value;
};

// A property page class with its member-less dual interface.
struct PageClass {
  std::wstring_view name;
  GUID clsid;
  std::wstring_view interface_name;
  GUID iid;
};

struct Library {
  std::wstring_view name;
  std::wstring_view help_string;
  GUID libid;
  WORD major;
  WORD minor;
  LCID lcid;

  std::wstring_view control_name;
  GUID control_clsid;
  std::wstring_view interface_name;
  GUID interface_iid;
  std::wstring_view events_name;
  GUID events_iid;

  std::wstring_view enum_name;
  GUID enum_guid;
  std::span<const EnumValue> enum_values;

  std::span<const Member> members;
  std::span<const Event> events;
  std::span<const PageClass> pages;
};

// The control's type library.
const Library& TesselLibrary();

}  // namespace tlbgen
