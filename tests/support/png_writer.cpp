#include "support/png_writer.h"

#include <wincodec.h>

#include <vector>

#include "framework/com_ptr.h"
#include "support/com_test_env.h"

namespace tessel_test {

bool write_png(HDC dc, int width, int height, const std::wstring& path) {
  // Copy the block out as top-down 32-bit pixels.
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
  for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;

  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  framework::ComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, factory.put_void()))) {
    return false;
  }
  framework::ComPtr<IWICStream> stream;
  framework::ComPtr<IWICBitmapEncoder> encoder;
  framework::ComPtr<IWICBitmapFrameEncode> frame;
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
  bool ok = SUCCEEDED(factory->CreateStream(stream.put())) &&
            SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
            SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) &&
            SUCCEEDED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) &&
            SUCCEEDED(encoder->CreateNewFrame(frame.put(), nullptr)) &&
            SUCCEEDED(frame->Initialize(nullptr)) &&
            SUCCEEDED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))) &&
            SUCCEEDED(frame->SetPixelFormat(&format)) &&
            SUCCEEDED(frame->WritePixels(static_cast<UINT>(height), static_cast<UINT>(width) * 4,
                                         static_cast<UINT>(pixels.size()), pixels.data())) &&
            SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
  return ok;
}

std::wstring picture_dir() {
  std::wstring dir = bin_dir() + L"..\\pictures\\";
  CreateDirectoryW(dir.c_str(), nullptr);
  return dir;
}

}  // namespace tessel_test
