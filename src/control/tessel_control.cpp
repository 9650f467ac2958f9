#include "control/tessel_control.h"

#include "framework/module.h"

namespace tessel {

namespace {
const framework::ControlClass kTesselClass{&CLSID_TesselControl, &IID__TesselControl,
                                           &DIID___TesselControl, L"QuonTessel.TesselControl"};
}  // namespace

HRESULT TesselControl::create(REFIID iid, void** object) {
  TesselControl* control = nullptr;
  HRESULT hr = framework::com_boundary(iid, [&] { control = new TesselControl(); });
  if (FAILED(hr)) return hr;
  hr = control->QueryInterface(iid, object);
  control->Release();
  return hr;
}

TesselControl::TesselControl() : ControlBase(kTesselClass) {
  framework::set_error_source(kTesselClass.prog_id);
}

// Terminate: the column records (and with them their pictures) and the
// rectangles go with the object.
TesselControl::~TesselControl() {
  s_.Tabs.erase();
  s_.TabRects.clear();
}

void TesselControl::draw_tab() {
  if (s_.look.Alignment == reg_Top) draw_tab_top();
}

void TesselControl::draw_tab_top() {
  // The header painter runs here.
}

STDMETHODIMP TesselControl::DrawTab() {
  return boundary([&] { draw_tab(); });
}

STDMETHODIMP TesselControl::DrawTabTop() {
  return boundary([&] { draw_tab_top(); });
}

STDMETHODIMP TesselControl::ShowAboutBox() { return E_NOTIMPL; }

}  // namespace tessel
