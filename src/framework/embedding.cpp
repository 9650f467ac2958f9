// The embedding's state: activation, size, height, ambient font, access
// keys, the notifications from the window, and the build's extension.
#include "framework/embedding.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "framework/error.h"
#include "framework/ole_font.h"
#include "framework/units.h"

namespace framework {

namespace {
EmbeddingExtensionFactory g_extension_factory = nullptr;
}  // namespace

void set_embedding_extension(EmbeddingExtensionFactory factory) { g_extension_factory = factory; }

Embedding::Embedding(const ControlClass& control_class)
    : class_(control_class),
      clsid_(*control_class.clsid),
      surface_(control_class.default_size.cx, control_class.default_size.cy),
      window_(surface_, *this),
      extent_(pixels_to_himetric(control_class.default_size)) {
  surface_.set_view_changed([this] { view_changed(); });
  if (g_extension_factory) extension_ = g_extension_factory(*this);
}

// Normally the container has deactivated the control long before; if not,
// the window goes without telling anyone, the control's part being gone.
Embedding::~Embedding() {
  window_.detach();
  window_.destroy();
}

void* Embedding::embedding_interface(REFIID iid) {
  if (iid == IID_IOleObject) return static_cast<IOleObject*>(this);
  if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject) {
    return static_cast<IOleInPlaceObject*>(this);
  }
  if (iid == IID_IOleInPlaceActiveObject) return static_cast<IOleInPlaceActiveObject*>(this);
  if (iid == IID_IOleControl) return static_cast<IOleControl*>(this);
  if (iid == IID_IViewObject || iid == IID_IViewObject2) return static_cast<IViewObject2*>(this);
  if (iid == IID_IPersist || iid == IID_IPersistStreamInit) {
    return static_cast<IPersistStreamInit*>(this);
  }
  if (iid == IID_IPersistPropertyBag) return static_cast<IPersistPropertyBag*>(this);
  if (iid == IID_IPersistStorage) return static_cast<IPersistStorage*>(this);
  return extension_ ? extension_->query(iid) : nullptr;
}

void Embedding::activate(IOleClientSite* site, bool ui) {
  if (!in_place_active_) {
    ContainerSite::Placement placement = site_.begin_in_place(site);
    position_ = placement.position;
    // Active from here on: what the window reports while it is being made
    // (a first size) already belongs to the in-place state.
    in_place_active_ = true;
    const unsigned resizes = resize_count_;
    try {
      window_.create(placement.parent, position_);
    } catch (...) {
      in_place_active_ = false;
      site_.end_in_place();
      throw;
    }
    try {
      apply_size(position_.right - position_.left, position_.bottom - position_.top);
    } catch (const ControlError&) {
      // A rectangle too large for a surface: the surface keeps its size.
    }
    // Every activation tells the control its size once, also when the
    // container keeps the size the control already had, so that the control
    // paints what it holds now (a load paints before it has a window).
    if (resize_count_ == resizes) deliver_resize();
    window_.show();
  }
  if (ui && !ui_active_) {
    site_.ui_activate(static_cast<IOleInPlaceActiveObject*>(this));
    ui_active_ = true;
    HWND focus = GetFocus();
    HWND own = window_.handle();
    if (own && focus != own && !IsChild(own, focus)) SetFocus(own);
  }
}

void Embedding::ui_deactivate() {
  if (!ui_active_) return;
  ui_active_ = false;
  site_.ui_deactivate();
}

void Embedding::deactivate() {
  if (!in_place_active_) return;
  ui_deactivate();
  in_place_active_ = false;
  window_.destroy();
  site_.end_in_place();
}

void Embedding::apply_size(int width, int height) {
  width = std::clamp(width, 0, kMaxWindowPixels);
  height = std::clamp(height, 0, kMaxWindowPixels);
  if (width == surface_.width() && height == surface_.height()) return;
  surface_.resize(width, height);
  // The extent follows in the axes where it no longer gives this size, so
  // that a container reads back the extent it set.
  SIZE shown = himetric_to_pixels(extent_);
  SIZEL exact = pixels_to_himetric({width, height});
  if (shown.cx != width) extent_.cx = exact.cx;
  if (shown.cy != height) extent_.cy = exact.cy;
  deliver_resize();
}

void Embedding::deliver_resize() {
  ++resize_count_;
  deliver(L"resize",
          {static_cast<double>(surface_.width()), static_cast<double>(surface_.height())},
          [&] { on_resize(); });
}

void Embedding::set_height_twips(float twips) {
  int height = twips_to_pixels_y(twips);
  if (in_place_active_) {
    RECT position = position_;
    position.bottom = position.top + height;
    // The container moves the control through SetObjectRects.
    if (site_.request_position(position)) return;
    // A container that does not take requests: the control takes the
    // height itself.
    position_ = position;
    window_.move(position_);
    apply_size(position_.right - position_.left, height);
    return;
  }
  extent_.cy = pixels_to_himetric({0, height}).cy;
  apply_size(surface_.width(), height);
}

ComPtr<IFontDisp> Embedding::ambient_font() {
  if (!ambient_font_) {
    ambient_font_ = site_ambient_font(site_.client_site());
    if (!ambient_font_) ambient_font_ = default_font();
  }
  return ambient_font_;
}

void Embedding::set_access_keys(std::wstring keys) {
  access_keys_ = std::move(keys);
  access_key_table_stale_ = true;
  site_.control_info_changed();
}

void Embedding::view_changed() {
  if (!view_sink_ || !(view_aspects_ & DVASPECT_CONTENT)) return;
  ComPtr<IAdviseSink> sink = view_sink_;
  if (view_flags_ & ADVF_ONLYONCE) view_sink_ = nullptr;
  sink->OnViewChange(DVASPECT_CONTENT, -1);
}

void Embedding::window_mouse(MouseAction action, SHORT button, SHORT shift, float x, float y) {
  ComPtr<IUnknown> keep(identity());
  std::initializer_list<double> args{static_cast<double>(button), static_cast<double>(shift), x, y};
  switch (action) {
    case MouseAction::move:
      deliver(L"mouse_move", args, [&] { on_mouse_move(button, shift, x, y); });
      break;
    case MouseAction::down:
      deliver(L"mouse_down", args, [&] { on_mouse_down(button, shift, x, y); });
      break;
    case MouseAction::up:
      deliver(L"mouse_up", args, [&] { on_mouse_up(button, shift, x, y); });
      break;
  }
}

void Embedding::window_key_down(SHORT key, SHORT shift) {
  ComPtr<IUnknown> keep(identity());
  deliver(L"key_down", {static_cast<double>(key), static_cast<double>(shift)},
          [&] { on_key_down(key, shift); });
}

void Embedding::window_focus(bool gained) {
  ComPtr<IUnknown> keep(identity());
  site_.focus_changed(gained);
  if (gained) {
    deliver(L"got_focus", {}, [&] { on_got_focus(); });
  } else {
    deliver(L"lost_focus", {}, [&] { on_lost_focus(); });
  }
}

void Embedding::window_resized(int width, int height) {
  ComPtr<IUnknown> keep(identity());
  try {
    apply_size(width, height);
  } catch (...) {
    // The surface keeps its size when it cannot have the window's.
  }
}

void Embedding::window_mouse_activate() {
  if (!in_place_active_ || ui_active_) return;
  ComPtr<IUnknown> keep(identity());
  try {
    activate(nullptr, true);
  } catch (...) {
    // A container that refuses UI activation leaves the control in place.
  }
}

LRESULT Embedding::window_get_object(WPARAM flags, LPARAM object_id) {
  ComPtr<IUnknown> keep(identity());
  try {
    return on_get_object(flags, object_id);
  } catch (...) {
    return 0;  // the platform's default object
  }
}

void Embedding::log_hook(const wchar_t* name, std::initializer_list<double> args) {
  if (!hook_log_) return;
  std::wstring& log = *hook_log_;
  log += name;
  for (double arg : args) {
    wchar_t text[32];
    std::swprintf(text, std::size(text), L" %g", arg);
    log += text;
  }
  log += L'\n';
}

}  // namespace framework
