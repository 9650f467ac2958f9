// The base of an ActiveX control: object lifetime, IDispatch driven by the
// control's type library, error information, class information and
// connection points; embedding in a container, the window and the surface
// come from Embedding. The derived control implements its dual interface's
// members, overrides the hooks of ControlHooks it handles, and calls back
// through the protected operations below and Embedding's.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <atomic>
#include <memory>
#include <string>
#include <utility>

#include "framework/control_class.h"
#include "framework/dispatch_invoke.h"
#include "framework/dispatch_table.h"
#include "framework/embedding.h"
#include "framework/enumerators.h"
#include "framework/error.h"
#include "framework/event_source.h"
#include "framework/property_browsing.h"
#include "framework/module.h"
#include "framework/type_library.h"

namespace framework {

template <class Dual>
class ControlBase : public Dual,
                    public ISupportErrorInfo,
                    public IProvideClassInfo2,
                    public IConnectionPointContainer,
                    public PropertyBrowsing,
                    public Embedding {
 public:
  ControlBase(const ControlBase&) = delete;
  ControlBase& operator=(const ControlBase&) = delete;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = query(iid);
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    *info = table_->dispatch_info();
    (*info)->AddRef();
    return S_OK;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    return table_->dispatch_info()->GetIDsOfNames(names, count, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* arg_error) override {
    // Hold the object alive while a member or an event handler runs.
    ComPtr<IUnknown> keep(static_cast<Dual*>(this));
    return invoke_member(static_cast<Dual*>(this), *table_, class_.error_source, id, flags, params,
                         result, exception, arg_error);
  }

  // ISupportErrorInfo
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
    return iid == *class_.dual_iid || iid == IID_IDispatch ? S_OK : S_FALSE;
  }

  // IProvideClassInfo2
  STDMETHODIMP GetClassInfo(ITypeInfo** info) override {
    if (!info) return E_POINTER;
    return com_boundary(IID_IProvideClassInfo, class_.error_source,
                        [&] { *info = module_type_info(*class_.clsid).detach(); });
  }
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
      *guid = GUID_NULL;
      return E_INVALIDARG;
    }
    *guid = *class_.events_iid;
    return S_OK;
  }

  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override {
    std::vector<IConnectionPoint*> list{&events_.events(), &events_.property_notify()};
    return framework::EnumConnectionPoints::create(list, 0, points);
  }
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
    if (!point) return E_POINTER;
    *point = events_.find(iid);
    if (!*point) return CONNECT_E_NOCONNECTION;
    (*point)->AddRef();
    return S_OK;
  }

 protected:
  explicit ControlBase(const ControlClass& control_class)
      : Embedding(control_class),
        class_(control_class),
        table_(DispatchTable::for_interface(*control_class.dual_iid)),
        events_(this, *control_class.events_iid) {}
  virtual ~ControlBase() = default;

  // What the control calls.
  // Events are discarded while the container has them frozen (FreezeEvents),
  // as form hosts expect while they load and lay out a form.
  void raise_event(DISPID id, std::initializer_list<VARIANT> args) {
    if (!events_frozen()) events_.raise(id, args);
  }
  // A sink's refusal of the change reaches the caller of the member that
  // made it, once that member has done the rest of its work (boundary).
  void property_changed(DISPID id) {
    const HRESULT hr = events_.property_changed(id);
    if (FAILED(hr) && notify_failure_ && SUCCEEDED(*notify_failure_)) *notify_failure_ = hr;
  }
  bool is_dirty() const { return events_.dirty(); }
  void set_dirty(bool dirty) { events_.set_dirty(dirty); }

  // Runs a member body at the COM boundary of the control's interface. The
  // object stays alive until the body returns, whatever the event handlers
  // and sinks it calls do with their references; a property notification
  // that a sink refused fails the member after its body has run.
  template <class F>
  HRESULT boundary(F&& body) noexcept {
    ComPtr<IUnknown> keep(static_cast<Dual*>(this));
    HRESULT refused = S_OK;
    HRESULT* outer = std::exchange(notify_failure_, &refused);
    const HRESULT hr = com_boundary(*class_.dual_iid, class_.error_source, std::forward<F>(body));
    notify_failure_ = outer;
    if (FAILED(hr) || SUCCEEDED(refused)) return hr;
    return com_boundary(*class_.dual_iid, class_.error_source, [&] { check_hr(refused); });
  }

  // The interface this base answers for iid, or nullptr.
  virtual void* query(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == *class_.dual_iid) {
      return static_cast<Dual*>(this);
    }
    if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
    if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2) {
      return static_cast<IProvideClassInfo2*>(this);
    }
    if (iid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
    if (void* browsing = property_browsing_interface(iid)) return browsing;
    return embedding_interface(iid);
  }

  const ControlClass& control_class() const { return class_; }

 private:
  bool has_unsaved_changes() const override { return events_.dirty(); }
  void mark_saved() override { events_.set_dirty(false); }

  ModuleLock lock_;
  std::atomic<ULONG> refs_{1};
  const ControlClass& class_;
  std::shared_ptr<const DispatchTable> table_;
  EventSource events_;
  // Where the innermost running member collects a refused notification.
  HRESULT* notify_failure_ = nullptr;
};

}  // namespace framework
