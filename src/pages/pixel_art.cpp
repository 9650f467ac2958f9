#include "pages/pixel_art.h"

#include <cstring>
#include <vector>

#include "framework/module.h"
#include "framework/gdi.h"

namespace tessel {

namespace {

// The standard 16-colour palette, in index order.
constexpr RGBQUAD kPalette[16] = {
    {0, 0, 0, 0},       {0, 0, 128, 0},   {0, 128, 0, 0},   {0, 128, 128, 0},
    {128, 0, 0, 0},     {128, 0, 128, 0}, {128, 128, 0, 0}, {192, 192, 192, 0},
    {128, 128, 128, 0}, {0, 0, 255, 0},   {0, 255, 0, 0},   {0, 255, 255, 0},
    {255, 0, 0, 0},     {255, 0, 255, 0}, {255, 255, 0, 0}, {255, 255, 255, 0},
};

int palette_index(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

// A monochrome bitmap of rows (WORD-aligned), a bit set where is_set says so.
template <class Predicate>
framework::GdiObject<HBITMAP> monochrome(std::span<const char* const> rows, int width,
                                         Predicate is_set) {
  const int stride = (width + 15) / 16 * 2;
  std::vector<BYTE> bits(static_cast<size_t>(stride) * rows.size(), 0);
  for (size_t y = 0; y < rows.size(); ++y) {
    for (int x = 0; x < width; ++x) {
      if (is_set(rows[y][x])) bits[y * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    }
  }
  return framework::GdiObject<HBITMAP>(
      CreateBitmap(width, static_cast<int>(rows.size()), 1, 1, bits.data()));
}

}  // namespace

framework::Icon make_palette_icon(std::span<const char* const> rows) {
  const int width = static_cast<int>(std::strlen(rows[0]));
  const int height = static_cast<int>(rows.size());

  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[16];
  } info{};
  info.header = framework::dib_header(width, -height, 4);
  info.header.biClrUsed = 16;
  std::memcpy(info.colours, kPalette, sizeof kPalette);
  void* pixels = nullptr;
  framework::GdiObject<HBITMAP> colour(CreateDIBSection(
      nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!colour) return framework::Icon();
  const int stride = (width * 4 + 31) / 32 * 4;
  auto* bytes = static_cast<BYTE*>(pixels);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const char c = rows[y][x];
      // Transparent pixels are black in the colour image: the screen shows
      // through the mask unchanged.
      const int index = c == '.' ? 0 : palette_index(c);
      BYTE& pair = bytes[y * stride + x / 2];
      pair |= static_cast<BYTE>(x % 2 == 0 ? index << 4 : index);
    }
  }
  framework::GdiObject<HBITMAP> mask = monochrome(rows, width, [](char c) { return c == '.'; });
  ICONINFO icon{TRUE, 0, 0, mask.get(), colour.get()};
  // The icon keeps copies of both bitmaps; ours go with the wrappers.
  return framework::Icon(CreateIconIndirect(&icon));
}

framework::Cursor make_monochrome_cursor(std::span<const char* const> rows, POINT hot_spot,
                                         int height) {
  const int width = static_cast<int>(std::strlen(rows[0]));
  const int stride = (width + 15) / 16 * 2;
  // AND mask: set where the screen shows through; XOR mask: set for white.
  std::vector<BYTE> and_mask(static_cast<size_t>(stride) * height, 0xFF);
  std::vector<BYTE> xor_mask(and_mask.size(), 0);
  for (int y = 0; y < static_cast<int>(rows.size()) && y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
      const char c = rows[y][x];
      if (c != '.') and_mask[y * stride + x / 8] &= static_cast<BYTE>(~bit);
      if (c == 'o') xor_mask[y * stride + x / 8] |= bit;
    }
  }
  return framework::Cursor(CreateCursor(framework::module_instance(), hot_spot.x, hot_spot.y, width,
                                        height, and_mask.data(), xor_mask.data()));
}

}  // namespace tessel
