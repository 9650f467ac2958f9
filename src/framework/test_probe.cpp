// The hosting test probe, as an extension of the embedding. Built only into
// the tests' DLL and the test programs (see test_probe.h).
#include "framework/test_probe.h"

#include <memory>

#include "framework/embedding.h"
#include "framework/error.h"
#include "framework/out_param.h"

namespace framework {

// Part of the control it probes: its IUnknown methods are the control's.
class HostingTestProbe final : public IHostingTestProbe, public EmbeddingExtension {
 public:
  explicit HostingTestProbe(Embedding& control) : control_(control) {}

  void* query(REFIID iid) override {
    return iid == IID_IHostingTestProbe ? static_cast<IHostingTestProbe*>(this) : nullptr;
  }

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    return control_.identity()->QueryInterface(iid, object);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return control_.identity()->AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return control_.identity()->Release(); }

  STDMETHODIMP FillSurface(OLE_COLOR color) override {
    return com_boundary(IID_IHostingTestProbe, [&] {
      control_.surface_.set_back_color(color);
      control_.surface_.clear();
      control_.surface_.refresh();
    });
  }
  STDMETHODIMP GetSurfaceSize(LONG* width, LONG* height) override {
    return com_boundary(IID_IHostingTestProbe, [&] {
      out_param(width) = control_.surface_.width();
      out_param(height) = control_.surface_.height();
    });
  }
  STDMETHODIMP SetHeightTwips(float twips) override {
    return com_boundary(IID_IHostingTestProbe, [&] { control_.set_height_twips(twips); });
  }
  STDMETHODIMP GetAmbientFont(IFontDisp** font) override {
    return com_boundary(IID_IHostingTestProbe,
                        [&] { out_param(font) = control_.ambient_font().detach(); });
  }
  STDMETHODIMP StartHookLog() override {
    control_.hook_log_.emplace();
    return S_OK;
  }
  STDMETHODIMP TakeHookLog(BSTR* log) override {
    return com_boundary(IID_IHostingTestProbe, [&] {
      std::optional<std::wstring>& hook_log = control_.hook_log_;
      put_bstr(log, hook_log ? *hook_log : std::wstring());
      if (hook_log) hook_log->clear();
    });
  }
  STDMETHODIMP GetPaintCount(LONG* count) override {
    return com_boundary(IID_IHostingTestProbe, [&] {
      out_param(count) = static_cast<LONG>(control_.surface_.refresh_count());
    });
  }

 private:
  Embedding& control_;
};

void install_hosting_test_probe() {
  set_embedding_extension([](Embedding& control) -> std::unique_ptr<EmbeddingExtension> {
    return std::make_unique<HostingTestProbe>(control);
  });
}

namespace {
// In the tests' DLL this file is linked in whole, and its controls carry the
// probe from the first one on.
[[maybe_unused]] const bool kInstalled = (install_hosting_test_probe(), true);
}  // namespace

}  // namespace framework
