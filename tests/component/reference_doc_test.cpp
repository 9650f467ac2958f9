// docs/reference.md against the type library in the DLL: every member, its
// DISPID, type, access, flags and parameters, so the reference cannot drift.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "support/com_test_env.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

using framework::ComPtr;

std::string narrow(BSTR s) { return s ? std::string(s, s + SysStringLen(s)) : ""; }

// The rows of the table under heading, as cells without padding.
std::vector<std::vector<std::string>> table(const std::string& text, const std::string& heading) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text.substr(text.find("## " + heading)));
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line) && line.rfind("## ", 0) != 0) {
    if (line.empty() || line[0] != '|' || line.find("---") != std::string::npos) continue;
    std::vector<std::string> cells;
    std::stringstream cells_in(line.substr(1));
    std::string cell;
    while (std::getline(cells_in, cell, '|')) {
      cell.erase(0, cell.find_first_not_of(' '));
      cell.erase(cell.find_last_not_of(' ') + 1);
      cells.push_back(cell);
    }
    rows.push_back(cells);
  }
  rows.erase(rows.begin());  // the header row
  return rows;
}

// What the type library says about one member, in the document's words.
struct Member {
  DISPID id;
  std::set<INVOKEKIND> kinds;
  WORD flags = 0;
  std::string type;                 // of the property or the result
  std::vector<std::string> params;  // of a method: "name As Type"
  bool indexed = false;             // a property taking an Index
};

std::string type_name(ITypeInfo* info, const TYPEDESC& t) {
  switch (t.vt) {
    case VT_I4:
      return "Long";
    case VT_I2:
      return "Integer";
    case VT_BOOL:
      return "Boolean";
    case VT_R4:
      return "Single";
    case VT_BSTR:
      return "String";
    case VT_VARIANT:
      return "Variant";
    case VT_PTR:
      return type_name(info, *t.lptdesc);
    case VT_USERDEFINED: {
      ComPtr<ITypeInfo> ref;
      BSTR name = nullptr;
      info->GetRefTypeInfo(t.hreftype, ref.put());
      ref->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
      std::string result = narrow(name);
      SysFreeString(name);
      return result;
    }
    default:
      return "?";
  }
}

std::map<std::string, Member> members(ITypeInfo* info) {
  std::map<std::string, Member> result;
  TYPEATTR* attr = nullptr;
  info->GetTypeAttr(&attr);
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    FUNCDESC* fd = nullptr;
    info->GetFuncDesc(i, &fd);
    BSTR names[16] = {};
    UINT count = 0;
    info->GetNames(fd->memid, names, 16, &count);
    Member& m = result[narrow(names[0])];
    m.id = fd->memid;
    m.kinds.insert(fd->invkind);
    m.flags |= fd->wFuncFlags;
    for (SHORT p = 0; p < fd->cParams; ++p) {
      const ELEMDESC& e = fd->lprgelemdescParam[p];
      const std::string type = type_name(info, e.tdesc);
      const bool retval = (e.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) != 0;
      const bool last = p + 1 == fd->cParams;
      if (retval) {
        m.type = type;
      } else if (fd->invkind == INVOKE_FUNC) {
        m.params.push_back(narrow(names[p + 1]) + " As " + type);
      } else if (fd->invkind == INVOKE_PROPERTYGET) {
        m.indexed = true;
      } else if (last) {
        m.type = type;  // a setter's value
      }
    }
    for (UINT n = 0; n < count; ++n) SysFreeString(names[n]);
    info->ReleaseFuncDesc(fd);
  }
  info->ReleaseTypeAttr(attr);
  return result;
}

DISPID parse_id(const std::string& text) {
  return static_cast<DISPID>(std::stoll(text, nullptr, 0));
}

class ReferenceDoc : public ::testing::Test {
 protected:
  void SetUp() override {
    std::wstring path = bin_dir() + L"..\\..\\..\\docs\\reference.md";
    std::ifstream in(std::string(path.begin(), path.end()));
    std::stringstream buffer;
    buffer << in.rdbuf();
    doc = buffer.str();
    ASSERT_FALSE(doc.empty());
    ASSERT_EQ(LoadTypeLibEx(dll_path().c_str(), REGKIND_NONE, library.put()), S_OK);
  }
  ComPtr<ITypeInfo> info(REFGUID guid) {
    ComPtr<ITypeInfo> dispatch, vtable;
    library->GetTypeInfoOfGuid(guid, dispatch.put());
    HREFTYPE ref = 0;
    if (SUCCEEDED(dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref))) {
      dispatch->GetRefTypeInfo(ref, vtable.put());
      return vtable;
    }
    return dispatch;
  }
  std::string doc;
  ComPtr<ITypeLib> library;
};

TEST_F(ReferenceDoc, PropertiesAndMethodsMatchTheInterface) {
  auto all = members(info(tessel::IID__TesselControl).get());
  std::set<std::string> documented;
  for (const auto& row : table(doc, "Properties")) {
    const std::string name = row[0].substr(0, row[0].find('('));
    SCOPED_TRACE(name);
    ASSERT_TRUE(all.count(name));
    const Member& m = all[name];
    documented.insert(name);
    EXPECT_EQ(parse_id(row[1]), m.id);
    EXPECT_EQ(row[2], m.type);
    EXPECT_EQ(row[0].find("(Index)") != std::string::npos, m.indexed);
    std::set<INVOKEKIND> kinds{INVOKE_PROPERTYGET};
    if (row[3].rfind("read/write", 0) == 0) kinds.insert(INVOKE_PROPERTYPUT);
    if (row[3].rfind("read/Set", 0) == 0) kinds.insert(INVOKE_PROPERTYPUTREF);
    EXPECT_EQ(kinds, m.kinds);
    EXPECT_EQ(row[3].find("hidden") != std::string::npos, (m.flags & FUNCFLAG_FHIDDEN) != 0);
    EXPECT_EQ(row[3].find("non-browsable") != std::string::npos,
              (m.flags & FUNCFLAG_FNONBROWSABLE) != 0);
  }
  for (const auto& row : table(doc, "Methods")) {
    SCOPED_TRACE(row[0]);
    ASSERT_TRUE(all.count(row[0]));
    const Member& m = all[row[0]];
    documented.insert(row[0]);
    EXPECT_EQ(parse_id(row[1]), m.id);
    EXPECT_EQ(m.kinds, std::set<INVOKEKIND>{INVOKE_FUNC});
    std::string params;
    for (const auto& p : m.params) params += (params.empty() ? "" : ", ") + p;
    std::string written = std::regex_replace(
        row[2], std::regex(R"(\[|\]| = [^,\]]*|, all by reference|, by reference)"), "");
    EXPECT_EQ(written, params);
    EXPECT_EQ(row[3], m.type);
  }
  const std::set<std::string> inherited{
      "QueryInterface", "AddRef",        "Release", "GetTypeInfoCount",
      "GetTypeInfo",    "GetIDsOfNames", "Invoke"};
  for (const auto& entry : all) {
    if (inherited.count(entry.first)) continue;
    EXPECT_TRUE(documented.count(entry.first)) << entry.first << " is not documented";
  }
}

TEST_F(ReferenceDoc, EventsAndTheEnumerationMatch) {
  auto events = members(info(tessel::DIID___TesselControl).get());
  size_t count = 0;
  for (const auto& row : table(doc, "Events")) {
    SCOPED_TRACE(row[0]);
    ASSERT_TRUE(events.count(row[0]));
    EXPECT_EQ(parse_id(row[1]), events[row[0]].id);
    std::string params;
    for (const auto& p : events[row[0]].params) params += (params.empty() ? "" : ", ") + p;
    EXPECT_EQ(row[2], params);
    ++count;
  }
  EXPECT_EQ(count, 5u);
  auto rows = table(doc, "Enumeration eTabAlignment");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"reg_Top", "0"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"reg_Bottom", "1"}));
}

}  // namespace
}  // namespace tessel_test
