// tlbgen: writes the control's type library or its headers.
//   tlbgen win32|win64 <out.tlb>
//   tlbgen header <out.h>        the C++ header of the control's own code
//   tlbgen host-header <out.h>   the C/C++ header shipped to hosts
#include <windows.h>

#include <cstdio>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>

#include "com_util.h"
#include "header_writer.h"
#include "typelib_table.h"
#include "typelib_writer.h"

namespace {

int Usage() {
  std::fputs("usage: tlbgen win32|win64 <out.tlb>\n       tlbgen header|host-header <out.h>\n",
             stderr);
  return 2;
}

void WriteHeaderFile(const std::wstring& path, const std::string& text) {
  std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) throw std::runtime_error("cannot write " + tlbgen::Narrow(path));
}

class ComInit {
 public:
  ComInit() { tlbgen::Check(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), "CoInitializeEx"); }
  ComInit(const ComInit&) = delete;
  ComInit& operator=(const ComInit&) = delete;
  ~ComInit() { CoUninitialize(); }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return Usage();
  const std::wstring mode = argv[1];
  const std::wstring path = argv[2];
  try {
    if (mode == L"header") {
      WriteHeaderFile(path, tlbgen::GenerateHeader(tlbgen::TesselLibrary()));
      return 0;
    }
    if (mode == L"host-header") {
      WriteHeaderFile(path, tlbgen::GenerateHostHeader(tlbgen::TesselLibrary()));
      return 0;
    }
    if (mode != L"win32" && mode != L"win64") return Usage();
    ComInit com;
    DeleteFileW(path.c_str());
    tlbgen::WriteTypeLibrary(tlbgen::TesselLibrary(), mode == L"win64" ? SYS_WIN64 : SYS_WIN32,
                             path);
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tlbgen: %s\n", error.what());
    // No half-written output may look up to date to the build.
    DeleteFileW(path.c_str());
    return 1;
  }
}
