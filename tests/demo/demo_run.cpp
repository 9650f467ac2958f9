#include "demo/demo_run.h"

#include <wincodec.h>

#include <gtest/gtest.h>

#include <sstream>

#include "framework/com_ptr.h"
#include "support/com_test_env.h"

namespace tessel_test {

namespace {

struct Handle {
  HANDLE h = nullptr;
  ~Handle() {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

}  // namespace

DemoRun run_scripted_demo(const std::wstring& picture_folder) {
  DemoRun run;
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  Handle read_end, write_end, nothing;
  EXPECT_TRUE(CreatePipe(&read_end.h, &write_end.h, &inherit, 0));
  SetHandleInformation(read_end.h, HANDLE_FLAG_INHERIT, 0);
  nothing.h = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                          OPEN_EXISTING, 0, nullptr);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nothing.h;
  startup.hStdOutput = write_end.h;
  startup.hStdError = write_end.h;
  const std::wstring program = bin_dir() + L"TesselDemo.exe";
  // A backslash before the closing quote would escape it.
  std::wstring folder = picture_folder;
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  std::wstring command = L"\"" + program + L"\" --scripted --pictures \"" + folder + L"\"";
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      bin_dir().c_str(), &startup, &process)) {
    ADD_FAILURE() << "TesselDemo.exe did not start (error " << GetLastError() << ")";
    run.exit_code = ~0u;
    return run;
  }
  Handle process_handle{process.hProcess}, thread_handle{process.hThread};
  // The child has its own copy now; reading ends when the child's closes.
  CloseHandle(write_end.h);
  write_end.h = nullptr;

  std::string output;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(read_end.h, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
    output.append(buffer, read);
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  GetExitCodeProcess(process.hProcess, &run.exit_code);
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, output.data(), static_cast<int>(output.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, output.data(), static_cast<int>(output.size()), text.data(),
                      size);
  std::wistringstream in(text);
  for (std::wstring line; std::getline(in, line);) {
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    run.lines.push_back(line);
  }
  return run;
}

std::vector<std::wstring> lines_starting_with(const DemoRun& run, const std::wstring& prefix) {
  std::vector<std::wstring> found;
  for (const std::wstring& line : run.lines) {
    if (line.starts_with(prefix)) found.push_back(line);
  }
  return found;
}

PngImage::PngImage(const std::wstring& path) {
  using framework::ComPtr;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> converter;
  UINT width = 0, height = 0;
  const bool ok =
      SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IWICImagingFactory, factory.put_void())) &&
      SUCCEEDED(factory->CreateDecoderFromFilename(
          path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand, decoder.put())) &&
      SUCCEEDED(decoder->GetFrame(0, frame.put())) &&
      SUCCEEDED(factory->CreateFormatConverter(converter.put())) &&
      SUCCEEDED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA,
                                      WICBitmapDitherTypeNone, nullptr, 0,
                                      WICBitmapPaletteTypeCustom)) &&
      SUCCEEDED(converter->GetSize(&width, &height));
  if (!ok) return;
  bgra_.resize(static_cast<size_t>(width) * height * 4);
  if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(bgra_.size()),
                                   bgra_.data()))) {
    return;
  }
  width_ = static_cast<int>(width);
  height_ = static_cast<int>(height);
}

COLORREF PngImage::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  const BYTE* p = &bgra_[(static_cast<size_t>(y) * static_cast<size_t>(width_) + x) * 4];
  return RGB(p[2], p[1], p[0]);
}

}  // namespace tessel_test
