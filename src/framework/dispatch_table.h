// Members of a dual interface as its type library describes them, prepared
// once per interface for IDispatch::Invoke: DISPID, invoke kind, vtable
// offset, and for each parameter its resolved type, flags and default.
#pragma once

#include <oaidl.h>

#include <memory>
#include <optional>
#include <vector>

#include "framework/com_ptr.h"
#include "framework/variant.h"

namespace framework {

struct ParamType {
  VARTYPE vt = VT_EMPTY;  // VT_DISPATCH or VT_UNKNOWN for interface pointers
  bool by_ref = false;
  bool is_object = false;
  IID iid = GUID_NULL;  // the interface an object parameter must have
};

struct ParamSpec {
  ParamType type;
  USHORT flags = 0;  // PARAMFLAG_*
  std::optional<Variant> default_value;
  bool optional() const { return (flags & PARAMFLAG_FOPT) != 0; }
};

struct MemberSpec {
  MEMBERID id = DISPID_UNKNOWN;
  INVOKEKIND kind = INVOKE_FUNC;
  SHORT vtable_offset = 0;
  std::vector<ParamSpec> params;  // declared parameters, [retval] excluded
  std::optional<ParamType> retval;
};

class DispatchTable {
 public:
  // The table for a dual interface of the module's type library, built on
  // first use and shared afterwards.
  static std::shared_ptr<const DispatchTable> for_interface(REFIID iid);

  // The member an Invoke with these flags reaches, or nullptr.
  const MemberSpec* find(DISPID id, WORD flags) const;

  ITypeInfo* dispatch_info() const { return dispatch_info_.get(); }

 private:
  explicit DispatchTable(REFIID iid);
  const MemberSpec* find_kind(DISPID id, INVOKEKIND kind) const;

  ComPtr<ITypeInfo> dispatch_info_;
  std::vector<MemberSpec> members_;
};

// Resolves a type description (pointers, aliases, enumerations, interfaces)
// to what Invoke converts arguments to.
ParamType resolve_param_type(ITypeInfo* owner, const TYPEDESC& desc);

}  // namespace framework
