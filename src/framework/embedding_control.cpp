// IOleControl: access keys as an accelerator table, mnemonics, ambient
// property changes and frozen events.
#include "framework/embedding.h"
#include "framework/error.h"

namespace framework {

// The table stays the control's; a new one is built only when the container
// asks again after OnControlInfoChanged, so the handle it holds stays valid
// until then.
STDMETHODIMP Embedding::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  return com_boundary(IID_IOleControl, error_source(), [&] {
    if (access_key_table_stale_) {
      access_key_table_.rebuild(access_keys_);
      access_key_table_stale_ = false;
    }
    info->hAccel = access_key_table_.handle();
    info->cAccel = access_key_table_.count();
    info->dwFlags = 0;
  });
}

STDMETHODIMP Embedding::OnMnemonic(MSG* message) {
  if (!message) return E_POINTER;
  ComPtr<IUnknown> keep(identity());
  SHORT key = mnemonic_character(*message);
  deliver(L"access_key", {static_cast<double>(key)}, [&] { on_access_key(key); });
  return S_OK;
}

STDMETHODIMP Embedding::OnAmbientPropertyChange(DISPID id) {
  if (id != DISPID_AMBIENT_FONT && id != DISPID_UNKNOWN) return S_OK;
  return com_boundary(IID_IOleControl, error_source(), [&] {
    ambient_font_ = nullptr;
    ambient_font();
  });
}

STDMETHODIMP Embedding::FreezeEvents(BOOL freeze) {
  if (freeze) {
    ++freeze_count_;
  } else if (freeze_count_ > 0) {
    --freeze_count_;
  }
  return S_OK;
}

}  // namespace framework
