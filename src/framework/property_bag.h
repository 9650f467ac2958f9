// The store a control loads its properties from and saves them to: named
// values, each read with a default for when it is absent and written with a
// default that it need not be stored under. The framework hands the control
// a reader or writer over the container's IPropertyBag, or over its own
// stream format (IPersistStreamInit, IPersistStorage); the control sees no
// difference.
//
// Values are variants. Objects (fonts, pictures) travel as VT_DISPATCH; a
// null VT_DISPATCH is Nothing.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <optional>
#include <string_view>

#include "framework/variant.h"

namespace framework {

class PropertyReader {
 public:
  virtual ~PropertyReader() = default;

  // The value saved under key converted to type `as`, or the default
  // converted the same way when the key is absent (VT_EMPTY converted when
  // there is no default). `as` VT_DISPATCH asks for an object: an object
  // or Nothing passes, anything else is a type mismatch. Throws ControlError
  // when the value cannot be read or does not convert (13 type mismatch,
  // 6 overflow).
  Variant read(std::wstring_view key, VARTYPE as, const Variant* fallback = nullptr);

 protected:
  // The value saved under key as it was saved, or nullopt when there is
  // none. Throws ControlError when the store cannot give it.
  virtual std::optional<Variant> find(std::wstring_view key, VARTYPE as) = 0;
};

class PropertyWriter {
 public:
  virtual ~PropertyWriter() = default;

  // Saves value under key. A value equal to write_default (matches_default)
  // need not be stored; a reader then gets its own default. Throws
  // ControlError when the store fails, which ends the save.
  virtual void write(std::wstring_view key, const Variant& value,
                     const Variant* write_default = nullptr) = 0;
};

// value converted to `as` as PropertyReader::read describes it.
Variant convert_property(const Variant& value, VARTYPE as);

// Whether value equals a write default: objects when they are the same
// object (or both Nothing), other values when the default converts to the
// value's type and compares equal (strings case-sensitively).
bool matches_default(const Variant& value, const Variant& write_default);

}  // namespace framework
