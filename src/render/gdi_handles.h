// Owning wrappers for the GDI handles the drawing code creates: objects
// (pens, brushes, bitmaps, palettes), device contexts and selections. Each
// releases its handle when it goes out of scope; all are movable and start
// empty, so a caller can declare them in the order they must be released and
// fill them in the order they are made.
#pragma once

#include <windows.h>

#include <utility>

namespace tessel::gdi {

// A pen, brush, bitmap or palette, deleted with the wrapper.
template <class Handle>
class Object {
 public:
  Object() = default;
  explicit Object(Handle handle) : handle_(handle) {}
  Object(Object&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  Object& operator=(Object&& other) noexcept {
    Object(std::move(other)).swap(*this);
    return *this;
  }
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  ~Object() {
    if (handle_) DeleteObject(handle_);
  }

  Handle get() const { return handle_; }
  // Gives up ownership (for a handle handed on to an owner such as a picture).
  Handle release() { return std::exchange(handle_, nullptr); }
  explicit operator bool() const { return handle_ != nullptr; }
  void swap(Object& other) noexcept { std::swap(handle_, other.handle_); }

 private:
  Handle handle_ = nullptr;
};

using Bitmap = Object<HBITMAP>;
using Brush = Object<HBRUSH>;
using Pen = Object<HPEN>;
using Palette = Object<HPALETTE>;

// The device context of the whole screen, released with the wrapper.
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// A memory device context (CreateCompatibleDC), deleted with the wrapper.
class MemoryDc {
 public:
  MemoryDc() = default;
  explicit MemoryDc(HDC compatible_with) : dc_(CreateCompatibleDC(compatible_with)) {}
  MemoryDc(MemoryDc&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
  MemoryDc& operator=(MemoryDc&& other) noexcept {
    std::swap(dc_, other.dc_);
    return *this;
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  ~MemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_ = nullptr;
};

// An object selected into a DC; the wrapper selects the previous one back,
// after which the object may be deleted.
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
// wrapper selects the previous palette back and realises that one.
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

}  // namespace tessel::gdi
