#include "png_file.h"

#include <wincodec.h>

#include <cwchar>
#include <iterator>
#include <vector>

#include "framework/com_ptr.h"

namespace png {

std::wstring write_png(const std::wstring& path, int width, int height, const void* pixels) {
  const auto stride = static_cast<UINT>(width) * 4;
  const size_t size = static_cast<size_t>(stride) * static_cast<size_t>(height);
  std::vector<BYTE> opaque(static_cast<const BYTE*>(pixels),
                           static_cast<const BYTE*>(pixels) + size);
  for (size_t i = 3; i < opaque.size(); i += 4) opaque[i] = 255;

  using framework::ComPtr;
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
  HRESULT hr = S_OK;
  const wchar_t* step = L"";
  auto run = [&](const wchar_t* name, HRESULT result) {
    if (SUCCEEDED(hr)) {
      step = name;
      hr = result;
    }
    return SUCCEEDED(hr);
  };
  run(L"creating the imaging factory",
      CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                       IID_IWICImagingFactory, factory.put_void())) &&
      run(L"creating a stream", factory->CreateStream(stream.put())) &&
      run(L"opening the file", stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
      run(L"creating the PNG encoder",
          factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) &&
      run(L"encoding", encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) &&
      run(L"encoding", encoder->CreateNewFrame(frame.put(), nullptr)) &&
      run(L"encoding", frame->Initialize(nullptr)) &&
      run(L"encoding", frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))) &&
      run(L"encoding", frame->SetPixelFormat(&format)) &&
      run(L"encoding", format == GUID_WICPixelFormat32bppBGRA ? S_OK : E_FAIL) &&
      run(L"encoding", frame->WritePixels(static_cast<UINT>(height), stride,
                                          static_cast<UINT>(opaque.size()), opaque.data())) &&
      run(L"encoding", frame->Commit()) && run(L"writing the file", encoder->Commit());
  if (SUCCEEDED(hr)) return {};
  wchar_t code[16];
  std::swprintf(code, std::size(code), L"0x%08lX", static_cast<unsigned long>(hr));
  return std::wstring(step) + L" failed (" + code + L")";
}

}  // namespace png
