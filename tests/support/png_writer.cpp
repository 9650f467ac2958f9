#include "support/png_writer.h"

#include <vector>

#include "framework/gdi.h"
#include "png_file.h"
#include "support/com_test_env.h"

namespace tessel_test {

bool write_png(HDC dc, int width, int height, const std::wstring& path) {
  // Copy the block out as top-down 32-bit pixels for the encoder.
  BITMAPINFO info{};
  info.bmiHeader = framework::dib_header(width, -height, 32);
  std::vector<BYTE> pixels(static_cast<size_t>(width) * height * 4);
  framework::MemoryDc copy_dc(dc);
  framework::GdiObject<HBITMAP> copy(CreateCompatibleBitmap(dc, width, height));
  {
    framework::Selection selected(copy_dc.get(), copy.get());
    BitBlt(copy_dc.get(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
  }
  GetDIBits(copy_dc.get(), copy.get(), 0, static_cast<UINT>(height), pixels.data(), &info,
            DIB_RGB_COLORS);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  return png::write_png(path, width, height, pixels.data()).empty();
}

std::wstring picture_dir() {
  std::wstring dir = bin_dir() + L"..\\pictures\\";
  CreateDirectoryW(dir.c_str(), nullptr);
  return dir;
}

}  // namespace tessel_test
