// The header as a screen reader reaches it: the platform's client side
// (AccessibleObjectFromWindow) on the window of a control hosted in Wine's
// ATL container. Columns with their names, roles, states, locations and
// shortcuts; the default action against a real click; hit testing and
// navigation; the accessibility events a WinEvent hook sees; and an
// accessible object that outlives its control.
#include <windows.h>
#include <oleacc.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "control/interaction_helpers.h"
#include "framework/bstr.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

namespace id = tessel::dispid;
using framework::Bstr;

// Six columns from x = 2 with 2 pixels between them, in a control 300
// pixels wide: the sixth starts at x = 502, right of the visible area.
struct ColumnSetup {
  LONG width;
  const wchar_t* caption;
  const wchar_t* name;      // as a screen reader reads it
  const wchar_t* shortcut;  // nullptr: none
};
constexpr ColumnSetup kColumns[] = {{50, L"&Name", L"Name", L"Alt+n"},
                                    {40, L"Size", L"Size", nullptr},
                                    {60, L"A&&B &Date", L"A&B Date", L"Alt+d"},
                                    {40, L"Save && Load", L"Save & Load", nullptr},
                                    {300, L"\u0418\u043C\u044F", L"\u0418\u043C\u044F", nullptr},
                                    {40, L"&Extra", L"Extra", L"Alt+e"}};
constexpr LONG kCount = std::size(kColumns);
constexpr RECT kRect[] = {{},
                          {2, 2, 52, 25},
                          {54, 2, 94, 25},
                          {96, 2, 156, 25},
                          {158, 2, 198, 25},
                          {200, 2, 500, 25},
                          {502, 2, 542, 25}};

VARIANT child(LONG i) {
  VARIANT v;
  V_VT(&v) = VT_I4;
  V_I4(&v) = i;
  return v;
}

// A newly placed control with the columns of kColumns, hosted.
struct Header {
  Header() {
    control = create_linked_control();
    EXPECT_EQ(control.query<IPersistStreamInit>(IID_IPersistStreamInit)->InitNew(), S_OK);
    for (LONG i = 1; i <= kCount; ++i) {
      const ColumnSetup& c = kColumns[i - 1];
      if (i > 1) call(control.get(), id::AddRow, {vlong(c.width)});
      put(control.get(), id::RowWidth, {vlong(i)}, vlong(c.width));
      put(control.get(), id::RowCaption, {vlong(i)}, vstr(c.caption));
    }
    host.emplace(control.get());
    window = host->control_window();
    EXPECT_NE(window, nullptr);
  }
  ComPtr<IAccessible> accessible() const {
    ComPtr<IAccessible> object;
    EXPECT_EQ(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                         __uuidof(IAccessible), object.put_void()),
              S_OK);
    return object;
  }
  POINT screen(int x, int y) const {
    POINT p{x, y};
    ClientToScreen(window, &p);
    return p;
  }
  POINT centre(LONG i) const {
    return screen((kRect[i].left + kRect[i].right) / 2, (kRect[i].top + kRect[i].bottom) / 2);
  }
  // The pointer to the client point, and the move the control hears of it.
  // The move the system queues for the new position is dropped.
  void move(int x, int y) const {
    const POINT at = screen(x, y);
    SetCursorPos(at.x, at.y);
    MSG queued;
    while (PeekMessageW(&queued, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
    }
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  }

  ComPtr<IDispatch> control;
  std::optional<AxHost> host;
  HWND window = nullptr;
};

std::wstring text(HRESULT (IAccessible::*get)(VARIANT, BSTR*), IAccessible* object, LONG i,
                  HRESULT expected = S_OK) {
  Bstr value;
  EXPECT_EQ((object->*get)(child(i), value.put()), expected) << "column " << i;
  return value.str();
}
LONG number(HRESULT (IAccessible::*get)(VARIANT, VARIANT*), IAccessible* object, LONG i) {
  VARIANT value;
  VariantInit(&value);
  EXPECT_EQ((object->*get)(child(i), &value), S_OK) << "column " << i;
  EXPECT_EQ(V_VT(&value), VT_I4);
  return V_VT(&value) == VT_I4 ? V_I4(&value) : -1;
}
LONG state(IAccessible* object, LONG i) { return number(&IAccessible::get_accState, object, i); }

TEST(Accessible, EachColumnIsAColumnHeaderWithItsShownCaptionPlaceAndShortcut) {
  Header header;
  ComPtr<IAccessible> object = header.accessible();
  ASSERT_TRUE(object);
  LONG count = 0;
  EXPECT_EQ(object->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, kCount);
  for (LONG i = 1; i <= kCount; ++i) {
    const ColumnSetup& c = kColumns[i - 1];
    EXPECT_EQ(text(&IAccessible::get_accName, object.get(), i), c.name);
    EXPECT_EQ(number(&IAccessible::get_accRole, object.get(), i), ROLE_SYSTEM_COLUMNHEADER);
    EXPECT_EQ(
        text(&IAccessible::get_accKeyboardShortcut, object.get(), i, c.shortcut ? S_OK : S_FALSE),
        c.shortcut ? c.shortcut : L"");
    const POINT origin = header.screen(0, 0);
    LONG left = 0, top = 0, width = 0, height = 0;
    EXPECT_EQ(object->accLocation(&left, &top, &width, &height, child(i)), S_OK);
    EXPECT_EQ(std::tie(left, top, width, height),
              std::tuple(origin.x + kRect[i].left, origin.y + kRect[i].top,
                         kRect[i].right - kRect[i].left, kRect[i].bottom - kRect[i].top))
        << "column " << i;
    // Nothing hot, nothing pressed; only the column past the right edge is
    // out of sight.
    EXPECT_EQ(state(object.get(), i),
              i == kCount ? STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN : 0)
        << "column " << i;
    IDispatch* element = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(object->get_accChild(child(i), &element), S_FALSE);
    EXPECT_EQ(element, nullptr);
  }
  EXPECT_EQ(text(&IAccessible::get_accDefaultAction, object.get(), 1), L"Click");
  Bstr name;
  EXPECT_EQ(object->get_accName(child(kCount + 1), name.put()), E_INVALIDARG);

  // A renamed column reads its new caption.
  put(header.control.get(), id::RowCaption, {vlong(2)}, vstr(L"&&Gr\u00F6\u00DFe"));
  EXPECT_EQ(text(&IAccessible::get_accName, object.get(), 2), L"&Gr\u00F6\u00DFe");
  EXPECT_EQ(text(&IAccessible::get_accKeyboardShortcut, object.get(), 2, S_FALSE), L"");
}

// The hot column is hot-tracked, a pressed one pressed, and the sorted one
// describes the direction its sort marker shows.
TEST(Accessible, StatesAndSortDirectionFollowWhatThePainterShows) {
  Header header;
  ComPtr<IAccessible> object = header.accessible();
  ASSERT_TRUE(object);
  header.move(126, 13);
  EXPECT_EQ(state(object.get(), 3), STATE_SYSTEM_HOTTRACKED);
  EXPECT_EQ(state(object.get(), 2), 0);
  EXPECT_EQ(text(&IAccessible::get_accDescription, object.get(), 2, S_FALSE), L"");

  InteractionLog log(header.control.get(), header.host->probe().get());
  LONG pressed_state = 0;
  log.on_event = [&](DISPID event, VARIANT*, UINT) {
    if (event == tessel::event_dispid::RowPressed) pressed_state = state(object.get(), 2);
  };
  EXPECT_EQ(object->accDoDefaultAction(child(2)), S_OK);
  EXPECT_EQ(pressed_state, STATE_SYSTEM_PRESSED);
  EXPECT_EQ(state(object.get(), 2), 0) << "released again";
  // The host sorted as the press asked, ascending, and the marker shows it
  // with its apex up; the next press asks for descending.
  EXPECT_EQ(text(&IAccessible::get_accDescription, object.get(), 2), L"sorted ascending");
  EXPECT_EQ(object->accDoDefaultAction(child(2)), S_OK);
  EXPECT_EQ(text(&IAccessible::get_accDescription, object.get(), 2), L"sorted descending");
  // A column the host names as sorted before any press: the marker's apex
  // points down.
  put(header.control.get(), id::SortedRow, {}, vlong(5));
  EXPECT_EQ(text(&IAccessible::get_accDescription, object.get(), 5), L"sorted descending");
  EXPECT_EQ(text(&IAccessible::get_accDescription, object.get(), 2, S_FALSE), L"");
  put(header.control.get(), id::ShowSortPic, {}, vbool(false));
  EXPECT_EQ(text(&IAccessible::get_accDescription, object.get(), 5, S_FALSE), L"");
}

// The default action gives what a left click at the column's centre gives
// a host: the same events with the same arguments and repaints between them.
TEST(Accessible, TheDefaultActionPressesAColumnAsALeftClickAtItsCentre) {
  Header clicked, pressed;
  InteractionLog click_log(clicked.control.get(), clicked.host->probe().get());
  InteractionLog press_log(pressed.control.get(), pressed.host->probe().get());
  for (LONG i : {3, 3, 1}) {
    const LPARAM at =
        MAKELPARAM((kRect[i].left + kRect[i].right) / 2, (kRect[i].top + kRect[i].bottom) / 2);
    SendMessageW(clicked.window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(clicked.window, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(pressed.accessible()->accDoDefaultAction(child(i)), S_OK);
    const std::wstring expected = click_log.take();
    EXPECT_NE(expected.find(L"MouseDown"), std::wstring::npos);
    EXPECT_EQ(press_log.take(), expected) << "column " << i;
  }
  EXPECT_EQ(as_long(get(pressed.control.get(), id::SortedRow)), 1);
  // The object itself has no default action of its own.
  EXPECT_NE(pressed.accessible()->accDoDefaultAction(child(CHILDID_SELF)), S_OK);
  EXPECT_EQ(press_log.take(), L"");
}

// A result and the child it names: kNoChild for VT_EMPTY, kOther for
// anything but VT_I4.
using Answer = std::pair<HRESULT, LONG>;
constexpr LONG kNoChild = -1, kOther = -2;
Answer answer(HRESULT hr, const VARIANT& v) {
  return {hr, V_VT(&v) == VT_I4 ? V_I4(&v) : V_VT(&v) == VT_EMPTY ? kNoChild : kOther};
}

TEST(Accessible, HitTestingNavigationFocusAndSelection) {
  Header header;
  ComPtr<IAccessible> object = header.accessible();
  ASSERT_TRUE(object);
  auto hit = [&](POINT p) {
    VARIANT found;
    VariantInit(&found);
    return answer(object->accHitTest(p.x, p.y, &found), found);
  };
  for (LONG i = 1; i <= 4; ++i) EXPECT_EQ(hit(header.centre(i)), Answer(S_OK, i));
  // Column 5 shows from x = 200 to the control's right edge at 300.
  EXPECT_EQ(hit(header.screen(299, 10)), Answer(S_OK, 5));
  EXPECT_EQ(hit(header.centre(5)), Answer(S_FALSE, kNoChild)) << "past the right edge";
  // Left and top edges belong to a column, right and bottom do not.
  EXPECT_EQ(hit(header.screen(54, 2)), Answer(S_OK, 2));
  EXPECT_EQ(hit(header.screen(53, 10)), Answer(S_OK, CHILDID_SELF)) << "separator";
  EXPECT_EQ(hit(header.screen(1, 10)), Answer(S_OK, CHILDID_SELF));
  EXPECT_EQ(hit(header.screen(150, 40)), Answer(S_FALSE, kNoChild)) << "below the control";

  auto navigate = [&](LONG direction, LONG from) {
    VARIANT to;
    VariantInit(&to);
    return answer(object->accNavigate(direction, child(from), &to), to);
  };
  const Answer none(S_FALSE, kNoChild);
  EXPECT_EQ(navigate(NAVDIR_FIRSTCHILD, CHILDID_SELF), Answer(S_OK, 1));
  EXPECT_EQ(navigate(NAVDIR_LASTCHILD, CHILDID_SELF), Answer(S_OK, kCount));
  EXPECT_EQ(navigate(NAVDIR_NEXT, 1), Answer(S_OK, 2));
  EXPECT_EQ(navigate(NAVDIR_RIGHT, 3), Answer(S_OK, 4));
  EXPECT_EQ(navigate(NAVDIR_PREVIOUS, 3), Answer(S_OK, 2));
  EXPECT_EQ(navigate(NAVDIR_LEFT, 2), Answer(S_OK, 1));
  EXPECT_EQ(navigate(NAVDIR_PREVIOUS, 1), none);
  EXPECT_EQ(navigate(NAVDIR_NEXT, kCount), none);
  EXPECT_EQ(navigate(NAVDIR_UP, 2), none);
  EXPECT_EQ(navigate(NAVDIR_FIRSTCHILD, 2).first, E_INVALIDARG) << "a column has no children";
  EXPECT_EQ(navigate(NAVDIR_NEXT, kCount + 1).first, E_INVALIDARG);

  VARIANT v;
  VariantInit(&v);
  SetFocus(header.window);
  EXPECT_EQ(object->get_accFocus(&v), S_OK);
  EXPECT_EQ(V_VT(&v), VT_I4);
  EXPECT_EQ(V_I4(&v), CHILDID_SELF);
  SetFocus(header.host->frame());
  EXPECT_EQ(object->get_accFocus(&v), S_FALSE);
  EXPECT_EQ(V_VT(&v), VT_EMPTY);
  EXPECT_EQ(object->get_accSelection(&v), S_FALSE);
  EXPECT_EQ(V_VT(&v), VT_EMPTY);
}

// What a WinEvent hook of this process hears about one control's window.
class WinEvents {
 public:
  explicit WinEvents(HWND window) {
    window_ = window;
    seen_.clear();
    hook_ = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_NAMECHANGE, nullptr, &heard,
                            GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    EXPECT_NE(hook_, nullptr);
  }
  WinEvents(const WinEvents&) = delete;
  WinEvents& operator=(const WinEvents&) = delete;
  ~WinEvents() { UnhookWinEvent(hook_); }
  // The (event, child) pairs since the last call.
  std::vector<std::pair<DWORD, LONG>> take() {
    pump_messages();
    return std::exchange(seen_, {});
  }

 private:
  static void CALLBACK heard(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                             DWORD, DWORD) {
    if (window == window_ && object == OBJID_CLIENT) seen_.emplace_back(event, child);
  }
  static inline HWND window_ = nullptr;
  static inline std::vector<std::pair<DWORD, LONG>> seen_;
  HWINEVENTHOOK hook_ = nullptr;
};

TEST(Accessible, AHookHearsNamesStatesAndColumnsChange) {
  Header header;
  WinEvents events(header.window);
  using Heard = std::vector<std::pair<DWORD, LONG>>;
  put(header.control.get(), id::RowCaption, {vlong(2)}, vstr(L"Type"));
  EXPECT_EQ(events.take(), (Heard{{EVENT_OBJECT_NAMECHANGE, 2}}));

  // Hot column 1, then 3, then none.
  header.move(3, 10);
  header.move(100, 10);
  header.move(150, 60);  // below the control
  EXPECT_EQ(events.take(), (Heard{{EVENT_OBJECT_STATECHANGE, 1},
                                  {EVENT_OBJECT_STATECHANGE, 1},
                                  {EVENT_OBJECT_STATECHANGE, 3},
                                  {EVENT_OBJECT_STATECHANGE, 3}}));
  // Pressed, then released.
  EXPECT_EQ(header.accessible()->accDoDefaultAction(child(4)), S_OK);
  EXPECT_EQ(events.take(), (Heard{{EVENT_OBJECT_STATECHANGE, 4}, {EVENT_OBJECT_STATECHANGE, 4}}));

  call(header.control.get(), id::AddRow, {vlong(30)});
  EXPECT_EQ(events.take(), (Heard{{EVENT_OBJECT_CREATE, kCount + 1}}));
  call(header.control.get(), id::DeleteRow);
  EXPECT_EQ(events.take(), (Heard{{EVENT_OBJECT_DESTROY, kCount + 1}}));
  put(header.control.get(), id::ColumnWidths, {}, vstr(L"600;600;600"));
  EXPECT_EQ(events.take(), (Heard{})) << "widths change no column";
}

// The accessible object does not keep the control alive: once the host has
// let it go, every call fails as disconnected, and nothing crashes.
TEST(Accessible, AnObjectHeldPastItsControlReportsItDisconnected) {
  ComPtr<IAccessible> object;
  {
    Header header;
    object = header.accessible();
    ASSERT_TRUE(object);
    header.control = nullptr;
  }
  auto disconnected = [](HRESULT hr) {
    return hr == RPC_E_DISCONNECTED || hr == CO_E_OBJNOTCONNECTED;
  };
  LONG count = -1;
  EXPECT_TRUE(disconnected(object->get_accChildCount(&count)));
  Bstr name;
  EXPECT_TRUE(disconnected(object->get_accName(child(1), name.put())));
  EXPECT_TRUE(disconnected(object->accDoDefaultAction(child(1))));
  VARIANT v;
  VariantInit(&v);
  EXPECT_TRUE(disconnected(object->accHitTest(0, 0, &v)));
  EXPECT_TRUE(disconnected(object->accNavigate(NAVDIR_NEXT, child(1), &v)));
  LONG l, t, w, h;
  EXPECT_TRUE(disconnected(object->accLocation(&l, &t, &w, &h, child(1))));
}

}  // namespace
}  // namespace tessel_test
