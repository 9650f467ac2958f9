// The soak: a hosted control driven through many mixed operations, then checked for growth of
// every resource it could leak and for painting exactly as a fresh control loaded from its own
// saved state.
#include <windows.h>
#include <ocidl.h>
#include <oleacc.h>

#include <cstdio>
#include <algorithm>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "control/interaction_helpers.h"
#include "control/persist_test_support.h"
#include "framework/bstr.h"
#include "framework/hosting_helpers.h"
#include "input/mouse_tracking.h"
#include "pages/allgemein_page.h"
#include "pages/register_page.h"
#include "resources.h"
#include "soak_run.h"
#include "support/com_test_env.h"
#include "support/page_site.h"
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

std::vector<DWORD> image_of(IUnknown* control) {
  Canvas canvas(AxHost::kWidth, AxHost::kHeight);
  draw_view(control, canvas, {0, 0, AxHost::kWidth, AxHost::kHeight});
  std::vector<DWORD> pixels;
  for (int y = 0; y < AxHost::kHeight; ++y) {
    for (int x = 0; x < AxHost::kWidth; ++x) pixels.push_back(canvas.pixel(x, y));
  }
  return pixels;
}

void type_text(HWND edit, const std::wstring& text) {
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

class Driver {
 public:
  Driver(IDispatch* control, HWND window, HWND page_parent, unsigned seed)
      : control_(control), window_(window), page_parent_(page_parent), random_(seed) {}

  // One operation of the mix: property assignments, columns added and removed, pointer moves and
  // clicks, saves and loads, page applies, a screen reader's reading. False if a call failed.
  bool step() { return run(pick(14)); }

  bool every_kind() {
    bool ok = true;
    for (unsigned kind = 0; kind < 12; ++kind) ok = run(kind) && ok;
    ok = run(13) && ok;
    ok = page_session(true) && ok;
    return page_session(false) && ok;
  }

  void leave() { move(AxHost::kWidth / 2, AxHost::kHeight + 200); }

 private:
  bool run(unsigned kind) {
    if (kind == 0) put(control_, id::BackColor, {}, vlong(static_cast<LONG>(pick(0xFFFFFF))));
    if (kind == 1) put(control_, id::ForeColorHot, {}, vlong(static_cast<LONG>(pick(0xFFFFFF))));
    if (kind == 2) put(control_, id::FontBold, {}, vbool(pick(2) == 1));
    if (kind == 3 && columns() > 0) {
      put(control_, id::RowWidth, {vlong(column())}, vlong(20 + pick(60)));
    }
    if (kind == 4 && columns() > 0) {
      put(control_, id::RowCaption, {vlong(column())}, vstr(L"Spalte &X"));
    }
    if (kind == 5 && columns() < 40) {
      call(control_, id::AddRow, {vlong(30 + pick(40)), vstr(L"Neu")});
    }
    if (kind == 6) call(control_, id::DeleteRow);
    if (kind == 7 || kind == 8)
      move(static_cast<int>(pick(AxHost::kWidth + 40)), static_cast<int>(pick(30)));
    if (kind == 9) click(static_cast<int>(pick(AxHost::kWidth)), 10);
    if (kind == 10) {
      HRESULT hr = E_FAIL;
      load_from_bytes(save_to_bytes(control_), &hr);
      return SUCCEEDED(hr);
    }
    if (kind == 11) {
      ComPtr<RecordingBag> bag = RecordingBag::create();
      return SUCCEEDED(bag_persist(control_)->Save(bag.get(), TRUE, TRUE)) &&
             SUCCEEDED(bag_persist(create_linked_control().get())->Load(bag.get(), nullptr));
    }
    // A page session makes the page's whole dialog: every other time only, so that it does not
    // take most of the run.
    if (kind == 12 && pick(2) == 0) return page_session(pick(2) == 0);
    if (kind == 12) move(static_cast<int>(pick(AxHost::kWidth)), static_cast<int>(pick(30)));
    return kind != 13 || read_aloud();
  }

  // What a screen reader does: a new accessible object, every column's name, state and place,
  // now and then a press, and the object let go.
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
      framework::Bstr name;
      Variant state;
      LONG l, t, w, h;
      if (FAILED(reader->get_accName(vlong(i), name.put())) ||
          FAILED(reader->get_accState(vlong(i), state.get())) ||
          FAILED(reader->accLocation(&l, &t, &w, &h, vlong(i)))) {
        return false;
      }
    }
    return count == 0 || pick(4) != 0 || SUCCEEDED(reader->accDoDefaultAction(vlong(column())));
  }

  // The general (or else the columns) page opened on the control the way a property frame opens
  // it (site, objects, activation), random valid values typed into its fields and applied one to
  // four times, and the page closed again; without the frame's modal loop. False when a page call
  // fails or an applied value is not the control's.
  bool page_session(bool general) {
    ComPtr<IPropertyPage> page;
    const HRESULT made = general ? tessel::AllgemeinPage::create(IID_IPropertyPage, page.put_void())
                                 : tessel::RegisterPage::create(IID_IPropertyPage, page.put_void());
    PROPPAGEINFO info{};
    info.cb = sizeof info;
    IUnknown* objects[] = {control_};
    bool ok = SUCCEEDED(made) && SUCCEEDED(page->SetPageSite(&site_)) &&
              SUCCEEDED(page->SetObjects(1, objects)) && SUCCEEDED(page->GetPageInfo(&info));
    if (ok) {
      CoTaskMemFree(info.pszTitle);
      CoTaskMemFree(info.pszDocString);
      CoTaskMemFree(info.pszHelpFile);
      const RECT area{0, 0, info.size.cx, info.size.cy};
      ok = SUCCEEDED(page->Activate(page_parent_, &area, FALSE)) &&
           SUCCEEDED(page->Show(SW_SHOWNORMAL));
    }
    if (ok) {
      for (unsigned applies = 1 + pick(4); applies > 0; --applies)
        ok = apply(page.get(), general) && ok;
    }
    const bool closed =
        !page || (SUCCEEDED(page->Deactivate()) && SUCCEEDED(page->SetObjects(0, nullptr)) &&
                  SUCCEEDED(page->SetPageSite(nullptr)));
    return ok && closed;
  }

  bool apply(IPropertyPage* page, bool general) {
    // The page's dialog is the parent's only child.
    const HWND dialog = GetWindow(page_parent_, GW_CHILD);
    if (!dialog) return false;
    // What the control must hold once the page is applied.
    std::function<bool()> took_effect;
    if (general) {
      const LONG height = 15 + static_cast<LONG>(pick(26));
      type_text(GetDlgItem(dialog, tessel::AllgemeinPage::kTxtHeight), std::to_wstring(height));
      for (int box : {tessel::AllgemeinPage::kChkFrame, tessel::AllgemeinPage::kChkSortPics}) {
        if (pick(2)) SendMessageW(GetDlgItem(dialog, box), BM_CLICK, 0, 0);
      }
      took_effect = [=, this] { return as_long(get(control_, id::HeaderHeight)) == height; };
    } else {
      const std::wstring caption = L"Seite " + std::to_wstring(pick(100));
      const LONG width = 20 + static_cast<LONG>(pick(60));
      type_text(GetDlgItem(dialog, tessel::RegisterPage::kTxtCaption), caption);
      type_text(GetDlgItem(dialog, tessel::RegisterPage::kTxtWidth), std::to_wstring(width));
      // The column the page shows; none while the control has no column.
      const LONG shown = dynamic_cast<tessel::RegisterPage&>(*page).current_index();
      took_effect = [=, this] {
        return shown == 0 || (as_string(get(control_, id::RowCaption, {vlong(shown)})) == caption &&
                              as_long(get(control_, id::RowWidth, {vlong(shown)})) == width);
      };
    }
    return SUCCEEDED(page->Apply()) && took_effect();
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

  IDispatch* control_;
  HWND window_;
  HWND page_parent_;
  RecordingPageSite site_;
  std::mt19937 random_;
};

struct Drive {
  long failures = 0;
  ULONG refs_before = 0, refs_after = 0;
  bool paints_alike = false;
};

// Hosts a new control and drives it, and through every kind of operation at the end when warming
// up.
Drive drive(long operations, unsigned seed, bool warm_up) {
  Drive d;
  ComPtr<IDispatch> control = create_linked_control();
  stream_persist(control.get())->InitNew();
  std::optional<AxHost> host(std::in_place, control.get());
  std::optional<TestFrame> page_frame(std::in_place);
  Driver driver(control.get(), host->control_window(), page_frame->handle(), seed);
  d.refs_before = ref_count(control.get());
  for (long i = 0; i < operations; ++i) {
    d.failures += driver.step() ? 0 : 1;
    if ((i & 255) == 0) pump_messages();
    if (operations >= 10 && i % (operations / 10) == 0) {
      std::printf("  %ld operations\n", i);
      std::fflush(stdout);
    }
  }
  if (warm_up) d.failures += driver.every_kind() ? 0 : 1;
  // The pointer leaves, so that no column is drawn hot.
  driver.leave();
  if (GetCapture()) ReleaseCapture();
  pump_messages();
  d.refs_after = ref_count(control.get());

  // Paints like a fresh control loaded from its own saved state, hosted alike.
  const std::vector<DWORD> soaked = image_of(control.get());
  ComPtr<IDispatch> fresh = load_from_bytes(save_to_bytes(control.get()));
  if (fresh) {
    AxHost fresh_host(fresh.get());
    pump_messages();
    d.paints_alike = image_of(fresh.get()) == soaked;
  }
  page_frame.reset();
  host.reset();
  return d;
}

}  // namespace

bool run_soak(long operations, unsigned seed) {
  ensure_registered();
  const tessel::CursorApi* previous = tessel::set_cursor_api(&kApi);
  // A warm-up run makes the platform's one-time objects (system colour brushes, cached window
  // DCs): it goes through the measured run's own first operations and then through every kind of
  // operation; the measured run starts and ends with no control alive, so that the font objects'
  // shared handles (which the platform frees with the last font object) count too.
  // The control's pointer is the seam's; the real one is parked in the screen's bottom right
  // corner, away from the frame windows. Left on a frame's border, the platform would load that
  // border's sizing cursor the first time capture is released over it, whenever that happens.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  drive(std::min(2000L, operations), seed, true);
  const size_t round_trip_bytes = platform_round_trip_bytes();
  pump_messages();
  const Resources before = sample();
  g_readings = 0;
  const Drive d = drive(operations, seed, false);
  pump_messages();
  const Resources after = sample();
  const size_t platform_bytes = static_cast<size_t>(g_readings) * round_trip_bytes;
  tessel::set_cursor_api(previous);

  std::printf("soak: %ld operations after warm-up, seed %u\n", operations, seed);
  std::printf("  screen reader:    %ld accessible objects, %zu bytes each kept by the platform\n",
              g_readings, round_trip_bytes);
  const bool no_growth = report_growth(before, after, platform_bytes);
  std::printf("  COM references:   %lu -> %lu\n", d.refs_before, d.refs_after);
  std::printf("  failed calls:     %ld\n", d.failures);
  std::printf("  paints correctly: %s\n", d.paints_alike ? "yes" : "NO");
  const bool ok = no_growth && d.refs_before == d.refs_after && d.failures == 0 && d.paints_alike;
  std::printf("soak: %s (crashes 0)\n", ok ? "zero growth" : "FAILED");
  return ok;
}

}  // namespace soak
