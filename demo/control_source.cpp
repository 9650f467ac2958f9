#include "control_source.h"

#include <utility>

#include "demo_error.h"
#include "tessel_interfaces.h"

namespace demo {

ActivatedManifest::ActivatedManifest(const std::wstring& path) {
  ACTCTXW description{};
  description.cbSize = sizeof(description);
  description.lpSource = path.c_str();
  context_ = CreateActCtxW(&description);
  if (context_ == INVALID_HANDLE_VALUE) {
    throw DemoError(describe_failure((L"reading the manifest " + path).c_str(),
                                     HRESULT_FROM_WIN32(GetLastError())));
  }
  if (!ActivateActCtx(context_, &cookie_)) {
    const DWORD error = GetLastError();
    ReleaseActCtx(context_);
    throw DemoError(describe_failure(L"ActivateActCtx", HRESULT_FROM_WIN32(error)));
  }
}

ActivatedManifest::~ActivatedManifest() {
  DeactivateActCtx(0, cookie_);
  ReleaseActCtx(context_);
}

HeaderControl create_header_control(const std::wstring& folder) {
  HeaderControl control;
  HRESULT hr = CoCreateInstance(tessel::CLSID_TesselControl, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IUnknown, control.object.put_void());
  if (SUCCEEDED(hr)) {
    control.origin = L"created through the registry";
    return control;
  }
  if (hr != REGDB_E_CLASSNOTREG) check(hr, L"creating the control");
  const std::wstring manifest = folder + kManifestName;
  control.manifest = std::make_unique<ActivatedManifest>(manifest);
  hr = CoCreateInstance(tessel::CLSID_TesselControl, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                        control.object.put_void());
  check(hr, (L"creating the control through " + manifest).c_str());
  control.origin = L"not registered (" + hresult_text(REGDB_E_CLASSNOTREG) +
                   L"); created through the activation context of " + manifest;
  return control;
}

}  // namespace demo
