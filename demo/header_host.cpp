#include "header_host.h"

#include <utility>

#include "demo_error.h"

namespace demo {

HeaderHost::HeaderHost(HWND parent, IUnknown* control, IFontDisp* ambient_font,
                       const RECT& position, std::function<void(int height)> on_height)
    : parent_(parent), site_(ControlSite::create(parent, ambient_font)) {
  site_->set_position(position);
  site_->on_position_request = [on_height = std::move(on_height)](const RECT& requested) {
    on_height(requested.bottom - requested.top);
  };
  check(control->QueryInterface(IID_IOleObject, object_.put_void()), L"IOleObject");
  try {
    embed(control, position);
  } catch (...) {
    close();
    throw;
  }
}

void HeaderHost::embed(IUnknown* control, const RECT& position) {
  DWORD misc = 0;
  object_->GetMiscStatus(DVASPECT_CONTENT, &misc);
  const bool site_first = (misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
  if (site_first) check(object_->SetClientSite(site_.get()), L"IOleObject::SetClientSite");
  framework::ComPtr<IPersistStreamInit> persist;
  check(control->QueryInterface(IID_IPersistStreamInit, persist.put_void()), L"IPersistStreamInit");
  check(persist->InitNew(), L"IPersistStreamInit::InitNew");
  if (!site_first) check(object_->SetClientSite(site_.get()), L"IOleObject::SetClientSite");
  RECT at = position;
  check(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, parent_, &at),
        L"IOleObject::DoVerb(OLEIVERB_INPLACEACTIVATE)");
  check(control->QueryInterface(IID_IOleInPlaceObject, in_place_.put_void()), L"IOleInPlaceObject");
}

HeaderHost::~HeaderHost() { close(); }

void HeaderHost::close() {
  site_->on_position_request = nullptr;
  if (in_place_) in_place_->InPlaceDeactivate();
  in_place_ = nullptr;
  if (object_) {
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
  }
  object_ = nullptr;
}

void HeaderHost::place(const RECT& position) {
  site_->set_position(position);
  RECT clip{};
  GetClientRect(parent_, &clip);
  if (in_place_) in_place_->SetObjectRects(&position, &clip);
}

HWND HeaderHost::window() const {
  HWND handle = nullptr;
  if (in_place_) in_place_->GetWindow(&handle);
  return handle;
}

}  // namespace demo
