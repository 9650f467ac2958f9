// Reads the control's type library back and checks it against the published
// interface: library attributes, classes, the dual interface in both views,
// the events, the enumeration and the page classes. Expected values are
// written out here, independent of the generator's table.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "component/typelib_path.h"
#include "tessel_interfaces.h"

namespace {

// ---------------------------------------------------------------------------
// Owners for what the type library hands out.

template <class T>
class Ref {
 public:
  Ref() = default;
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  Ref(Ref&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ~Ref() {
    if (p_) p_->Release();
  }
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  T** put() {
    if (p_) std::exchange(p_, nullptr)->Release();
    return &p_;
  }

 private:
  T* p_ = nullptr;
};

class Bstr {
 public:
  Bstr() = default;
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(s_); }
  BSTR* put() { return &s_; }
  std::wstring str() const { return s_ ? std::wstring(s_, SysStringLen(s_)) : std::wstring(); }

 private:
  BSTR s_ = nullptr;
};

class TypeAttr {
 public:
  explicit TypeAttr(ITypeInfo* info) : info_(info) { EXPECT_EQ(S_OK, info_->GetTypeAttr(&attr_)); }
  TypeAttr(const TypeAttr&) = delete;
  TypeAttr& operator=(const TypeAttr&) = delete;
  ~TypeAttr() {
    if (attr_) info_->ReleaseTypeAttr(attr_);
  }
  const TYPEATTR* operator->() const { return attr_; }

 private:
  ITypeInfo* info_;
  TYPEATTR* attr_ = nullptr;
};

class FuncDesc {
 public:
  FuncDesc(ITypeInfo* info, UINT index) : info_(info) { hr_ = info_->GetFuncDesc(index, &desc_); }
  FuncDesc(const FuncDesc&) = delete;
  FuncDesc& operator=(const FuncDesc&) = delete;
  ~FuncDesc() {
    if (desc_) info_->ReleaseFuncDesc(desc_);
  }
  HRESULT hr() const { return hr_; }
  const FUNCDESC* operator->() const { return desc_; }

 private:
  ITypeInfo* info_;
  FUNCDESC* desc_ = nullptr;
  HRESULT hr_;
};

class VarDesc {
 public:
  VarDesc(ITypeInfo* info, UINT index) : info_(info) {
    EXPECT_EQ(S_OK, info_->GetVarDesc(index, &desc_));
  }
  VarDesc(const VarDesc&) = delete;
  VarDesc& operator=(const VarDesc&) = delete;
  ~VarDesc() {
    if (desc_) info_->ReleaseVarDesc(desc_);
  }
  const VARDESC* operator->() const { return desc_; }

 private:
  ITypeInfo* info_;
  VARDESC* desc_ = nullptr;
};

class ComApartment {
 public:
  ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() { CoUninitialize(); }
};

GUID Guid(const wchar_t* text) {
  GUID guid{};
  EXPECT_EQ(S_OK, IIDFromString(text, &guid)) << text;
  return guid;
}

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

std::wstring Name(ITypeInfo* info, MEMBERID id = MEMBERID_NIL) {
  Bstr name;
  EXPECT_EQ(S_OK, info->GetDocumentation(id, name.put(), nullptr, nullptr, nullptr));
  return name.str();
}

const size_t kPointer = sizeof(void*);

// ---------------------------------------------------------------------------
// The published identifiers.

const wchar_t kLibId[] = L"{9EB8290B-AEE2-458F-94BF-F5BA19497584}";
const wchar_t kControlClsid[] = L"{F4722E3F-5CA6-46F0-82D3-D5B390D7C199}";
const wchar_t kInterfaceIid[] = L"{2F4C7958-4A34-4A52-B495-908A683E06C6}";
const wchar_t kEventsIid[] = L"{86C55B5A-8A7E-445C-9D1E-15F01E88B4E0}";
const wchar_t kEnumGuid[] = L"{D6DE6F69-2D41-4E8D-BE16-32864085386B}";
const wchar_t kStdOleLibId[] = L"{00020430-0000-0000-C000-000000000046}";
const wchar_t kOleColorGuid[] = L"{66504301-BE0F-101A-8BBB-00AA00300CAB}";
const wchar_t kPictureDispIid[] = L"{7BF80981-BF32-101A-8BBB-00AA00300CAB}";
const wchar_t kFontDispIid[] = L"{BEF6E003-A874-101A-8BBA-00AA00300CAB}";

struct PageClass {
  const wchar_t* name;
  const wchar_t* clsid;
  const wchar_t* interface_name;
  const wchar_t* iid;
};

const PageClass kPages[] = {
    {L"Register", L"{85DE8798-FB3F-458F-AAF0-5C11B63545C9}", L"_Register",
     L"{13B12C5E-CBCE-4D0D-95F9-4F595FD40C54}"},
    {L"Allgemein", L"{D9B2F13B-E27C-4284-AB72-F3EB9FEE28F2}", L"_Allgemein",
     L"{15FF5711-8BE4-4B52-8F02-91F1C090D5B8}"},
    {L"TabsC", L"{6D009291-8571-4A84-ACA8-469AF46DD376}", L"_TabsC",
     L"{522018FB-CDE3-48E7-98D3-3D9CB719B285}"},
};

// ---------------------------------------------------------------------------
// The dual interface's functions in vtable order (after IDispatch's seven),
// as the interface view shows them. Types: automation type names with one
// '*' per VT_PTR; defaults as "<VT>:<value>".

constexpr USHORT kIn = PARAMFLAG_FIN;
constexpr USHORT kRetval = PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;
constexpr USHORT kInOut = PARAMFLAG_FIN | PARAMFLAG_FOUT;
constexpr USHORT kInOutOptional = kInOut | PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT;
constexpr WORD kHidden = FUNCFLAG_FHIDDEN;

struct Param {
  std::wstring name;
  std::string type;
  USHORT flags;
  std::string default_value = {};
};

struct Function {
  std::wstring name;
  MEMBERID id;
  INVOKEKIND kind;
  WORD flags;
  std::vector<Param> params;
};

Function Get(const wchar_t* name, MEMBERID id, const char* type, WORD flags = 0) {
  return {name, id, INVOKE_PROPERTYGET, flags, {{L"value", type, kRetval}}};
}
Function Let(const wchar_t* name, MEMBERID id, const wchar_t* param, const char* type,
             WORD flags = 0) {
  return {name, id, INVOKE_PROPERTYPUT, flags, {{param, type, kIn}}};
}
Function IndexedGet(const wchar_t* name, MEMBERID id, const char* type) {
  return {name, id, INVOKE_PROPERTYGET, 0, {{L"Index", "I4", kIn}, {L"value", type, kRetval}}};
}
Function IndexedPut(const wchar_t* name, MEMBERID id, INVOKEKIND kind, const wchar_t* param,
                    const char* type) {
  return {name, id, kind, 0, {{L"Index", "I4", kIn}, {param, type, kIn}}};
}

const std::vector<Function>& InterfaceFunctions() {
  static const std::vector<Function> functions = {
      /* 0 */ Get(L"HeaderHeight", 0x68030020, "I4*"),
      /* 1 */ Let(L"HeaderHeight", 0x68030020, L"NewTabHeight", "I4"),
      /* 2 */ Get(L"BackColor", 0x6803001F, "OLE_COLOR*"),
      /* 3 */ Let(L"BackColor", 0x6803001F, L"NewBackColor", "OLE_COLOR"),
      /* 4 */ Get(L"ForeColor", 0x6803001E, "OLE_COLOR*"),
      /* 5 */ Let(L"ForeColor", 0x6803001E, L"NewForeColor", "OLE_COLOR"),
      /* 6 */ Get(L"ForeColorActive", 0x6803001D, "OLE_COLOR*"),
      /* 7 */ Let(L"ForeColorActive", 0x6803001D, L"NewForeColorActive", "OLE_COLOR"),
      /* 8 */ Get(L"BackColorForm", 0x6803001C, "OLE_COLOR*"),
      /* 9 */ Let(L"BackColorForm", 0x6803001C, L"NewBackColorForm", "OLE_COLOR"),
      /* 10 */ Get(L"MouseMoveColor0", 0x6803001B, "OLE_COLOR*", kHidden),
      /* 11 */ Let(L"MouseMoveColor0", 0x6803001B, L"NewColor", "OLE_COLOR", kHidden),
      /* 12 */ Get(L"MouseMoveColor1", 0x6803001A, "OLE_COLOR*", kHidden),
      /* 13 */ Let(L"MouseMoveColor1", 0x6803001A, L"NewColor", "OLE_COLOR", kHidden),
      /* 14 */ Get(L"MouseMoveColor2", 0x68030019, "OLE_COLOR*", kHidden),
      /* 15 */ Let(L"MouseMoveColor2", 0x68030019, L"NewColor", "OLE_COLOR", kHidden),
      /* 16 */ Let(L"RegisterFocusColor0", 0x68030018, L"NewColor", "OLE_COLOR", kHidden),
      /* 17 */ Get(L"RegisterFocusColor0", 0x68030018, "OLE_COLOR*", kHidden),
      /* 18 */ Let(L"RegisterFocusColor1", 0x68030017, L"NewColor", "OLE_COLOR", kHidden),
      /* 19 */ Get(L"RegisterFocusColor1", 0x68030017, "OLE_COLOR*", kHidden),
      /* 20 */ Let(L"RegisterFocusColor2", 0x68030016, L"NewColor", "OLE_COLOR", kHidden),
      /* 21 */ Get(L"RegisterFocusColor2", 0x68030016, "OLE_COLOR*", kHidden),
      /* 22 */ Get(L"FrameColor", 0x68030015, "OLE_COLOR*"),
      /* 23 */ Let(L"FrameColor", 0x68030015, L"NewFrameColor", "OLE_COLOR"),
      /* 24 */ IndexedGet(L"RowWidth", 0x68030014, "I4*"),
      /* 25 */ IndexedPut(L"RowWidth", 0x68030014, INVOKE_PROPERTYPUT, L"NewTabWidth", "I4"),
      /* 26 */ IndexedGet(L"RowCaption", 0x68030013, "BSTR*"),
      /* 27 */ IndexedPut(L"RowCaption", 0x68030013, INVOKE_PROPERTYPUT, L"NewTabCaption", "BSTR"),
      /* 28 */ IndexedGet(L"RowSorted", 0x68030012, "BOOL*"),
      /* 29 */ IndexedPut(L"RowSorted", 0x68030012, INVOKE_PROPERTYPUT, L"NewTabSort", "BOOL"),
      /* 30 */ IndexedGet(L"RowPicture", 0x68030011, "IPictureDisp**"),
      /* 31 */
      IndexedPut(L"RowPicture", 0x68030011, INVOKE_PROPERTYPUTREF, L"NewTabPicture",
                 "IPictureDisp*"),
      /* 32 */ Get(L"Font", 0x68030010, "IFontDisp**"),
      /* 33 */ {L"Font", 0x68030010, INVOKE_PROPERTYPUTREF, 0, {{L"New_Font", "IFontDisp*", kIn}}},
      /* 34 */ Get(L"FontBold", 0x6803000F, "BOOL*"),
      /* 35 */ Let(L"FontBold", 0x6803000F, L"vNew", "BOOL"),
      /* 36 */ Get(L"FontItalic", 0x6803000E, "BOOL*"),
      /* 37 */ Let(L"FontItalic", 0x6803000E, L"vNew", "BOOL"),
      /* 38 */ Get(L"FontStrikethru", 0x6803000D, "BOOL*"),
      /* 39 */ Let(L"FontStrikethru", 0x6803000D, L"vNew", "BOOL"),
      /* 40 */ Get(L"FontUnderline", 0x6803000C, "BOOL*"),
      /* 41 */ Let(L"FontUnderline", 0x6803000C, L"vNew", "BOOL"),
      /* 42 */ Get(L"FontSize", 0x6803000B, "R4*"),
      /* 43 */ Let(L"FontSize", 0x6803000B, L"vNew", "R4"),
      /* 44 */ Get(L"FontName", 0x6803000A, "BSTR*"),
      /* 45 */ Let(L"FontName", 0x6803000A, L"vNew", "BSTR"),
      /* 46 */ Get(L"MaskColor", 0x68030009, "OLE_COLOR*"),
      /* 47 */ Let(L"MaskColor", 0x68030009, L"NewMaskColor", "OLE_COLOR"),
      /* 48 */ Get(L"NumberOfRows", 0x68030008, "I4*", FUNCFLAG_FNONBROWSABLE),
      /* 49 */ Get(L"Alignment", 0x68030007, "eTabAlignment*", kHidden),
      /* 50 */ Let(L"Alignment", 0x68030007, L"NewAlignment", "eTabAlignment", kHidden),
      /* 51 */ Get(L"ForeColorHot", 0x68030005, "OLE_COLOR*"),
      /* 52 */ Let(L"ForeColorHot", 0x68030005, L"NewForeColorHot", "OLE_COLOR"),
      /* 53 */ Get(L"SortedRow", 0x68030004, "I4*"),
      /* 54 */ Let(L"SortedRow", 0x68030004, L"NewSortedTab", "I4"),
      /* 55 */ Get(L"ShowFrame", 0x68030003, "BOOL*"),
      /* 56 */ Let(L"ShowFrame", 0x68030003, L"varNew", "BOOL"),
      /* 57 */ Get(L"ShowSortPic", 0x68030002, "BOOL*"),
      /* 58 */ Let(L"ShowSortPic", 0x68030002, L"varNew", "BOOL"),
      /* 59 */ Get(L"ColumnWidths", 0x68030001, "BSTR*"),
      /* 60 */ Let(L"ColumnWidths", 0x68030001, L"NewColumnWidths", "BSTR"),
      /* 61 */ Get(L"SelectedRow", 0x68030000, "I4*"),
      /* 62 */ Let(L"SelectedRow", 0x68030000, L"NewSelectedTab", "I4"),
      /* 63 */ {L"DrawTab", 0x6003002E, INVOKE_FUNC, kHidden, {}},
      /* 64 */ {L"DrawTabTop", 0x6003002F, INVOKE_FUNC, kHidden, {}},
      /* 65 */
      {L"AddRow",
       0x60030030,
       INVOKE_FUNC,
       0,
       {{L"iTabWidth", "I4*", kInOutOptional, "I4:60"},
        {L"sTabText", "BSTR*", kInOutOptional, "BSTR:"},
        {L"pTabPicture", "IPictureDisp**", kInOutOptional, "I4:0"},
        {L"value", "I4*", kRetval}}},
      /* 66 */ {L"DeleteRow", 0x60030031, INVOKE_FUNC, 0, {{L"value", "VARIANT*", kRetval}}},
      /* 67 */
      {L"GetPictureSize",
       0x60030032,
       INVOKE_FUNC,
       kHidden,
       {{L"pPicture", "IPictureDisp**", kInOut},
        {L"picX", "R4*", kInOut},
        {L"picY", "R4*", kInOut}}},
      /* 68 */ {L"SetTabAccessKeys", 0x60030033, INVOKE_FUNC, kHidden, {}},
      /* 69 */
      {L"GetTabAccessKey",
       0x60030034,
       INVOKE_FUNC,
       kHidden,
       {{L"iKey", "I2*", kInOut}, {L"value", "I4*", kRetval}}},
      /* 70 */ {L"ShowAboutBox", -552, INVOKE_FUNC, 0, {}},
  };
  return functions;
}

std::vector<Param> EventParams(std::vector<std::pair<const wchar_t*, const char*>> list) {
  std::vector<Param> params;
  for (auto& [name, type] : list) params.push_back({name, type, kInOut});
  return params;
}

const std::vector<Function>& EventFunctions() {
  static const std::vector<Function> events = {
      {L"RowPressed", 1, INVOKE_FUNC, FUNCFLAG_FUIDEFAULT,
       EventParams({{L"PreviousTab", "I2*"}, {L"SortRow", "I4*"}, {L"Sort", "BSTR*"}})},
      {L"MouseIn", 2, INVOKE_FUNC, 0,
       EventParams({{L"Button", "I2*"},
                    {L"Shift", "I2*"},
                    {L"X", "R4*"},
                    {L"Y", "R4*"},
                    {L"SortRow", "I4*"}})},
      {L"MouseOut", 3, INVOKE_FUNC, 0,
       EventParams({{L"Button", "I2*"},
                    {L"Shift", "I2*"},
                    {L"X", "R4*"},
                    {L"Y", "R4*"},
                    {L"SortRow", "I4*"}})},
      {L"MouseDown", 4, INVOKE_FUNC, 0,
       EventParams({{L"Button", "I2*"},
                    {L"Shift", "I2*"},
                    {L"X", "R4*"},
                    {L"Y", "R4*"},
                    {L"SortRow", "I4*"},
                    {L"Sort", "BSTR*"}})},
      {L"MouseUp", 5, INVOKE_FUNC, 0,
       EventParams({{L"Button", "I2*"},
                    {L"Shift", "I2*"},
                    {L"X", "R4*"},
                    {L"Y", "R4*"},
                    {L"SortRow", "I4*"}})},
  };
  return events;
}

// ---------------------------------------------------------------------------
// Rendering what the type library says in the notation above.

std::string TypeName(ITypeInfo* owner, const TYPEDESC& type) {
  switch (type.vt) {
    case VT_PTR:
      return TypeName(owner, *type.lptdesc) + "*";
    case VT_I2:
      return "I2";
    case VT_I4:
      return "I4";
    case VT_R4:
      return "R4";
    case VT_BOOL:
      return "BOOL";
    case VT_BSTR:
      return "BSTR";
    case VT_VARIANT:
      return "VARIANT";
    case VT_HRESULT:
      return "HRESULT";
    case VT_VOID:
      return "VOID";
    case VT_USERDEFINED: {
      Ref<ITypeInfo> target;
      if (owner->GetRefTypeInfo(type.hreftype, target.put()) != S_OK) return "<unresolved>";
      TypeAttr attr(target.get());
      const struct {
        const wchar_t* guid;
        const char* name;
      } known[] = {{kOleColorGuid, "OLE_COLOR"},
                   {kPictureDispIid, "IPictureDisp"},
                   {kFontDispIid, "IFontDisp"},
                   {kEnumGuid, "eTabAlignment"}};
      for (const auto& k : known) {
        if (IsEqualGUID(attr->guid, Guid(k.guid))) return k.name;
      }
      return "<user type " + std::to_string(attr->typekind) + ">";
    }
    default:
      return "<vt " + std::to_string(type.vt) + ">";
  }
}

std::string DefaultValue(const PARAMDESC& desc) {
  if (!(desc.wParamFlags & PARAMFLAG_FHASDEFAULT)) return {};
  if (!desc.pparamdescex) return "<missing>";
  const VARIANT& value = desc.pparamdescex->varDefaultValue;
  switch (V_VT(&value)) {
    case VT_I4:
      return "I4:" + std::to_string(V_I4(&value));
    case VT_BSTR: {
      std::string text = "BSTR:";
      for (UINT i = 0; i < SysStringLen(V_BSTR(&value)); ++i)
        text += static_cast<char>(V_BSTR(&value)[i]);
      return text;
    }
    default:
      return "<vt " + std::to_string(V_VT(&value)) + ">";
  }
}

// The dispatch view of a dispinterface lists IUnknown's and IDispatch's
// functions before its own; those are restricted and carry the reserved
// 0x6000xxxx/0x6001xxxx identifiers.
bool Inherited(const FUNCDESC& desc) {
  return (desc.wFuncFlags & FUNCFLAG_FRESTRICTED) && desc.memid >= 0x60000000 &&
         desc.memid < 0x60020000;
}

// Checks the dispatch-view functions of `info` (own ones only) against
// `expected`, which lists them with their interface-view parameters: the
// dispatch view drops the [out,retval] parameter and returns its type.
void ExpectDispatchFunctions(ITypeInfo* info, const std::vector<Function>& expected) {
  TypeAttr attr(info);
  size_t own = 0;
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    FuncDesc desc(info, i);
    ASSERT_EQ(S_OK, desc.hr()) << "function " << i;
    if (Inherited(*desc.operator->())) continue;
    ASSERT_LT(own, expected.size()) << "extra function " << i;
    const Function& want = expected[own++];
    SCOPED_TRACE(testing::Message() << "dispatch function " << own - 1);
    EXPECT_EQ(want.name, Name(info, desc->memid));
    EXPECT_EQ(want.id, desc->memid);
    EXPECT_EQ(FUNC_DISPATCH, desc->funckind);
    EXPECT_EQ(want.kind, desc->invkind);
    EXPECT_EQ(want.flags, desc->wFuncFlags);
    std::vector<Param> params = want.params;
    std::string result = "VOID";
    if (!params.empty() && params.back().flags == kRetval) {
      result = params.back().type.substr(0, params.back().type.size() - 1);
      params.pop_back();
    }
    EXPECT_EQ(result, TypeName(info, desc->elemdescFunc.tdesc));
    ASSERT_EQ(static_cast<SHORT>(params.size()), desc->cParams);
    for (size_t p = 0; p < params.size(); ++p) {
      const ELEMDESC& elem = desc->lprgelemdescParam[p];
      EXPECT_EQ(params[p].type, TypeName(info, elem.tdesc)) << "parameter " << p;
      EXPECT_EQ(params[p].flags, elem.paramdesc.wParamFlags) << "parameter " << p;
      EXPECT_EQ(params[p].default_value, DefaultValue(elem.paramdesc)) << "parameter " << p;
    }
  }
  EXPECT_EQ(expected.size(), own);
}

// ---------------------------------------------------------------------------
// The file itself: the names of every function's parameters, which readers
// expose only for the first function of each DISPID.

std::vector<std::uint8_t> TypeLibraryBytes(const std::wstring& path) {
  std::vector<std::uint8_t> bytes;
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module) {
    if (HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(1), L"TYPELIB")) {
      const auto* data =
          static_cast<const std::uint8_t*>(LockResource(LoadResource(module, resource)));
      if (data) bytes.assign(data, data + SizeofResource(module, resource));
    }
    FreeLibrary(module);
    return bytes;
  }
  std::ifstream in(path.c_str(), std::ios::binary);
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return bytes;
}

// Names of each function of type info `index` in an MSFT file: the
// function's name, then its parameters' ("" where unnamed).
std::vector<std::vector<std::wstring>> RawFunctionNames(const std::vector<std::uint8_t>& file,
                                                        UINT index) {
  auto u32 = [&](size_t at) {
    std::uint32_t v = 0;
    if (at + 4 <= file.size()) std::memcpy(&v, &file[at], 4);
    return v;
  };
  auto u16 = [&](size_t at) { return static_cast<std::uint16_t>(u32(at) & 0xFFFF); };
  std::vector<std::vector<std::wstring>> result;
  if (u32(0) != 0x5446534D) return result;  // "MSFT"
  size_t directory = 0x54 + 4 * u32(0x20) + ((u32(0x14) & 0x100) ? 4 : 0);
  const size_t typeinfos = u32(directory);
  const size_t names = u32(directory + 16 * 7);
  auto name = [&](std::uint32_t offset) {
    std::wstring text;
    if (offset == 0xFFFFFFFF) return text;
    const size_t length = u32(names + offset + 8) & 0xFF;
    for (size_t i = 0; i < length && names + offset + 12 + i < file.size(); ++i) {
      text += static_cast<wchar_t>(file[names + offset + 12 + i]);
    }
    return text;
  };
  const size_t base = typeinfos + 0x64 * index;
  const UINT functions = u32(base + 0x18) & 0xFFFF;
  const UINT members = functions + (u32(base + 0x18) >> 16);
  const size_t data = u32(base + 4);
  const size_t name_offsets = data + 4 + u32(data) + 4 * members;
  size_t record = data + 4;
  for (UINT k = 0; k < functions; ++k) {
    const size_t size = u32(record) & 0xFFFF;
    const UINT args = u16(record + 0x14);
    std::vector<std::wstring> entry{name(u32(name_offsets + 4 * k))};
    for (UINT a = 0; a < args; ++a) entry.push_back(name(u32(record + size - 12 * (args - a) + 4)));
    result.push_back(entry);
    record += size;
    if (size == 0) break;
  }
  return result;
}

// ---------------------------------------------------------------------------

class TypeLibraryTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(S_OK, LoadTypeLibEx(tessel_test::typelib_path().c_str(), REGKIND_NONE, lib_.put()))
        << "cannot load the type library from the built component";
  }

  Ref<ITypeInfo> Type(const wchar_t* guid) {
    Ref<ITypeInfo> info;
    EXPECT_EQ(S_OK, lib_->GetTypeInfoOfGuid(Guid(guid), info.put())) << guid;
    return info;
  }

  // The interface view of a dual interface, reached from its dispatch view.
  Ref<ITypeInfo> InterfaceView(const wchar_t* iid) {
    Ref<ITypeInfo> dispatch = Type(iid);
    Ref<ITypeInfo> view;
    HREFTYPE href = 0;
    EXPECT_EQ(S_OK, dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &href));
    EXPECT_EQ(S_OK, dispatch->GetRefTypeInfo(href, view.put()));
    return view;
  }

  // The type a coclass or interface implements at `index`, with its flags.
  static std::pair<std::wstring, INT> Implemented(ITypeInfo* info, UINT index) {
    HREFTYPE href = 0;
    INT flags = -1;
    Ref<ITypeInfo> target;
    if (info->GetRefTypeOfImplType(index, &href) != S_OK) return {L"<none>", flags};
    EXPECT_EQ(S_OK, info->GetImplTypeFlags(index, &flags));
    if (info->GetRefTypeInfo(href, target.put()) != S_OK) return {L"<unresolved>", flags};
    return {Name(target.get()), flags};
  }

  ComApartment apartment_;
  Ref<ITypeLib> lib_;
};

TEST_F(TypeLibraryTest, LibraryAttributes) {
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(S_OK, lib_->GetLibAttr(&attr));
  EXPECT_TRUE(IsEqualGUID(Guid(kLibId), attr->guid)) << GuidText(attr->guid);
  EXPECT_EQ(0x0409u, attr->lcid);
  EXPECT_EQ(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, attr->syskind);
  EXPECT_EQ(1, attr->wMajorVerNum);
  EXPECT_EQ(0, attr->wMinorVerNum);
  // The loader adds FHASDISKIMAGE; what the file says is FCONTROL alone.
  EXPECT_EQ(LIBFLAG_FCONTROL, attr->wLibFlags & ~LIBFLAG_FHASDISKIMAGE);
  lib_->ReleaseTLibAttr(attr);

  Bstr name, doc;
  ASSERT_EQ(S_OK, lib_->GetDocumentation(-1, name.put(), doc.put(), nullptr, nullptr));
  EXPECT_EQ(L"QuonTessel", name.str());
  EXPECT_EQ(L"QuonTessel", doc.str());
}

TEST_F(TypeLibraryTest, HoldsExactlyThePublishedTypes) {
  const struct {
    const wchar_t* name;
    const wchar_t* guid;
    TYPEKIND kind;
  } types[] = {
      {L"_TesselControl", kInterfaceIid, TKIND_DISPATCH},
      {L"__TesselControl", kEventsIid, TKIND_DISPATCH},
      {L"TesselControl", kControlClsid, TKIND_COCLASS},
      {L"_Register", kPages[0].iid, TKIND_DISPATCH},
      {L"Register", kPages[0].clsid, TKIND_COCLASS},
      {L"_Allgemein", kPages[1].iid, TKIND_DISPATCH},
      {L"Allgemein", kPages[1].clsid, TKIND_COCLASS},
      {L"_TabsC", kPages[2].iid, TKIND_DISPATCH},
      {L"TabsC", kPages[2].clsid, TKIND_COCLASS},
      {L"eTabAlignment", kEnumGuid, TKIND_ENUM},
  };
  EXPECT_EQ(std::size(types), lib_->GetTypeInfoCount());
  for (const auto& type : types) {
    SCOPED_TRACE(type.name);
    Ref<ITypeInfo> info = Type(type.guid);
    ASSERT_TRUE(info.get());
    EXPECT_EQ(type.name, Name(info.get()));
    TYPEKIND kind{};
    UINT index = 0;
    Ref<ITypeLib> container;
    ASSERT_EQ(S_OK, info->GetContainingTypeLib(container.put(), &index));
    ASSERT_EQ(S_OK, lib_->GetTypeInfoType(index, &kind));
    EXPECT_EQ(type.kind, kind);
  }
}

TEST_F(TypeLibraryTest, ControlClass) {
  Ref<ITypeInfo> info = Type(kControlClsid);
  TypeAttr attr(info.get());
  EXPECT_EQ(TKIND_COCLASS, attr->typekind);
  EXPECT_EQ(TYPEFLAG_FCONTROL | TYPEFLAG_FCANCREATE, attr->wTypeFlags);
  ASSERT_EQ(2, attr->cImplTypes);
  EXPECT_EQ(std::make_pair(std::wstring(L"_TesselControl"), INT{IMPLTYPEFLAG_FDEFAULT}),
            Implemented(info.get(), 0));
  EXPECT_EQ(std::make_pair(std::wstring(L"__TesselControl"),
                           INT{IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE}),
            Implemented(info.get(), 1));
}

TEST_F(TypeLibraryTest, PageClassesAndTheirMemberlessDualInterfaces) {
  for (const PageClass& page : kPages) {
    SCOPED_TRACE(page.name);
    Ref<ITypeInfo> coclass = Type(page.clsid);
    {
      TypeAttr attr(coclass.get());
      EXPECT_EQ(TYPEFLAG_FCANCREATE, attr->wTypeFlags);
      ASSERT_EQ(1, attr->cImplTypes);
    }
    EXPECT_EQ(std::make_pair(std::wstring(page.interface_name), INT{IMPLTYPEFLAG_FDEFAULT}),
              Implemented(coclass.get(), 0));

    Ref<ITypeInfo> dispatch = Type(page.iid);
    {
      TypeAttr attr(dispatch.get());
      EXPECT_EQ(
          TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE,
          attr->wTypeFlags & ~TYPEFLAG_FOLEAUTOMATION);
    }
    ExpectDispatchFunctions(dispatch.get(), {});

    Ref<ITypeInfo> view = InterfaceView(page.iid);
    ASSERT_TRUE(view.get());
    TypeAttr attr(view.get());
    EXPECT_EQ(TKIND_INTERFACE, attr->typekind);
    EXPECT_TRUE(IsEqualGUID(Guid(page.iid), attr->guid));
    EXPECT_EQ(TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE |
                  TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE,
              attr->wTypeFlags);
    EXPECT_EQ(0, attr->cFuncs);
    EXPECT_EQ(7 * kPointer, attr->cbSizeVft);
    EXPECT_EQ(L"IDispatch", Implemented(view.get(), 0).first);
  }
}

TEST_F(TypeLibraryTest, Enumeration) {
  Ref<ITypeInfo> info = Type(kEnumGuid);
  TypeAttr attr(info.get());
  EXPECT_EQ(TKIND_ENUM, attr->typekind);
  EXPECT_EQ(4u, attr->cbSizeInstance);
  ASSERT_EQ(2, attr->cVars);
  const std::pair<const wchar_t*, LONG> values[] = {{L"reg_Top", 0}, {L"reg_Bottom", 1}};
  for (UINT i = 0; i < 2; ++i) {
    VarDesc var(info.get(), i);
    EXPECT_EQ(values[i].first, Name(info.get(), var->memid));
    EXPECT_EQ(VAR_CONST, var->varkind);
    ASSERT_EQ(VT_I4, V_VT(var->lpvarValue));
    EXPECT_EQ(values[i].second, V_I4(var->lpvarValue));
  }
}

TEST_F(TypeLibraryTest, DualInterfaceAttributes) {
  Ref<ITypeInfo> dispatch = Type(kInterfaceIid);
  {
    TypeAttr attr(dispatch.get());
    EXPECT_EQ(TKIND_DISPATCH, attr->typekind);
    EXPECT_EQ(TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE,
              attr->wTypeFlags & ~TYPEFLAG_FOLEAUTOMATION);
  }
  EXPECT_EQ(L"IDispatch", Implemented(dispatch.get(), 0).first);

  Ref<ITypeInfo> view = InterfaceView(kInterfaceIid);
  ASSERT_TRUE(view.get());
  TypeAttr attr(view.get());
  EXPECT_EQ(TKIND_INTERFACE, attr->typekind);
  EXPECT_TRUE(IsEqualGUID(Guid(kInterfaceIid), attr->guid));
  EXPECT_EQ(TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION |
                TYPEFLAG_FDISPATCHABLE,
            attr->wTypeFlags);
  EXPECT_EQ(71, attr->cFuncs);
  EXPECT_EQ((7 + 71) * kPointer, attr->cbSizeVft);
  ASSERT_EQ(1, attr->cImplTypes);
  Ref<ITypeInfo> base;
  HREFTYPE href = 0;
  ASSERT_EQ(S_OK, view->GetRefTypeOfImplType(0, &href));
  ASSERT_EQ(S_OK, view->GetRefTypeInfo(href, base.put()));
  TypeAttr base_attr(base.get());
  EXPECT_TRUE(IsEqualGUID(IID_IDispatch, base_attr->guid));
}

TEST_F(TypeLibraryTest, InterfaceViewFunctionsInVtableOrder) {
  Ref<ITypeInfo> view = InterfaceView(kInterfaceIid);
  ASSERT_TRUE(view.get());
  const std::vector<Function>& expected = InterfaceFunctions();
  ASSERT_EQ(71u, expected.size());
  std::set<MEMBERID> named;
  for (UINT k = 0; k < expected.size(); ++k) {
    const Function& want = expected[k];
    SCOPED_TRACE(testing::Message()
                 << "function " << k << " " << testing::PrintToString(want.name));
    FuncDesc desc(view.get(), k);
    ASSERT_EQ(S_OK, desc.hr());
    EXPECT_EQ(want.name, Name(view.get(), desc->memid));
    EXPECT_EQ(want.id, desc->memid);
    EXPECT_EQ(want.kind, desc->invkind);
    EXPECT_EQ(FUNC_PUREVIRTUAL, desc->funckind);
    EXPECT_EQ(CC_STDCALL, desc->callconv);
    EXPECT_EQ(want.flags, desc->wFuncFlags);
    // The slot the generated header's vtable declares for function k.
    EXPECT_EQ(static_cast<SHORT>((7 + k) * kPointer), desc->oVft);
    EXPECT_EQ("HRESULT", TypeName(view.get(), desc->elemdescFunc.tdesc));
    EXPECT_EQ(0, desc->cParamsOpt);
    ASSERT_EQ(static_cast<SHORT>(want.params.size()), desc->cParams);
    for (size_t p = 0; p < want.params.size(); ++p) {
      const ELEMDESC& elem = desc->lprgelemdescParam[p];
      EXPECT_EQ(want.params[p].type, TypeName(view.get(), elem.tdesc)) << "parameter " << p;
      EXPECT_EQ(want.params[p].flags, elem.paramdesc.wParamFlags) << "parameter " << p;
      EXPECT_EQ(want.params[p].default_value, DefaultValue(elem.paramdesc)) << "parameter " << p;
    }
  }
  // GetNames(memid) answers with the names of the first function of a DISPID.
  for (const Function& want : expected) {
    if (!named.insert(want.id).second) continue;
    BSTR raw[8] = {};
    UINT count = 0;
    ASSERT_EQ(S_OK, view->GetNames(want.id, raw, 8, &count));
    std::vector<std::wstring> names;
    for (UINT i = 0; i < count; ++i) {
      names.emplace_back(raw[i], SysStringLen(raw[i]));
      SysFreeString(raw[i]);
    }
    std::vector<std::wstring> wanted{want.name};
    for (const Param& p : want.params) wanted.push_back(p.name);
    EXPECT_EQ(wanted, names);
  }
}

TEST_F(TypeLibraryTest, EveryParameterIsNamedInTheFile) {
  Ref<ITypeInfo> dispatch = Type(kInterfaceIid);
  Ref<ITypeLib> container;
  UINT index = 0;
  ASSERT_EQ(S_OK, dispatch->GetContainingTypeLib(container.put(), &index));
  const auto raw = RawFunctionNames(TypeLibraryBytes(tessel_test::typelib_path()), index);
  const std::vector<Function>& expected = InterfaceFunctions();
  ASSERT_EQ(expected.size(), raw.size());
  for (size_t k = 0; k < expected.size(); ++k) {
    std::vector<std::wstring> wanted{expected[k].name};
    for (const Param& p : expected[k].params) wanted.push_back(p.name);
    EXPECT_EQ(wanted, raw[k]) << "function " << k;
  }
}

TEST_F(TypeLibraryTest, DispatchViewOfTheDualInterface) {
  Ref<ITypeInfo> dispatch = Type(kInterfaceIid);
  ExpectDispatchFunctions(dispatch.get(), InterfaceFunctions());

  // The dispatch view and the interface view point at each other.
  Ref<ITypeInfo> view = InterfaceView(kInterfaceIid);
  ASSERT_TRUE(view.get());
  HREFTYPE href = 0;
  Ref<ITypeInfo> back;
  ASSERT_EQ(S_OK, view->GetRefTypeOfImplType(static_cast<UINT>(-1), &href));
  ASSERT_EQ(S_OK, view->GetRefTypeInfo(href, back.put()));
  TypeAttr attr(back.get());
  EXPECT_EQ(TKIND_DISPATCH, attr->typekind);
  EXPECT_TRUE(IsEqualGUID(Guid(kInterfaceIid), attr->guid));

  // Hosts find the about box by its standard DISPID.
  LPOLESTR name = const_cast<LPOLESTR>(L"ShowAboutBox");
  MEMBERID id = 0;
  ASSERT_EQ(S_OK, dispatch->GetIDsOfNames(&name, 1, &id));
  EXPECT_EQ(DISPID_ABOUTBOX, id);
}

TEST_F(TypeLibraryTest, EventInterface) {
  Ref<ITypeInfo> events = Type(kEventsIid);
  {
    TypeAttr attr(events.get());
    EXPECT_EQ(TKIND_DISPATCH, attr->typekind);
    EXPECT_EQ(TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE,
              attr->wTypeFlags);
  }
  EXPECT_EQ(L"IDispatch", Implemented(events.get(), 0).first);
  ExpectDispatchFunctions(events.get(), EventFunctions());
  for (const Function& event : EventFunctions()) {
    BSTR raw[8] = {};
    UINT count = 0;
    ASSERT_EQ(S_OK, events->GetNames(event.id, raw, 8, &count));
    std::vector<std::wstring> names;
    for (UINT i = 0; i < count; ++i) {
      names.emplace_back(raw[i], SysStringLen(raw[i]));
      SysFreeString(raw[i]);
    }
    std::vector<std::wstring> wanted{event.name};
    for (const Param& p : event.params) wanted.push_back(p.name);
    EXPECT_EQ(wanted, names);
  }
}

// OLE_COLOR, Picture and Font are stdole2's own types, referenced rather
// than copied, so hosts recognise colour and picture properties.
TEST_F(TypeLibraryTest, StandardTypesComeFromStdole) {
  Ref<ITypeInfo> view = InterfaceView(kInterfaceIid);
  ASSERT_TRUE(view.get());
  const struct {
    UINT function;  // a getter whose [out,retval] reaches the type
    int pointers;
    const wchar_t* guid;
    TYPEKIND kind;
  } uses[] = {{2, 1, kOleColorGuid, TKIND_ALIAS},
              {30, 2, kPictureDispIid, TKIND_DISPATCH},
              {32, 2, kFontDispIid, TKIND_DISPATCH}};
  for (const auto& use : uses) {
    SCOPED_TRACE(testing::Message() << "function " << use.function);
    FuncDesc desc(view.get(), use.function);
    ASSERT_EQ(S_OK, desc.hr());
    const TYPEDESC* type = &desc->lprgelemdescParam[desc->cParams - 1].tdesc;
    for (int i = 0; i < use.pointers; ++i) {
      ASSERT_EQ(VT_PTR, type->vt);
      type = type->lptdesc;
    }
    ASSERT_EQ(VT_USERDEFINED, type->vt);
    Ref<ITypeInfo> target;
    ASSERT_EQ(S_OK, view->GetRefTypeInfo(type->hreftype, target.put()));
    TypeAttr attr(target.get());
    EXPECT_TRUE(IsEqualGUID(Guid(use.guid), attr->guid)) << GuidText(attr->guid);
    EXPECT_EQ(use.kind, attr->typekind);
    if (use.kind == TKIND_ALIAS) {
      EXPECT_EQ(VT_UI4, attr->tdescAlias.vt);
    }
    Ref<ITypeLib> owner;
    UINT index = 0;
    ASSERT_EQ(S_OK, target->GetContainingTypeLib(owner.put(), &index));
    TLIBATTR* lib_attr = nullptr;
    ASSERT_EQ(S_OK, owner->GetLibAttr(&lib_attr));
    EXPECT_TRUE(IsEqualGUID(Guid(kStdOleLibId), lib_attr->guid)) << GuidText(lib_attr->guid);
    owner->ReleaseTLibAttr(lib_attr);
  }
}

// ---------------------------------------------------------------------------
// The generated header's vtable against the type library's slots.

// g++ (Itanium C++ ABI) stores a pointer to a virtual member function as
// 1 + its byte offset in the vtable.
template <class Member>
std::ptrdiff_t VtableOffset(Member member) {
  static_assert(sizeof(Member) == 2 * sizeof(void*));
  std::uintptr_t raw[2];
  std::memcpy(raw, &member, sizeof raw);
  return (raw[0] & 1) ? static_cast<std::ptrdiff_t>(raw[0] - 1) : -1;
}

using tessel::_TesselControl;
static_assert(
    std::is_same_v<decltype(&_TesselControl::AddRow), HRESULT (STDMETHODCALLTYPE _TesselControl::*)(
                                                          LONG*, BSTR*, IPictureDisp**, LONG*)>);
static_assert(std::is_same_v<decltype(&_TesselControl::get_RowWidth),
                             HRESULT (STDMETHODCALLTYPE _TesselControl::*)(LONG, LONG*)>);
static_assert(std::is_same_v<decltype(&_TesselControl::putref_RowPicture),
                             HRESULT (STDMETHODCALLTYPE _TesselControl::*)(LONG, IPictureDisp*)>);
static_assert(std::is_same_v<decltype(&_TesselControl::put_Alignment),
                             HRESULT (STDMETHODCALLTYPE _TesselControl::*)(tessel::eTabAlignment)>);
static_assert(std::is_same_v<decltype(&_TesselControl::DeleteRow),
                             HRESULT (STDMETHODCALLTYPE _TesselControl::*)(VARIANT*)>);

TEST_F(TypeLibraryTest, GeneratedHeaderVtableMatchesTheTypeLibrary) {
  using I = _TesselControl;
  const std::ptrdiff_t header[] = {
      VtableOffset(&I::get_HeaderHeight),
      VtableOffset(&I::put_HeaderHeight),
      VtableOffset(&I::get_BackColor),
      VtableOffset(&I::put_BackColor),
      VtableOffset(&I::get_ForeColor),
      VtableOffset(&I::put_ForeColor),
      VtableOffset(&I::get_ForeColorActive),
      VtableOffset(&I::put_ForeColorActive),
      VtableOffset(&I::get_BackColorForm),
      VtableOffset(&I::put_BackColorForm),
      VtableOffset(&I::get_MouseMoveColor0),
      VtableOffset(&I::put_MouseMoveColor0),
      VtableOffset(&I::get_MouseMoveColor1),
      VtableOffset(&I::put_MouseMoveColor1),
      VtableOffset(&I::get_MouseMoveColor2),
      VtableOffset(&I::put_MouseMoveColor2),
      VtableOffset(&I::put_RegisterFocusColor0),
      VtableOffset(&I::get_RegisterFocusColor0),
      VtableOffset(&I::put_RegisterFocusColor1),
      VtableOffset(&I::get_RegisterFocusColor1),
      VtableOffset(&I::put_RegisterFocusColor2),
      VtableOffset(&I::get_RegisterFocusColor2),
      VtableOffset(&I::get_FrameColor),
      VtableOffset(&I::put_FrameColor),
      VtableOffset(&I::get_RowWidth),
      VtableOffset(&I::put_RowWidth),
      VtableOffset(&I::get_RowCaption),
      VtableOffset(&I::put_RowCaption),
      VtableOffset(&I::get_RowSorted),
      VtableOffset(&I::put_RowSorted),
      VtableOffset(&I::get_RowPicture),
      VtableOffset(&I::putref_RowPicture),
      VtableOffset(&I::get_Font),
      VtableOffset(&I::putref_Font),
      VtableOffset(&I::get_FontBold),
      VtableOffset(&I::put_FontBold),
      VtableOffset(&I::get_FontItalic),
      VtableOffset(&I::put_FontItalic),
      VtableOffset(&I::get_FontStrikethru),
      VtableOffset(&I::put_FontStrikethru),
      VtableOffset(&I::get_FontUnderline),
      VtableOffset(&I::put_FontUnderline),
      VtableOffset(&I::get_FontSize),
      VtableOffset(&I::put_FontSize),
      VtableOffset(&I::get_FontName),
      VtableOffset(&I::put_FontName),
      VtableOffset(&I::get_MaskColor),
      VtableOffset(&I::put_MaskColor),
      VtableOffset(&I::get_NumberOfRows),
      VtableOffset(&I::get_Alignment),
      VtableOffset(&I::put_Alignment),
      VtableOffset(&I::get_ForeColorHot),
      VtableOffset(&I::put_ForeColorHot),
      VtableOffset(&I::get_SortedRow),
      VtableOffset(&I::put_SortedRow),
      VtableOffset(&I::get_ShowFrame),
      VtableOffset(&I::put_ShowFrame),
      VtableOffset(&I::get_ShowSortPic),
      VtableOffset(&I::put_ShowSortPic),
      VtableOffset(&I::get_ColumnWidths),
      VtableOffset(&I::put_ColumnWidths),
      VtableOffset(&I::get_SelectedRow),
      VtableOffset(&I::put_SelectedRow),
      VtableOffset(&I::DrawTab),
      VtableOffset(&I::DrawTabTop),
      VtableOffset(&I::AddRow),
      VtableOffset(&I::DeleteRow),
      VtableOffset(&I::GetPictureSize),
      VtableOffset(&I::SetTabAccessKeys),
      VtableOffset(&I::GetTabAccessKey),
      VtableOffset(&I::ShowAboutBox),
  };
  Ref<ITypeInfo> view = InterfaceView(kInterfaceIid);
  ASSERT_TRUE(view.get());
  TypeAttr attr(view.get());
  ASSERT_EQ(std::size(header), static_cast<size_t>(attr->cFuncs));
  for (UINT k = 0; k < std::size(header); ++k) {
    FuncDesc desc(view.get(), k);
    ASSERT_EQ(S_OK, desc.hr());
    EXPECT_EQ(desc->oVft, header[k])
        << "function " << k << " " << testing::PrintToString(Name(view.get(), desc->memid));
  }
}

TEST(GeneratedHeader, IdentifiersMatchThePublishedOnes) {
  EXPECT_TRUE(IsEqualGUID(Guid(kLibId), tessel::LIBID_QuonTessel));
  EXPECT_TRUE(IsEqualGUID(Guid(kControlClsid), tessel::CLSID_TesselControl));
  EXPECT_TRUE(IsEqualGUID(Guid(kInterfaceIid), tessel::IID__TesselControl));
  EXPECT_TRUE(IsEqualGUID(Guid(kEventsIid), tessel::DIID___TesselControl));
  EXPECT_TRUE(IsEqualGUID(Guid(kPages[0].clsid), tessel::CLSID_Register));
  EXPECT_TRUE(IsEqualGUID(Guid(kPages[0].iid), tessel::IID__Register));
  EXPECT_TRUE(IsEqualGUID(Guid(kPages[1].clsid), tessel::CLSID_Allgemein));
  EXPECT_TRUE(IsEqualGUID(Guid(kPages[1].iid), tessel::IID__Allgemein));
  EXPECT_TRUE(IsEqualGUID(Guid(kPages[2].clsid), tessel::CLSID_TabsC));
  EXPECT_TRUE(IsEqualGUID(Guid(kPages[2].iid), tessel::IID__TabsC));
  EXPECT_TRUE(IsEqualGUID(Guid(kEnumGuid), tessel::GUID_eTabAlignment));
  EXPECT_EQ(1, tessel::kTypeLibMajor);
  EXPECT_EQ(0, tessel::kTypeLibMinor);
  EXPECT_EQ(0x0409u, tessel::kTypeLibLcid);
  EXPECT_EQ(0, tessel::reg_Top);
  EXPECT_EQ(1, tessel::reg_Bottom);
  EXPECT_EQ(0x68030020, tessel::dispid::HeaderHeight);
  EXPECT_EQ(0x68030005, tessel::dispid::ForeColorHot);
  EXPECT_EQ(0x68030000, tessel::dispid::SelectedRow);
  EXPECT_EQ(0x60030030, tessel::dispid::AddRow);
  EXPECT_EQ(-552, tessel::dispid::ShowAboutBox);
  EXPECT_EQ(1, tessel::event_dispid::RowPressed);
  EXPECT_EQ(5, tessel::event_dispid::MouseUp);
}

}  // namespace
