// The type library of both builds (the x86 DLL read as a file), the generated
// header and docs/reference.md against the published interface, written out
// here as literals independent of the generator's table.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "control/property_table.h"
#include "framework/bstr.h"
#include "framework/com_ptr.h"
#include "support/com_test_env.h"
#include "support/doc_text.h"
#include "tessel_interfaces.h"

namespace {

using framework::Bstr;
using framework::ComPtr;
using tessel_test::narrow;
using tessel_test::widen;

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
  const wchar_t *name, *clsid, *interface_name, *iid;
};
const PageClass kPages[] = {
    {L"Register", L"{85DE8798-FB3F-458F-AAF0-5C11B63545C9}", L"_Register",
     L"{13B12C5E-CBCE-4D0D-95F9-4F595FD40C54}"},
    {L"Allgemein", L"{D9B2F13B-E27C-4284-AB72-F3EB9FEE28F2}", L"_Allgemein",
     L"{15FF5711-8BE4-4B52-8F02-91F1C090D5B8}"},
    {L"TabsC", L"{6D009291-8571-4A84-ACA8-469AF46DD376}", L"_TabsC",
     L"{522018FB-CDE3-48E7-98D3-3D9CB719B285}"},
};

// The dual interface's functions in vtable order (after IDispatch's seven):
//   kind Name#DISPID [flags](type name [direction] [=default], ...)
// One '*' per VT_PTR; "retval" is [out,retval], "inout" is [in,out], plain
// parameters are [in]; "opt=" marks [optional] with its default as VT:value.
const char* const kInterface[] = {
    "get HeaderHeight#68030020(I4* value retval)",
    "let HeaderHeight#68030020(I4 NewTabHeight)",
    "get BackColor#6803001F(OLE_COLOR* value retval)",
    "let BackColor#6803001F(OLE_COLOR NewBackColor)",
    "get ForeColor#6803001E(OLE_COLOR* value retval)",
    "let ForeColor#6803001E(OLE_COLOR NewForeColor)",
    "get ForeColorActive#6803001D(OLE_COLOR* value retval)",
    "let ForeColorActive#6803001D(OLE_COLOR NewForeColorActive)",
    "get BackColorForm#6803001C(OLE_COLOR* value retval)",
    "let BackColorForm#6803001C(OLE_COLOR NewBackColorForm)",
    "get MouseMoveColor0#6803001B hidden(OLE_COLOR* value retval)",
    "let MouseMoveColor0#6803001B hidden(OLE_COLOR NewColor)",
    "get MouseMoveColor1#6803001A hidden(OLE_COLOR* value retval)",
    "let MouseMoveColor1#6803001A hidden(OLE_COLOR NewColor)",
    "get MouseMoveColor2#68030019 hidden(OLE_COLOR* value retval)",
    "let MouseMoveColor2#68030019 hidden(OLE_COLOR NewColor)",
    "let RegisterFocusColor0#68030018 hidden(OLE_COLOR NewColor)",
    "get RegisterFocusColor0#68030018 hidden(OLE_COLOR* value retval)",
    "let RegisterFocusColor1#68030017 hidden(OLE_COLOR NewColor)",
    "get RegisterFocusColor1#68030017 hidden(OLE_COLOR* value retval)",
    "let RegisterFocusColor2#68030016 hidden(OLE_COLOR NewColor)",
    "get RegisterFocusColor2#68030016 hidden(OLE_COLOR* value retval)",
    "get FrameColor#68030015(OLE_COLOR* value retval)",
    "let FrameColor#68030015(OLE_COLOR NewFrameColor)",
    "get RowWidth#68030014(I4 Index, I4* value retval)",
    "let RowWidth#68030014(I4 Index, I4 NewTabWidth)",
    "get RowCaption#68030013(I4 Index, BSTR* value retval)",
    "let RowCaption#68030013(I4 Index, BSTR NewTabCaption)",
    "get RowSorted#68030012(I4 Index, BOOL* value retval)",
    "let RowSorted#68030012(I4 Index, BOOL NewTabSort)",
    "get RowPicture#68030011(I4 Index, IPictureDisp** value retval)",
    "set RowPicture#68030011(I4 Index, IPictureDisp* NewTabPicture)",
    "get Font#68030010(IFontDisp** value retval)",
    "set Font#68030010(IFontDisp* New_Font)",
    "get FontBold#6803000F(BOOL* value retval)",
    "let FontBold#6803000F(BOOL vNew)",
    "get FontItalic#6803000E(BOOL* value retval)",
    "let FontItalic#6803000E(BOOL vNew)",
    "get FontStrikethru#6803000D(BOOL* value retval)",
    "let FontStrikethru#6803000D(BOOL vNew)",
    "get FontUnderline#6803000C(BOOL* value retval)",
    "let FontUnderline#6803000C(BOOL vNew)",
    "get FontSize#6803000B(R4* value retval)",
    "let FontSize#6803000B(R4 vNew)",
    "get FontName#6803000A(BSTR* value retval)",
    "let FontName#6803000A(BSTR vNew)",
    "get MaskColor#68030009(OLE_COLOR* value retval)",
    "let MaskColor#68030009(OLE_COLOR NewMaskColor)",
    "get NumberOfRows#68030008 nonbrowsable(I4* value retval)",
    "get Alignment#68030007 hidden(eTabAlignment* value retval)",
    "let Alignment#68030007 hidden(eTabAlignment NewAlignment)",
    "get ForeColorHot#68030005(OLE_COLOR* value retval)",
    "let ForeColorHot#68030005(OLE_COLOR NewForeColorHot)",
    "get SortedRow#68030004(I4* value retval)",
    "let SortedRow#68030004(I4 NewSortedTab)",
    "get ShowFrame#68030003(BOOL* value retval)",
    "let ShowFrame#68030003(BOOL varNew)",
    "get ShowSortPic#68030002(BOOL* value retval)",
    "let ShowSortPic#68030002(BOOL varNew)",
    "get ColumnWidths#68030001(BSTR* value retval)",
    "let ColumnWidths#68030001(BSTR NewColumnWidths)",
    "get SelectedRow#68030000(I4* value retval)",
    "let SelectedRow#68030000(I4 NewSelectedTab)",
    "func DrawTab#6003002E hidden()",
    "func DrawTabTop#6003002F hidden()",
    "func AddRow#60030030(I4* iTabWidth inout opt=I4:60, BSTR* sTabText inout opt=BSTR:, "
    "IPictureDisp** pTabPicture inout opt=I4:0, I4* value retval)",
    "func DeleteRow#60030031(VARIANT* value retval)",
    "func GetPictureSize#60030032 hidden(IPictureDisp** pPicture inout, R4* picX inout, "
    "R4* picY inout)",
    "func SetTabAccessKeys#60030033 hidden()",
    "func GetTabAccessKey#60030034 hidden(I2* iKey inout, I4* value retval)",
    "func ShowAboutBox#FFFFFDD8()",
};

const char* const kEvents[] = {
    "func RowPressed#00000001 uidefault(I2* PreviousTab inout, I4* SortRow inout, "
    "BSTR* Sort inout)",
    "func MouseIn#00000002(I2* Button inout, I2* Shift inout, R4* X inout, R4* Y inout, "
    "I4* SortRow inout)",
    "func MouseOut#00000003(I2* Button inout, I2* Shift inout, R4* X inout, R4* Y inout, "
    "I4* SortRow inout)",
    "func MouseDown#00000004(I2* Button inout, I2* Shift inout, R4* X inout, R4* Y inout, "
    "I4* SortRow inout, BSTR* Sort inout)",
    "func MouseUp#00000005(I2* Button inout, I2* Shift inout, R4* X inout, R4* Y inout, "
    "I4* SortRow inout)",
};

const std::pair<const wchar_t*, LONG> kAlignment[] = {{L"reg_Top", 0}, {L"reg_Bottom", 1}};

const size_t kPointer = sizeof(void*);
constexpr WORD kDualFlags =
    TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE;

struct ComApartment {
  ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ~ComApartment() { CoUninitialize(); }
};

GUID Guid(const wchar_t* text) {
  GUID guid{};
  EXPECT_EQ(S_OK, IIDFromString(text, &guid)) << text;
  return guid;
}

std::wstring Name(ITypeInfo* info, MEMBERID id = MEMBERID_NIL) {
  Bstr name;
  EXPECT_EQ(S_OK, info->GetDocumentation(id, name.put(), nullptr, nullptr, nullptr));
  return name.str();
}

// RAII views of what ITypeInfo hands out.
struct TypeAttr {
  explicit TypeAttr(ITypeInfo* i) : info(i) { EXPECT_EQ(S_OK, info->GetTypeAttr(&attr)); }
  ~TypeAttr() {
    if (attr) info->ReleaseTypeAttr(attr);
  }
  const TYPEATTR* operator->() const { return attr; }
  ITypeInfo* info;
  TYPEATTR* attr = nullptr;
};
struct FuncDesc {
  FuncDesc(ITypeInfo* i, UINT index) : info(i) { hr = info->GetFuncDesc(index, &desc); }
  ~FuncDesc() {
    if (desc) info->ReleaseFuncDesc(desc);
  }
  const FUNCDESC* operator->() const { return desc; }
  ITypeInfo* info;
  FUNCDESC* desc = nullptr;
  HRESULT hr;
};

std::string TypeName(ITypeInfo* owner, const TYPEDESC& type) {
  const std::pair<VARTYPE, const char*> basic[] = {
      {VT_I2, "I2"},     {VT_I4, "I4"},           {VT_R4, "R4"},           {VT_BOOL, "BOOL"},
      {VT_BSTR, "BSTR"}, {VT_VARIANT, "VARIANT"}, {VT_HRESULT, "HRESULT"}, {VT_VOID, "VOID"}};
  for (const auto& [vt, name] : basic) {
    if (type.vt == vt) return name;
  }
  if (type.vt == VT_PTR) return TypeName(owner, *type.lptdesc) + "*";
  if (type.vt != VT_USERDEFINED) return "<vt " + std::to_string(type.vt) + ">";
  ComPtr<ITypeInfo> target;
  if (owner->GetRefTypeInfo(type.hreftype, target.put()) != S_OK) return "<unresolved>";
  TypeAttr attr(target.get());
  ComPtr<ITypeLib> lib;
  UINT index = 0;
  TLIBATTR* lib_attr = nullptr;
  if (target->GetContainingTypeLib(lib.put(), &index) != S_OK ||
      lib->GetLibAttr(&lib_attr) != S_OK) {
    return "<no library>";
  }
  const GUID lib_guid = lib_attr->guid;
  lib->ReleaseTLibAttr(lib_attr);
  // OLE_COLOR, Picture and Font are stdole2's own, referenced rather than
  // copied, so that hosts recognise colour, picture and font properties.
  const std::tuple<const wchar_t*, const wchar_t*, const char*> known[] = {
      {kOleColorGuid, kStdOleLibId, "OLE_COLOR"},
      {kPictureDispIid, kStdOleLibId, "IPictureDisp"},
      {kFontDispIid, kStdOleLibId, "IFontDisp"},
      {kEnumGuid, kLibId, "eTabAlignment"}};
  for (const auto& [guid, library, name] : known) {
    if (IsEqualGUID(attr->guid, Guid(guid)) && IsEqualGUID(lib_guid, Guid(library))) return name;
  }
  return "<user type " + std::to_string(attr->typekind) + ">";
}

std::string ParamText(ITypeInfo* owner, const ELEMDESC& elem, const std::wstring& name) {
  std::string text = TypeName(owner, elem.tdesc) + " " + narrow(name);
  const USHORT flags = elem.paramdesc.wParamFlags;
  const USHORT in_out = PARAMFLAG_FIN | PARAMFLAG_FOUT;
  if (flags == PARAMFLAG_FIN) return text;
  if (flags == (PARAMFLAG_FOUT | PARAMFLAG_FRETVAL)) return text + " retval";
  if (flags == in_out) return text + " inout";
  if (flags != (in_out | PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT)) {
    return text + " flags=" + std::to_string(flags);
  }
  if (!elem.paramdesc.pparamdescex) return text + " inout opt=<missing>";
  const VARIANT& value = elem.paramdesc.pparamdescex->varDefaultValue;
  if (V_VT(&value) == VT_I4) return text + " inout opt=I4:" + std::to_string(V_I4(&value));
  if (V_VT(&value) == VT_BSTR) return text + " inout opt=BSTR:" + narrow(V_BSTR(&value));
  return text + " inout opt=<vt " + std::to_string(V_VT(&value)) + ">";
}

// One function in the notation of kInterface. `names` holds the function's
// name, then its parameters'. A dispatch view returns the interface view's
// [out,retval] type, shown here as that parameter again.
std::string FunctionText(ITypeInfo* owner, const FUNCDESC& desc,
                         const std::vector<std::wstring>& names) {
  static const char* const kinds[] = {"?", "func", "get", "?", "let", "?", "?", "?", "set"};
  char id[16];
  snprintf(id, sizeof id, "#%08lX", static_cast<unsigned long>(desc.memid));
  std::string text = std::string(desc.invkind <= 8 ? kinds[desc.invkind] : "?") + " " +
                     narrow(names.empty() ? L"?" : names[0]) + id;
  WORD flags = desc.wFuncFlags;
  const std::pair<WORD, const char*> known[] = {{FUNCFLAG_FHIDDEN, " hidden"},
                                                {FUNCFLAG_FNONBROWSABLE, " nonbrowsable"},
                                                {FUNCFLAG_FUIDEFAULT, " uidefault"}};
  for (const auto& [bit, word] : known) {
    if (flags & bit) text += word;
    flags &= ~bit;
  }
  if (flags) text += " flags=" + std::to_string(flags);
  auto name = [&](size_t i) { return i < names.size() ? names[i] : std::wstring(L"?"); };
  text += "(";
  for (SHORT p = 0; p < desc.cParams; ++p) {
    text += (p ? ", " : "") + ParamText(owner, desc.lprgelemdescParam[p], name(p + 1));
  }
  if (desc.funckind == FUNC_DISPATCH && desc.elemdescFunc.tdesc.vt != VT_VOID) {
    text += (desc.cParams ? ", " : "") + TypeName(owner, desc.elemdescFunc.tdesc) + "* " +
            narrow(name(desc.cParams + 1)) + " retval";
  }
  return text + ")";
}

MEMBERID IdOfName(ITypeInfo* info, std::wstring name) {
  LPOLESTR names = name.data();
  MEMBERID id = MEMBERID_NIL;
  EXPECT_EQ(S_OK, info->GetIDsOfNames(&names, 1, &id)) << narrow(name);
  return id;
}

std::vector<std::wstring> Names(ITypeInfo* info, MEMBERID id) {
  BSTR raw[8] = {};
  UINT count = 0;
  EXPECT_EQ(S_OK, info->GetNames(id, raw, 8, &count));
  std::vector<std::wstring> names;
  for (UINT i = 0; i < count; ++i) names.push_back(Bstr::adopt(raw[i]).str());
  return names;
}

// The own functions of a dispatch view: it lists IUnknown's and IDispatch's
// first, restricted and with the reserved 0x6000xxxx/0x6001xxxx identifiers.
// `names` gives each own function's names; GetNames is used when absent.
std::vector<std::string> DispatchFunctions(ITypeInfo* info,
                                           const std::vector<std::vector<std::wstring>>& names) {
  std::vector<std::string> result;
  TypeAttr attr(info);
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    FuncDesc desc(info, i);
    EXPECT_EQ(S_OK, desc.hr);
    if (!desc.desc) break;
    if ((desc->wFuncFlags & FUNCFLAG_FRESTRICTED) && desc->memid >= 0x60000000 &&
        desc->memid < 0x60020000) {
      continue;
    }
    EXPECT_EQ(FUNC_DISPATCH, desc->funckind);
    const size_t own = result.size();
    result.push_back(
        FunctionText(info, *desc.desc, own < names.size() ? names[own] : Names(info, desc->memid)));
  }
  return result;
}

// The names of every function of type info `index` in the MSFT file (the
// function's, then its parameters'): readers expose parameter names only for
// the first function of each DISPID, so a putter's come from the file.
std::vector<std::vector<std::wstring>> RawFunctionNames(const std::wstring& path, UINT index) {
  std::vector<std::uint8_t> file;
  if (HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {
    if (HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(1), L"TYPELIB")) {
      const auto* data =
          static_cast<const std::uint8_t*>(LockResource(LoadResource(module, resource)));
      if (data) file.assign(data, data + SizeofResource(module, resource));
    }
    FreeLibrary(module);
  }
  auto u32 = [&](size_t at) {
    std::uint32_t v = 0;
    if (at + 4 <= file.size()) std::memcpy(&v, &file[at], 4);
    return v;
  };
  std::vector<std::vector<std::wstring>> result;
  if (u32(0) != 0x5446534D) return result;  // "MSFT"
  const size_t directory = 0x54 + 4 * u32(0x20) + ((u32(0x14) & 0x100) ? 4 : 0);
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
    const UINT args = u32(record + 0x14) & 0xFFFF;
    std::vector<std::wstring> entry{name(u32(name_offsets + 4 * k))};
    for (UINT a = 0; a < args; ++a) entry.push_back(name(u32(record + size - 12 * (args - a) + 4)));
    result.push_back(entry);
    record += size;
    if (size == 0) break;
  }
  return result;
}

// A function of kInterface or kEvents, parsed.
struct Member {
  std::string kind, name, flags;
  DISPID id;
  std::vector<std::pair<std::string, std::string>> params;  // type, "name rest"
};

Member Parse(const std::string& text) {
  static const std::regex function(R"((\w+) (\w+)#([0-9A-F]{8})([a-z ]*)\((.*)\))");
  std::smatch m;
  EXPECT_TRUE(std::regex_match(text, m, function)) << text;
  Member member{m[1], m[2], m[4], static_cast<DISPID>(std::stoul(m[3], nullptr, 16)), {}};
  std::stringstream params(m[5].str());
  for (std::string param; std::getline(params >> std::ws, param, ',');) {
    const size_t blank = param.find(' ');
    member.params.emplace_back(param.substr(0, blank), param.substr(blank + 1));
  }
  return member;
}

// Line by line, so that a failure names the function that differs.
template <size_t N>
void ExpectFunctions(const char* const (&expected)[N], const std::vector<std::string>& actual) {
  EXPECT_EQ(N, actual.size());
  for (size_t k = 0; k < N && k < actual.size(); ++k) EXPECT_EQ(expected[k], actual[k]);
}

// The x86 DLL cannot run here: its type library is read from the file. The
// platform scales a library's vtable offsets to the reading process's
// pointer size (a wrong unit would read back doubled or halved); the size
// of the vtable stays in the library's own.
struct Build {
  const char* name;
  const wchar_t* dll;  // relative to the test program's directory
  SYSKIND syskind;
  size_t pointer;
};
const Build kBuilds[] = {{"x64", L"TesselControl.dll", SYS_WIN64, 8},
                         {"x86", L"..\\..\\x86\\bin\\TesselControl.dll", SYS_WIN32, 4}};
void PrintTo(const Build& build, std::ostream* out) { *out << build.name; }

class TypeLibraryTest : public testing::TestWithParam<Build> {
 protected:
  void SetUp() override {
    ASSERT_EQ(S_OK, LoadTypeLibEx(path_.c_str(), REGKIND_NONE, lib_.put()))
        << "cannot load the type library of the " << GetParam().name
        << " build (scripts/test builds both)";
  }

  ComPtr<ITypeInfo> Type(const wchar_t* guid) {
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(S_OK, lib_->GetTypeInfoOfGuid(Guid(guid), info.put())) << guid;
    return info;
  }

  // The other view of a dual interface (href -1 points both ways).
  static ComPtr<ITypeInfo> OtherView(ITypeInfo* info) {
    ComPtr<ITypeInfo> view;
    HREFTYPE href = 0;
    EXPECT_EQ(S_OK, info->GetRefTypeOfImplType(static_cast<UINT>(-1), &href));
    EXPECT_EQ(S_OK, info->GetRefTypeInfo(href, view.put()));
    return view;
  }

  // The type a coclass or interface implements at `index`, with its flags.
  static std::pair<std::wstring, INT> Implemented(ITypeInfo* info, UINT index) {
    HREFTYPE href = 0;
    INT flags = -1;
    ComPtr<ITypeInfo> target;
    if (info->GetRefTypeOfImplType(index, &href) != S_OK) return {L"<none>", flags};
    EXPECT_EQ(S_OK, info->GetImplTypeFlags(index, &flags));
    if (info->GetRefTypeInfo(href, target.put()) != S_OK) return {L"<unresolved>", flags};
    return {Name(target.get()), flags};
  }

  // A dual interface: its dispatch view, listing IDispatch's seven functions
  // before its own, and an interface view deriving from IDispatch with
  // `functions` own slots and the way back to the dispatch view.
  void ExpectDual(const wchar_t* iid, UINT functions) {
    ComPtr<ITypeInfo> dispatch = Type(iid);
    ASSERT_TRUE(dispatch.get());
    EXPECT_EQ(kDualFlags, TypeAttr(dispatch.get())->wTypeFlags & ~TYPEFLAG_FOLEAUTOMATION);
    EXPECT_EQ(7 + functions, UINT{TypeAttr(dispatch.get())->cFuncs});
    EXPECT_EQ(L"IDispatch", Implemented(dispatch.get(), 0).first);
    ComPtr<ITypeInfo> view = OtherView(dispatch.get());
    ASSERT_TRUE(view.get());
    TypeAttr attr(view.get());
    EXPECT_EQ(TKIND_INTERFACE, attr->typekind);
    EXPECT_TRUE(IsEqualGUID(Guid(iid), attr->guid));
    EXPECT_EQ(kDualFlags | TYPEFLAG_FOLEAUTOMATION, attr->wTypeFlags);
    EXPECT_EQ(functions, UINT{attr->cFuncs});
    EXPECT_EQ((7 + functions) * GetParam().pointer, attr->cbSizeVft);
    ASSERT_EQ(1, attr->cImplTypes);
    EXPECT_EQ(L"IDispatch", Implemented(view.get(), 0).first);
    ComPtr<ITypeInfo> back = OtherView(view.get());
    ASSERT_TRUE(back.get());
    EXPECT_EQ(TKIND_DISPATCH, TypeAttr(back.get())->typekind);
    EXPECT_TRUE(IsEqualGUID(Guid(iid), TypeAttr(back.get())->guid));
  }

  ComApartment apartment_;
  const std::wstring path_ = tessel_test::bin_dir() + GetParam().dll;
  ComPtr<ITypeLib> lib_;
};
INSTANTIATE_TEST_SUITE_P(Builds, TypeLibraryTest, testing::ValuesIn(kBuilds),
                         [](const auto& info) { return std::string(info.param.name); });

// The library's attributes, its types, the classes and the enumeration.
TEST_P(TypeLibraryTest, LibraryAttributesTypesClassesAndEnumeration) {
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(S_OK, lib_->GetLibAttr(&attr));
  EXPECT_TRUE(IsEqualGUID(Guid(kLibId), attr->guid));
  EXPECT_EQ(0x0409u, attr->lcid);
  EXPECT_EQ(GetParam().syskind, attr->syskind);
  EXPECT_EQ(1, attr->wMajorVerNum);
  EXPECT_EQ(0, attr->wMinorVerNum);
  // The loader adds FHASDISKIMAGE; what the file says is FCONTROL alone.
  EXPECT_EQ(LIBFLAG_FCONTROL, attr->wLibFlags & ~LIBFLAG_FHASDISKIMAGE);
  lib_->ReleaseTLibAttr(attr);
  Bstr name, doc;
  ASSERT_EQ(S_OK, lib_->GetDocumentation(-1, name.put(), doc.put(), nullptr, nullptr));
  EXPECT_EQ(L"QuonTessel", name.str());
  EXPECT_EQ(L"QuonTessel", doc.str());

  // Exactly these types, with these names and kinds.
  struct TypeRow {
    const wchar_t *name, *guid;
    TYPEKIND kind;
  };
  std::vector<TypeRow> types = {{L"_TesselControl", kInterfaceIid, TKIND_DISPATCH},
                                {L"__TesselControl", kEventsIid, TKIND_DISPATCH},
                                {L"TesselControl", kControlClsid, TKIND_COCLASS},
                                {L"eTabAlignment", kEnumGuid, TKIND_ENUM}};
  for (const PageClass& page : kPages) {
    types.push_back({page.interface_name, page.iid, TKIND_DISPATCH});
    types.push_back({page.name, page.clsid, TKIND_COCLASS});
  }
  EXPECT_EQ(types.size(), lib_->GetTypeInfoCount());
  for (const auto& type : types) {
    SCOPED_TRACE(type.name);
    ComPtr<ITypeInfo> info = Type(type.guid);
    ASSERT_TRUE(info.get());
    EXPECT_EQ(type.name, Name(info.get()));
    EXPECT_EQ(type.kind, TypeAttr(info.get())->typekind);
  }

  ComPtr<ITypeInfo> control = Type(kControlClsid);
  EXPECT_EQ(TYPEFLAG_FCONTROL | TYPEFLAG_FCANCREATE, TypeAttr(control.get())->wTypeFlags);
  ASSERT_EQ(2, TypeAttr(control.get())->cImplTypes);
  EXPECT_EQ(std::make_pair(std::wstring(L"_TesselControl"), INT{IMPLTYPEFLAG_FDEFAULT}),
            Implemented(control.get(), 0));
  EXPECT_EQ(std::make_pair(std::wstring(L"__TesselControl"),
                           INT{IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE}),
            Implemented(control.get(), 1));

  // The page classes implement memberless hidden dual interfaces.
  for (const PageClass& page : kPages) {
    SCOPED_TRACE(page.name);
    ComPtr<ITypeInfo> coclass = Type(page.clsid);
    EXPECT_EQ(TYPEFLAG_FCANCREATE, TypeAttr(coclass.get())->wTypeFlags);
    ASSERT_EQ(1, TypeAttr(coclass.get())->cImplTypes);
    EXPECT_EQ(std::make_pair(std::wstring(page.interface_name), INT{IMPLTYPEFLAG_FDEFAULT}),
              Implemented(coclass.get(), 0));
    ExpectDual(page.iid, 0);
    EXPECT_EQ(std::vector<std::string>{}, DispatchFunctions(Type(page.iid).get(), {}));
  }

  ComPtr<ITypeInfo> alignment = Type(kEnumGuid);
  TypeAttr values(alignment.get());
  EXPECT_EQ(4u, values->cbSizeInstance);
  ASSERT_EQ(2, values->cVars);
  for (UINT i = 0; i < 2; ++i) {
    VARDESC* var = nullptr;
    ASSERT_EQ(S_OK, alignment->GetVarDesc(i, &var));
    EXPECT_EQ(kAlignment[i].first, Name(alignment.get(), var->memid));
    EXPECT_EQ(VAR_CONST, var->varkind);
    EXPECT_EQ(VT_I4, V_VT(var->lpvarValue));
    EXPECT_EQ(kAlignment[i].second, V_I4(var->lpvarValue));
    alignment->ReleaseVarDesc(var);
  }
}

// Every function of the dual interface in vtable order, in both views, with
// every parameter's name as the file holds it; then the events interface.
TEST_P(TypeLibraryTest, DualInterfaceInBothViewsAndEventInterface) {
  ExpectDual(kInterfaceIid, std::size(kInterface));
  ComPtr<ITypeInfo> dispatch = Type(kInterfaceIid);
  ComPtr<ITypeInfo> view = OtherView(dispatch.get());
  ASSERT_TRUE(view.get());
  UINT index = 0;
  ComPtr<ITypeLib> container;
  ASSERT_EQ(S_OK, dispatch->GetContainingTypeLib(container.put(), &index));
  const auto names = RawFunctionNames(path_, index);
  ASSERT_EQ(std::size(kInterface), names.size());

  std::vector<std::string> functions;
  std::set<MEMBERID> seen;
  for (UINT k = 0; k < std::size(kInterface); ++k) {
    SCOPED_TRACE(testing::Message() << "function " << k);
    FuncDesc desc(view.get(), k);
    ASSERT_EQ(S_OK, desc.hr);
    functions.push_back(FunctionText(view.get(), *desc.desc, names[k]));
    EXPECT_EQ(FUNC_PUREVIRTUAL, desc->funckind);
    EXPECT_EQ(CC_STDCALL, desc->callconv);
    EXPECT_EQ(static_cast<SHORT>((7 + k) * kPointer), desc->oVft);
    EXPECT_EQ("HRESULT", TypeName(view.get(), desc->elemdescFunc.tdesc));
    EXPECT_EQ(0, desc->cParamsOpt);
    // What clients see through GetNames: the first function of each DISPID.
    if (seen.insert(desc->memid).second) {
      EXPECT_EQ(names[k], Names(view.get(), desc->memid));
    }
  }
  ExpectFunctions(kInterface, functions);
  ExpectFunctions(kInterface, DispatchFunctions(dispatch.get(), names));

  // Hosts find the about box by its standard DISPID.
  EXPECT_EQ(DISPID_ABOUTBOX, IdOfName(dispatch.get(), L"ShowAboutBox"));

  // Designers and object browsers list every function of the events
  // interface as an event: it has the five events alone, and implements
  // IDispatch.
  ComPtr<ITypeInfo> events = Type(kEventsIid);
  TypeAttr attr(events.get());
  EXPECT_EQ(TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE, attr->wTypeFlags);
  EXPECT_EQ(std::size(kEvents), UINT{attr->cFuncs});
  ASSERT_EQ(1, attr->cImplTypes);
  EXPECT_EQ(L"IDispatch", Implemented(events.get(), 0).first);
  ExpectFunctions(kEvents, DispatchFunctions(events.get(), {}));

  // Each event's name leads to its DISPID.
  for (const char* text : kEvents) {
    const Member event = Parse(text);
    EXPECT_EQ(event.id, IdOfName(events.get(), widen(event.name))) << event.name;
  }
}

// The first sentence of a reference cell as plain text: up to the first
// ". " or the cell's end, without backticks.
std::wstring FirstSentence(std::string cell) {
  const size_t end = cell.find(". ");
  if (end != std::string::npos) cell.resize(end + 1);
  std::erase(cell, '`');
  return widen(cell);
}

// Every member and event carries a one-line help string for object
// browsers, the first sentence of its row in the reference, so the two
// cannot drift apart. The control's property table has one row for each
// property the library lists, under the library's name and DISPID.
TEST_P(TypeLibraryTest, HelpStringsAndThePropertyTableFollowTheLibrary) {
  const std::string doc = tessel_test::read_doc("reference.md");
  std::map<std::wstring, std::wstring> expected;  // name -> first sentence
  for (const char* heading : {"## Properties", "## Methods", "## Events"}) {
    for (const auto& row : tessel_test::table_rows(tessel_test::doc_section(doc, heading))) {
      expected[widen(row.front().substr(0, row.front().find('(')))] = FirstSentence(row.back());
    }
  }
  std::set<std::wstring> seen;
  std::map<std::wstring, MEMBERID> properties;
  for (const wchar_t* iid : {kInterfaceIid, kEventsIid}) {
    ComPtr<ITypeInfo> info = Type(iid);
    ASSERT_TRUE(info.get());
    for (UINT k = 0; k < TypeAttr(info.get())->cFuncs; ++k) {
      const FuncDesc desc(info.get(), k);
      ASSERT_EQ(S_OK, desc.hr);
      // IUnknown's and IDispatch's own functions, listed by the dispatch view.
      if (desc->memid >= 0x60000000 && desc->memid < 0x60020000) continue;
      Bstr name, help;
      ASSERT_EQ(S_OK,
                info->GetDocumentation(desc->memid, name.put(), help.put(), nullptr, nullptr));
      SCOPED_TRACE(narrow(name.str()));
      ASSERT_TRUE(expected.contains(name.str())) << "the reference has no row for it";
      EXPECT_EQ(expected[name.str()], help.str());
      EXPECT_FALSE(help.empty());
      EXPECT_EQ(help.view().find_first_of(L"\r\n"), std::wstring_view::npos);
      seen.insert(name.str());
      if (iid == kInterfaceIid && desc->invkind != INVOKE_FUNC)
        properties[name.str()] = desc->memid;
    }
  }
  EXPECT_EQ(expected.size(), seen.size()) << "rows of the reference that name no member";
  std::map<std::wstring, MEMBERID> rows;
  for (const tessel::PropertyRow& row : tessel::property_table()) {
    EXPECT_TRUE(rows.emplace(row.name, row.dispid).second) << "twice: " << std::wstring(row.name);
  }
  EXPECT_EQ(properties, rows);
}

// The generated header's vtable against the type library's slots: g++
// (Itanium C++ ABI) stores a pointer to a virtual member function as 1 + its
// byte offset in the vtable.
template <class Pointer>
std::ptrdiff_t VtableOffset(Pointer member) {
  static_assert(sizeof(Pointer) == 2 * sizeof(void*));
  std::uintptr_t raw[2];
  std::memcpy(raw, &member, sizeof raw);
  return (raw[0] & 1) ? static_cast<std::ptrdiff_t>(raw[0] - 1) : -1;
}

using I = tessel::_TesselControl;
template <class... Args>
using Method = HRESULT (STDMETHODCALLTYPE I::*)(Args...);
static_assert(std::is_same_v<decltype(&I::AddRow), Method<LONG*, BSTR*, IPictureDisp**, LONG*>>);
static_assert(std::is_same_v<decltype(&I::get_RowWidth), Method<LONG, LONG*>>);
static_assert(std::is_same_v<decltype(&I::putref_RowPicture), Method<LONG, IPictureDisp*>>);
static_assert(std::is_same_v<decltype(&I::put_Alignment), Method<tessel::eTabAlignment>>);
static_assert(std::is_same_v<decltype(&I::DeleteRow), Method<VARIANT*>>);

#define SLOT(member) VtableOffset(&I::member)
TEST(GeneratedHeader, VtableAndIdentifiersMatchTheTypeLibrary) {
  // In kInterface's order; the type library test checks slot k is 7 + k.
  // clang-format off
  const std::ptrdiff_t header[] = {
      SLOT(get_HeaderHeight), SLOT(put_HeaderHeight), SLOT(get_BackColor), SLOT(put_BackColor),
      SLOT(get_ForeColor), SLOT(put_ForeColor), SLOT(get_ForeColorActive),
      SLOT(put_ForeColorActive), SLOT(get_BackColorForm), SLOT(put_BackColorForm),
      SLOT(get_MouseMoveColor0), SLOT(put_MouseMoveColor0), SLOT(get_MouseMoveColor1),
      SLOT(put_MouseMoveColor1), SLOT(get_MouseMoveColor2), SLOT(put_MouseMoveColor2),
      SLOT(put_RegisterFocusColor0), SLOT(get_RegisterFocusColor0), SLOT(put_RegisterFocusColor1),
      SLOT(get_RegisterFocusColor1), SLOT(put_RegisterFocusColor2), SLOT(get_RegisterFocusColor2),
      SLOT(get_FrameColor), SLOT(put_FrameColor), SLOT(get_RowWidth), SLOT(put_RowWidth),
      SLOT(get_RowCaption), SLOT(put_RowCaption), SLOT(get_RowSorted), SLOT(put_RowSorted),
      SLOT(get_RowPicture), SLOT(putref_RowPicture), SLOT(get_Font), SLOT(putref_Font),
      SLOT(get_FontBold), SLOT(put_FontBold), SLOT(get_FontItalic), SLOT(put_FontItalic),
      SLOT(get_FontStrikethru), SLOT(put_FontStrikethru), SLOT(get_FontUnderline),
      SLOT(put_FontUnderline), SLOT(get_FontSize), SLOT(put_FontSize), SLOT(get_FontName),
      SLOT(put_FontName), SLOT(get_MaskColor), SLOT(put_MaskColor), SLOT(get_NumberOfRows),
      SLOT(get_Alignment), SLOT(put_Alignment), SLOT(get_ForeColorHot), SLOT(put_ForeColorHot),
      SLOT(get_SortedRow), SLOT(put_SortedRow), SLOT(get_ShowFrame), SLOT(put_ShowFrame),
      SLOT(get_ShowSortPic), SLOT(put_ShowSortPic), SLOT(get_ColumnWidths), SLOT(put_ColumnWidths),
      SLOT(get_SelectedRow), SLOT(put_SelectedRow), SLOT(DrawTab), SLOT(DrawTabTop), SLOT(AddRow),
      SLOT(DeleteRow), SLOT(GetPictureSize), SLOT(SetTabAccessKeys), SLOT(GetTabAccessKey),
      SLOT(ShowAboutBox)};
  // clang-format on
  ASSERT_EQ(std::size(kInterface), std::size(header));
  for (size_t k = 0; k < std::size(header); ++k) {
    EXPECT_EQ(static_cast<std::ptrdiff_t>((7 + k) * kPointer), header[k]) << kInterface[k];
  }

  // Its identifiers and constants are the published ones.
  const std::pair<const wchar_t*, GUID> guids[] = {
      {kLibId, tessel::LIBID_QuonTessel},          {kControlClsid, tessel::CLSID_TesselControl},
      {kInterfaceIid, tessel::IID__TesselControl}, {kEventsIid, tessel::DIID___TesselControl},
      {kPages[0].clsid, tessel::CLSID_Register},   {kPages[0].iid, tessel::IID__Register},
      {kPages[1].clsid, tessel::CLSID_Allgemein},  {kPages[1].iid, tessel::IID__Allgemein},
      {kPages[2].clsid, tessel::CLSID_TabsC},      {kPages[2].iid, tessel::IID__TabsC},
      {kEnumGuid, tessel::GUID_eTabAlignment}};
  for (const auto& [text, guid] : guids) EXPECT_TRUE(IsEqualGUID(Guid(text), guid)) << text;
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
#undef SLOT

// A type as the reference writes it.
std::string VbType(std::string type) {
  type.erase(type.find_last_not_of('*') + 1);
  const std::pair<const char*, const char*> names[] = {
      {"I2", "Integer"},           {"I4", "Long"},       {"R4", "Single"},
      {"BOOL", "Boolean"},         {"BSTR", "String"},   {"VARIANT", "Variant"},
      {"IPictureDisp", "Picture"}, {"IFontDisp", "Font"}};
  for (const auto& [from, to] : names) {
    if (type == from) return to;
  }
  return type;
}

// "name As Type, ..." of the parameters that are not the result; the result.
std::pair<std::string, std::string> Signature(const Member& member) {
  std::string params, result;
  for (const auto& [type, rest] : member.params) {
    if (rest.find(" retval") != std::string::npos) {
      result = VbType(type);
    } else {
      params +=
          (params.empty() ? "" : ", ") + rest.substr(0, rest.find(' ')) + " As " + VbType(type);
    }
  }
  return {params, result};
}

// The first `count` cells of each row of the table under "## heading",
// joined by " | ", without the marks of optional and by-reference parameters.
std::vector<std::string> Rows(const std::string& doc, const std::string& heading, size_t count) {
  static const std::regex marks(R"(\[|\]| = [^,\]]*|, all by reference|, by reference)");
  std::vector<std::string> rows;
  for (const auto& cells :
       tessel_test::table_rows(tessel_test::doc_section(doc, "## " + heading))) {
    std::string row;
    for (size_t i = 0; i < count && i < cells.size(); ++i) row += (i ? " | " : "") + cells[i];
    rows.push_back(std::regex_replace(row, marks, ""));
  }
  return rows;
}

std::string IdText(DISPID id) {
  char text[16];
  snprintf(text, sizeof text, id < 0 ? "%ld" : "0x%08lX", static_cast<long>(id));
  return text;
}

// docs/reference.md against the literal tables above, which the type library
// tests hold the library to: every member, its DISPID, type, access, flags
// and parameters, so the reference cannot drift.
TEST(ReferenceDoc, MatchesTheInterfaceTheEventsAndTheEnumeration) {
  const std::string doc = tessel_test::read_doc("reference.md");
  ASSERT_FALSE(doc.empty());
  std::vector<Member> all;
  for (const char* text : kInterface) all.push_back(Parse(text));
  std::vector<std::string> properties, methods, events, values;
  for (const Member& m : all) {
    const auto [params, result] = Signature(m);
    if (m.kind == "func")
      methods.push_back(m.name + " | " + IdText(m.id) + " | " + params + " | " + result);
    if (m.kind != "get") continue;
    std::string access = "read-only", flags;
    for (const Member& other : all) {
      if (other.name != m.name) continue;
      flags += other.flags;
      if (other.kind == "let") access = "read/write";
      if (other.kind == "set") access = "read/Set";
    }
    if (flags.find("hidden") != std::string::npos) access += ", hidden";
    if (flags.find("nonbrowsable") != std::string::npos) access += ", non-browsable";
    properties.push_back(m.name + (params.empty() ? "" : "(Index)") + " | " + IdText(m.id) + " | " +
                         result + " | " + access);
  }
  for (const char* text : kEvents) {
    const Member m = Parse(text);
    events.push_back(m.name + " | " + std::to_string(m.id) + " | " + Signature(m).first);
  }
  for (const auto& [name, value] : kAlignment) {
    values.push_back(narrow(name) + " | " + std::to_string(value));
  }
  auto expect_rows = [&](const char* heading, size_t cells,
                         const std::vector<std::string>& expected) {
    SCOPED_TRACE(heading);
    const std::vector<std::string> rows = Rows(doc, heading, cells);
    EXPECT_EQ(expected.size(), rows.size());
    for (size_t k = 0; k < expected.size() && k < rows.size(); ++k) EXPECT_EQ(expected[k], rows[k]);
  };
  expect_rows("Properties", 4, properties);
  expect_rows("Methods", 4, methods);
  expect_rows("Events", 3, events);
  expect_rows("Enumeration eTabAlignment", 2, values);
}

}  // namespace
