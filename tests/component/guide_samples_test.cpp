// The samples in docs/guide.md, run: the VBScript ones in a small script host
// made like the Windows Script Host (Wine's own cscript connects no events),
// the rest against the control, the built files and the demo they quote.
#include <gtest/gtest.h>
#include <activscp.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "control/interaction_helpers.h"
#include "support/com_test_env.h"
#include "support/doc_text.h"
#include "support/event_recorder.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

// {B54F3741-5B07-11CF-A4B0-00AA004A55E8}
constexpr CLSID kVBScript = {
    0xB54F3741, 0x5B07, 0x11CF, {0xA4, 0xB0, 0x00, 0xAA, 0x00, 0x4A, 0x55, 0xE8}};

std::wstring text_of(VARIANT* value) {
  Variant text;
  if (FAILED(VariantChangeType(text.get(), value, VARIANT_ALPHABOOL, VT_BSTR))) return L"?";
  return V_BSTR(text.get()) ? V_BSTR(text.get()) : L"";
}

// The events of an object's default source interface (found as script hosts
// find it), by DISPID: each one's name and its parameters as Visual Basic
// declares them.
struct EventShape {
  std::wstring name;
  std::wstring parameters;  // "Button As Integer, ..."
};

std::wstring basic_type(const TYPEDESC& type) {
  const std::map<VARTYPE, std::wstring> names{
      {VT_I2, L"Integer"}, {VT_I4, L"Long"}, {VT_R4, L"Single"}, {VT_BSTR, L"String"}};
  const auto found = names.find(type.vt == VT_PTR ? type.lptdesc->vt : type.vt);  // by reference
  return found == names.end() ? L"?" : found->second;
}

std::map<DISPID, EventShape> event_shapes(IUnknown* object) {
  std::map<DISPID, EventShape> shapes;
  ComPtr<IProvideClassInfo2> provider;
  ComPtr<ITypeInfo> coclass, events;
  ComPtr<ITypeLib> library;
  GUID source{};
  UINT index = 0;
  TYPEATTR* attr = nullptr;
  if (FAILED(object->QueryInterface(IID_IProvideClassInfo2, provider.put_void())) ||
      FAILED(provider->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source)) ||
      FAILED(provider->GetClassInfo(coclass.put())) ||
      FAILED(coclass->GetContainingTypeLib(library.put(), &index)) ||
      FAILED(library->GetTypeInfoOfGuid(source, events.put())) ||
      FAILED(events->GetTypeAttr(&attr))) {
    return shapes;
  }
  for (WORD f = 0; f < attr->cFuncs; ++f) {
    FUNCDESC* func = nullptr;
    if (FAILED(events->GetFuncDesc(f, &func))) continue;
    BSTR names[8] = {};
    UINT got = 0;
    events->GetNames(func->memid, names, 8, &got);
    EventShape shape{got > 0 ? names[0] : L"", L""};
    for (SHORT p = 0; p < func->cParams && p + 1 < static_cast<SHORT>(got); ++p) {
      shape.parameters += (p > 0 ? L", " : L"") + std::wstring(names[p + 1]) + L" As " +
                          basic_type(func->lprgelemdescParam[p].tdesc);
    }
    for (BSTR name : names) SysFreeString(name);
    shapes[func->memid] = shape;
    events->ReleaseFuncDesc(func);
  }
  events->ReleaseTypeAttr(attr);
  return shapes;
}

// What a script run printed and the errors the engine reported.
struct ScriptRun {
  std::vector<std::wstring> output;
  std::vector<std::wstring> errors;
};

// The IUnknown of an object on the test's stack, which outlives the script
// engine that uses it.
template <class Interface, const IID* kIid>
class StackObject : public Interface {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    *object = iid == IID_IUnknown || iid == *kIid ? static_cast<Interface*>(this) : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
};

// The script's WScript object: Echo prints its arguments, separated by
// blanks; CreateObject(ProgID, prefix) creates an object and runs the
// script's procedure prefix & EventName for each event the object raises.
class WScriptObject final : public StackObject<IDispatch, &IID_IDispatch> {
 public:
  WScriptObject(ScriptRun* run, IActiveScript* engine) : run_(run), engine_(engine) {}
  ~WScriptObject() {
    for (auto& connection : connections_) connection->disconnect();
  }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (_wcsicmp(names[0], L"Echo") == 0) ids[0] = kEcho;
    if (_wcsicmp(names[0], L"CreateObject") == 0) ids[0] = kCreateObject;
    return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO*, UINT*) override {
    if (id == kEcho) {
      std::wstring line;
      for (UINT i = params->cArgs; i-- > 0;) {
        line += text_of(&params->rgvarg[i]) + (i > 0 ? L" " : L"");
      }
      run_->output.push_back(line);
      return S_OK;
    }
    if (id != kCreateObject || params->cArgs < 1 || !result) return DISP_E_MEMBERNOTFOUND;
    const std::wstring prog_id = text_of(&params->rgvarg[params->cArgs - 1]);
    const std::wstring prefix = params->cArgs > 1 ? text_of(&params->rgvarg[0]) : L"";
    CLSID clsid{};
    ComPtr<IDispatch> object;
    HRESULT hr = CLSIDFromProgID(prog_id.c_str(), &clsid);
    if (SUCCEEDED(hr)) {
      hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.put_void());
    }
    if (FAILED(hr)) return hr;
    if (!prefix.empty()) connect(object.get(), prefix);
    V_VT(result) = VT_DISPATCH;
    V_DISPATCH(result) = object.detach();
    return S_OK;
  }

 private:
  static constexpr DISPID kEcho = 1;
  static constexpr DISPID kCreateObject = 2;

  void connect(IDispatch* object, const std::wstring& prefix) {
    auto recorder = EventRecorder::create();
    const std::map<DISPID, EventShape> shapes = event_shapes(object);
    recorder->on_event = [this, shapes, prefix](DISPID id, VARIANT* args, UINT count) {
      const auto shape = shapes.find(id);
      ComPtr<IDispatch> script;
      if (shape == shapes.end() || FAILED(engine_->GetScriptDispatch(nullptr, script.put()))) {
        return;
      }
      std::wstring procedure = prefix + shape->second.name;
      LPOLESTR names_to_find[] = {procedure.data()};
      DISPID procedure_id = 0;
      // An event without a procedure goes unhandled, as in the script host.
      if (FAILED(script->GetIDsOfNames(IID_NULL, names_to_find, 1, LOCALE_USER_DEFAULT,
                                       &procedure_id))) {
        return;
      }
      std::vector<VARIANT> last_first(args, args + count);
      std::reverse(last_first.begin(), last_first.end());
      DISPPARAMS call{last_first.data(), nullptr, count, 0};
      Variant ignored;
      script->Invoke(procedure_id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &call,
                     ignored.get(), nullptr, nullptr);
    };
    recorder->connect(object);
    connections_.push_back(recorder);
  }

  ScriptRun* run_;
  IActiveScript* engine_;
  std::vector<ComPtr<EventRecorder>> connections_;
};

class ScriptSite final : public StackObject<IActiveScriptSite, &IID_IActiveScriptSite> {
 public:
  ScriptSite(ScriptRun* run, std::map<std::wstring, IUnknown*> items)
      : run_(run), items_(std::move(items)) {}

  STDMETHODIMP GetLCID(LCID*) override { return E_NOTIMPL; }
  STDMETHODIMP GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** info) override {
    if (mask & SCRIPTINFO_ITYPEINFO) *info = nullptr;
    const auto found = items_.find(name);
    if (found == items_.end()) return TYPE_E_ELEMENTNOTFOUND;
    if (mask & SCRIPTINFO_IUNKNOWN) {
      *item = found->second;
      (*item)->AddRef();
    }
    return S_OK;
  }
  STDMETHODIMP GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
  STDMETHODIMP OnStateChange(SCRIPTSTATE) override { return S_OK; }
  STDMETHODIMP OnScriptError(IActiveScriptError* error) override {
    EXCEPINFO info{};
    DWORD context = 0;
    ULONG line = 0;
    LONG column = 0;
    error->GetExceptionInfo(&info);
    error->GetSourcePosition(&context, &line, &column);
    run_->errors.push_back(L"line " + std::to_wstring(line + 1) + L": " +
                           (info.bstrDescription ? info.bstrDescription : L"(no description)"));
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    return S_OK;
  }
  STDMETHODIMP OnEnterScript() override { return S_OK; }
  STDMETHODIMP OnLeaveScript() override { return S_OK; }

 private:
  ScriptRun* run_;
  std::map<std::wstring, IUnknown*> items_;
};

// Runs VBScript code with a WScript object and the given named objects.
ScriptRun run_vbscript(const std::string& code, std::map<std::wstring, IUnknown*> items = {}) {
  ScriptRun run;
  ComPtr<IActiveScript> engine;
  ComPtr<IActiveScriptParse> parse;
  if (FAILED(CoCreateInstance(kVBScript, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript,
                              engine.put_void())) ||
      FAILED(engine->QueryInterface(__uuidof(IActiveScriptParse), parse.put_void()))) {
    run.errors.push_back(L"no VBScript engine");
    return run;
  }
  WScriptObject wscript(&run, engine.get());
  items[L"WScript"] = &wscript;
  ScriptSite site(&run, items);
  engine->SetScriptSite(&site);
  parse->InitNew();
  for (const auto& item : items) engine->AddNamedItem(item.first.c_str(), SCRIPTITEM_ISVISIBLE);
  const std::wstring text = widen(code);
  EXCEPINFO exception{};
  if (FAILED(parse->ParseScriptText(text.c_str(), nullptr, nullptr, nullptr, 0, 0,
                                    SCRIPTTEXT_ISVISIBLE, nullptr, &exception)) &&
      run.errors.empty()) {
    run.errors.push_back(L"the script does not parse");
  }
  engine->SetScriptState(SCRIPTSTATE_CONNECTED);
  engine->Close();
  return run;
}

std::vector<std::wstring> lines_of(const std::string& text) {
  std::vector<std::wstring> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(widen(line));
  return lines;
}

class GuideSamples : public ::testing::Test {
 protected:
  void SetUp() override {
    ensure_registered();
    guide_ = read_doc("guide.md");
    ASSERT_FALSE(guide_.empty());
  }
  // The one code block under heading.
  CodeBlock block_under(const std::string& heading) {
    const std::vector<CodeBlock> blocks = code_blocks(doc_section(guide_, heading));
    EXPECT_EQ(blocks.size(), 1u) << heading;
    return blocks.empty() ? CodeBlock{} : blocks[0];
  }
  std::string guide_;
};

// Each VBScript sample runs without an error and prints what the text block
// after it shows.
TEST_F(GuideSamples, TheVBScriptSamplesPrintWhatTheGuideShows) {
  const std::vector<CodeBlock> blocks = code_blocks(guide_);
  int samples = 0;
  for (size_t i = 0; i < blocks.size(); ++i) {
    if (blocks[i].language != "vbscript") continue;
    ++samples;
    SCOPED_TRACE(blocks[i].code);
    ASSERT_LT(i + 1, blocks.size()) << "no output shown after the sample";
    ASSERT_EQ(blocks[i + 1].language, "text") << "no output shown after the sample";
    const ScriptRun run = run_vbscript(blocks[i].code);
    EXPECT_EQ(run.errors, std::vector<std::wstring>{});
    EXPECT_EQ(run.output, lines_of(blocks[i + 1].code));
  }
  EXPECT_GT(samples, 0);
}

// The set-up sample on a control that a container created and initialised,
// as a form designer places it: its widths come out as its comments say,
// given in pixels or in twips at 96 pixels per inch (Wine's screen).
TEST_F(GuideSamples, TheSetUpSampleGivesTheColumnsItDescribes) {
  const CodeBlock sample = block_under("### Setting it up in code");
  AxHost host(L"QuonTessel.TesselControl");
  ComPtr<IDispatch> control = host.control();
  ASSERT_TRUE(control);
  const ScriptRun run = run_vbscript(sample.code, {{L"TesselControl1", control.get()}});
  EXPECT_EQ(run.errors, std::vector<std::wstring>{});
  EXPECT_EQ(as_long(get(control.get(), tessel::dispid::NumberOfRows)), 3);
  const LONG widths[] = {180, 80, 120};
  for (LONG i = 1; i <= 3; ++i) {
    EXPECT_EQ(as_long(get(control.get(), tessel::dispid::RowWidth, {vlong(i)})), widths[i - 1])
        << "column " << i;
  }
  EXPECT_EQ(as_string(get(control.get(), tessel::dispid::RowCaption, {vlong(1)})), L"&Name");
}

// Visual Basic insists that a handler's declaration match its event: the
// sample's names and types are the event's, in the event's order. The C++
// sink's DISPID, argument count and the positions it reads the arguments
// from (last argument first) are those of the event it names.
TEST_F(GuideSamples, TheVisualBasicHandlerAndTheCppSinkMatchTheirEvents) {
  const std::map<DISPID, EventShape> shapes = event_shapes(create_control().get());
  // Lines continued with " _" joined, runs of blanks made one.
  const std::string basic =
      std::regex_replace(block_under("### VBA and other Visual Basic style hosts").code,
                         std::regex(R"( _\s+| +)"), " ");
  std::smatch match;
  ASSERT_TRUE(
      std::regex_search(basic, match, std::regex(R"(Sub TesselControl1_(\w+)\(([^)]*)\))")));
  const auto handled = std::ranges::find_if(
      shapes, [&](const auto& entry) { return entry.second.name == widen(match[1].str()); });
  ASSERT_NE(handled, shapes.end()) << match[1].str();
  EXPECT_EQ(widen(match[2].str()), handled->second.parameters);

  const std::string code = block_under("### C++").code;
  ASSERT_TRUE(std::regex_search(
      code, match, std::regex(R"(id == (\d+) && params->cArgs == (\d+)\) \{ +// (\w+))")));
  const auto event = shapes.find(std::stoi(match[1].str()));
  ASSERT_NE(event, shapes.end());
  EXPECT_EQ(event->second.name, widen(match[3].str()));
  std::vector<std::wstring> names;  // the event's parameters, first to last
  std::wstringstream list(event->second.parameters);
  for (std::wstring item; std::getline(list >> std::ws, item, L',');) {
    names.push_back(item.substr(0, item.find(L' ')));
  }
  const size_t count = std::stoul(match[2].str());
  EXPECT_EQ(count, names.size());
  const std::regex read(R"(rgvarg\[(\d+)\]\); +// (\w+))");
  int reads = 0;
  for (std::sregex_iterator it(code.begin(), code.end(), read), end; it != end; ++it, ++reads) {
    const size_t index = std::stoul((*it)[1].str());
    ASSERT_LT(index, count);
    EXPECT_EQ(names[count - 1 - index], widen((*it)[2].str()));
  }
  EXPECT_EQ(reads, 2);
}

// The guide's dependency, put in an application manifest beside the DLL and
// its assembly manifest, makes an activation context that provides the
// control's class: the names, version and architecture it gives are the
// assembly's.
TEST_F(GuideSamples, TheManifestDependencyFindsTheAssembly) {
  const CodeBlock sample = block_under("### Registration-free use");
  ASSERT_EQ(sample.language, "xml");
  const std::wstring path = bin_dir() + L"guide_samples_test.manifest";
  {
    std::ofstream out(narrow(path), std::ios::binary | std::ios::trunc);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        << "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
        << "<assemblyIdentity type=\"win32\" name=\"GuideSample\" version=\"1.0.0.0\"\n"
        << "                  processorArchitecture=\"amd64\"/>\n"
        << sample.code << "</assembly>\n";
  }
  ACTCTXW description{};
  description.cbSize = sizeof description;
  description.lpSource = path.c_str();
  HANDLE context = CreateActCtxW(&description);
  const DWORD error = GetLastError();
  DeleteFileW(path.c_str());
  ASSERT_NE(context, INVALID_HANDLE_VALUE) << "error " << error;
  ACTCTX_SECTION_KEYED_DATA data{};
  data.cbSize = sizeof data;
  ULONG_PTR cookie = 0;
  ASSERT_TRUE(ActivateActCtx(context, &cookie));
  EXPECT_TRUE(FindActCtxSectionGuid(0, nullptr, ACTIVATION_CONTEXT_SECTION_COM_SERVER_REDIRECTION,
                                    &tessel::CLSID_TesselControl, &data));
  DeactivateActCtx(0, cookie);
  ReleaseActCtx(context);
}

// The code the guide quotes from the demo is the demo's own, line for line,
// so the demo runs it.
TEST_F(GuideSamples, TheGeometryCodeIsTheDemosOwn) {
  const CodeBlock sample = block_under("### Lining a list up under the header");
  ASSERT_EQ(sample.language, "cpp");
  std::string demo = read_file(bin_dir() + L"..\\..\\..\\demo\\demo_form.cpp");
  std::erase(demo, '\r');
  ASSERT_FALSE(demo.empty());
  EXPECT_NE(demo.find(sample.code), std::string::npos) << sample.code;
}

}  // namespace
}  // namespace tessel_test
