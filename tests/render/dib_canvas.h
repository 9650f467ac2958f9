// A 32-bit top-down DIB section selected into a memory DC: tests draw on
// dc() and read the pixels straight from the bits.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "framework/gdi.h"

// RECT lives in the global namespace, so its comparison and printing do too.
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline void PrintTo(const RECT& r, std::ostream* out) {
  *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace tessel_test {

class DibCanvas {
 public:
  DibCanvas(int width, int height, COLORREF background = RGB(255, 255, 255))
      : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader = framework::dib_header(width, -height, 32);
    void* bits = nullptr;
    bitmap_ = framework::GdiObject<HBITMAP>(
        CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<std::uint32_t*>(bits);
    selection_ = framework::Selection(dc_.get(), bitmap_.get());
    fill(background);
  }

  HDC dc() const { return dc_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }

  // The pixel's colour as RGB (red in the low byte).
  COLORREF pixel(int x, int y) const {
    GdiFlush();
    std::uint32_t bgrx = bits_[static_cast<size_t>(y) * width_ + x];
    return RGB((bgrx >> 16) & 255, (bgrx >> 8) & 255, bgrx & 255);
  }
  void set_pixel(int x, int y, COLORREF colour) {
    GdiFlush();
    bits_[static_cast<size_t>(y) * width_ + x] =
        (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
  }
  // Every pixel, row by row, from pattern(x, y).
  template <class Pattern>
  void paint(const Pattern& pattern) {
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) set_pixel(x, y, pattern(x, y));
    }
  }
  void fill(COLORREF colour) {
    paint([colour](int, int) { return colour; });
  }
  // Every pixel, row by row.
  std::vector<COLORREF> pixels() const {
    std::vector<COLORREF> all;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) all.push_back(pixel(x, y));
    }
    return all;
  }

 private:
  int width_, height_;
  framework::MemoryDc dc_;
  framework::GdiObject<HBITMAP> bitmap_;
  framework::Selection selection_;  // goes first, before the bitmap and the DC
  std::uint32_t* bits_ = nullptr;
};

inline std::string colour_text(COLORREF c) {
  return "RGB(" + std::to_string(GetRValue(c)) + ", " + std::to_string(GetGValue(c)) + ", " +
         std::to_string(GetBValue(c)) + ")";
}
#define EXPECT_COLOUR(actual, expected) \
  EXPECT_EQ(::tessel_test::colour_text(actual), ::tessel_test::colour_text(expected))

// Pixels a test expects, as a table.
struct PixelAt {
  int x, y;
  COLORREF colour;
};
inline void expect_pixels(const DibCanvas& canvas, std::span<const PixelAt> expected) {
  for (const PixelAt& p : expected) {
    EXPECT_COLOUR(canvas.pixel(p.x, p.y), p.colour) << "at " << p.x << ", " << p.y;
  }
}
inline void expect_pixels(const DibCanvas& canvas, std::initializer_list<PixelAt> expected) {
  expect_pixels(canvas, std::span<const PixelAt>(expected.begin(), expected.size()));
}

}  // namespace tessel_test
