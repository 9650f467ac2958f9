#include "framework/picture_data.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstdint>

#include "framework/byte_codec.h"
#include "framework/com_ptr.h"
#include "framework/error.h"

namespace framework {

std::optional<std::vector<BYTE>> bitmap_picture_data(IUnknown* object) {
  ComPtr<IPicture> picture;
  SHORT type = PICTYPE_NONE;
  OLE_HANDLE handle = 0;
  if (FAILED(object->QueryInterface(IID_IPicture, picture.put_void())) ||
      FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP ||
      FAILED(picture->get_Handle(&handle))) {
    return std::nullopt;
  }
  auto bitmap = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
  BITMAP info{};
  if (!GetObjectW(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) {
    raise_error(error_number::kInvalidPicture);
  }
  const uint64_t stride = (static_cast<uint64_t>(info.bmWidth) * 3 + 3) & ~uint64_t{3};
  const uint64_t image_size = stride * static_cast<uint64_t>(info.bmHeight);
  constexpr uint32_t kHeaders = 14 + 40;  // BITMAPFILEHEADER, BITMAPINFOHEADER
  if (image_size > 0x7FFFFFFFu - kHeaders) raise_error(error_number::kOutOfMemory);
  std::vector<BYTE> pixels(static_cast<size_t>(image_size));
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof(format.bmiHeader);
  format.bmiHeader.biWidth = info.bmWidth;
  format.bmiHeader.biHeight = info.bmHeight;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 24;
  format.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(),
                             &format, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != info.bmHeight) raise_error(error_number::kInvalidPicture);

  const uint32_t file_size = kHeaders + static_cast<uint32_t>(image_size);
  ByteWriter out;
  out.bytes(std::vector<BYTE>{'l', 't', 0, 0});
  out.u32(file_size);
  out.bytes(std::vector<BYTE>{'B', 'M'});
  out.u32(file_size);
  out.u32(0);  // reserved
  out.u32(kHeaders);
  out.u32(40);
  out.u32(static_cast<uint32_t>(info.bmWidth));
  out.u32(static_cast<uint32_t>(info.bmHeight));
  out.u16(1);   // planes
  out.u16(24);  // bits per pixel
  out.u32(BI_RGB);
  out.u32(static_cast<uint32_t>(image_size));
  out.u32(0);  // pixels per metre, x and y
  out.u32(0);
  out.u32(0);  // colours used, important
  out.u32(0);
  out.bytes(pixels);
  return out.take();
}

}  // namespace framework
