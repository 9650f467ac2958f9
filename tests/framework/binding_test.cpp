// Late binding by name, early binding through the vtable, and what both
// share: argument conversion, errors, class information, connection points
// and object lifetime.
#include <gtest/gtest.h>

#include <limits>

#include "control/persist_test_support.h"
#include "framework/bstr.h"
#include "support/com_test_env.h"
#include "support/event_recorder.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

namespace id = tessel::dispid;

DISPID id_of(IDispatch* object, const wchar_t* name) {
  DISPID result = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &result), S_OK)
      << "name " << std::string(name, name + wcslen(name));
  return result;
}

// The description of the thread's error information, which it takes.
std::wstring error_info_description() {
  ComPtr<IErrorInfo> info;
  framework::Bstr description;
  EXPECT_EQ(GetErrorInfo(0, info.put()), S_OK);
  if (info) info->GetDescription(description.put());
  return description.str();
}

// One control through both bindings: the vtable's errors and their error
// information, names and DISPIDs, argument checks, and colours as Longs.
TEST(Binding, LateAndEarlyBindingShareMembersErrorsAndConversions) {
  ComPtr<IDispatch> control = create_control();
  auto dual = control.query<tessel::_TesselControl>(tessel::IID__TesselControl);
  ASSERT_TRUE(dual);
  EXPECT_EQ(dual->put_RowWidth(1, 5), static_cast<HRESULT>(0x800A0009));
  auto support = control.query<ISupportErrorInfo>(IID_ISupportErrorInfo);
  ASSERT_TRUE(support);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(tessel::IID__TesselControl), S_OK);
  EXPECT_EQ(error_info_description(), L"Subscript out of range");

  EXPECT_EQ(id_of(control.get(), L"AddRow"), id::AddRow);
  EXPECT_EQ(id_of(control.get(), L"rowcaption"), id::RowCaption);
  EXPECT_EQ(id_of(control.get(), L"ShowAboutBox"), DISPID_ABOUTBOX);
  LONG width = 120;
  BSTR text = SysAllocString(L"Name");
  IPictureDisp* none = nullptr;
  LONG index = 0;
  ASSERT_EQ(dual->AddRow(&width, &text, &none, &index), S_OK);
  SysFreeString(text);
  EXPECT_EQ(index, 1);
  // Late-bound by name, with the index passed as a string.
  Variant caption = get(control.get(), id_of(control.get(), L"RowCaption"), {vstr(L"1")});
  EXPECT_EQ(as_string(caption), L"Name");
  put(control.get(), id::RowWidth, {vlong(1)}, vlong(33));
  LONG read = 0;
  ASSERT_EQ(dual->get_RowWidth(1, &read), S_OK);
  EXPECT_EQ(read, 33);

  // Arguments are checked against the type library.
  EXPECT_EQ(invoke(control.get(), 0x12345, DISPATCH_METHOD, {}), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(invoke(control.get(), id::RowWidth, DISPATCH_PROPERTYGET, {}), DISP_E_PARAMNOTOPTIONAL);
  EXPECT_EQ(invoke(control.get(), id::DeleteRow, DISPATCH_METHOD, {vlong(1)}),
            DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(invoke(control.get(), id::NumberOfRows, DISPATCH_PROPERTYPUT, {vlong(3)}),
            DISP_E_MEMBERNOTFOUND);
  // Scripts read properties with METHOD | PROPERTYGET.
  Variant count;
  ASSERT_EQ(invoke(control.get(), id::NumberOfRows, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {},
                   count.get()),
            S_OK);
  EXPECT_EQ(as_long(count), 1);

  // &H80000012 as a script writes it: a negative Long.
  put(control.get(), id::ForeColor, {}, vlong(static_cast<LONG>(0x80000012u)));
  Variant colour = get(control.get(), id::ForeColor);
  EXPECT_EQ(colour.vt(), VT_I4);
  EXPECT_EQ(static_cast<ULONG>(V_I4(colour.get())), 0x80000012u);
  OLE_COLOR raw = 0;
  ASSERT_EQ(dual->get_ForeColor(&raw), S_OK);
  EXPECT_EQ(raw, 0x80000012u);
  put(control.get(), id::MaskColor, {}, variant_of(VT_R8, 4294967295.0));
  EXPECT_EQ(static_cast<ULONG>(as_long(get(control.get(), id::MaskColor))), 0xFFFFFFFFu);
}

// Arguments a caller got wrong: a null by-reference pointer, a variant that
// refers to itself or to a variant that refers back, more named arguments
// than arguments. Each fails before the member runs.
TEST(Binding, BrokenArgumentsAndValuesOutsideTheParameterTypeFailAndChangeNothing) {
  ComPtr<IDispatch> control = create_control();
  call(control.get(), id::AddRow);
  auto by_ref = [](VARTYPE vt, void* target) { return variant_of(VT_BYREF | vt, target); };
  EXPECT_EQ(invoke(control.get(), id::RowPicture, DISPATCH_PROPERTYPUTREF,
                   {vlong(1), by_ref(VT_DISPATCH, nullptr)}),
            E_POINTER);
  EXPECT_EQ(invoke(control.get(), id::AddRow, DISPATCH_METHOD, {by_ref(VT_I4, nullptr)}),
            E_POINTER);
  EXPECT_EQ(invoke(control.get(), id::AddRow, DISPATCH_METHOD, {by_ref(VT_VARIANT, nullptr)}),
            E_POINTER);
  VARIANT self = by_ref(VT_VARIANT, nullptr);
  V_VARIANTREF(&self) = &self;
  VARIANT first = by_ref(VT_VARIANT, nullptr), second = by_ref(VT_VARIANT, &first);
  V_VARIANTREF(&first) = &second;
  for (VARIANT* looped : {&self, &first}) {
    EXPECT_EQ(error_number(invoke(control.get(), id::AddRow, DISPATCH_METHOD,
                                  {vlong(5), by_ref(VT_VARIANT, looped)})),
              13);
  }
  // A chain that ends still reaches the value, and the result goes back
  // through it into the caller's variable.
  Variant caption;
  VARIANT link = by_ref(VT_VARIANT, caption.get());
  EXPECT_EQ(as_long(call(control.get(), id::AddRow, {vlong(5), by_ref(VT_VARIANT, &link)})), 2);
  EXPECT_EQ(as_string(caption), L"Spalte");

  VARIANT value = vlong(7);
  DISPID put_id = DISPID_PROPERTYPUT;
  for (VARIANT* arguments : {static_cast<VARIANT*>(nullptr), &value}) {
    DISPPARAMS params{arguments, &put_id, 0, 1};
    EXPECT_EQ(control->Invoke(id::RowWidth, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr,
                              nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);
  }
  EXPECT_EQ(as_long(get(control.get(), id::NumberOfRows)), 2);
  EXPECT_EQ(as_long(get(control.get(), id::RowWidth, {vlong(1)})), 60);

  // A number a parameter's type cannot hold fails as the platform's
  // conversion to that type fails: overflow (error 6) or type mismatch (13),
  // with error information, and the property keeps its value. NaN and the
  // infinities are an overflow for every number type. A colour takes a
  // Long's bits (&H80000012 is negative) and otherwise converts as an
  // unsigned Long.
  auto real = [](double d) { return variant_of(VT_R8, d); };
  auto wide = [](LONGLONG i) { return variant_of(VT_I8, i); };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  // as_index: the value goes to RowWidth's Index, not to the property.
  struct Case {
    DISPID member;
    VARIANT value;
    int error;
    bool as_index = false;
  };
  const Case cases[] = {
      {id::HeaderHeight, real(nan), 6},
      {id::HeaderHeight, real(inf), 6},
      {id::HeaderHeight, real(-inf), 6},
      {id::HeaderHeight, real(1e300), 6},
      {id::HeaderHeight, variant_of(VT_UI4, ULONG{0xFFFFFFFFu}), 6},
      {id::HeaderHeight, wide(LONGLONG{1} << 32), 6},
      {id::HeaderHeight, wide(-(LONGLONG{1} << 31) - 1), 6},
      {id::HeaderHeight, vstr(L"abc"), 13},
      {id::RowWidth, real(nan), 6, true},
      {id::BackColor, real(nan), 6},
      {id::BackColor, real(-inf), 6},
      {id::BackColor, real(4294967296.0), 6},
      {id::BackColor, real(-3e9), 6},
      {id::BackColor, wide(-(LONGLONG{1} << 40)), 6},
      {id::BackColor, vstr(L"abc"), 13},
      {id::FontSize, real(nan), 6},
      {id::FontSize, real(inf), 6},
      {id::FontSize, real(1e300), 6},
      {id::FontSize, vstr(L"abc"), 13},
      {id::FontSize, real(1639), 380},
      {id::FontSize, real(-46577.7), 380},
      {id::ShowFrame, vstr(L"abc"), 13},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.member << " vt " << V_VT(&c.value));
    auto index = [&] {
      return c.member == id::RowWidth ? std::vector{vlong(1)} : std::vector<VARIANT>{};
    };
    Variant before = get(control.get(), c.member, index());
    std::vector<VARIANT> args = c.as_index ? std::vector{c.value, vlong(5)} : index();
    if (!c.as_index) args.push_back(c.value);
    EXCEPINFO exception{};
    EXPECT_EQ(invoke(control.get(), c.member, DISPATCH_PROPERTYPUT, args, nullptr, &exception),
              DISP_E_EXCEPTION);
    EXPECT_EQ(error_number(exception.scode), c.error);
    auto description = framework::Bstr::adopt(exception.bstrDescription);
    EXPECT_EQ(description.str(), c.error == 6    ? L"Overflow"
                                 : c.error == 13 ? L"Type mismatch"
                                                 : L"Invalid property value");
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrHelpFile);
    Variant after = get(control.get(), c.member, index());
    EXPECT_EQ(VarCmp(before.get(), after.get(), LOCALE_USER_DEFAULT, 0), VARCMP_EQ);
  }
  // The Integer parameter of a method, and the error information a caller
  // without EXCEPINFO finds.
  VARIANT key = vlong(70000);
  DISPPARAMS params{&key, nullptr, 1, 0};
  UINT arg_error = 99;
  EXPECT_EQ(control->Invoke(id::GetTabAccessKey, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr,
                            nullptr, &arg_error),
            static_cast<HRESULT>(0x800A0006));
  EXPECT_EQ(arg_error, 0u);
  EXPECT_EQ(error_info_description(), L"Overflow");
}

// A host's property bag may hand a value over by reference. A sound
// reference is read; a null one, or a variant that refers to itself, fails
// that key's read, which loading skips as it skips a value that does not
// convert.
TEST(Binding, BagValuesByReferenceAreReadOrSkipped) {
  auto height_after_load = [](const VARIANT& value) {
    ComPtr<RecordingBag> bag = RecordingBag::create();
    bag->set(L"HeaderHeight", Variant(value));
    ComPtr<IDispatch> control = create_control();
    auto persist = control.query<IPersistPropertyBag>(IID_IPersistPropertyBag);
    EXPECT_EQ(persist->Load(bag.get(), nullptr), S_OK);
    return as_long(get(control.get(), id::HeaderHeight));
  };
  const LONG skipped = height_after_load(*v_text(L"abc").get());
  LONG height = 31;
  EXPECT_EQ(height_after_load(variant_of(VT_BYREF | VT_I4, &height)), 31);
  EXPECT_EQ(height_after_load(variant_of(VT_BYREF | VT_I4, static_cast<LONG*>(nullptr))), skipped);
  VARIANT self = variant_of(VT_BYREF | VT_VARIANT, static_cast<VARIANT*>(nullptr));
  V_VARIANTREF(&self) = &self;
  EXPECT_EQ(height_after_load(self), skipped);
}

TEST(Binding, ClassInfoNamesTheEventsWhichReachEverySink) {
  ComPtr<IDispatch> control = create_control();
  auto provide = control.query<IProvideClassInfo2>(IID_IProvideClassInfo2);
  ASSERT_TRUE(provide);
  GUID events{};
  ASSERT_EQ(provide->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
  EXPECT_EQ(events, tessel::DIID___TesselControl);
  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(provide->GetClassInfo(coclass.put()), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->guid, tessel::CLSID_TesselControl);
  EXPECT_EQ(attr->typekind, TKIND_COCLASS);
  coclass->ReleaseTypeAttr(attr);

  // Events reach every sink, even when one leaves during the raise.
  call(control.get(), id::AddRow);
  auto first = EventRecorder::create();
  auto second = EventRecorder::create();
  first->connect(control.get());
  second->connect(control.get());
  first->on_event = [&](DISPID, VARIANT*, UINT) { first->disconnect(); };
  put(control.get(), id::SelectedRow, {}, vlong(1));
  put(control.get(), id::SelectedRow, {}, vlong(1));
  EXPECT_EQ(first->events.size(), 1u);
  EXPECT_EQ(second->events.size(), 2u);
  second->disconnect();

  auto container = control.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, point.put()), CONNECT_E_NOCONNECTION);
  ComPtr<IEnumConnectionPoints> points;
  ASSERT_EQ(container->EnumConnectionPoints(points.put()), S_OK);
  IConnectionPoint* listed[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(points->Next(3, listed, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 2u);
  for (ULONG i = 0; i < fetched; ++i) listed[i]->Release();
}

TEST(Binding, TheServerUnloadsOnceEveryObjectIsReleased) {
  ComPtr<IDispatch> control = create_control();
  auto can_unload = reinterpret_cast<HRESULT(WINAPI*)()>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(kTestDllName), "DllCanUnloadNow")));
  ASSERT_NE(can_unload, nullptr);
  auto recorder = EventRecorder::create();
  recorder->connect(control.get());
  call(control.get(), id::AddRow);
  recorder->disconnect();
  EXPECT_EQ(can_unload(), S_FALSE);
  // One reference from us, none left behind by the calls above.
  control->AddRef();
  EXPECT_EQ(control->Release(), 1u);
  control = nullptr;
  EXPECT_EQ(can_unload(), S_OK);
}

}  // namespace
}  // namespace tessel_test
