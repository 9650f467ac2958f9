#include "framework/property_page.h"

#include <cstring>
#include <cwchar>
#include <utility>

#include "framework/dialog_template.h"
#include "framework/error.h"

namespace framework {

namespace {

// What every handler of a page leaves behind when it fails: nothing.
template <class F>
void guarded(F&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

}  // namespace

PropertyPage::PropertyPage(const PageLayout& layout) : layout_(layout) {}

PropertyPage::~PropertyPage() { Deactivate(); }

STDMETHODIMP PropertyPage::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IPropertyPage || iid == IID_IPropertyPage2) {
    *object = static_cast<IPropertyPage2*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) PropertyPage::Release() {
  ULONG n = --refs_;
  if (n == 0) delete this;
  return n;
}

STDMETHODIMP PropertyPage::SetPageSite(IPropertyPageSite* site) {
  site_ = ComPtr<IPropertyPageSite>(site);
  return S_OK;
}

SIZE PropertyPage::page_size() const {
  return {layout_pixels_x(layout_.width), layout_pixels_y(layout_.height)};
}

STDMETHODIMP PropertyPage::Activate(HWND parent, LPCRECT rect, BOOL) {
  if (!rect) return E_POINTER;
  if (window_) return E_UNEXPECTED;
  const SIZE size = page_size();
  // The template gives the frame; its size is set in pixels below.
  const std::vector<WORD> dialog = empty_dialog_template(
      WS_CHILD | DS_CONTROL | DS_3DLOOK, WS_EX_CONTROLPARENT, L"", static_cast<short>(size.cx),
      static_cast<short>(size.cy), L"MS Sans Serif", 8);
  HWND window = CreateDialogIndirectParamW(
      module_instance(), reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), parent,
      &PropertyPage::dialog_proc, reinterpret_cast<LPARAM>(this));
  if (!window) return E_FAIL;
  MoveWindow(window, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
             FALSE);
  window_ = window;
  HRESULT hr = com_boundary(IID_IPropertyPage, [&] {
    font_ = make_font(L"MS Sans Serif", 8.25);
    create_children(window_, layout_.children, font_.get());
    tooltips_ = add_tooltips(window_, layout_.children);
  });
  if (FAILED(hr)) {
    Deactivate();
    return hr;
  }
  guarded([&] { created(); });
  if (!objects_.empty()) run_selection_changed();
  return S_OK;
}

STDMETHODIMP PropertyPage::Deactivate() {
  if (HWND tips = std::exchange(tooltips_, nullptr)) DestroyWindow(tips);
  if (HWND window = window_) {
    window_ = nullptr;
    DestroyWindow(window);
    guarded([&] { destroyed(); });
  }
  font_ = GdiObject<HFONT>();
  return S_OK;
}

STDMETHODIMP PropertyPage::GetPageInfo(PROPPAGEINFO* info) {
  if (!info) return E_POINTER;
  const size_t bytes = (std::wcslen(layout_.title) + 1) * sizeof(wchar_t);
  auto* title = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
  if (!title) return E_OUTOFMEMORY;
  std::memcpy(title, layout_.title, bytes);
  info->cb = sizeof *info;
  info->pszTitle = title;
  info->size = page_size();
  info->pszDocString = nullptr;
  info->pszHelpFile = nullptr;
  info->dwHelpContext = 0;
  return S_OK;
}

STDMETHODIMP PropertyPage::SetObjects(ULONG count, IUnknown** objects) {
  if (count && !objects) return E_POINTER;
  std::vector<ComPtr<IUnknown>> list;
  for (ULONG i = 0; i < count; ++i) list.emplace_back(objects[i]);
  objects_ = std::move(list);
  if (window_ && !objects_.empty()) run_selection_changed();
  return S_OK;
}

STDMETHODIMP PropertyPage::Show(UINT command) {
  if (!window_) return E_UNEXPECTED;
  ShowWindow(window_, command);
  return S_OK;
}

STDMETHODIMP PropertyPage::Move(LPCRECT rect) {
  if (!rect) return E_POINTER;
  if (!window_) return E_UNEXPECTED;
  MoveWindow(window_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
             TRUE);
  return S_OK;
}

STDMETHODIMP PropertyPage::IsPageDirty() { return changed_ ? S_OK : S_FALSE; }

// The frame clears the flag once the page has applied its fields. A page
// that was never shown has no fields to apply.
STDMETHODIMP PropertyPage::Apply() {
  if (window_) guarded([&] { apply_changes(); });
  changed_ = false;
  return S_OK;
}

STDMETHODIMP PropertyPage::TranslateAccelerator(MSG* message) {
  if (!message) return E_POINTER;
  if (!window_ || !(message->hwnd == window_ || IsChild(window_, message->hwnd))) return S_FALSE;
  return IsDialogMessageW(window_, message) ? S_OK : S_FALSE;
}

ComPtr<IDispatch> PropertyPage::first_selected_control() const {
  if (objects_.empty() || !objects_.front()) raise_error(91);
  ComPtr<IDispatch> control = objects_.front().query<IDispatch>(IID_IDispatch);
  if (!control) raise_error(error_number::kTypeMismatch);
  return control;
}

void PropertyPage::set_changed(bool changed) {
  changed_ = changed;
  if (changed && site_) site_->OnStatusChange(PROPPAGESTATUS_DIRTY);
}

void PropertyPage::run_selection_changed() {
  guarded([&] { selection_changed(); });
}

INT_PTR CALLBACK PropertyPage::dialog_proc(HWND window, UINT message, WPARAM wparam,
                                           LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lparam);
    return FALSE;  // the frame decides where the focus goes
  }
  auto* page = reinterpret_cast<PropertyPage*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!page || page->window_ != window) return FALSE;
  INT_PTR result = FALSE;
  guarded([&] { result = page->handle(message, wparam, lparam); });
  return result;
}

INT_PTR PropertyPage::handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (lparam) command(LOWORD(wparam), HIWORD(wparam));
      return TRUE;
    case WM_HSCROLL:
      if (lparam) horizontal_scroll(GetDlgCtrlID(reinterpret_cast<HWND>(lparam)), LOWORD(wparam));
      return TRUE;
    case WM_DRAWITEM:
      draw_item(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
      return reinterpret_cast<INT_PTR>(
          control_colour(reinterpret_cast<HWND>(lparam), reinterpret_cast<HDC>(wparam)));
    default:
      return FALSE;
  }
}

}  // namespace framework
