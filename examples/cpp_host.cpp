// A C++ host of TesselControl that uses the shipped header TesselControl.h
// (identifiers, the dual interface, DISPIDs) instead of #import: it creates
// the control, adds columns and reads them back through the vtable, and
// receives RowPressed through the event interface.
//
// Build: g++ -std=c++17 cpp_host.cpp -I<dist folder> -lole32 -loleaut32 -luuid
// (or cl /EHsc cpp_host.cpp ole32.lib oleaut32.lib). Needs the control
// registered (regsvr32 TesselControl.dll) or a manifest that names it.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <cstdio>

#include "TesselControl.h"

namespace {

// Holds one COM reference and releases it.
template <class T>
class Ref {
 public:
  Ref() = default;
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  ~Ref() {
    if (p_) p_->Release();
  }
  T* operator->() const { return p_; }
  T** put() { return &p_; }
  void** put_void() { return reinterpret_cast<void**>(&p_); }

 private:
  T* p_ = nullptr;
};

// Holds one BSTR and frees it.
class String {
 public:
  explicit String(const wchar_t* text) : s_(SysAllocString(text)) {}
  String(const String&) = delete;
  String& operator=(const String&) = delete;
  ~String() { SysFreeString(s_); }
  BSTR* put() {
    SysFreeString(s_);
    s_ = nullptr;
    return &s_;
  }
  BSTR get() const { return s_; }
  BSTR* ref() { return &s_; }
  const wchar_t* text() const { return s_ ? s_ : L""; }

 private:
  BSTR s_;
};

// The event sink: prints RowPressed with its arguments. Event arguments
// arrive last first in rgvarg, each by reference.
class Events final : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, DIID___TesselControl)) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // The sink lives on main's stack, longer than the connection.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) override {
    if (id == DISPID_TesselControl_Event_RowPressed && params->cArgs == 3) {
      const VARIANT* args = params->rgvarg;
      std::printf("RowPressed: PreviousTab=%d SortRow=%ld Sort=%ls\n", *V_I2REF(&args[2]),
                  *V_I4REF(&args[1]), *V_BSTRREF(&args[0]));
    }
    return S_OK;
  }
};

bool failed(HRESULT hr, const char* what) {
  if (SUCCEEDED(hr)) return false;
  std::printf("error: %s failed (0x%08lX)\n", what, static_cast<unsigned long>(hr));
  return true;
}

int run() {
  Ref<_TesselControl> control;
  if (failed(CoCreateInstance(CLSID_TesselControl, nullptr, CLSCTX_INPROC_SERVER,
                              IID__TesselControl, control.put_void()),
             "creating the control")) {
    return 1;
  }
  // A host starts a new control with InitNew: one column, 60 pixels wide.
  Ref<IPersistStreamInit> persist;
  if (failed(control->QueryInterface(IID_IPersistStreamInit, persist.put_void()),
             "IPersistStreamInit") ||
      failed(persist->InitNew(), "InitNew")) {
    return 1;
  }
  const String name(L"Name");
  if (failed(control->put_RowCaption(1, name.get()), "RowCaption")) return 1;
  LONG width = 80;
  String caption(L"Size");
  IPictureDisp* no_picture = nullptr;
  LONG index = 0;
  if (failed(control->AddRow(&width, caption.ref(), &no_picture, &index), "AddRow")) return 1;
  std::printf("AddRow returned column %ld\n", index);

  LONG count = 0;
  if (failed(control->get_NumberOfRows(&count), "NumberOfRows")) return 1;
  for (LONG column = 1; column <= count; ++column) {
    String text(nullptr);
    LONG pixels = 0;
    if (failed(control->get_RowCaption(column, text.put()), "RowCaption") ||
        failed(control->get_RowWidth(column, &pixels), "RowWidth")) {
      return 1;
    }
    std::printf("column %ld: %ls, %ld pixels\n", column, text.text(), pixels);
  }

  // Events: connect the sink to the control's event interface.
  Events sink;
  Ref<IConnectionPointContainer> container;
  Ref<IConnectionPoint> point;
  DWORD cookie = 0;
  if (failed(control->QueryInterface(IID_IConnectionPointContainer, container.put_void()),
             "IConnectionPointContainer") ||
      failed(container->FindConnectionPoint(DIID___TesselControl, point.put()),
             "FindConnectionPoint") ||
      failed(point->Advise(&sink, &cookie), "Advise")) {
    return 1;
  }
  // Code that selects a column raises RowPressed with the current SortedRow.
  control->put_SortedRow(2);
  control->put_SelectedRow(2);
  point->Unadvise(cookie);

  // A member called late, by the DISPID the header names.
  DISPPARAMS none{};
  VARIANT result;
  VariantInit(&result);
  if (failed(control->Invoke(DISPID_TesselControl_NumberOfRows, IID_NULL, LOCALE_USER_DEFAULT,
                             DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr),
             "Invoke(NumberOfRows)")) {
    return 1;
  }
  std::printf("NumberOfRows by DISPID: %ld\n", V_I4(&result));
  VariantClear(&result);
  std::printf("done\n");
  return 0;
}

}  // namespace

int main() {
  if (failed(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), "CoInitializeEx")) return 1;
  const int status = run();
  CoUninitialize();
  return status;
}
