#include "support/png_writer.h"

#include <vector>

#include "png_file.h"
#include "support/com_test_env.h"

namespace tessel_test {

bool write_png(HDC dc, int width, int height, const std::wstring& path) {
  // Copy the block out as top-down 32-bit pixels for the demo's encoder.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<BYTE> pixels(static_cast<size_t>(width) * height * 4);
  HDC copy_dc = CreateCompatibleDC(dc);
  HBITMAP copy = CreateCompatibleBitmap(dc, width, height);
  HGDIOBJ old = SelectObject(copy_dc, copy);
  BitBlt(copy_dc, 0, 0, width, height, dc, 0, 0, SRCCOPY);
  SelectObject(copy_dc, old);
  GetDIBits(copy_dc, copy, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(copy);
  DeleteDC(copy_dc);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  return demo::write_png(path, width, height, pixels.data()).empty();
}

std::wstring picture_dir() {
  std::wstring dir = bin_dir() + L"..\\pictures\\";
  CreateDirectoryW(dir.c_str(), nullptr);
  return dir;
}

}  // namespace tessel_test
