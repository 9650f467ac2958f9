// The 32-bit DLL cannot run here (the machine has no 32-bit support), so it
// is checked as a file: its exports, its resources, and a type library that
// matches the 64-bit one in everything but the platform.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "framework/bstr.h"
#include "framework/com_ptr.h"
#include "framework/variant.h"
#include "support/com_test_env.h"

namespace tessel_test {
namespace {

std::wstring x86_dll() { return bin_dir() + L"..\\..\\x86\\bin\\TesselControl.dll"; }

std::vector<unsigned char> read_file(const std::wstring& path) {
  std::ifstream in(std::string(path.begin(), path.end()), std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

template <class T>
T at(const std::vector<unsigned char>& file, size_t offset) {
  T value{};
  if (offset + sizeof(T) <= file.size()) memcpy(&value, file.data() + offset, sizeof(T));
  return value;
}

// The names a 32-bit PE file exports.
std::set<std::string> exports_of(const std::vector<unsigned char>& file, WORD* machine) {
  auto nt = at<LONG>(file, offsetof(IMAGE_DOS_HEADER, e_lfanew));
  auto headers = at<IMAGE_NT_HEADERS32>(file, nt);
  *machine = headers.FileHeader.Machine;
  auto dir = headers.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  size_t sections =
      nt + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + headers.FileHeader.SizeOfOptionalHeader;
  auto to_offset = [&](DWORD rva) -> size_t {
    for (WORD i = 0; i < headers.FileHeader.NumberOfSections; ++i) {
      auto s = at<IMAGE_SECTION_HEADER>(file, sections + i * sizeof(IMAGE_SECTION_HEADER));
      if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData) {
        return rva - s.VirtualAddress + s.PointerToRawData;
      }
    }
    return file.size();
  };
  std::set<std::string> names;
  auto exports = at<IMAGE_EXPORT_DIRECTORY>(file, to_offset(dir.VirtualAddress));
  for (DWORD i = 0; i < exports.NumberOfNames; ++i) {
    size_t name = to_offset(at<DWORD>(file, to_offset(exports.AddressOfNames) + 4 * i));
    std::string text;
    while (name < file.size() && file[name]) text += static_cast<char>(file[name++]);
    names.insert(text);
  }
  return names;
}

std::string narrow(BSTR s) { return s ? std::string(s, s + SysStringLen(s)) : ""; }

std::string name_of(ITypeInfo* info, MEMBERID id = MEMBERID_NIL) {
  framework::Bstr name;
  if (info) info->GetDocumentation(id, name.put(), nullptr, nullptr, nullptr);
  return narrow(name.get());
}

std::string as_text(const VARIANT* value) {
  framework::Variant text;
  VariantChangeType(text.get(), const_cast<VARIANT*>(value), 0, VT_BSTR);
  return V_VT(text.get()) == VT_BSTR ? narrow(V_BSTR(text.get())) : "";
}

void describe_type(ITypeInfo* info, const TYPEDESC& t, std::ostream& out) {
  out << t.vt;
  if (t.vt == VT_PTR || t.vt == VT_SAFEARRAY) {
    out << '(';
    describe_type(info, *t.lptdesc, out);
    out << ')';
  } else if (t.vt == VT_USERDEFINED) {
    framework::ComPtr<ITypeInfo> ref;
    info->GetRefTypeInfo(t.hreftype, ref.put());
    out << '<' << name_of(ref.get()) << '>';
  }
}

// Everything a host binds to, in one text: names, identifiers, kinds, flags,
// parameters, defaults, and vtable slots counted in pointers.
void describe_info(ITypeInfo* info, std::ostream& out) {
  TYPEATTR* ta = nullptr;
  info->GetTypeAttr(&ta);
  wchar_t guid[40];
  StringFromGUID2(ta->guid, guid, 40);
  out << "type " << name_of(info) << ' ' << std::string(guid, guid + 38) << ' ' << ta->typekind
      << ' ' << ta->wTypeFlags << ' ' << ta->cFuncs << ' ' << ta->cVars << ' ' << ta->cImplTypes
      << '\n';
  for (UINT f = 0; f < ta->cFuncs; ++f) {
    FUNCDESC* fd = nullptr;
    info->GetFuncDesc(f, &fd);
    BSTR names[16] = {};
    UINT count = 0;
    info->GetNames(fd->memid, names, 16, &count);
    out << "  func " << std::hex << fd->memid << std::dec << ' ' << fd->invkind << ' '
        << fd->funckind << ' ' << fd->wFuncFlags << ' ' << fd->oVft / sizeof(void*) << ' '
        << fd->cParams << ' ' << fd->cParamsOpt << " ret ";
    describe_type(info, fd->elemdescFunc.tdesc, out);
    for (UINT n = 0; n < count; ++n) out << ' ' << narrow(framework::Bstr::adopt(names[n]).get());
    for (SHORT p = 0; p < fd->cParams; ++p) {
      const ELEMDESC& e = fd->lprgelemdescParam[p];
      out << " [" << e.paramdesc.wParamFlags << ' ';
      describe_type(info, e.tdesc, out);
      if ((e.paramdesc.wParamFlags & PARAMFLAG_FHASDEFAULT) && e.paramdesc.pparamdescex) {
        out << " =" << as_text(&e.paramdesc.pparamdescex->varDefaultValue);
      }
      out << ']';
    }
    out << '\n';
    info->ReleaseFuncDesc(fd);
  }
  for (UINT v = 0; v < ta->cVars; ++v) {
    VARDESC* vd = nullptr;
    info->GetVarDesc(v, &vd);
    out << "  var " << name_of(info, vd->memid) << ' '
        << (vd->varkind == VAR_CONST ? as_text(vd->lpvarValue) : "") << '\n';
    info->ReleaseVarDesc(vd);
  }
  for (UINT k = 0; k < ta->cImplTypes; ++k) {
    HREFTYPE ref = 0;
    INT flags = 0;
    info->GetRefTypeOfImplType(k, &ref);
    info->GetImplTypeFlags(k, &flags);
    framework::ComPtr<ITypeInfo> impl;
    info->GetRefTypeInfo(ref, impl.put());
    out << "  impl " << name_of(impl.get()) << ' ' << flags << '\n';
  }
  info->ReleaseTypeAttr(ta);
}

std::string describe(ITypeLib* lib) {
  std::ostringstream out;
  TLIBATTR* la = nullptr;
  lib->GetLibAttr(&la);
  out << "lib " << la->lcid << ' ' << la->wMajorVerNum << '.' << la->wMinorVerNum << ' '
      << la->wLibFlags << '\n';
  lib->ReleaseTLibAttr(la);
  for (UINT i = 0; i < lib->GetTypeInfoCount(); ++i) {
    framework::ComPtr<ITypeInfo> info;
    lib->GetTypeInfo(i, info.put());
    describe_info(info.get(), out);
    // A dual interface's vtable view holds the slots compiled callers use.
    HREFTYPE ref = 0;
    framework::ComPtr<ITypeInfo> vtable;
    if (SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref)) &&
        SUCCEEDED(info->GetRefTypeInfo(ref, vtable.put()))) {
      out << "vtable view\n";
      describe_info(vtable.get(), out);
    }
  }
  return out.str();
}

TEST(X86Build, ExportsTheServerEntryPoints) {
  auto file = read_file(x86_dll());
  ASSERT_FALSE(file.empty()) << "the x86 build is missing; scripts/test builds it";
  WORD machine = 0;
  auto names = exports_of(file, &machine);
  EXPECT_EQ(machine, IMAGE_FILE_MACHINE_I386);
  for (const char* name :
       {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"}) {
    EXPECT_TRUE(names.count(name)) << name;
  }
}

TEST(X86Build, CarriesTheTypeLibraryBitmapAndVersion) {
  HMODULE dll = LoadLibraryExW(x86_dll().c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(dll, nullptr);
  EXPECT_NE(FindResourceW(dll, MAKEINTRESOURCEW(1), L"TYPELIB"), nullptr);
  HRSRC bitmap = FindResourceW(dll, MAKEINTRESOURCEW(30000), MAKEINTRESOURCEW(2));
  ASSERT_NE(bitmap, nullptr);
  auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(dll, bitmap)));
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->biWidth, 16);
  EXPECT_EQ(header->biHeight, 15);
  EXPECT_EQ(header->biBitCount, 24);
  EXPECT_NE(FindResourceW(dll, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16)), nullptr);
  FreeLibrary(dll);

  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(x86_dll().c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(x86_dll().c_str(), 0, size, data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  wchar_t* description = nullptr;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\FileDescription",
                             reinterpret_cast<void**>(&description), &length));
  EXPECT_EQ(std::wstring(description), L"Quon TesselCtl");
}

TEST(X86Build, TypeLibraryMatchesTheX64OneButForThePlatform) {
  framework::ComPtr<ITypeLib> x86, x64;
  ASSERT_EQ(LoadTypeLibEx(x86_dll().c_str(), REGKIND_NONE, x86.put()), S_OK);
  ASSERT_EQ(LoadTypeLibEx(dll_path().c_str(), REGKIND_NONE, x64.put()), S_OK);
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(x86->GetLibAttr(&attr), S_OK);
  EXPECT_EQ(attr->syskind, SYS_WIN32);
  x86->ReleaseTLibAttr(attr);
  ASSERT_EQ(x64->GetLibAttr(&attr), S_OK);
  EXPECT_EQ(attr->syskind, SYS_WIN64);
  x64->ReleaseTLibAttr(attr);
  // The platform scales a library's vtable offsets from the pointer size of
  // its platform to the reading process's, so offsets stored in 4-byte slots
  // for win32 read back here like the win64 library's 8-byte ones; offsets
  // stored in the wrong unit would read back doubled or halved.
  std::string d86 = describe(x86.get()), d64 = describe(x64.get());
  EXPECT_GT(d64.size(), 2000u);
  EXPECT_EQ(d86, d64);
}

}  // namespace
}  // namespace tessel_test
