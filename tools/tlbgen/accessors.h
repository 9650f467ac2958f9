// Expands the member table into the interface's functions (accessors) in
// vtable order. Both the type library writer and the header writer use this
// one expansion, so the header's vtable and the type library's oVft agree.
#pragma once

#include <vector>

#include "typelib_table.h"

namespace tlbgen {

enum class Invoke { Func, Get, Put, PutRef };

struct AccessorParam {
  std::wstring_view name;
  Type type;
  bool by_ref;   // reached through a pointer: [in,out] or [out,retval]
  USHORT flags;  // PARAMFLAG_*
  Default default_value;
};

struct Accessor {
  const Member* member;
  Invoke invoke;
  std::vector<AccessorParam> params;  // ends with the [out,retval] `value`, if any
};

// The functions of the dual interface after IDispatch's seven, in order.
std::vector<Accessor> InterfaceAccessors(const Library& library);

// The parameters of an event, all [in,out] by reference.
std::vector<AccessorParam> EventParams(const Event& event);

// Name of the result parameter of getters and methods.
inline constexpr std::wstring_view kRetvalName = L"value";

}  // namespace tlbgen
