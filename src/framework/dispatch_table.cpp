#include "framework/dispatch_table.h"

#include <map>
#include <mutex>

#include "framework/error.h"
#include "framework/type_library.h"

namespace framework {

namespace {

struct TypeAttr {
  ITypeInfo* info;
  TYPEATTR* attr = nullptr;
  explicit TypeAttr(ITypeInfo* i) : info(i) { check_hr(info->GetTypeAttr(&attr)); }
  ~TypeAttr() { info->ReleaseTypeAttr(attr); }
  TypeAttr(const TypeAttr&) = delete;
  TypeAttr& operator=(const TypeAttr&) = delete;
};

struct FuncDesc {
  ITypeInfo* info;
  FUNCDESC* desc = nullptr;
  FuncDesc(ITypeInfo* i, UINT index) : info(i) { check_hr(info->GetFuncDesc(index, &desc)); }
  ~FuncDesc() { info->ReleaseFuncDesc(desc); }
  FuncDesc(const FuncDesc&) = delete;
  FuncDesc& operator=(const FuncDesc&) = delete;
};

ParamType resolve_user_type(ITypeInfo* owner, HREFTYPE ref) {
  ComPtr<ITypeInfo> info;
  check_hr(owner->GetRefTypeInfo(ref, info.put()));
  TypeAttr attr(info.get());
  switch (attr.attr->typekind) {
    case TKIND_ALIAS:
      return resolve_param_type(info.get(), attr.attr->tdescAlias);
    case TKIND_ENUM:
      return ParamType{VT_I4};
    case TKIND_DISPATCH:
      return ParamType{VT_DISPATCH, false, true, attr.attr->guid};
    case TKIND_INTERFACE:
    case TKIND_COCLASS: {
      bool dispatch = (attr.attr->wTypeFlags & TYPEFLAG_FDISPATCHABLE) != 0;
      return ParamType{static_cast<VARTYPE>(dispatch ? VT_DISPATCH : VT_UNKNOWN), false, true,
                       attr.attr->guid};
    }
    default:
      return ParamType{VT_I4};
  }
}

}  // namespace

ParamType resolve_param_type(ITypeInfo* owner, const TYPEDESC& desc) {
  switch (desc.vt) {
    case VT_PTR: {
      ParamType inner = resolve_param_type(owner, *desc.lptdesc);
      // The first pointer level of an interface type is the interface
      // pointer itself; any other pointer makes the parameter by-reference.
      if (desc.lptdesc->vt == VT_USERDEFINED && inner.is_object) return inner;
      inner.by_ref = true;
      return inner;
    }
    case VT_USERDEFINED:
      return resolve_user_type(owner, desc.hreftype);
    case VT_DISPATCH:
      return ParamType{VT_DISPATCH, false, true, IID_IDispatch};
    case VT_UNKNOWN:
      return ParamType{VT_UNKNOWN, false, true, IID_IUnknown};
    case VT_INT:
      return ParamType{VT_I4};
    case VT_UINT:
      return ParamType{VT_UI4};
    default:
      return ParamType{desc.vt};
  }
}

std::shared_ptr<const DispatchTable> DispatchTable::for_interface(REFIID iid) {
  static std::mutex mutex;
  static std::map<IID, std::weak_ptr<const DispatchTable>, bool (*)(const IID&, const IID&)> tables(
      [](const IID& a, const IID& b) { return memcmp(&a, &b, sizeof(IID)) < 0; });
  std::lock_guard lock(mutex);
  auto& slot = tables[iid];
  if (auto existing = slot.lock()) return existing;
  std::shared_ptr<const DispatchTable> table(new DispatchTable(iid));
  slot = table;
  return table;
}

DispatchTable::DispatchTable(REFIID iid) {
  dispatch_info_ = module_type_info(iid);
  // A dual interface's dispatch view refers to its vtable view, whose
  // function descriptions carry the vtable offsets.
  ComPtr<ITypeInfo> vtable_info = dispatch_info_;
  HREFTYPE ref = 0;
  if (SUCCEEDED(dispatch_info_->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref))) {
    check_hr(dispatch_info_->GetRefTypeInfo(ref, vtable_info.put()));
  }
  TypeAttr attr(vtable_info.get());
  for (UINT i = 0; i < attr.attr->cFuncs; ++i) {
    FuncDesc func(vtable_info.get(), i);
    const FUNCDESC& fd = *func.desc;
    MemberSpec member;
    member.id = fd.memid;
    member.kind = fd.invkind;
    member.vtable_offset = fd.oVft;
    for (SHORT p = 0; p < fd.cParams; ++p) {
      const ELEMDESC& element = fd.lprgelemdescParam[p];
      const PARAMDESC& pd = element.paramdesc;
      ParamType type = resolve_param_type(vtable_info.get(), element.tdesc);
      if (pd.wParamFlags & PARAMFLAG_FRETVAL) {
        type.by_ref = false;
        member.retval = type;
        continue;
      }
      ParamSpec spec;
      spec.type = type;
      spec.flags = pd.wParamFlags;
      if ((pd.wParamFlags & PARAMFLAG_FHASDEFAULT) && pd.pparamdescex) {
        spec.default_value = Variant(pd.pparamdescex->varDefaultValue);
      }
      member.params.push_back(std::move(spec));
    }
    members_.push_back(std::move(member));
  }
}

const MemberSpec* DispatchTable::find_kind(DISPID id, INVOKEKIND kind) const {
  for (const auto& member : members_) {
    if (member.id == id && member.kind == kind) return &member;
  }
  return nullptr;
}

const MemberSpec* DispatchTable::find(DISPID id, WORD flags) const {
  // Scripts pass DISPATCH_METHOD | DISPATCH_PROPERTYGET for both; a method
  // wins. An assignment to an object property reaches its putref accessor
  // with or without "Set", and "Set" on a value property reaches its put.
  if (flags & DISPATCH_PROPERTYPUTREF) {
    if (auto* m = find_kind(id, INVOKE_PROPERTYPUTREF)) return m;
    return find_kind(id, INVOKE_PROPERTYPUT);
  }
  if (flags & DISPATCH_PROPERTYPUT) {
    if (auto* m = find_kind(id, INVOKE_PROPERTYPUT)) return m;
    return find_kind(id, INVOKE_PROPERTYPUTREF);
  }
  if (flags & DISPATCH_METHOD) {
    if (auto* m = find_kind(id, INVOKE_FUNC)) return m;
  }
  if (flags & DISPATCH_PROPERTYGET) return find_kind(id, INVOKE_PROPERTYGET);
  return nullptr;
}

}  // namespace framework
