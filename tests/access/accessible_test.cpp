// The header as a screen reader reaches it: the platform's client side
// (AccessibleObjectFromWindow) on the window of a control hosted in Wine's
// ATL container, held against what the painter shows and a click does.
#include <windows.h>
#include <oleacc.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
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
  RECT rect;
};
constexpr ColumnSetup kColumns[] = {
    {50, L"&Name", L"Name", L"Alt+n", {2, 2, 52, 25}},
    {40, L"Size", L"Size", nullptr, {54, 2, 94, 25}},
    {60, L"A&&B &Date", L"A&B Date", L"Alt+d", {96, 2, 156, 25}},
    {40, L"Save && Load", L"Save & Load", nullptr, {158, 2, 198, 25}},
    {300, L"\u0418\u043C\u044F", L"\u0418\u043C\u044F", nullptr, {200, 2, 500, 25}},
    {40, L"&Extra", L"Extra", L"Alt+e", {502, 2, 542, 25}}};
constexpr LONG kCount = std::size(kColumns);

// The centre of column i, in client coordinates.
POINT middle(LONG i) {
  const RECT& r = kColumns[i - 1].rect;
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
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
  POINT screen(POINT p) const {
    ClientToScreen(window, &p);
    return p;
  }
  // The pointer to the client point, and the move the control hears of it.
  // The move the system queues for the new position is dropped.
  void move(int x, int y) const {
    const POINT at = screen({x, y});
    SetCursorPos(at.x, at.y);
    MSG queued;
    while (PeekMessageW(&queued, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) continue;
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  }

  ComPtr<IDispatch> control;
  std::optional<AxHost> host;
  HWND window = nullptr;
};

std::wstring text(HRESULT (IAccessible::*get)(VARIANT, BSTR*), IAccessible* object, LONG i,
                  HRESULT expected = S_OK) {
  Bstr value;
  EXPECT_EQ((object->*get)(vlong(i), value.put()), expected) << "column " << i;
  return value.str();
}
LONG number(HRESULT (IAccessible::*get)(VARIANT, VARIANT*), IAccessible* object, LONG i) {
  VARIANT value{};
  EXPECT_EQ((object->*get)(vlong(i), &value), S_OK) << "column " << i;
  EXPECT_EQ(V_VT(&value), VT_I4);
  return V_VT(&value) == VT_I4 ? V_I4(&value) : -1;
}
LONG state(IAccessible* object, LONG i) { return number(&IAccessible::get_accState, object, i); }

// A result and the child it names: kNoChild for VT_EMPTY, kOther for
// anything but VT_I4.
using Answer = std::pair<HRESULT, LONG>;
constexpr LONG kNoChild = -1, kOther = -2;
Answer answer(HRESULT hr, const VARIANT& v) {
  return {hr, V_VT(&v) == VT_I4 ? V_I4(&v) : V_VT(&v) == VT_EMPTY ? kNoChild : kOther};
}
const Answer kNone(S_FALSE, kNoChild);

TEST(Accessible, ColumnsTheirPlacesHitTestingNavigationFocusAndSelection) {
  Header header;
  ComPtr<IAccessible> object = header.accessible();
  ASSERT_TRUE(object);
  LONG count = 0;
  EXPECT_EQ(object->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, kCount);
  // Each column is a column header with its shown caption, place and shortcut.
  const POINT origin = header.screen({0, 0});
  for (LONG i = 1; i <= kCount; ++i) {
    SCOPED_TRACE(testing::Message() << "column " << i);
    const ColumnSetup& c = kColumns[i - 1];
    EXPECT_EQ(text(&IAccessible::get_accName, object.get(), i), c.name);
    EXPECT_EQ(number(&IAccessible::get_accRole, object.get(), i), ROLE_SYSTEM_COLUMNHEADER);
    EXPECT_EQ(
        text(&IAccessible::get_accKeyboardShortcut, object.get(), i, c.shortcut ? S_OK : S_FALSE),
        c.shortcut ? c.shortcut : L"");
    std::array<LONG, 4> place{};
    EXPECT_EQ(object->accLocation(&place[0], &place[1], &place[2], &place[3], vlong(i)), S_OK);
    EXPECT_EQ(place, (std::array{origin.x + c.rect.left, origin.y + c.rect.top,
                                 c.rect.right - c.rect.left, c.rect.bottom - c.rect.top}));
    // Nothing hot, nothing pressed; only the column past the right edge is
    // out of sight.
    EXPECT_EQ(state(object.get(), i),
              i == kCount ? STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN : 0);
    IDispatch* element = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(object->get_accChild(vlong(i), &element), S_FALSE);
    EXPECT_EQ(element, nullptr);
  }
  EXPECT_EQ(text(&IAccessible::get_accDefaultAction, object.get(), 1), L"Click");
  Bstr name;
  EXPECT_EQ(object->get_accName(vlong(kCount + 1), name.put()), E_INVALIDARG);

  auto hit = [&](POINT p) {
    VARIANT found{};
    p = header.screen(p);
    return answer(object->accHitTest(p.x, p.y, &found), found);
  };
  for (LONG i = 1; i <= 4; ++i) EXPECT_EQ(hit(middle(i)), Answer(S_OK, i));
  // Column 5 shows from x = 200 to the control's right edge at 300.
  EXPECT_EQ(hit({299, 10}), Answer(S_OK, 5));
  EXPECT_EQ(hit(middle(5)), kNone) << "past the right edge";
  // Left and top edges belong to a column, right and bottom do not.
  EXPECT_EQ(hit({54, 2}), Answer(S_OK, 2));
  EXPECT_EQ(hit({53, 10}), Answer(S_OK, CHILDID_SELF)) << "separator";
  EXPECT_EQ(hit({1, 10}), Answer(S_OK, CHILDID_SELF));
  EXPECT_EQ(hit({150, 40}), kNone) << "below the control";

  auto navigate = [&](LONG direction, LONG from) {
    VARIANT to{};
    return answer(object->accNavigate(direction, vlong(from), &to), to);
  };
  EXPECT_EQ(navigate(NAVDIR_FIRSTCHILD, CHILDID_SELF), Answer(S_OK, 1));
  EXPECT_EQ(navigate(NAVDIR_LASTCHILD, CHILDID_SELF), Answer(S_OK, kCount));
  EXPECT_EQ(navigate(NAVDIR_NEXT, 1), Answer(S_OK, 2));
  EXPECT_EQ(navigate(NAVDIR_RIGHT, 3), Answer(S_OK, 4));
  EXPECT_EQ(navigate(NAVDIR_PREVIOUS, 3), Answer(S_OK, 2));
  EXPECT_EQ(navigate(NAVDIR_LEFT, 2), Answer(S_OK, 1));
  EXPECT_EQ(navigate(NAVDIR_PREVIOUS, 1), kNone);
  EXPECT_EQ(navigate(NAVDIR_NEXT, kCount), kNone);
  EXPECT_EQ(navigate(NAVDIR_UP, 2), kNone);
  EXPECT_EQ(navigate(NAVDIR_FIRSTCHILD, 2).first, E_INVALIDARG) << "a column has no children";
  EXPECT_EQ(navigate(NAVDIR_NEXT, kCount + 1).first, E_INVALIDARG);

  VARIANT v{};
  SetFocus(header.window);
  EXPECT_EQ(answer(object->get_accFocus(&v), v), Answer(S_OK, CHILDID_SELF));
  SetFocus(header.host->frame());
  EXPECT_EQ(answer(object->get_accFocus(&v), v), kNone);
  EXPECT_EQ(answer(object->get_accSelection(&v), v), kNone);

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
  auto description = [&](LONG i, HRESULT expected = S_OK) {
    return text(&IAccessible::get_accDescription, object.get(), i, expected);
  };
  header.move(126, 13);
  EXPECT_EQ(state(object.get(), 3), STATE_SYSTEM_HOTTRACKED);
  EXPECT_EQ(state(object.get(), 2), 0);
  EXPECT_EQ(description(2, S_FALSE), L"");

  InteractionLog log(header.control.get(), header.host->probe().get());
  LONG pressed_state = 0;
  log.on_event = [&](DISPID event, VARIANT*, UINT) {
    if (event == tessel::event_dispid::RowPressed) pressed_state = state(object.get(), 2);
  };
  EXPECT_EQ(object->accDoDefaultAction(vlong(2)), S_OK);
  EXPECT_EQ(pressed_state, STATE_SYSTEM_PRESSED);
  EXPECT_EQ(state(object.get(), 2), 0) << "released again";
  // The host sorted as the press asked, ascending, and the marker shows it
  // with its apex up; the next press asks for descending.
  EXPECT_EQ(description(2), L"sorted ascending");
  EXPECT_EQ(object->accDoDefaultAction(vlong(2)), S_OK);
  EXPECT_EQ(description(2), L"sorted descending");
  // A column the host names as sorted before any press: the marker's apex
  // points down.
  put(header.control.get(), id::SortedRow, {}, vlong(5));
  EXPECT_EQ(description(5), L"sorted descending");
  EXPECT_EQ(description(2, S_FALSE), L"");
  put(header.control.get(), id::ShowSortPic, {}, vbool(false));
  EXPECT_EQ(description(5, S_FALSE), L"");
}

// The default action gives what a left click at the column's centre gives
// a host: the same events with the same arguments and repaints between them.
TEST(Accessible, TheDefaultActionPressesAColumnAsALeftClickAtItsCentre) {
  Header clicked, pressed;
  InteractionLog click_log(clicked.control.get(), clicked.host->probe().get());
  InteractionLog press_log(pressed.control.get(), pressed.host->probe().get());
  for (LONG i : {3, 3, 1}) {
    const LPARAM at = MAKELPARAM(middle(i).x, middle(i).y);
    SendMessageW(clicked.window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(clicked.window, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(pressed.accessible()->accDoDefaultAction(vlong(i)), S_OK);
    const std::wstring expected = click_log.take();
    EXPECT_NE(expected.find(L"MouseDown"), std::wstring::npos);
    EXPECT_EQ(press_log.take(), expected) << "column " << i;
  }
  EXPECT_EQ(as_long(get(pressed.control.get(), id::SortedRow)), 1);
  // The object itself has no default action of its own.
  EXPECT_NE(pressed.accessible()->accDoDefaultAction(vlong(CHILDID_SELF)), S_OK);
  EXPECT_EQ(press_log.take(), L"");
}

// What a WinEvent hook of this process hears about g_window: (event, child)
// pairs.
using Heard = std::vector<std::pair<DWORD, LONG>>;
HWND g_window = nullptr;
Heard g_heard;
void CALLBACK hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (window == g_window && object == OBJID_CLIENT) g_heard.emplace_back(event, child);
}
Heard take_heard() {
  pump_messages();
  return std::exchange(g_heard, {});
}

TEST(Accessible, AHookHearsNamesStatesAndColumnsChange) {
  Header header;
  g_window = header.window;
  g_heard.clear();
  std::unique_ptr<std::remove_pointer_t<HWINEVENTHOOK>, decltype(&UnhookWinEvent)> hook(
      SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_NAMECHANGE, nullptr, &hear,
                      GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT),
      &UnhookWinEvent);
  ASSERT_TRUE(hook);
  put(header.control.get(), id::RowCaption, {vlong(2)}, vstr(L"Type"));
  EXPECT_EQ(take_heard(), (Heard{{EVENT_OBJECT_NAMECHANGE, 2}}));

  // Hot column 1, then 3, then none.
  header.move(3, 10);
  header.move(100, 10);
  header.move(150, 60);  // below the control
  EXPECT_EQ(take_heard(), (Heard{{EVENT_OBJECT_STATECHANGE, 1},
                                 {EVENT_OBJECT_STATECHANGE, 1},
                                 {EVENT_OBJECT_STATECHANGE, 3},
                                 {EVENT_OBJECT_STATECHANGE, 3}}));
  // Pressed, then released.
  EXPECT_EQ(header.accessible()->accDoDefaultAction(vlong(4)), S_OK);
  EXPECT_EQ(take_heard(), (Heard{{EVENT_OBJECT_STATECHANGE, 4}, {EVENT_OBJECT_STATECHANGE, 4}}));

  call(header.control.get(), id::AddRow, {vlong(30)});
  EXPECT_EQ(take_heard(), (Heard{{EVENT_OBJECT_CREATE, kCount + 1}}));
  call(header.control.get(), id::DeleteRow);
  EXPECT_EQ(take_heard(), (Heard{{EVENT_OBJECT_DESTROY, kCount + 1}}));
  put(header.control.get(), id::ColumnWidths, {}, vstr(L"600;600;600"));
  EXPECT_EQ(take_heard(), (Heard{})) << "widths change no column";
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
  LONG l, t, w, h;
  Bstr name;
  VARIANT v{};
  for (HRESULT hr : {object->get_accChildCount(&l), object->get_accName(vlong(1), name.put()),
                     object->accDoDefaultAction(vlong(1)), object->accHitTest(0, 0, &v),
                     object->accNavigate(NAVDIR_NEXT, vlong(1), &v),
                     object->accLocation(&l, &t, &w, &h, vlong(1))}) {
    EXPECT_TRUE(hr == RPC_E_DISCONNECTED || hr == CO_E_OBJNOTCONNECTED) << std::hex << hr;
  }
}

}  // namespace
}  // namespace tessel_test
