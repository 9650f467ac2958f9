#include "pages/about_texts.h"

#include <vector>

#include "framework/module.h"

namespace tessel {

ComponentVersion component_version() {
  HMODULE module = framework::module_instance();
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
  if (!resource) return {};
  HGLOBAL loaded = LoadResource(module, resource);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = SizeofResource(module, resource);
  if (!data || size == 0) return {};
  // VerQueryValue wants a copy it may write to.
  std::vector<BYTE> copy(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(copy.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
      length < sizeof *fixed) {
    return {};
  }
  return {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
          LOWORD(fixed->dwFileVersionLS)};
}

std::wstring version_label(const ComponentVersion& version) {
  auto two_digits = [](WORD n) { return (n < 10 ? L"0" : L"") + std::to_wstring(n); };
  return L"Version: " + std::to_wstring(version.major) + L"." + two_digits(version.minor) + L"." +
         two_digits(version.revision);
}

const std::vector<std::wstring>& feature_lines() {
  static const std::vector<std::wstring> lines = {
      L"",
      L" Quon - Velmar Tessel Header-Control für",
      L" ActiveX-Container mit 32 oder 64 Bit (ab OLE-Controls 96)",
      L"",
      L" Eigenschaften:",
      L"",
      L"  * Ein Bild kann gewählt werden",
      L"    für jede Spalte",
      L"  * Schriftart einstellbar",
      L"  * Schriftfarbe einstellbar",
      L"  * Schriftfarbe einstellbar für",
      L"    Hot-Spalte",
      L"  * Rahmenfarbe wählbar",
      L"  * Hintergrundfarbe wählbar",
      L"  * Hintergrundfarbe Formular wählbar",
      L"  * Spalten-Höhe einstellbar",
      L"  * Spalten-Breite einstellbar",
      L"    uvm.",
      L"",
  };
  return lines;
}

}  // namespace tessel
