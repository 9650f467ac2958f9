// The loader fuzz run: damaged streams and property bags, each loaded into
// a new control. Children do the loading in batches; the parent counts a
// child that dies as one crash and one that stops making progress as one
// hang, and goes on after the input that caused it. The index of the input
// being loaded is shared through a named file mapping.
#include <windows.h>
#include <ocidl.h>

#include <cstdio>
#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "control/persist_test_support.h"
#include "resources.h"
#include "soak_run.h"
#include "support/com_test_env.h"

namespace soak {

namespace {

using namespace tessel_test;

struct Shared {
  volatile LONG current;  // index being loaded
  volatile LONG done;     // inputs finished by the child
  volatile LONG leaks;    // set by a child whose batch grew a resource
};

const wchar_t* kMapping = L"TesselFuzzProgress";

// The input of index n: a mutated stream (even n) or bag (odd n) of a
// sample control's save, derived from the seed and n alone.
struct Inputs {
  std::vector<BYTE> stream;
  std::vector<RecordingBag::Entry> bag;
};

Inputs sample_inputs() {
  Inputs in;
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

HRESULT load_bag(const std::vector<RecordingBag::Entry>& base, std::mt19937& r) {
  ComPtr<RecordingBag> bag = RecordingBag::create();
  for (const auto& entry : base) {
    if (r() % 16 == 0) continue;  // missing
    if (r() % 8 == 0) {
      bag->set(entry.key, random_value(r));
    } else {
      bag->set(entry.key, Variant(entry.value));
    }
  }
  ComPtr<IDispatch> control = create_linked_control();
  return control.query<IPersistPropertyBag>(IID_IPersistPropertyBag)->Load(bag.get(), nullptr);
}

}  // namespace

int fuzz_child(long first, long count, unsigned seed) {
  HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kMapping);
  if (!mapping) return 3;
  auto* shared = static_cast<Shared*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  if (!shared) return 3;
  ensure_registered();
  Resources before;
  {
    const Inputs base = sample_inputs();
    // Warm-up: the first loads fill caches that are not leaks.
    for (long n = 0; n < 50; ++n) {
      std::mt19937 r(seed ^ static_cast<unsigned>(n * 2654435761u));
      n % 2 ? load_bag(base.bag, r) : load_stream(base.stream, r);
    }
    before = sample();
    for (long n = first; n < first + count; ++n) {
      shared->current = n;
      std::mt19937 r(seed ^ static_cast<unsigned>(n * 2654435761u));
      n % 2 ? load_bag(base.bag, r) : load_stream(base.stream, r);
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

bool run_fuzz(long inputs, unsigned seed, const wchar_t* self_path) {
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(Shared), kMapping);
  auto* shared = static_cast<Shared*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  const long batch = 25000;
  long next = 0, crashes = 0, hangs = 0, leaks = 0, loaded = 0;
  while (next < inputs) {
    const long count = std::min(batch, inputs - next);
    shared->current = next;
    shared->done = 0;
    shared->leaks = 0;
    std::wstring line = L"\"" + std::wstring(self_path) + L"\" --fuzz-child " +
                        std::to_wstring(next) + L" " + std::to_wstring(count) + L" " +
                        std::to_wstring(seed);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
      std::printf("fuzz: cannot start a child\n");
      return false;
    }
    // Watchdog: a child that finishes no input for 20 s hangs.
    LONG seen = -1;
    DWORD code = STILL_ACTIVE;
    while (WaitForSingleObject(process.hProcess, 20000) == WAIT_TIMEOUT) {
      if (shared->done == seen) {
        TerminateProcess(process.hProcess, 0xDEAD);
        WaitForSingleObject(process.hProcess, INFINITE);
        ++hangs;
        code = 0xDEAD;
        break;
      }
      seen = shared->done;
    }
    if (code != 0xDEAD) GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    loaded += shared->done;
    leaks += shared->leaks;
    if (code == 0) {
      next += count;
    } else {
      if (code != 0xDEAD) {
        ++crashes;
        std::printf("  input %ld: child ended with 0x%08lx\n", static_cast<long>(shared->current),
                    static_cast<unsigned long>(code));
      }
      ++loaded;  // the input that failed counts as tried
      next = shared->current + 1;
    }
  }
  UnmapViewOfFile(shared);
  CloseHandle(mapping);
  std::printf("fuzz: %ld inputs (streams and property bags), %ld crashes, %ld hangs, %ld leaks\n",
              loaded, crashes, hangs, leaks);
  return crashes == 0 && hangs == 0 && leaks == 0 && loaded >= inputs;
}

}  // namespace soak
