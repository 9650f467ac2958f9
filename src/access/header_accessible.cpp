#include "access/header_accessible.h"

#include <oleacc.h>

#include <algorithm>
#include <utility>

#include "framework/bstr.h"
#include "framework/com_ptr.h"

namespace tessel::access {

using framework::Bstr;
using framework::ComPtr;

struct HeaderAccessibility::Link {
  ColumnSource* source;  // nullptr once the control is gone
};

namespace {

// The platform's accessibility library, loaded the first time a client asks
// for the accessible object: a control that no screen reader reaches never
// loads it, and the DLL imports nothing more than before. It stays loaded for
// the rest of the process, as the platform keeps it once any window used it.
struct Oleacc {
  decltype(&LresultFromObject) lresult_from_object = nullptr;
  decltype(&CreateStdAccessibleObject) create_standard = nullptr;

  static const Oleacc& get() {
    static const Oleacc loaded = load();
    return loaded;
  }

 private:
  template <class F>
  static F function(HMODULE module, const char* name) {
    // Through the generic function pointer type, which any function pointer
    // converts from and back to without a warning.
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
  }
  static Oleacc load() {
    Oleacc o;
    if (HMODULE module = LoadLibraryW(L"oleacc.dll")) {
      o.lresult_from_object =
          function<decltype(o.lresult_from_object)>(module, "LresultFromObject");
      o.create_standard =
          function<decltype(o.create_standard)>(module, "CreateStdAccessibleObject");
    }
    return o;
  }
};

constexpr const wchar_t* kDefaultAction = L"Click";

HRESULT put_text(BSTR* out, std::wstring_view text) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  Bstr value(text);
  if (!value.get()) return E_OUTOFMEMORY;
  *out = value.detach();
  return S_OK;
}

void put_child(VARIANT* out, LONG child) {
  V_VT(out) = VT_I4;
  V_I4(out) = child;
}

// The accessible object of one control's client area.
class ColumnsAccessible final : public IAccessible {
 public:
  explicit ColumnsAccessible(std::shared_ptr<HeaderAccessibility::Link> link)
      : link_(std::move(link)) {}

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    // The identifier from the interface's declaration: a program that links
    // the platform's accessibility library can see IID_IAccessible bound to
    // that library's export instead.
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
      *object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }

  // IDispatch: clients use the vtable; the object has no type information.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  STDMETHODIMP get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    return standard([&](IAccessible& self) { return self.get_accParent(parent); });
  }
  STDMETHODIMP get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return guarded([&](ColumnSource& source) {
      *count = source.state().NumberOfRows;
      return S_OK;
    });
  }
  STDMETHODIMP get_accChild(VARIANT child, IDispatch** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    return on_child(child, [&](ColumnSource&, LONG i) {
      if (i != CHILDID_SELF) return S_FALSE;  // a column is a simple element
      *object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    });
  }
  STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
    if (name) *name = nullptr;
    return on_child(child, [&](ColumnSource& source, LONG i) {
      if (i == CHILDID_SELF)
        return standard([&](IAccessible& self) { return self.get_accName(child, name); });
      return put_text(name, visible_caption(source.state().Tabs(i).RowCaption));
    });
  }
  STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override {
    if (value) *value = nullptr;
    return on_child(child, [&](ColumnSource&, LONG i) {
      if (i == CHILDID_SELF)
        return standard([&](IAccessible& self) { return self.get_accValue(child, value); });
      return DISP_E_MEMBERNOTFOUND;
    });
  }
  // A column's description is the sort direction its sort marker shows: the
  // direction its last press asked for (the flag flipped by that press), with
  // the marker's apex up for ascending and down for descending.
  STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override {
    if (description) *description = nullptr;
    return on_child(child, [&](ColumnSource& source, LONG i) {
      if (i == CHILDID_SELF)
        return standard(
            [&](IAccessible& self) { return self.get_accDescription(child, description); });
      ControlState& s = source.state();
      if (!s.look.ShowSortPic || s.SortedRow != i) return put_text(description, L"");
      return put_text(description, s.Tabs(i).RowSort ? L"sorted ascending" : L"sorted descending");
    });
  }
  STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    VariantInit(role);
    return on_child(child, [&](ColumnSource&, LONG i) {
      V_VT(role) = VT_I4;
      V_I4(role) = i == CHILDID_SELF ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_COLUMNHEADER;
      return S_OK;
    });
  }
  // What the painter shows: the hot and the pressed column; a column right
  // of the visible area is invisible and off screen.
  STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    VariantInit(state);
    return on_child(child, [&](ColumnSource& source, LONG i) {
      if (i == CHILDID_SELF)
        return standard([&](IAccessible& self) { return self.get_accState(child, state); });
      const ControlState& s = source.state();
      LONG flags = 0;
      if (s.HotTab == i) flags |= STATE_SYSTEM_HOTTRACKED;
      if (s.SelectedRow == i) flags |= STATE_SYSTEM_PRESSED;
      RECT client{};
      const RECT* column = rectangle(s, i);
      if (!column || !GetClientRect(source.window(), &client) || column->left >= client.right) {
        flags |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
      }
      V_VT(state) = VT_I4;
      V_I4(state) = flags;
      return S_OK;
    });
  }
  STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override {
    if (help) *help = nullptr;
    return on_child(child, [&](ColumnSource&, LONG i) {
      if (i == CHILDID_SELF)
        return standard([&](IAccessible& self) { return self.get_accHelp(child, help); });
      return put_text(help, L"");
    });
  }
  STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
    if (file) *file = nullptr;
    if (topic) *topic = 0;
    return DISP_E_MEMBERNOTFOUND;
  }
  STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    if (shortcut) *shortcut = nullptr;
    return on_child(child, [&](ColumnSource& source, LONG i) {
      if (i == CHILDID_SELF)
        return standard(
            [&](IAccessible& self) { return self.get_accKeyboardShortcut(child, shortcut); });
      const std::wstring key = source.access_key(i);
      return put_text(shortcut, key.empty() ? std::wstring() : L"Alt+" + key);
    });
  }
  // The columns never hold the focus: only the control itself can.
  STDMETHODIMP get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    VariantInit(focus);
    return guarded([&](ColumnSource& source) {
      if (!source.window() || GetFocus() != source.window()) return S_FALSE;
      put_child(focus, CHILDID_SELF);
      return S_OK;
    });
  }
  // Columns cannot be selected.
  STDMETHODIMP get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    VariantInit(selection);
    return guarded([&](ColumnSource&) { return S_FALSE; });
  }
  STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (action) *action = nullptr;
    return on_child(child, [&](ColumnSource&, LONG i) {
      if (i == CHILDID_SELF)
        return standard(
            [&](IAccessible& self) { return self.get_accDefaultAction(child, action); });
      return put_text(action, kDefaultAction);
    });
  }
  STDMETHODIMP accSelect(LONG flags, VARIANT child) override {
    return on_child(child, [&](ColumnSource&, LONG i) {
      if (i == CHILDID_SELF)
        return standard([&](IAccessible& self) { return self.accSelect(flags, child); });
      return DISP_E_MEMBERNOTFOUND;
    });
  }
  STDMETHODIMP accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                           VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    return on_child(child, [&](ColumnSource& source, LONG i) {
      if (i == CHILDID_SELF)
        return standard(
            [&](IAccessible& self) { return self.accLocation(left, top, width, height, child); });
      const RECT* column = rectangle(source.state(), i);
      POINT origin{0, 0};
      if (!column || !ClientToScreen(source.window(), &origin)) return S_FALSE;
      *left = origin.x + column->left;
      *top = origin.y + column->top;
      *width = std::max(0L, column->right - column->left);
      *height = std::max(0L, column->bottom - column->top);
      return S_OK;
    });
  }
  // Columns follow one another left to right; a column has no children.
  STDMETHODIMP accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    VariantInit(end);
    return on_child(start, [&](ColumnSource& source, LONG i) {
      const LONG count = source.state().NumberOfRows;
      LONG to = 0;
      switch (direction) {
        case NAVDIR_FIRSTCHILD:
        case NAVDIR_LASTCHILD:
          if (i != CHILDID_SELF) return E_INVALIDARG;
          to = direction == NAVDIR_FIRSTCHILD ? 1 : count;
          break;
        case NAVDIR_NEXT:
        case NAVDIR_RIGHT:
        case NAVDIR_PREVIOUS:
        case NAVDIR_LEFT:
          if (i == CHILDID_SELF)
            return standard(
                [&](IAccessible& self) { return self.accNavigate(direction, start, end); });
          to = direction == NAVDIR_NEXT || direction == NAVDIR_RIGHT ? i + 1 : i - 1;
          break;
        case NAVDIR_UP:
        case NAVDIR_DOWN:
          if (i == CHILDID_SELF)
            return standard(
                [&](IAccessible& self) { return self.accNavigate(direction, start, end); });
          return S_FALSE;
        default:
          return E_INVALIDARG;
      }
      if (to < 1 || to > count) return S_FALSE;
      put_child(end, to);
      return S_OK;
    });
  }
  // The column under a point on the screen, the object itself for the rest
  // of its client area, nothing outside it.
  STDMETHODIMP accHitTest(LONG x, LONG y, VARIANT* child) override {
    if (!child) return E_POINTER;
    VariantInit(child);
    return guarded([&](ColumnSource& source) {
      HWND window = source.window();
      POINT point{x, y};
      RECT client{};
      if (!window || !ScreenToClient(window, &point) || !GetClientRect(window, &client)) {
        return E_FAIL;
      }
      if (!PtInRect(&client, point)) return S_FALSE;
      const ControlState& s = source.state();
      LONG hit = CHILDID_SELF;
      for (LONG i = 1; i <= s.NumberOfRows && hit == CHILDID_SELF; ++i) {
        if (const RECT* column = rectangle(s, i); column && PtInRect(column, point)) hit = i;
      }
      put_child(child, hit);
      return S_OK;
    });
  }
  // A column's default action presses it as a left click at its centre.
  STDMETHODIMP accDoDefaultAction(VARIANT child) override {
    ComPtr<IAccessible> keep(this);
    return on_child(child, [&](ColumnSource& source, LONG i) {
      if (i == CHILDID_SELF)
        return standard([&](IAccessible& self) { return self.accDoDefaultAction(child); });
      source.press(i);
      return S_OK;
    });
  }
  STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  ~ColumnsAccessible() = default;

  // Runs body with the control, or fails when the control is gone. Nothing
  // thrown leaves a COM call.
  template <class F>
  HRESULT guarded(F&& body) {
    ColumnSource* source = link_->source;
    if (!source) return CO_E_OBJNOTCONNECTED;
    try {
      return body(*source);
    } catch (...) {
      return E_FAIL;
    }
  }

  // The same for a child id: CHILDID_SELF or a column 1..NumberOfRows.
  template <class F>
  HRESULT on_child(const VARIANT& child, F&& body) {
    return guarded([&](ColumnSource& source) {
      if (V_VT(&child) != VT_I4) return E_INVALIDARG;
      const LONG i = V_I4(&child);
      if (i < 0 || i > source.state().NumberOfRows) return E_INVALIDARG;
      return body(source, i);
    });
  }

  // The platform's standard object of the same client area answers for the
  // object itself: its name, state, location and parent are the window's.
  template <class F>
  HRESULT standard(F&& body) {
    return guarded([&](ColumnSource& source) {
      HWND window = source.window();
      if (!window || !Oleacc::get().create_standard) return E_FAIL;
      if (window != standard_window_ || !standard_) {
        standard_ = nullptr;
        const HRESULT hr = Oleacc::get().create_standard(
            window, OBJID_CLIENT, __uuidof(IAccessible), standard_.put_void());
        if (FAILED(hr)) return hr;
        standard_window_ = window;
      }
      ComPtr<IAccessible> self = standard_;
      return body(*self.get());
    });
  }

  // Column i's rectangle from the last paint pass, nullptr before one.
  static const RECT* rectangle(const ControlState& s, LONG i) {
    if (i < 1 || static_cast<size_t>(i) >= s.TabRects.size()) return nullptr;
    return &s.TabRects[static_cast<size_t>(i)];
  }

  LONG references_ = 1;
  std::shared_ptr<HeaderAccessibility::Link> link_;
  ComPtr<IAccessible> standard_;
  HWND standard_window_ = nullptr;
};

}  // namespace

std::wstring visible_caption(std::wstring_view caption) {
  std::wstring shown;
  shown.reserve(caption.size());
  for (size_t i = 0; i < caption.size(); ++i) {
    // "&x" shows x, "&&" shows "&", a last lone "&" shows nothing.
    if (caption[i] == L'&' && ++i == caption.size()) break;
    shown += caption[i];
  }
  return shown;
}

HeaderAccessibility::HeaderAccessibility(ColumnSource& source)
    : link_(std::make_shared<Link>(Link{&source})) {}

HeaderAccessibility::~HeaderAccessibility() { link_->source = nullptr; }

LRESULT HeaderAccessibility::get_object(WPARAM flags, LPARAM object_id) {
  if (static_cast<LONG>(object_id) != OBJID_CLIENT) return 0;
  const Oleacc& oleacc = Oleacc::get();
  if (!oleacc.lresult_from_object) return 0;
  ComPtr<IAccessible> object = ComPtr<IAccessible>::adopt(new ColumnsAccessible(link_));
  // A failure is a negative value, which the client reads as that error.
  return oleacc.lresult_from_object(__uuidof(IAccessible), flags, object.get());
}

void HeaderAccessibility::notify(DWORD event, LONG child) const {
  if (HWND window = link_->source->window()) NotifyWinEvent(event, window, OBJID_CLIENT, child);
}

void HeaderAccessibility::caption_changed(LONG column) {
  if (column >= 1 && column <= link_->source->state().NumberOfRows) {
    notify(EVENT_OBJECT_NAMECHANGE, column);
  }
}

void HeaderAccessibility::state_seen() {
  const ControlState& s = link_->source->state();
  if (s.NumberOfRows != count_) {
    const LONG before = std::exchange(count_, s.NumberOfRows);
    if (count_ == before + 1) {
      notify(EVENT_OBJECT_CREATE, count_);
    } else if (count_ == before - 1) {
      notify(EVENT_OBJECT_DESTROY, before);
    } else {
      notify(EVENT_OBJECT_REORDER, CHILDID_SELF);
    }
  }
  const std::pair<LONG*, LONG> states[] = {{&hot_, s.HotTab}, {&pressed_, s.SelectedRow}};
  for (auto [seen, now] : states) {
    if (*seen == now) continue;
    const LONG before = std::exchange(*seen, now);
    if (before >= 1 && before <= count_) notify(EVENT_OBJECT_STATECHANGE, before);
    if (now >= 1 && now <= count_) notify(EVENT_OBJECT_STATECHANGE, now);
  }
}

}  // namespace tessel::access
