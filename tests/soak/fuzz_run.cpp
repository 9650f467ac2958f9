// The fuzz run: damaged streams and property bags loaded into new controls
// (the loader arm), and random IDispatch calls with hostile arguments (the
// dispatch arm). Children run the inputs in batches; the parent counts a
// child that dies as one crash and one that stops making progress as one
// hang, and goes on after the input that caused it. After each input the
// child validates every heap of the process; a corrupted heap ends the
// child and counts once. The index of the input being run is shared
// through a named file mapping.
#include <windows.h>
#include <ocidl.h>

#include <cstdio>
#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "control/persist_test_support.h"
#include "fuzz_inputs.h"
#include "resources.h"
#include "soak_run.h"
#include "support/com_test_env.h"

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

const wchar_t* kMapping = L"TesselFuzzProgress";

// What the loader arm's inputs are made from: a sample control's save, as a
// stream and as a bag. Input n mutates the stream (even n) or the bag (odd n).
struct Samples {
  std::vector<BYTE> stream;
  std::vector<RecordingBag::Entry> bag;
};

Samples sample_inputs() {
  Samples in;
  ComPtr<IDispatch> control = make_sample_control();
  in.stream = save_to_bytes(control.get());
  ComPtr<RecordingBag> bag = RecordingBag::create();
  control.query<IPersistPropertyBag>(IID_IPersistPropertyBag)->Save(bag.get(), TRUE, TRUE);
  in.bag = bag->writes;
  return in;
}

HRESULT load_stream(const std::vector<BYTE>& base, std::mt19937& r) {
  std::vector<BYTE> bytes = base;
  const int edits = 1 + static_cast<int>(r() % 8);
  for (int e = 0; e < edits && !bytes.empty(); ++e) {
    const size_t at = r() % bytes.size();
    switch (r() % 4) {
      case 0:
        bytes[at] ^= static_cast<BYTE>(1u << (r() % 8));
        break;
      case 1:
        bytes[at] = static_cast<BYTE>(r());
        break;
      case 2:
        bytes.resize(at);
        break;
      case 3:
        bytes.insert(bytes.begin() + static_cast<long>(at), static_cast<BYTE>(r()));
        break;
    }
  }
  HRESULT hr = E_FAIL;
  ComPtr<IDispatch> loaded = load_from_bytes(bytes, &hr);
  return hr;
}

Variant random_value(std::mt19937& r) {
  switch (r() % 6) {
    case 0:
      return v_i2(static_cast<SHORT>(r()));
    case 1:
      return v_i4(static_cast<LONG>(r()));
    case 2:
      return v_bool(r() % 2 == 0);
    case 3:
      return v_r4(static_cast<float>(static_cast<int>(r() % 2000000) - 1000000) / 7.0f);
    case 4:
      return v_text(std::to_wstring(static_cast<int>(r())).c_str());
    default:
      return v_text(L"");
  }
}

// A value handed over by reference, as some hosts' bags do: to a number, to
// nothing, or through a variant that refers to itself. Only for keys that
// do not hold objects: the bag converts those itself, and cannot convert
// these.
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
  ComPtr<IDispatch> control = create_linked_control();
  return control.query<IPersistPropertyBag>(IID_IPersistPropertyBag)->Load(bag.get(), nullptr);
}

class LoaderInputs final : public FuzzInputs {
 public:
  LoaderInputs() : base_(sample_inputs()) {}
  bool run(long n, unsigned seed) override {
    std::mt19937 r(seed ^ static_cast<unsigned>(n * 2654435761u));
    n % 2 ? load_bag(base_.bag, r) : load_stream(base_.stream, r);
    return true;
  }

 private:
  Samples base_;
};

bool heaps_valid() {
  HANDLE heaps[256];
  const DWORD count = std::min<DWORD>(GetProcessHeaps(256, heaps), 256);
  for (DWORD i = 0; i < count; ++i) {
    if (!HeapValidate(heaps[i], 0, nullptr)) return false;
  }
  return true;
}

const char* arm_name(FuzzArm arm) {
  return arm == FuzzArm::kLoader ? "streams and property bags" : "dispatch calls";
}

}  // namespace

std::unique_ptr<FuzzInputs> make_loader_inputs() { return std::make_unique<LoaderInputs>(); }

int fuzz_child(FuzzArm arm, long first, long count, unsigned seed) {
  HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kMapping);
  if (!mapping) return 3;
  auto* shared = static_cast<Shared*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  if (!shared) return 3;
  ensure_registered();
  Resources before;
  {
    std::unique_ptr<FuzzInputs> inputs =
        arm == FuzzArm::kLoader ? make_loader_inputs() : make_dispatch_inputs();
    // Warm-up on the batch's own first inputs, which fill caches that are
    // not leaks; an input that crashes or hangs here is counted as itself.
    for (long n = first; n < first + std::min(count, 50L); ++n) {
      shared->current = n;
      inputs->run(n, seed);
    }
    before = sample();
    for (long n = first; n < first + count; ++n) {
      shared->current = n;
      if (!inputs->run(n, seed)) shared->leaks = shared->leaks + 1;
      if (!heaps_valid()) return static_cast<int>(kHeapCorrupted);
      shared->done = shared->done + 1;
    }
  }
  // Counted once the sample inputs (and the font objects their bag holds)
  // are gone: the platform frees released font handles only with the last
  // font object, and while one lives every font realised since counts as
  // grown.
  const Resources after = sample();
  if (!no_growth(before, after)) {
    shared->leaks = shared->leaks + 1;
  }
  UnmapViewOfFile(shared);
  CloseHandle(mapping);
  return 0;
}

bool run_fuzz(FuzzArm arm, long inputs, unsigned seed, const wchar_t* self_path) {
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
    std::wstring line = L"\"" + std::wstring(self_path) + L"\" --fuzz-child " +
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
        TerminateProcess(process.hProcess, 0xDEAD);
        WaitForSingleObject(process.hProcess, INFINITE);
        ++hangs;
        std::printf("  input %ld: no progress for 20 s\n", static_cast<long>(shared->current));
        code = 0xDEAD;
        break;
      }
      seen = now;
    }
    if (code != 0xDEAD) GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    leaks += shared->leaks;
    if (code == 0) {
      tried += count;
      next += count;
    } else {
      if (code == kHeapCorrupted) {
        ++corrupted;
        std::printf("  input %ld: a heap no longer validates\n",
                    static_cast<long>(shared->current));
      } else if (code != 0xDEAD) {
        ++crashes;
        std::printf("  input %ld: child ended with 0x%08lx\n", static_cast<long>(shared->current),
                    static_cast<unsigned long>(code));
      }
      // The inputs before the one that failed ran, in the warm-up or after
      // it; the one that failed counts as tried.
      tried += shared->current - next + 1;
      next = shared->current + 1;
    }
  }
  UnmapViewOfFile(shared);
  CloseHandle(mapping);
  std::printf("fuzz: %ld inputs (%s), %ld crashes, %ld hangs, %ld leaks, %ld heap corruptions\n",
              tried, arm_name(arm), crashes, hangs, leaks, corrupted);
  return crashes == 0 && hangs == 0 && leaks == 0 && corrupted == 0 && tried >= inputs;
}

}  // namespace soak
