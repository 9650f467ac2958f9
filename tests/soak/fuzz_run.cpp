// The fuzz run: children run the inputs in batches and validate every heap after each one; the
// parent counts a child that dies, stops making progress or corrupts a heap once, and goes on
// after the input that did it (whose index the child shares through a named file mapping).
#include <windows.h>
#include <ocidl.h>

#include <cstdio>
#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "control/persist_test_support.h"
#include "framework/byte_codec.h"
#include "framework/property_stream.h"
#include "resources.h"
#include "soak_run.h"
#include "support/com_test_env.h"
#include "support/heap_check.h"

namespace soak {

namespace {

using namespace tessel_test;

struct Shared {
  volatile LONG current;  // index being run
  volatile LONG done;     // inputs finished by the child after its warm-up
  volatile LONG leaks;    // batches that grew a resource, inputs that kept a reference
};

// A child's exit code when a heap no longer validates after an input.
constexpr DWORD kHeapCorrupted = 4;
constexpr DWORD kHung = 0xDEAD;

const wchar_t* kMapping = L"TesselFuzzProgress";

// Gives every whole record its check again, and the header the length of what follows it, so
// that the damage reaches the value decoders (and the platform's picture and font readers)
// instead of stopping at the first check that fails.
void reseal(std::vector<BYTE>& bytes) {
  const size_t header = framework::kPropertyStreamHeaderSize;
  if (bytes.size() < header) return;
  auto put_u32 = [&](size_t at, size_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<BYTE>(value >> (8 * i));
  };
  put_u32(header - 4, bytes.size() - header);
  size_t start = header;
  for (const auto& [key, end] : record_ends(bytes)) {
    if (end > bytes.size()) break;
    const size_t body = start + 8;
    put_u32(start + 4, framework::crc32(std::span<const BYTE>(bytes).subspan(body, end - body)));
    start = end;
  }
}

HRESULT load_stream(const std::vector<BYTE>& base, std::mt19937& r) {
  std::vector<BYTE> bytes = base;
  const int edits = 1 + static_cast<int>(r() % 8);
  for (int e = 0; e < edits && !bytes.empty(); ++e) {
    const size_t at = r() % bytes.size();
    const unsigned edit = r() % 4;
    if (edit == 0) bytes[at] ^= static_cast<BYTE>(1u << (r() % 8));
    if (edit == 1) bytes[at] = static_cast<BYTE>(r());
    if (edit == 2) bytes.resize(at);
    if (edit == 3) bytes.insert(bytes.begin() + static_cast<long>(at), static_cast<BYTE>(r()));
  }
  if (r() % 2) reseal(bytes);
  HRESULT hr = E_FAIL;
  ComPtr<IDispatch> loaded = load_from_bytes(bytes, &hr);
  return hr;
}

Variant random_value(std::mt19937& r) {
  const unsigned kind = r() % 6;
  if (kind == 0) return v_i2(static_cast<SHORT>(r()));
  if (kind == 1) return v_i4(static_cast<LONG>(r()));
  if (kind == 2) return v_bool(r() % 2 == 0);
  if (kind == 3) return v_r4(static_cast<float>(static_cast<int>(r() % 2000000) - 1000000) / 7.0f);
  return v_text(kind == 4 ? std::to_wstring(static_cast<int>(r())).c_str() : L"");
}

// A value handed over by reference, as some hosts' bags do: to a number, to nothing, or through a
// variant that refers to itself. Only for keys that do not hold objects: the bag converts those
// itself, and cannot convert these.
Variant by_reference_value(std::mt19937& r) {
  static LONG number;
  static VARIANT looped;
  number = static_cast<LONG>(r());
  V_VT(&looped) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&looped) = &looped;
  VARIANT v;
  switch (r() % 3) {
    case 0:
      V_VT(&v) = VT_BYREF | VT_I4;
      V_I4REF(&v) = &number;
      break;
    case 1:
      V_VT(&v) = VT_BYREF | (r() % 2 ? VT_I4 : VT_VARIANT);
      V_BYREF(&v) = nullptr;
      break;
    default:
      v = looped;
      break;
  }
  return Variant(v);  // a copy of a reference is the same reference
}

HRESULT load_bag(const std::vector<RecordingBag::Entry>& base, std::mt19937& r) {
  ComPtr<RecordingBag> bag = RecordingBag::create();
  for (const auto& entry : base) {
    if (r() % 16 == 0) continue;  // missing
    if (r() % 8 == 0) {
      const bool by_reference = entry.value.vt() != VT_DISPATCH && r() % 4 == 0;
      bag->set(entry.key, by_reference ? by_reference_value(r) : random_value(r));
    } else {
      bag->set(entry.key, Variant(entry.value));
    }
  }
  return bag_persist(create_linked_control().get())->Load(bag.get(), nullptr);
}

// Input n mutates a sample control's save: its stream (even n) or its property bag (odd n).
FuzzInputs make_loader_inputs() {
  ComPtr<IDispatch> control = make_sample_control();
  ComPtr<RecordingBag> bag = RecordingBag::create();
  bag_persist(control.get())->Save(bag.get(), TRUE, TRUE);
  return [stream = save_to_bytes(control.get()), entries = bag->writes](long n, unsigned seed) {
    std::mt19937 r(seed ^ static_cast<unsigned>(n * 2654435761u));
    n % 2 ? load_bag(entries, r) : load_stream(stream, r);
    return true;
  };
}

}  // namespace

int fuzz_child(FuzzArm arm, long first, long count, unsigned seed) {
  HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kMapping);
  if (!mapping) return 3;
  auto* shared = static_cast<Shared*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  if (!shared) return 3;
  ensure_registered();
  Resources before;
  {
    const FuzzInputs inputs =
        arm == FuzzArm::kLoader ? make_loader_inputs() : make_dispatch_inputs();
    // Warm-up on the batch's own first inputs, which fill caches that are not leaks; an input
    // that crashes or hangs here is counted as itself.
    for (long n = first; n < first + std::min(count, 50L); ++n) {
      shared->current = n;
      inputs(n, seed);
    }
    before = sample();
    for (long n = first; n < first + count; ++n) {
      shared->current = n;
      if (!inputs(n, seed)) shared->leaks = shared->leaks + 1;
      if (!tessel_test::process_heaps_valid()) return static_cast<int>(kHeapCorrupted);
      shared->done = shared->done + 1;
    }
  }
  // Counted once the sample inputs (and the font objects their bag holds) are gone: the platform
  // frees released font handles only with the last font object, and while one lives every font
  // realised since counts as grown.
  if (!no_growth(before, sample())) shared->leaks = shared->leaks + 1;
  UnmapViewOfFile(shared);
  CloseHandle(mapping);
  return 0;
}

bool run_fuzz(FuzzArm arm, long inputs, unsigned seed) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(Shared), kMapping);
  auto* shared = static_cast<Shared*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  const long batch = 25000;
  long next = 0, crashes = 0, hangs = 0, leaks = 0, corrupted = 0, tried = 0;
  while (next < inputs) {
    const long count = std::min(batch, inputs - next);
    shared->current = next;
    shared->done = 0;
    shared->leaks = 0;
    std::wstring line = L"\"" + std::wstring(self) + L"\" --fuzz-child " +
                        std::to_wstring(static_cast<int>(arm)) + L" " + std::to_wstring(next) +
                        L" " + std::to_wstring(count) + L" " + std::to_wstring(seed);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
      std::printf("fuzz: cannot start a child\n");
      return false;
    }
    // Watchdog: a child that moves on from no input for 20 s hangs.
    std::pair<LONG, LONG> seen{-1, -1};
    DWORD code = STILL_ACTIVE;
    while (WaitForSingleObject(process.hProcess, 20000) == WAIT_TIMEOUT) {
      const std::pair<LONG, LONG> now{shared->current, shared->done};
      if (now == seen) {
        TerminateProcess(process.hProcess, kHung);
        WaitForSingleObject(process.hProcess, INFINITE);
        code = kHung;
        break;
      }
      seen = now;
    }
    if (code != kHung) GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    leaks += shared->leaks;
    if (code == 0) {
      tried += count;
      next += count;
      continue;
    }
    const long failed = shared->current;
    if (code == kHung) {
      ++hangs;
      std::printf("  input %ld: no progress for 20 s\n", failed);
    } else if (code == kHeapCorrupted) {
      ++corrupted;
      std::printf("  input %ld: a heap no longer validates\n", failed);
    } else {
      ++crashes;
      std::printf("  input %ld: child ended with 0x%08lx\n", failed,
                  static_cast<unsigned long>(code));
    }
    // The inputs before the one that failed ran, in the warm-up or after it; the one that failed
    // counts as tried.
    tried += failed - next + 1;
    next = failed + 1;
  }
  UnmapViewOfFile(shared);
  CloseHandle(mapping);
  std::printf("fuzz: %ld inputs (%s), %ld crashes, %ld hangs, %ld leaks, %ld heap corruptions\n",
              tried, arm == FuzzArm::kLoader ? "streams and property bags" : "dispatch calls",
              crashes, hangs, leaks, corrupted);
  return crashes == 0 && hangs == 0 && leaks == 0 && corrupted == 0 && tried >= inputs;
}

}  // namespace soak
