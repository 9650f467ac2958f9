// Where the demo gets its control from. An application creates the control
// by its class identifier; where the class is registered (regsvr32) that
// finds the DLL through the registry. Where it is not, the demo uses the
// DLL's assembly manifest beside the program: an activation context made
// from it redirects the class, its ProgID and its type library to the DLL in
// the same folder, with nothing written to the registry.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/com_ptr.h"

namespace demo {

// The assembly manifest that ships beside TesselControl.dll.
inline constexpr wchar_t kManifestName[] = L"TesselControl.X.manifest";

// An activation context made from a manifest, active on this thread for the
// object's lifetime.
class ActivatedManifest {
 public:
  explicit ActivatedManifest(const std::wstring& path);
  ActivatedManifest(const ActivatedManifest&) = delete;
  ActivatedManifest& operator=(const ActivatedManifest&) = delete;
  ~ActivatedManifest();

 private:
  HANDLE context_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
};

struct HeaderControl {
  // Declared first: the context stays active until the control is gone.
  std::unique_ptr<ActivatedManifest> manifest;
  framework::ComPtr<IUnknown> object;
  std::wstring origin;  // how it was created, for the report
};

// A new TesselControl: through the registry, or, when the class is not
// registered, through the manifest in folder (which ends with a backslash).
HeaderControl create_header_control(const std::wstring& folder);

}  // namespace demo
