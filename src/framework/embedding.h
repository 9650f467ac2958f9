// Embedding of a control in an OLE container: the object side of the OLE
// control protocol (IOleObject, in-place activation, IOleControl, the view
// and the persistence interfaces), the control's window and its retained
// surface. It knows nothing about what the control draws; it reaches the
// control through the hooks of ControlHooks, each behind a catch-all.
//
// ControlBase derives from this class and supplies IUnknown, whose methods
// stay pure here. Method bodies are grouped by interface in embedding_*.cpp.
#pragma once

#include <ocidl.h>
#include <oleidl.h>
#include <olectl.h>

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/access_key_table.h"
#include "framework/com_ptr.h"
#include "framework/container_site.h"
#include "framework/control_class.h"
#include "framework/control_hooks.h"
#include "framework/control_window.h"
#include "framework/surface.h"

namespace framework {

class Embedding;

// Interfaces that a build adds to every control it makes, beside the
// embedding's own: the tests' builds add their hosting probe this way
// (test_probe.h), the shipped DLL adds none.
class EmbeddingExtension {
 public:
  virtual ~EmbeddingExtension() = default;
  // The extension's interface for iid, or nullptr. Its IUnknown methods are
  // the control's, so the caller counts the reference on the control.
  virtual void* query(REFIID iid) = 0;
};
using EmbeddingExtensionFactory = std::unique_ptr<EmbeddingExtension> (*)(Embedding& control);
// Every control made from now on in this module gets an extension from
// factory (nullptr: none).
void set_embedding_extension(EmbeddingExtensionFactory factory);

class Embedding : public IOleObject,
                  public IOleInPlaceObject,
                  public IOleInPlaceActiveObject,
                  public IOleControl,
                  public IViewObject2,
                  public IPersistStreamInit,
                  public IPersistPropertyBag,
                  public IPersistStorage,
                  protected ControlHooks,
                  private WindowListener {
 public:
  Embedding(const Embedding&) = delete;
  Embedding& operator=(const Embedding&) = delete;

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD save_option) override;
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  STDMETHODIMP DoVerb(LONG verb, LPMSG message, IOleClientSite* active_site, LONG index,
                      HWND parent, LPCRECT position) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* clsid) override;
  STDMETHODIMP GetUserType(DWORD form, LPOLESTR* name) override;
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP Advise(IAdviseSink* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** advises) override;
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleWindow
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  // IOleInPlaceObject
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override;
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
  STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }
  // IOleInPlaceActiveObject: the control translates no accelerators itself.
  STDMETHODIMP TranslateAccelerator(LPMSG) override { return S_FALSE; }
  STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

  // IOleControl
  STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
  STDMETHODIMP OnMnemonic(MSG* message) override;
  STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
  STDMETHODIMP FreezeEvents(BOOL freeze) override;

  // IViewObject2
  STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspect_info, DVTARGETDEVICE* device,
                    HDC target_device, HDC dc, LPCRECTL bounds, LPCRECTL window_bounds,
                    WINBOOL(STDMETHODCALLTYPE* keep_going)(ULONG_PTR), ULONG_PTR argument) override;
  STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

  // IPersist, IPersistStreamInit, IPersistPropertyBag, IPersistStorage
  // (embedding_persist.cpp).
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP IsDirty() override;
  STDMETHODIMP InitNew() override;
  STDMETHODIMP Load(IStream* stream) override;
  STDMETHODIMP Save(IStream* stream, BOOL clear_dirty) override;
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
  STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
  STDMETHODIMP Save(IPropertyBag* bag, BOOL clear_dirty, BOOL save_all) override;
  STDMETHODIMP InitNew(IStorage* storage) override;
  STDMETHODIMP Load(IStorage* storage) override;
  STDMETHODIMP Save(IStorage* storage, BOOL same_as_load) override;
  STDMETHODIMP SaveCompleted(IStorage*) override { return S_OK; }
  STDMETHODIMP HandsOffStorage() override { return S_OK; }

 protected:
  explicit Embedding(const ControlClass& control_class);
  ~Embedding() override;

  // This object's interface for iid among the embedding's, or nullptr.
  void* embedding_interface(REFIID iid);
  // Whether the control has changes a save would keep (IsDirty).
  virtual bool has_unsaved_changes() const = 0;
  // Marks the control as saved: a load or a save that clears the flag.
  virtual void mark_saved() = 0;

  // What the control calls.
  Surface& surface() { return surface_; }
  // The control's window while it is in-place active, else nullptr.
  HWND window() const { return window_.handle(); }
  // Sets the control's height: through the container while in-place active
  // (which may deliver on_resize before this returns), else the extent and
  // the surface directly. A negative height counts as 0, a huge one as the
  // largest a window can have; a surface that cannot be that large throws.
  void set_height_twips(float twips);
  // The container's font (DISPID_AMBIENT_FONT), or a new "MS Sans Serif"
  // 8 pt font when there is no container or it has none.
  ComPtr<IFontDisp> ambient_font();
  // The characters whose Alt keystrokes the container routes to the control.
  void set_access_keys(std::wstring keys);
  const std::wstring& access_keys() const { return access_keys_; }
  // Whether the container has asked to hold back events (FreezeEvents).
  bool events_frozen() const { return freeze_count_ > 0; }

 private:
  // WindowListener
  void window_mouse(MouseAction action, SHORT button, SHORT shift, float x, float y) override;
  void window_key_down(SHORT key, SHORT shift) override;
  void window_focus(bool gained) override;
  void window_resized(int width, int height) override;
  void window_mouse_activate() override;
  LRESULT window_get_object(WPARAM flags, LPARAM object_id) override;

  IUnknown* identity() { return static_cast<IOleObject*>(this); }
  // The source name of the error information the embedding's interfaces set.
  const wchar_t* error_source() const { return class_.error_source; }
  // Loads through the control's on_read_properties, once per object.
  HRESULT load_properties(PropertyReader& reader);
  // Loads from the bytes of a saved property stream; fails after loading
  // when they are not a complete stream of ours.
  HRESULT load_stream_bytes(const std::vector<BYTE>& bytes);
  // The control's properties in the framework's stream format.
  std::vector<BYTE> stream_bytes();
  // The tests' probe reads the surface and the hook log, and sets the height.
  friend class HostingTestProbe;

  // Calls a hook, logging it for the test probe; whatever it throws stays here.
  template <class Hook>
  void deliver(const wchar_t* name, std::initializer_list<double> args, Hook&& hook) noexcept;
  void log_hook(const wchar_t* name, std::initializer_list<double> args);

  void activate(IOleClientSite* site, bool ui);
  void deactivate();
  void ui_deactivate();
  // Gives the surface this size; when it changes, the extent follows and
  // the control hears on_resize.
  void apply_size(int width, int height);
  // The control's on_resize for the surface's current size.
  void deliver_resize();
  void view_changed();

  const ControlClass& class_;
  const CLSID clsid_;
  Surface surface_;
  ControlWindow window_;
  ContainerSite site_;
  SIZEL extent_{};   // HIMETRIC
  RECT position_{};  // in-place rectangle in the parent's client pixels
  bool in_place_active_ = false;
  bool ui_active_ = false;
  bool initialized_ = false;
  LONG freeze_count_ = 0;
  // Resize notifications delivered so far.
  unsigned resize_count_ = 0;
  std::wstring access_keys_;
  AccessKeyTable access_key_table_;
  bool access_key_table_stale_ = true;
  ComPtr<IFontDisp> ambient_font_;
  ComPtr<IOleAdviseHolder> advise_holder_;
  ComPtr<IAdviseSink> view_sink_;
  DWORD view_aspects_ = 0;
  DWORD view_flags_ = 0;
  std::optional<std::wstring> hook_log_;
  std::unique_ptr<EmbeddingExtension> extension_;
};

template <class Hook>
void Embedding::deliver(const wchar_t* name, std::initializer_list<double> args,
                        Hook&& hook) noexcept {
  try {
    log_hook(name, args);
    hook();
  } catch (...) {
    // A control's failure in a notification goes no further.
  }
}

}  // namespace framework
