// The soak: a hosted control driven through many mixed operations, then
// checked for growth of every resource it could leak and for painting
// exactly as a fresh control loaded from its own saved state.
#include <windows.h>
#include <ocidl.h>
#include <oleacc.h>

#include <cstdio>
#include <algorithm>
#include <optional>
#include <random>
#include <vector>

#include "control/interaction_helpers.h"
#include "control/persist_test_support.h"
#include "framework/bstr.h"
#include "framework/hosting_helpers.h"
#include "input/mouse_tracking.h"
#include "page_driver.h"
#include "resources.h"
#include "soak_run.h"
#include "support/com_test_env.h"
#include "tessel_interfaces.h"

namespace soak {

namespace {

namespace id = tessel::dispid;
using namespace tessel_test;

POINT g_pointer{};
// The accessible objects the screen reader has been handed so far.
long g_readings = 0;
BOOL WINAPI cursor_pos(LPPOINT point) {
  *point = g_pointer;
  return TRUE;
}
constexpr tessel::CursorApi kApi{&cursor_pos, &WindowFromPoint, &GetCapture, &SetCapture,
                                 &ReleaseCapture};

ULONG ref_count(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

std::vector<DWORD> image_of(IUnknown* control) {
  Canvas canvas(AxHost::kWidth, AxHost::kHeight);
  draw_view(control, canvas, {0, 0, AxHost::kWidth, AxHost::kHeight});
  std::vector<DWORD> pixels;
  for (int y = 0; y < AxHost::kHeight; ++y) {
    for (int x = 0; x < AxHost::kWidth; ++x) pixels.push_back(canvas.pixel(x, y));
  }
  return pixels;
}

class Driver {
 public:
  Driver(IDispatch* control, HWND window, HWND page_parent, unsigned seed)
      : control_(control), window_(window), pages_(control, page_parent), random_(seed) {}

  // One operation of the mix: property assignments, columns added and
  // removed, pointer moves and clicks, saves and loads, page applies, a
  // screen reader's reading. Returns false if a call failed unexpectedly.
  bool step() { return run(pick(14)); }

  // Every kind of operation once, both pages included.
  bool every_kind() {
    bool ok = true;
    for (unsigned kind = 0; kind < 12; ++kind) ok = run(kind) && ok;
    ok = run(13) && ok;
    ok = pages_.session(random_, true) && ok;
    return pages_.session(random_, false) && ok;
  }

  // Moves the pointer off the control.
  void leave() { move(AxHost::kWidth / 2, AxHost::kHeight + 200); }

 private:
  bool run(unsigned kind) {
    switch (kind) {
      case 0:
        put(control_, id::BackColor, {}, vlong(static_cast<LONG>(pick(0xFFFFFF))));
        break;
      case 1:
        put(control_, id::ForeColorHot, {}, vlong(static_cast<LONG>(pick(0xFFFFFF))));
        break;
      case 2:
        put(control_, id::FontBold, {}, vbool(pick(2) == 1));
        break;
      case 3:
        if (columns() > 0) put(control_, id::RowWidth, {vlong(column())}, vlong(20 + pick(60)));
        break;
      case 4:
        if (columns() > 0) put(control_, id::RowCaption, {vlong(column())}, vstr(L"Spalte &X"));
        break;
      case 5:
        if (columns() < 40) call(control_, id::AddRow, {vlong(30 + pick(40)), vstr(L"Neu")});
        break;
      case 6:
        call(control_, id::DeleteRow);
        break;
      case 7:
      case 8:
        move(static_cast<int>(pick(AxHost::kWidth + 40)), static_cast<int>(pick(30)));
        break;
      case 9:
        click(static_cast<int>(pick(AxHost::kWidth)), 10);
        break;
      case 10:
        return round_trip_stream();
      case 11:
        return round_trip_bag();
      case 12:
        // A page session makes the page's whole dialog: every other time
        // only, so that it does not take most of the run.
        if (pick(2) == 0) return pages_.session(random_, pick(2) == 0);
        move(static_cast<int>(pick(AxHost::kWidth)), static_cast<int>(pick(30)));
        break;
      case 13:
        return read_aloud();
    }
    return true;
  }

  // What a screen reader does: a new accessible object, every column's
  // name, state and place, now and then a press, and the object let go.
  bool read_aloud() {
    ComPtr<IAccessible> reader;
    if (FAILED(AccessibleObjectFromWindow(window_, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible), reader.put_void()))) {
      return false;
    }
    ++g_readings;
    LONG count = 0;
    if (FAILED(reader->get_accChildCount(&count))) return false;
    for (LONG i = 1; i <= count; ++i) {
      VARIANT child;
      V_VT(&child) = VT_I4;
      V_I4(&child) = i;
      framework::Bstr name;
      Variant state;
      LONG l, t, w, h;
      if (FAILED(reader->get_accName(child, name.put())) ||
          FAILED(reader->get_accState(child, state.get())) ||
          FAILED(reader->accLocation(&l, &t, &w, &h, child))) {
        return false;
      }
    }
    if (count > 0 && pick(4) == 0) {
      VARIANT child;
      V_VT(&child) = VT_I4;
      V_I4(&child) = column();
      return SUCCEEDED(reader->accDoDefaultAction(child));
    }
    return true;
  }

  unsigned pick(unsigned n) { return static_cast<unsigned>(random_() % n); }
  LONG columns() { return as_long(get(control_, id::NumberOfRows)); }
  LONG column() { return 1 + static_cast<LONG>(pick(static_cast<unsigned>(columns()))); }

  void move(int x, int y) {
    POINT p{x, y};
    ClientToScreen(window_, &p);
    g_pointer = p;
    SendMessageW(window_, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  }
  void click(int x, int y) {
    move(x, y);
    SendMessageW(window_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(window_, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }

  // Saves the hosted control and loads the result into a new one.
  bool round_trip_stream() {
    const std::vector<BYTE> bytes = save_to_bytes(control_);
    HRESULT hr = E_FAIL;
    ComPtr<IDispatch> copy = load_from_bytes(bytes, &hr);
    return SUCCEEDED(hr);
  }
  bool round_trip_bag() {
    ComPtr<RecordingBag> bag = RecordingBag::create();
    auto source = ComPtr<IDispatch>(control_).query<IPersistPropertyBag>(IID_IPersistPropertyBag);
    if (FAILED(source->Save(bag.get(), TRUE, TRUE))) return false;
    ComPtr<IDispatch> copy = create_linked_control();
    auto target = copy.query<IPersistPropertyBag>(IID_IPersistPropertyBag);
    return SUCCEEDED(target->Load(bag.get(), nullptr));
  }

  IDispatch* control_;
  HWND window_;
  PageDriver pages_;
  std::mt19937 random_;
};

// Hosts a new control and drives it, and through every kind of operation
// at the end when warming up; returns the failed calls.
long drive(long operations, unsigned seed, bool warm_up, ULONG* refs_before, ULONG* refs_after,
           bool* paints_alike) {
  long failures = 0;
  ComPtr<IDispatch> control = create_linked_control();
  control.query<IPersistStreamInit>(IID_IPersistStreamInit)->InitNew();
  std::optional<AxHost> host(std::in_place, control.get());
  std::optional<TestFrame> page_frame(std::in_place);
  Driver driver(control.get(), host->control_window(), page_frame->handle(), seed);
  *refs_before = ref_count(control.get());
  for (long i = 0; i < operations; ++i) {
    failures += driver.step() ? 0 : 1;
    if ((i & 255) == 0) pump_messages();
    if (operations >= 10 && i % (operations / 10) == 0) {
      std::printf("  %ld operations\n", i);
      std::fflush(stdout);
    }
  }
  if (warm_up) failures += driver.every_kind() ? 0 : 1;
  // The pointer leaves, so that no column is drawn hot.
  driver.leave();
  if (GetCapture()) ReleaseCapture();
  pump_messages();
  *refs_after = ref_count(control.get());

  // Paints like a fresh control loaded from its own saved state, hosted alike.
  const std::vector<DWORD> soaked = image_of(control.get());
  ComPtr<IDispatch> fresh = load_from_bytes(save_to_bytes(control.get()));
  if (fresh) {
    AxHost fresh_host(fresh.get());
    pump_messages();
    *paints_alike = image_of(fresh.get()) == soaked;
  }
  page_frame.reset();
  host.reset();
  return failures;
}

}  // namespace

bool run_soak(long operations, unsigned seed) {
  ensure_registered();
  const tessel::CursorApi* previous = tessel::set_cursor_api(&kApi);
  ULONG refs_before = 0, refs_after = 0, unused = 0;
  bool paints_alike = false, warm = false;
  // A warm-up run makes the platform's one-time objects (system colour
  // brushes, cached window DCs): it goes through the measured run's own first
  // operations and then through every kind of operation; the measured run
  // starts and ends with no control alive, so that the font objects' shared
  // handles (which the platform frees with the last font object) count too.
  // The control's pointer is the seam's; the real one is parked in the
  // screen's bottom right corner, away from the frame windows. Left on a
  // frame's border, the platform would load that border's sizing cursor the
  // first time capture is released over it, whenever that happens to be.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  drive(std::min(2000L, operations), seed, true, &unused, &unused, &warm);
  const size_t round_trip_bytes = platform_round_trip_bytes();
  pump_messages();
  const Resources before = sample();
  g_readings = 0;
  const long failures = drive(operations, seed, false, &refs_before, &refs_after, &paints_alike);
  pump_messages();
  const Resources after = sample();
  const size_t platform_bytes = static_cast<size_t>(g_readings) * round_trip_bytes;
  tessel::set_cursor_api(previous);

  std::printf("soak: %ld operations after warm-up, seed %u\n", operations, seed);
  std::printf("  screen reader:    %ld accessible objects, %zu bytes each kept by the platform\n",
              g_readings, round_trip_bytes);
  const bool no_growth = report_growth(before, after, platform_bytes);
  std::printf("  COM references:   %lu -> %lu\n", refs_before, refs_after);
  std::printf("  failed calls:     %ld\n", failures);
  std::printf("  paints correctly: %s\n", paints_alike ? "yes" : "NO");
  const bool ok = no_growth && refs_before == refs_after && failures == 0 && paints_alike;
  std::printf("soak: %s (crashes 0)\n", ok ? "zero growth" : "FAILED");
  return ok;
}

}  // namespace soak
