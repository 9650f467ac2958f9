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

namespace tessel_test {

class DibCanvas {
 public:
  DibCanvas(int width, int height, COLORREF background = RGB(255, 255, 255))
      : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
    fill(background);
  }
  DibCanvas(const DibCanvas&) = delete;
  DibCanvas& operator=(const DibCanvas&) = delete;
  ~DibCanvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }

  HDC dc() const { return dc_; }
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
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
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
