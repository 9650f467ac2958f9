#include "typelib_writer.h"

#include <oaidl.h>
#include <ocidl.h>
#include <olectl.h>

#include <array>
#include <set>
#include <stdexcept>
#include <vector>

#include "accessors.h"
#include "com_util.h"
#include "msft_fixups.h"

namespace tlbgen {
namespace {

// stdole2's OLE_COLOR alias.
constexpr GUID kOleColorGuid = {
    0x66504301, 0xBE0F, 0x101A, {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};

// The seven functions of IUnknown and IDispatch precede ours in the vtable.
constexpr UINT kDispatchSlots = 7;

// A TYPEDESC with up to two levels of VT_PTR above its base; the chain
// points into the object itself, so it must not be copied once handed out.
class TypeDesc {
 public:
  TypeDesc() = default;
  TypeDesc(const TypeDesc&) = delete;
  TypeDesc& operator=(const TypeDesc&) = delete;

  // Sets the base (VT_USERDEFINED takes `href`) and adds `pointers` levels.
  void Build(VARTYPE base, HREFTYPE href, int pointers) {
    int top = pointers;
    chain_[top].vt = base;
    if (base == VT_USERDEFINED) chain_[top].hreftype = href;
    for (int level = top - 1; level >= 0; --level) {
      chain_[level].vt = VT_PTR;
      chain_[level].lptdesc = &chain_[level + 1];
    }
  }
  const TYPEDESC& Get() const { return chain_[0]; }

 private:
  std::array<TYPEDESC, 3> chain_{};
};

// A parameter's ELEMDESC with its type chain and default value.
struct ParamStorage {
  TypeDesc type;
  PARAMDESCEX default_value{};
};

class Writer {
 public:
  Writer(const Library& library, SYSKIND syskind, const std::wstring& path)
      : library_(library), path_(path), pointer_size_(syskind == SYS_WIN64 ? 8 : 4) {
    Check(CreateTypeLib2(syskind, path.c_str(), lib_.Put()), "CreateTypeLib2");
    Check(LoadTypeLibEx(L"stdole2.tlb", REGKIND_NONE, stdole_.Put()), "LoadTypeLibEx(stdole2)");
    dispatch_ = StdoleType(IID_IDispatch);
    ole_color_ = StdoleType(kOleColorGuid);
    picture_ = StdoleType(IID_IPictureDisp);
    font_ = StdoleType(IID_IFontDisp);
  }

  void Write() {
    WriteLibraryAttributes();
    // Every type is created first so that any of them can refer to another.
    interface_ = Create(library_.interface_name, TKIND_INTERFACE);
    events_ = Create(library_.events_name, TKIND_DISPATCH);
    control_ = Create(library_.control_name, TKIND_COCLASS);
    for (const PageClass& page : library_.pages) {
      page_interfaces_.push_back(Create(page.interface_name, TKIND_INTERFACE));
      page_classes_.push_back(Create(page.name, TKIND_COCLASS));
    }
    enum_ = Create(library_.enum_name, TKIND_ENUM);

    WriteEnum();
    WriteInterface();
    WriteEvents();
    WriteCoclass(control_.Get(), library_.control_clsid, TYPEFLAG_FCONTROL | TYPEFLAG_FCANCREATE,
                 interface_.Get(), events_.Get());
    for (size_t i = 0; i < library_.pages.size(); ++i) {
      const PageClass& page = library_.pages[i];
      WriteDualInterfaceHead(page_interfaces_[i].Get(), page.iid);
      Check(page_interfaces_[i]->LayOut(), "LayOut(page interface)");
      WriteCoclass(page_classes_[i].Get(), page.clsid, TYPEFLAG_FCANCREATE,
                   page_interfaces_[i].Get(), nullptr);
    }
    Check(lib_->SaveAllChanges(), "SaveAllChanges");
    lib_.Reset();
    FixUpFile();
  }

 private:
  ComPtr<ITypeInfo> StdoleType(REFGUID guid) {
    ComPtr<ITypeInfo> info;
    Check(stdole_->GetTypeInfoOfGuid(guid, info.Put()), "stdole2 GetTypeInfoOfGuid");
    return info;
  }

  void WriteLibraryAttributes() {
    // Every name given to SetName stays in the library's name table; this
    // is how the setter value names get into the file for FixUpFile.
    std::set<std::wstring_view> setter_names;
    for (const Member& member : library_.members) {
      if (!member.setter_param.empty()) setter_names.insert(member.setter_param);
    }
    for (std::wstring_view name : setter_names) {
      Check(lib_->SetName(Bstr(name).Get()), "SetName(setter value)");
    }
    Check(lib_->SetName(Bstr(library_.name).Get()), "SetName");
    Check(lib_->SetDocString(Bstr(library_.help_string).Get()), "SetDocString");
    Check(lib_->SetGuid(library_.libid), "SetGuid(library)");
    Check(lib_->SetVersion(library_.major, library_.minor), "SetVersion");
    Check(lib_->SetLcid(library_.lcid), "SetLcid");
    Check(lib_->SetLibFlags(LIBFLAG_FCONTROL), "SetLibFlags");
  }

  ComPtr<ICreateTypeInfo2> Create(std::wstring_view name, TYPEKIND kind) {
    if (name == library_.interface_name) interface_index_ = created_count_;
    ++created_count_;
    ComPtr<ICreateTypeInfo> created;
    Check(lib_->CreateTypeInfo(Bstr(name).Get(), kind, created.Put()), "CreateTypeInfo");
    return created.As<ICreateTypeInfo2>(IID_ICreateTypeInfo2);
  }

  static HREFTYPE Reference(ICreateTypeInfo2* from, ITypeInfo* to) {
    HREFTYPE href = 0;
    Check(from->AddRefTypeInfo(to, &href), "AddRefTypeInfo");
    return href;
  }

  static HREFTYPE Reference(ICreateTypeInfo2* from, ICreateTypeInfo2* to) {
    ComPtr<ITypeInfo> info;
    Check(to->QueryInterface(IID_ITypeInfo, info.PutVoid()), "QueryInterface(ITypeInfo)");
    return Reference(from, info.Get());
  }

  // Fills `out` with the automation type of `type`, reached through one more
  // pointer when `by_ref`.
  void Describe(ICreateTypeInfo2* owner, Type type, bool by_ref, TypeDesc& out) {
    const int extra = by_ref ? 1 : 0;
    switch (type) {
      case Type::Void:
        out.Build(VT_VOID, 0, extra);
        return;
      case Type::Long:
        out.Build(VT_I4, 0, extra);
        return;
      case Type::Integer:
        out.Build(VT_I2, 0, extra);
        return;
      case Type::Boolean:
        out.Build(VT_BOOL, 0, extra);
        return;
      case Type::Single:
        out.Build(VT_R4, 0, extra);
        return;
      case Type::String:
        out.Build(VT_BSTR, 0, extra);
        return;
      case Type::Variant:
        out.Build(VT_VARIANT, 0, extra);
        return;
      case Type::OleColor:
        out.Build(VT_USERDEFINED, Reference(owner, ole_color_.Get()), extra);
        return;
      case Type::TabAlignment:
        out.Build(VT_USERDEFINED, Reference(owner, enum_.Get()), extra);
        return;
      case Type::Picture:
        out.Build(VT_USERDEFINED, Reference(owner, picture_.Get()), extra + 1);
        return;
      case Type::Font:
        out.Build(VT_USERDEFINED, Reference(owner, font_.Get()), extra + 1);
        return;
    }
  }

  void SetDefault(const Default& value, ParamStorage& storage) {
    storage.default_value.cBytes = sizeof(PARAMDESCEX);
    VARIANT& var = storage.default_value.varDefaultValue;
    VariantInit(&var);
    switch (value.kind) {
      case Default::Kind::None:
        break;
      case Default::Kind::Long:
        V_VT(&var) = VT_I4;
        V_I4(&var) = value.number;
        break;
      case Default::Kind::String:
        // The BSTR is owned by `strings_` and outlives the AddFuncDesc call.
        strings_.emplace_back(value.text);
        V_VT(&var) = VT_BSTR;
        V_BSTR(&var) = strings_.back().Get();
        break;
      case Default::Kind::Nothing:
        // Nothing is stored as defaultvalue(0): Wine reads an object default
        // back only in this form.
        V_VT(&var) = VT_I4;
        V_I4(&var) = 0;
        break;
    }
  }

  // Adds one function with its parameters and names at `index`.
  void AddFunction(ICreateTypeInfo2* owner, UINT index, FUNCDESC desc, std::wstring_view name,
                   const std::vector<AccessorParam>& params, VARTYPE result) {
    std::vector<ParamStorage> storage(params.size());
    std::vector<ELEMDESC> elems(params.size());
    std::vector<Bstr> names;
    names.emplace_back(name);
    for (size_t i = 0; i < params.size(); ++i) {
      Describe(owner, params[i].type, params[i].by_ref, storage[i].type);
      elems[i].tdesc = storage[i].type.Get();
      elems[i].paramdesc.wParamFlags = params[i].flags;
      if (params[i].flags & PARAMFLAG_FHASDEFAULT) {
        SetDefault(params[i].default_value, storage[i]);
        elems[i].paramdesc.pparamdescex = &storage[i].default_value;
      }
      names.emplace_back(params[i].name);
    }
    desc.elemdescFunc.tdesc.vt = result;
    desc.cParams = static_cast<SHORT>(params.size());
    desc.cParamsOpt = 0;
    desc.lprgelemdescParam = elems.empty() ? nullptr : elems.data();
    Check(owner->AddFuncDesc(index, &desc), "AddFuncDesc");

    // ICreateTypeInfo leaves the value of a property setter unnamed.
    if (desc.invkind & (INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF)) names.pop_back();
    std::vector<LPOLESTR> raw;
    for (Bstr& n : names) raw.push_back(n.Get());
    Check(owner->SetFuncAndParamNames(index, raw.data(), static_cast<UINT>(raw.size())),
          "SetFuncAndParamNames");
  }

  // The one-line help string object browsers show for function `index`;
  // every member has one.
  static void SetHelp(ICreateTypeInfo2* owner, UINT index, std::wstring_view help) {
    if (help.empty()) throw std::runtime_error("a member has no help string");
    Check(owner->SetFuncDocString(index, Bstr(help).Get()), "SetFuncDocString");
  }

  void WriteEnum() {
    Check(enum_->SetGuid(library_.enum_guid), "SetGuid(enum)");
    for (UINT i = 0; i < library_.enum_values.size(); ++i) {
      const EnumValue& item = library_.enum_values[i];
      Variant value;
      V_VT(value.Get()) = VT_I4;
      V_I4(value.Get()) = item.value;
      VARDESC desc{};
      desc.memid = static_cast<MEMBERID>(0x40000000 + i);
      desc.lpvarValue = value.Get();
      desc.elemdescVar.tdesc.vt = VT_I4;
      desc.varkind = VAR_CONST;
      Check(enum_->AddVarDesc(i, &desc), "AddVarDesc");
      Check(enum_->SetVarName(i, Bstr(item.name).Get()), "SetVarName");
    }
    Check(enum_->LayOut(), "LayOut(enum)");
  }

  void WriteDualInterfaceHead(ICreateTypeInfo2* info, REFGUID iid) {
    Check(info->SetGuid(iid), "SetGuid(interface)");
    Check(info->SetTypeFlags(TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE |
                             TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE),
          "SetTypeFlags(interface)");
    Check(info->AddImplType(0, Reference(info, dispatch_.Get())), "AddImplType(IDispatch)");
  }

  void WriteInterface() {
    ICreateTypeInfo2* info = interface_.Get();
    WriteDualInterfaceHead(info, library_.interface_iid);
    const std::vector<Accessor> accessors = InterfaceAccessors(library_);
    for (UINT k = 0; k < accessors.size(); ++k) {
      const Accessor& accessor = accessors[k];
      FUNCDESC desc{};
      desc.memid = accessor.member->dispid;
      desc.funckind = FUNC_PUREVIRTUAL;
      desc.invkind = InvokeKind(accessor.invoke);
      desc.callconv = CC_STDCALL;
      // Explicit slot offsets: left to LayOut, Wine counts them on from
      // IDispatch's in-memory vtable, which has 8-byte slots in this 64-bit
      // process even when writing a SYS_WIN32 library.
      desc.oVft = static_cast<SHORT>((kDispatchSlots + k) * pointer_size_);
      if (accessor.member->flags & kHidden) desc.wFuncFlags |= FUNCFLAG_FHIDDEN;
      if (accessor.member->flags & kNonBrowsable) desc.wFuncFlags |= FUNCFLAG_FNONBROWSABLE;
      // Every function of a dual interface returns HRESULT; results travel
      // through the [out,retval] parameter.
      AddFunction(info, k, desc, accessor.member->name, accessor.params, VT_HRESULT);
      SetHelp(info, k, accessor.member->help);
    }
    Check(info->LayOut(), "LayOut(interface)");
  }

  static INVOKEKIND InvokeKind(Invoke invoke) {
    switch (invoke) {
      case Invoke::Get:
        return INVOKE_PROPERTYGET;
      case Invoke::Put:
        return INVOKE_PROPERTYPUT;
      case Invoke::PutRef:
        return INVOKE_PROPERTYPUTREF;
      case Invoke::Func:
        break;
    }
    return INVOKE_FUNC;
  }

  void WriteEvents() {
    ICreateTypeInfo2* info = events_.Get();
    Check(info->SetGuid(library_.events_iid), "SetGuid(events)");
    Check(info->SetTypeFlags(TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE),
          "SetTypeFlags(events)");
    Check(info->AddImplType(0, Reference(info, dispatch_.Get())), "AddImplType(events)");
    for (UINT k = 0; k < library_.events.size(); ++k) {
      const Event& event = library_.events[k];
      FUNCDESC desc{};
      desc.memid = event.dispid;
      desc.funckind = FUNC_DISPATCH;
      desc.invkind = INVOKE_FUNC;
      desc.callconv = CC_STDCALL;
      if (event.ui_default) desc.wFuncFlags = FUNCFLAG_FUIDEFAULT;
      AddFunction(info, k, desc, event.name, EventParams(event), VT_VOID);
      SetHelp(info, k, event.help);
    }
    Check(info->LayOut(), "LayOut(events)");
  }

  void WriteCoclass(ICreateTypeInfo2* info, REFGUID clsid, UINT flags, ICreateTypeInfo2* incoming,
                    ICreateTypeInfo2* source) {
    Check(info->SetGuid(clsid), "SetGuid(coclass)");
    Check(info->AddImplType(0, Reference(info, incoming)), "AddImplType(coclass)");
    Check(info->SetImplTypeFlags(0, IMPLTYPEFLAG_FDEFAULT), "SetImplTypeFlags(default)");
    if (source) {
      Check(info->AddImplType(1, Reference(info, source)), "AddImplType(source)");
      Check(info->SetImplTypeFlags(1, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE),
            "SetImplTypeFlags(source)");
    }
    Check(info->SetTypeFlags(flags), "SetTypeFlags(coclass)");
    Check(info->LayOut(), "LayOut(coclass)");
  }

  // Names the setter values and corrects the sizes Wine gets wrong in the
  // saved file (see msft_fixups.h).
  void FixUpFile() {
    std::vector<SetterValueName> names;
    const std::vector<Accessor> accessors = InterfaceAccessors(library_);
    for (UINT k = 0; k < accessors.size(); ++k) {
      if (accessors[k].invoke == Invoke::Put || accessors[k].invoke == Invoke::PutRef) {
        names.push_back({k, Narrow(accessors[k].member->setter_param)});
      }
    }
    FixUpTypeLibraryFile(path_, interface_index_, names);
  }

  const Library& library_;
  const std::wstring path_;
  const UINT pointer_size_;
  UINT created_count_ = 0;
  UINT interface_index_ = 0;
  ComPtr<ICreateTypeLib2> lib_;
  ComPtr<ITypeLib> stdole_;
  ComPtr<ITypeInfo> dispatch_, ole_color_, picture_, font_;
  ComPtr<ICreateTypeInfo2> interface_, events_, control_, enum_;
  std::vector<ComPtr<ICreateTypeInfo2>> page_interfaces_, page_classes_;
  std::vector<Bstr> strings_;
};

}  // namespace

void WriteTypeLibrary(const Library& library, SYSKIND syskind, const std::wstring& path) {
  Writer(library, syskind, path).Write();
}

}  // namespace tlbgen
