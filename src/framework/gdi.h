// Owning wrappers for GDI handles: objects, device contexts and selections.
// Each releases its handle when it goes out of scope.
#pragma once

#include <windows.h>

#include <utility>

namespace framework {

// The header of an uncompressed device-independent bitmap: a negative height
// makes it top-down.
inline BITMAPINFOHEADER dib_header(LONG width, LONG height, WORD bit_count) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = bit_count;
  header.biCompression = BI_RGB;
  return header;
}

// A pen, brush, bitmap, palette, font or region, deleted with the wrapper.
template <class Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : handle_(handle) {}
  GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    GdiObject(std::move(other)).swap(*this);
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ~GdiObject() {
    if (handle_) DeleteObject(handle_);
  }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  // Hands the handle over to a new owner.
  Handle release() { return std::exchange(handle_, nullptr); }
  void swap(GdiObject& other) noexcept { std::swap(handle_, other.handle_); }

 private:
  Handle handle_ = nullptr;
};

// A memory device context (CreateCompatibleDC), deleted with the wrapper.
class MemoryDc {
 public:
  explicit MemoryDc(HDC compatible_with = nullptr) : dc_(CreateCompatibleDC(compatible_with)) {}
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  ~MemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

// A window's (or, for nullptr, the screen's) device context, released with
// the wrapper.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a DC; the previous one is selected back with the
// wrapper, so the object can be deleted afterwards. Movable and empty when
// default-made, so a caller can declare selections in the order they must be
// undone and make them later.
class Selection {
 public:
  Selection() = default;
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {
    if (previous_ == HGDI_ERROR) previous_ = nullptr;
  }
  Selection(Selection&& other) noexcept
      : dc_(other.dc_), previous_(std::exchange(other.previous_, nullptr)) {}
  Selection& operator=(Selection&& other) noexcept {
    std::swap(dc_, other.dc_);
    std::swap(previous_, other.previous_);
    return *this;
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() {
    if (previous_) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

// A palette selected into a DC as a background palette and realised; the
// wrapper selects the previous palette back and realises that one. Movable
// and empty when default-made, like Selection.
class PaletteSelection {
 public:
  PaletteSelection() = default;
  PaletteSelection(HDC dc, HPALETTE palette)
      : dc_(dc), previous_(SelectPalette(dc, palette, TRUE)) {
    RealizePalette(dc);
  }
  PaletteSelection(PaletteSelection&& other) noexcept
      : dc_(other.dc_), previous_(std::exchange(other.previous_, nullptr)) {}
  PaletteSelection& operator=(PaletteSelection&& other) noexcept {
    std::swap(dc_, other.dc_);
    std::swap(previous_, other.previous_);
    return *this;
  }
  PaletteSelection(const PaletteSelection&) = delete;
  PaletteSelection& operator=(const PaletteSelection&) = delete;
  ~PaletteSelection() {
    if (previous_) {
      SelectPalette(dc_, previous_, TRUE);
      RealizePalette(dc_);
    }
  }

 private:
  HDC dc_ = nullptr;
  HPALETTE previous_ = nullptr;
};

}  // namespace framework
