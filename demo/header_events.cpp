#include "header_events.h"

#include <array>
#include <cwchar>
#include <iterator>
#include <string_view>
#include <utility>

#include "demo_error.h"
#include "framework/bstr.h"
#include "framework/variant.h"
#include "tessel_interfaces.h"

namespace demo {

namespace {

struct EventShape {
  DISPID id;
  const wchar_t* name;
  std::array<const wchar_t*, 6> params;  // first to last, nullptr after the last
};

namespace event = tessel::event_dispid;

constexpr std::array<EventShape, 5> kEvents{{
    {event::RowPressed, L"RowPressed", {L"PreviousTab", L"SortRow", L"Sort"}},
    {event::MouseIn, L"MouseIn", {L"Button", L"Shift", L"X", L"Y", L"SortRow"}},
    {event::MouseOut, L"MouseOut", {L"Button", L"Shift", L"X", L"Y", L"SortRow"}},
    {event::MouseDown, L"MouseDown", {L"Button", L"Shift", L"X", L"Y", L"SortRow", L"Sort"}},
    {event::MouseUp, L"MouseUp", {L"Button", L"Shift", L"X", L"Y", L"SortRow"}},
}};

const EventShape* shape_of(DISPID id) {
  for (const EventShape& shape : kEvents) {
    if (shape.id == id) return &shape;
  }
  return nullptr;
}

std::wstring text_of(const VARIANT& value) {
  wchar_t text[64] = L"?";
  switch (V_VT(&value)) {
    case VT_I2:
      std::swprintf(text, std::size(text), L"%d", V_I2(&value));
      break;
    case VT_I4:
      std::swprintf(text, std::size(text), L"%ld", static_cast<long>(V_I4(&value)));
      break;
    case VT_R4:
      std::swprintf(text, std::size(text), L"%g", static_cast<double>(V_R4(&value)));
      break;
    case VT_BSTR:
      return L"\"" + std::wstring(framework::view_of(V_BSTR(&value))) + L"\"";
    default:
      break;
  }
  return text;
}

class Sink final : public IDispatch {
 public:
  explicit Sink(std::function<void(const HeaderEvent&)> handler) : handler_(std::move(handler)) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == tessel::DIID___TesselControl) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG refs = --refs_;
    if (refs == 0) delete this;
    return refs;
  }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

  // The arguments arrive last to first, each by reference.
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    const EventShape* shape = shape_of(id);
    if (!shape || !params) return S_OK;
    HeaderEvent event;
    event.id = id;
    event.text = std::wstring(shape->name) + L"(";
    for (UINT i = 0; i < params->cArgs && i < shape->params.size() && shape->params[i]; ++i) {
      framework::Variant value;
      VariantCopyInd(value.get(), &params->rgvarg[params->cArgs - 1 - i]);
      const std::wstring_view name = shape->params[i];
      if (i > 0) event.text += L", ";
      event.text += std::wstring(name) + L"=" + text_of(*value.get());
      if (name == L"SortRow" && value.vt() == VT_I4) event.sort_row = V_I4(value.get());
      if (name == L"Sort" && value.vt() == VT_BSTR) {
        event.sort = framework::view_of(V_BSTR(value.get()));
      }
    }
    event.text += L")";
    if (id != event::RowPressed && id != event::MouseDown) {
      event.sort_row = 0;
      event.sort.clear();
    }
    // A handler's failure stays on this side of the control's raise.
    try {
      handler_(event);
    } catch (...) {
    }
    return S_OK;
  }

 private:
  ULONG refs_ = 1;
  std::function<void(const HeaderEvent&)> handler_;
};

}  // namespace

HeaderEventConnection::HeaderEventConnection(IUnknown* control,
                                             std::function<void(const HeaderEvent&)> handler)
    : sink_(framework::ComPtr<IDispatch>::adopt(new Sink(std::move(handler)))) {
  framework::ComPtr<IConnectionPointContainer> points;
  check(control->QueryInterface(IID_IConnectionPointContainer, points.put_void()),
        L"IConnectionPointContainer");
  check(points->FindConnectionPoint(tessel::DIID___TesselControl, point_.put()),
        L"FindConnectionPoint(__TesselControl)");
  check(point_->Advise(sink_.get(), &cookie_), L"IConnectionPoint::Advise");
}

HeaderEventConnection::~HeaderEventConnection() {
  if (point_ && cookie_) point_->Unadvise(cookie_);
}

}  // namespace demo
