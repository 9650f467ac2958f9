#include "control/tessel_control.h"

#include "control/about_box_hook.h"
#include "framework/module.h"
#include "render/header_painter.h"

namespace tessel {

HRESULT TesselControl::create(REFIID iid, void** object) {
  TesselControl* control = nullptr;
  HRESULT hr = framework::com_boundary(iid, kTesselClass.error_source,
                                       [&] { control = new TesselControl(); });
  if (FAILED(hr)) return hr;
  hr = control->QueryInterface(iid, object);
  control->Release();
  return hr;
}

TesselControl::TesselControl() : ControlBase(kTesselClass) {}

// Terminate: the column records (and with them their pictures) and the
// rectangles go with the object.
TesselControl::~TesselControl() {
  s_.Tabs.erase();
  s_.TabRects.clear();
}

void TesselControl::draw_tab() {
  if (paint_deferred_) {
    paint_due_ = true;
    return;
  }
  // Every change of the hot or pressed column or of the column count ends
  // in a repaint: screen readers hear of it here.
  accessibility_.state_seen();
  if (s_.look.Alignment == reg_Top) draw_tab_top();
}

class TesselControl::HeaderSurface final : public PaintSurface {
 public:
  explicit HeaderSurface(TesselControl& control) : control_(control) {}
  HDC dc() override { return control_.surface().dc(); }
  RECT client_rect() override {
    return RECT{0, 0, control_.surface().width(), control_.surface().height()};
  }
  void clear() override { control_.surface().clear(); }
  void set_height_twips(float twips) override { control_.set_height_twips(twips); }
  void refresh() override { control_.surface().refresh(); }

 private:
  TesselControl& control_;
};

void TesselControl::draw_tab_top() {
  HeaderSurface surface(*this);
  paint_header(s_, surface);
}

STDMETHODIMP TesselControl::DrawTab() {
  return boundary([&] { draw_tab(); });
}

STDMETHODIMP TesselControl::DrawTabTop() {
  return boundary([&] { draw_tab_top(); });
}

// Shows the about box modally; errors are ignored.
STDMETHODIMP TesselControl::ShowAboutBox() {
  try {
    show_about_box();
  } catch (...) {
  }
  return S_OK;
}

}  // namespace tessel
