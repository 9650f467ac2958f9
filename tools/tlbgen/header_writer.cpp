#include "header_writer.h"

#include <cstdio>
#include <sstream>
#include <string_view>

#include "accessors.h"
#include "com_util.h"

namespace tlbgen {
namespace {

std::string GuidInitializer(const GUID& g) {
  char text[128];
  std::snprintf(
      text, sizeof text,
      "{0x%08lX, 0x%04X, 0x%04X, {0x%02X, 0x%02X, 0x%02X, 0x%02X, 0x%02X, 0x%02X, 0x%02X, 0x%02X}}",
      static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2],
      g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return text;
}

std::string DispidLiteral(DISPID id) {
  char text[32];
  if (id < 0) {
    std::snprintf(text, sizeof text, "%ld", static_cast<long>(id));
  } else {
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(id));
  }
  return text;
}

std::string CppType(Type type) {
  switch (type) {
    case Type::Void:
      return "void";
    case Type::Long:
      return "LONG";
    case Type::Integer:
      return "SHORT";
    case Type::Boolean:
      return "VARIANT_BOOL";
    case Type::Single:
      return "float";
    case Type::String:
      return "BSTR";
    case Type::Variant:
      return "VARIANT";
    case Type::OleColor:
      return "OLE_COLOR";
    case Type::Picture:
      return "IPictureDisp*";
    case Type::Font:
      return "IFontDisp*";
    case Type::TabAlignment:
      return "eTabAlignment";
  }
  return "void";
}

std::string MethodName(const Accessor& accessor) {
  const std::string name = Narrow(accessor.member->name);
  switch (accessor.invoke) {
    case Invoke::Get:
      return "get_" + name;
    case Invoke::Put:
      return "put_" + name;
    case Invoke::PutRef:
      return "putref_" + name;
    case Invoke::Func:
      break;
  }
  return name;
}

std::string ParameterList(const std::vector<AccessorParam>& params) {
  std::string result;
  for (const AccessorParam& param : params) {
    if (!result.empty()) result += ", ";
    result += CppType(param.type) + (param.by_ref ? "* " : " ") + Narrow(param.name);
  }
  return result;
}

void WriteGuid(std::ostream& out, std::string_view prefix, std::wstring_view name,
               const GUID& guid) {
  out << "inline constexpr GUID " << prefix << Narrow(name) << " = " << GuidInitializer(guid)
      << ";\n";
}

// Calls write(prefix, name, guid) for every identifier of the library, in
// the order the headers list them.
template <class Write>
void ForEachGuid(const Library& lib, Write write) {
  write("LIBID_", lib.name, lib.libid);
  write("CLSID_", lib.control_name, lib.control_clsid);
  write("IID_", lib.interface_name, lib.interface_iid);
  write("DIID_", lib.events_name, lib.events_iid);
  for (const PageClass& page : lib.pages) {
    write("CLSID_", page.name, page.clsid);
    write("IID_", page.interface_name, page.iid);
  }
  write("GUID_", lib.enum_name, lib.enum_guid);
}

// One help string as a comment line.
void WriteHelp(std::ostream& out, std::string_view indent, std::wstring_view help) {
  out << indent << "/* " << Narrow(help) << " */\n";
}

void WriteHostGuid(std::ostream& out, std::string_view prefix, std::wstring_view name,
                   const GUID& guid) {
  out << "TESSELCONTROL_GUID " << prefix << Narrow(name) << " = " << GuidInitializer(guid) << ";\n";
}

// The C view of the dual interface: a vtable of function pointers, IUnknown's
// and IDispatch's seven first, each taking the interface pointer.
void WriteCVtable(std::ostream& out, const Library& lib) {
  const std::string name = Narrow(lib.interface_name);
  const std::string self = name + "* This";
  out << "typedef struct " << name << " " << name << ";\n"
      << "typedef struct " << name << "Vtbl {\n"
      << "  BEGIN_INTERFACE\n"
      << "  HRESULT(STDMETHODCALLTYPE* QueryInterface)(" << self
      << ", REFIID riid, void** ppvObject);\n"
      << "  ULONG(STDMETHODCALLTYPE* AddRef)(" << self << ");\n"
      << "  ULONG(STDMETHODCALLTYPE* Release)(" << self << ");\n"
      << "  HRESULT(STDMETHODCALLTYPE* GetTypeInfoCount)(" << self << ", UINT* pctinfo);\n"
      << "  HRESULT(STDMETHODCALLTYPE* GetTypeInfo)(" << self
      << ", UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo);\n"
      << "  HRESULT(STDMETHODCALLTYPE* GetIDsOfNames)(" << self
      << ", REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId);\n"
      << "  HRESULT(STDMETHODCALLTYPE* Invoke)(" << self
      << ", DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams, "
         "VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr);\n";
  for (const Accessor& accessor : InterfaceAccessors(lib)) {
    const std::string params = ParameterList(accessor.params);
    WriteHelp(out, "  ", accessor.member->help);
    out << "  HRESULT(STDMETHODCALLTYPE* " << MethodName(accessor) << ")(" << self
        << (params.empty() ? "" : ", ") << params << ");\n";
  }
  out << "  END_INTERFACE\n"
      << "} " << name << "Vtbl;\n"
      << "struct " << name << " {\n"
      << "  const struct " << name << "Vtbl* lpVtbl;\n"
      << "};\n";
}

}  // namespace

std::string GenerateHostHeader(const Library& lib) {
  std::ostringstream out;
  const std::string control = Narrow(lib.control_name);
  out << "/* " << control << ".h: the identifiers and interfaces of " << control
      << ".dll for C and C++\n"
         "   hosts. Generated by tlbgen from the control's type library table. Do not edit. */\n"
         "#ifndef TESSELCONTROL_H_\n"
         "#define TESSELCONTROL_H_\n"
         "#include <windows.h>\n"
         "#include <ole2.h>\n"
         "#include <olectl.h>\n\n"
         "/* One definition of each identifier however many files include this. */\n"
         "#ifdef __cplusplus\n"
         "#define TESSELCONTROL_GUID extern \"C\" const GUID DECLSPEC_SELECTANY\n"
         "#else\n"
         "#define TESSELCONTROL_GUID const GUID DECLSPEC_SELECTANY\n"
         "#endif\n";
  out << "/* Type library " << Narrow(lib.name) << " " << lib.major << "." << lib.minor
      << ", the class, its interfaces, its property pages and the enumeration. */\n";
  ForEachGuid(lib, [&](std::string_view prefix, std::wstring_view name, const GUID& guid) {
    WriteHostGuid(out, prefix, name, guid);
  });
  const std::string upper = "TESSELCONTROL";
  out << "#define " << upper << "_TYPELIB_MAJOR " << lib.major << "\n"
      << "#define " << upper << "_TYPELIB_MINOR " << lib.minor << "\n"
      << "#define " << upper << "_PROGID L\"" << Narrow(lib.name) << "." << control << "\"\n\n";

  out << "typedef enum " << Narrow(lib.enum_name) << " {";
  for (size_t i = 0; i < lib.enum_values.size(); ++i) {
    out << (i ? ", " : " ") << Narrow(lib.enum_values[i].name) << " = " << lib.enum_values[i].value;
  }
  out << " } " << Narrow(lib.enum_name) << ";\n\n";

  out << "/* DISPIDs of the members of " << Narrow(lib.interface_name) << ". */\n";
  for (const Member& member : lib.members) {
    out << "#define DISPID_" << control << "_" << Narrow(member.name) << " "
        << DispidLiteral(member.dispid) << "\n";
  }
  out << "/* DISPIDs of the events of " << Narrow(lib.events_name)
      << "; every parameter comes by reference (VT_BYREF). */\n";
  for (const Event& event : lib.events) {
    WriteHelp(out, "", event.help);
    out << "#define DISPID_" << control << "_Event_" << Narrow(event.name) << " " << event.dispid
        << "\n";
  }

  out << "\n#ifdef __cplusplus\n"
      << "/* The dual interface; its vtable follows the type library's. */\n"
      << "struct " << Narrow(lib.interface_name) << " : public IDispatch {\n";
  for (const Accessor& accessor : InterfaceAccessors(lib)) {
    WriteHelp(out, "  ", accessor.member->help);
    out << "  virtual HRESULT STDMETHODCALLTYPE " << MethodName(accessor) << "("
        << ParameterList(accessor.params) << ") = 0;\n";
  }
  out << "};\n#else\n";
  WriteCVtable(out, lib);
  out << "#endif\n\n#endif /* TESSELCONTROL_H_ */\n";
  return out.str();
}

std::string GenerateHeader(const Library& lib) {
  std::ostringstream out;
  out << "// Generated by tlbgen from the type library table. Do not edit.\n"
         "#pragma once\n"
         "#include <windows.h>\n"
         "#include <ole2.h>\n"
         "#include <olectl.h>\n"
         "namespace tessel {\n";
  ForEachGuid(lib, [&](std::string_view prefix, std::wstring_view name, const GUID& guid) {
    WriteGuid(out, prefix, name, guid);
  });
  out << "inline constexpr WORD kTypeLibMajor = " << lib.major << ", kTypeLibMinor = " << lib.minor
      << ";\n";
  char lcid[16];
  std::snprintf(lcid, sizeof lcid, "0x%04lX", static_cast<unsigned long>(lib.lcid));
  out << "inline constexpr LCID kTypeLibLcid = " << lcid << ";\n";

  out << "enum " << Narrow(lib.enum_name) << " : LONG {";
  for (size_t i = 0; i < lib.enum_values.size(); ++i) {
    out << (i ? ", " : " ") << Narrow(lib.enum_values[i].name) << " = " << lib.enum_values[i].value;
  }
  out << " };\n";

  out << "namespace dispid {\n";
  for (const Member& member : lib.members) {
    out << "inline constexpr DISPID " << Narrow(member.name) << " = "
        << DispidLiteral(member.dispid) << ";\n";
  }
  out << "}  // namespace dispid\n";

  out << "namespace event_dispid {\n";
  for (const Event& event : lib.events) {
    out << "inline constexpr DISPID " << Narrow(event.name) << " = " << event.dispid << ";\n";
  }
  out << "}  // namespace event_dispid\n";

  out << "// The dual interface; its vtable follows the type library's oVft order.\n";
  out << "struct " << Narrow(lib.interface_name) << " : public IDispatch {\n";
  for (const Accessor& accessor : InterfaceAccessors(lib)) {
    out << "  virtual HRESULT STDMETHODCALLTYPE " << MethodName(accessor) << "("
        << ParameterList(accessor.params) << ") = 0;\n";
  }
  out << "};\n";
  for (const PageClass& page : lib.pages) {
    out << "struct " << Narrow(page.interface_name) << " : public IDispatch {};\n";
  }
  out << "}  // namespace tessel\n";
  return out.str();
}

}  // namespace tlbgen
