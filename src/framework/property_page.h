// The base of a property page: IPropertyPage2 towards the frame, and towards
// the page the frame's services (the selected controls, the Changed flag)
// and notifications (SelectionChanged, ApplyChanges, the children's
// commands). The page window is a child dialog built in memory whose
// children come from the page's layout table; positions are twips.
//
// Each notification runs behind a catch-all: no C++ exception reaches the
// frame or a window procedure.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <atomic>
#include <span>
#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "framework/form_layout.h"
#include "framework/gdi.h"
#include "framework/module.h"

namespace framework {

struct PageLayout {
  const wchar_t* title;  // the page caption, shown on the frame's tab
  int width, height;     // the client area, twips
  std::span<const ChildSpec> children;
};

class PropertyPage : public IPropertyPage2 {
 public:
  PropertyPage(const PropertyPage&) = delete;
  PropertyPage& operator=(const PropertyPage&) = delete;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override;

  // IPropertyPage
  STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
  STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
  STDMETHODIMP Deactivate() override;
  STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
  STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
  STDMETHODIMP Show(UINT command) override;
  STDMETHODIMP Move(LPCRECT rect) override;
  STDMETHODIMP IsPageDirty() override;
  STDMETHODIMP Apply() override;
  STDMETHODIMP Help(LPCOLESTR) override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(MSG* message) override;
  // IPropertyPage2
  STDMETHODIMP EditProperty(DISPID) override { return E_NOTIMPL; }

  // The page window while the page is active, else nullptr.
  HWND window() const { return window_; }
  // The Changed flag: while it is set the frame offers Apply.
  bool changed() const { return changed_; }
  // The window of the children's tooltips while the page is active.
  HWND tooltips() const { return tooltips_; }

 protected:
  explicit PropertyPage(const PageLayout& layout);
  virtual ~PropertyPage();

  // What the page implements.
  // The selection changed, or the page was shown with one.
  virtual void selection_changed() {}
  // Apply or OK: write the fields to the selected controls.
  virtual void apply_changes() {}
  // The children exist and the page is about to be shown.
  virtual void created() {}
  // The page window is gone: release what created() made for it.
  virtual void destroyed() {}
  // WM_COMMAND from a child.
  virtual void command(int /*id*/, int /*code*/) {}
  // WM_HSCROLL from a scroll bar child.
  virtual void horizontal_scroll(int /*id*/, int /*code*/) {}
  // WM_DRAWITEM for an owner-drawn child.
  virtual void draw_item(const DRAWITEMSTRUCT& /*item*/) {}
  // WM_CTLCOLORSTATIC and WM_CTLCOLOREDIT: a brush, or nullptr for the
  // default colours.
  virtual HBRUSH control_colour(HWND /*child*/, HDC /*dc*/) { return nullptr; }

  // The frame's services.
  const std::vector<ComPtr<IUnknown>>& selected_controls() const { return objects_; }
  // SelectedControls(0) as IDispatch; throws error 91 when nothing is selected.
  ComPtr<IDispatch> first_selected_control() const;
  // Sets the Changed flag; setting it reports PROPPAGESTATUS_DIRTY to the site.
  void set_changed(bool changed);
  HWND child(int id) const { return GetDlgItem(window_, id); }

 private:
  static INT_PTR CALLBACK dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR handle(UINT message, WPARAM wparam, LPARAM lparam);
  void run_selection_changed();
  SIZE page_size() const;

  ModuleLock lock_;
  std::atomic<ULONG> refs_{1};
  const PageLayout& layout_;
  ComPtr<IPropertyPageSite> site_;
  std::vector<ComPtr<IUnknown>> objects_;
  HWND window_ = nullptr;
  HWND tooltips_ = nullptr;
  GdiObject<HFONT> font_;
  bool changed_ = false;
};

// Creates a page object of class Page (with a default constructor reachable
// from here) and hands out the interface iid.
template <class Page>
HRESULT create_page(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  Page* page = new (std::nothrow) Page();
  if (!page) return E_OUTOFMEMORY;
  HRESULT hr = page->QueryInterface(iid, object);
  page->Release();
  return hr;
}

}  // namespace framework
