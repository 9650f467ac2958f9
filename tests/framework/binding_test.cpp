// Late binding by name, early binding through the vtable, and what both
// share: argument conversion, errors, class information, connection points
// and object lifetime.
#include <gtest/gtest.h>

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

TEST(Binding, NamesAndVtableReachTheSameMembers) {
  ComPtr<IDispatch> control = create_control();
  EXPECT_EQ(id_of(control.get(), L"AddRow"), id::AddRow);
  EXPECT_EQ(id_of(control.get(), L"rowcaption"), id::RowCaption);
  EXPECT_EQ(id_of(control.get(), L"ShowAboutBox"), DISPID_ABOUTBOX);

  auto dual = control.query<tessel::_TesselControl>(tessel::IID__TesselControl);
  ASSERT_TRUE(dual);
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
}

TEST(Binding, VtableErrorsSetErrorInfo) {
  ComPtr<IDispatch> control = create_control();
  auto dual = control.query<tessel::_TesselControl>(tessel::IID__TesselControl);
  EXPECT_EQ(dual->put_RowWidth(1, 5), static_cast<HRESULT>(0x800A0009));
  auto support = control.query<ISupportErrorInfo>(IID_ISupportErrorInfo);
  ASSERT_TRUE(support);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(tessel::IID__TesselControl), S_OK);
  ComPtr<IErrorInfo> info;
  ASSERT_EQ(GetErrorInfo(0, info.put()), S_OK);
  framework::Bstr description;
  info->GetDescription(description.put());
  EXPECT_EQ(description.str(), L"Subscript out of range");
}

TEST(Binding, ArgumentsAreCheckedAgainstTheTypeLibrary) {
  ComPtr<IDispatch> control = create_control();
  call(control.get(), id::AddRow);
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
}

TEST(Binding, ColoursTakeSignedLongsAndReturnThemAsLongs) {
  ComPtr<IDispatch> control = create_control();
  // &H80000012 as a script writes it: a negative Long.
  put(control.get(), id::ForeColor, {}, vlong(static_cast<LONG>(0x80000012u)));
  Variant colour = get(control.get(), id::ForeColor);
  EXPECT_EQ(colour.vt(), VT_I4);
  EXPECT_EQ(static_cast<ULONG>(V_I4(colour.get())), 0x80000012u);
  auto dual = control.query<tessel::_TesselControl>(tessel::IID__TesselControl);
  OLE_COLOR raw = 0;
  ASSERT_EQ(dual->get_ForeColor(&raw), S_OK);
  EXPECT_EQ(raw, 0x80000012u);
  VARIANT large;
  V_VT(&large) = VT_R8;
  V_R8(&large) = 4294967295.0;
  put(control.get(), id::MaskColor, {}, large);
  EXPECT_EQ(static_cast<ULONG>(as_long(get(control.get(), id::MaskColor))), 0xFFFFFFFFu);
}

TEST(Binding, ClassInfoNamesTheCoclassAndItsEvents) {
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
}

TEST(Binding, EventsReachEverySinkEvenWhenOneLeavesDuringTheRaise) {
  ComPtr<IDispatch> control = create_control();
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
