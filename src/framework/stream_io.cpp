#include "framework/stream_io.h"

#include <algorithm>

#include "framework/error.h"

namespace framework {

namespace {
constexpr size_t kChunk = 64 * 1024;
}

std::vector<BYTE> read_up_to(IStream* stream, size_t n) {
  std::vector<BYTE> bytes;
  while (bytes.size() < n) {
    const size_t want = std::min(kChunk, n - bytes.size());
    const size_t at = bytes.size();
    bytes.resize(at + want);
    ULONG got = 0;
    HRESULT hr = stream->Read(bytes.data() + at, static_cast<ULONG>(want), &got);
    got = std::min<ULONG>(got, static_cast<ULONG>(want));
    bytes.resize(at + got);
    if (FAILED(hr) || got == 0) break;
  }
  return bytes;
}

void write_all(IStream* stream, std::span<const BYTE> bytes) {
  while (!bytes.empty()) {
    const ULONG want = static_cast<ULONG>(std::min<size_t>(bytes.size(), 1u << 30));
    ULONG written = 0;
    check_hr(stream->Write(bytes.data(), want, &written));
    if (written == 0 || written > want) check_hr(STG_E_WRITEFAULT);
    bytes = bytes.subspan(written);
  }
}

}  // namespace framework
