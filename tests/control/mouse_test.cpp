// Real mouse messages to a control hosted in Wine's ATL container, the
// pointer's position set through the tracking's cursor seam: hot columns,
// presses and releases, their events in order with the repaints between.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "control/interaction_helpers.h"
#include "input/mouse_tracking.h"
#include "support/com_test_env.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

namespace id = tessel::dispid;
namespace event = tessel::event_dispid;

// The fixture's five columns, 50, 40, 30, 40 and 40 pixels wide from x = 2
// with 2 pixels between them, from y = 2 to the header's height 25. Right
// and bottom edges are outside a column.
constexpr RECT kColumn[] = {
    {}, {2, 2, 52, 25}, {54, 2, 94, 25}, {96, 2, 126, 25}, {128, 2, 168, 25}, {170, 2, 210, 25}};
constexpr int kEmptyX = 250;  // right of the last column: header, but no column

constexpr COLORREF kBackColor = RGB(249, 250, 253);  // a newly placed control's
constexpr COLORREF kSunkenFill = RGB(236, 236, 243);
constexpr COLORREF kBottomEdge3 = RGB(230, 231, 239);  // third line from the bottom
constexpr COLORREF kUnderlineStart = RGB(250, 213, 135);

// The pointer's screen position is the test's; WindowFromPoint and the
// capture are the platform's.
class Pointer {
 public:
  Pointer() : previous_(tessel::set_cursor_api(&kApi)) {}
  Pointer(const Pointer&) = delete;
  Pointer& operator=(const Pointer&) = delete;
  ~Pointer() { tessel::set_cursor_api(previous_); }
  void place(POINT screen) { position_ = screen; }

 private:
  static BOOL WINAPI cursor_pos(LPPOINT point) {
    *point = position_;
    return TRUE;
  }
  static constexpr tessel::CursorApi kApi{&cursor_pos, &WindowFromPoint, &GetCapture, &SetCapture,
                                          &ReleaseCapture};
  static inline POINT position_{};
  const tessel::CursorApi* previous_;
};

// A control made by this program (so the seam reaches it), hosted, with the
// five columns of kColumn, its events and repaints logged.
class Mouse : public ::testing::Test {
 protected:
  void SetUp() override {
    ComPtr<IDispatch> made = create_linked_control();
    ASSERT_EQ(made.query<IPersistStreamInit>(IID_IPersistStreamInit)->InitNew(), S_OK);
    put(made.get(), id::RowWidth, {vlong(1)}, vlong(50));
    for (LONG width : {40, 30, 40, 40}) call(made.get(), id::AddRow, {vlong(width)});
    host_control(made);
  }
  void TearDown() override {
    log.reset();
    if (GetCapture()) ReleaseCapture();
    host.reset();
  }

  void host_control(ComPtr<IDispatch> made) {
    control = made;
    host.emplace(control.get());
    window = host->control_window();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(client_rect(window).bottom, 25);
    probe = host->probe();
    log.emplace(control.get(), probe.get());
  }

  // The pointer is at the client point (x, y); a message may say otherwise.
  void point_at(int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    pointer.place(p);
  }
  void send(UINT message, WPARAM keys, int x, int y) {
    SendMessageW(window, message, keys, MAKELPARAM(x, y));
  }
  void move(int x, int y, WPARAM keys = 0) {
    point_at(x, y);
    send(WM_MOUSEMOVE, keys, x, y);
  }
  void leave(WPARAM keys = 0) { move(150, 60, keys); }  // below the control, over the frame
  void click(int x, int y) {
    send(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    send(WM_LBUTTONUP, 0, x, y);
  }

  LONG value(DISPID which) { return as_long(get(control.get(), which)); }
  bool sorted(LONG column) { return as_bool(get(control.get(), id::RowSorted, {vlong(column)})); }

  // A pixel of the control's retained image.
  COLORREF pixel(int x, int y) {
    Canvas canvas(AxHost::kWidth, AxHost::kHeight);
    EXPECT_EQ(draw_view(control.get(), canvas, {0, 0, AxHost::kWidth, AxHost::kHeight}), S_OK);
    return canvas.pixel(x, y);
  }
  // Whether the orange underline of the hot column is under column i.
  bool underlined(int i) { return pixel(kColumn[i].left + 2, 22) == kUnderlineStart; }

  Pointer pointer;
  ComPtr<IDispatch> control;
  std::optional<AxHost> host;
  HWND window = nullptr;
  ComPtr<IHostingTestProbe> probe;
  std::optional<InteractionLog> log;
};

// MouseIn carries the buttons, the shift keys, the position and the sorted
// column of the moment.
TEST_F(Mouse, EveryMoveRaisesMouseInAndOnlyANewHotColumnRepaints) {
  put(control.get(), id::SortedRow, {}, vlong(4));
  log->take();
  log->take_changes();
  move(10, 5, MK_LBUTTON | MK_SHIFT);
  EXPECT_EQ(log->take(), L"MouseIn 1 1 10 5 4\nrepaint\n");
  EXPECT_EQ(GetCapture(), window);
  EXPECT_TRUE(underlined(1));
  // Inside the same column: the event, nothing else.
  move(30, 20, MK_RBUTTON | MK_MBUTTON | MK_CONTROL);
  move(51, 24);
  EXPECT_EQ(log->take(), L"MouseIn 6 2 30 20 4\nMouseIn 0 0 51 24 4\n");
  move(60, 5);
  EXPECT_EQ(log->take(), L"MouseIn 0 0 60 5 4\nrepaint\n");
  EXPECT_FALSE(underlined(1));
  EXPECT_TRUE(underlined(2));
  // Right of the last column the hot column stays: coming back into it
  // repaints nothing.
  move(kEmptyX, 5);
  move(70, 10);
  EXPECT_EQ(log->take(), L"MouseIn 0 0 250 5 4\nMouseIn 0 0 70 10 4\n");
  EXPECT_TRUE(underlined(2));
  EXPECT_EQ(GetCapture(), window);
  EXPECT_TRUE(log->take_changes().empty());
}

TEST_F(Mouse, LeavingRaisesOneMouseOutReleasesTheCaptureAndClearsTheHotColumn) {
  move(60, 5);
  log->take();
  leave(MK_SHIFT);
  EXPECT_EQ(log->take(), L"MouseOut 0 1 150 60 0\nrepaint\n");
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(pixel(kColumn[2].left + 2, 22), kBottomEdge3);
  // A move that was still queued when the pointer left: MouseOut again,
  // and no capture to give up; nor one that another window holds.
  send(WM_MOUSEMOVE, 0, 150, 61);
  EXPECT_EQ(log->take(), L"MouseOut 0 0 150 61 0\nrepaint\n");
  SetCapture(host->frame());
  send(WM_MOUSEMOVE, 0, 150, 62);
  EXPECT_EQ(log->take(), L"MouseOut 0 0 150 62 0\nrepaint\n");
  EXPECT_EQ(GetCapture(), host->frame());
  ReleaseCapture();
  // Coming back takes the capture again.
  move(100, 5);
  EXPECT_EQ(log->take(), L"MouseIn 0 0 100 5 0\nrepaint\n");
  EXPECT_EQ(GetCapture(), window);
  EXPECT_TRUE(underlined(3));
}

TEST_F(Mouse, AWindowOverTheControlCountsAsOutside) {
  // A top-level window over client x 100..159 of the control, and a child
  // window of the control's own over x 200..219. Static windows are found
  // by WindowFromPoint only with SS_NOTIFY.
  POINT corner{100, 0};
  ClientToScreen(window, &corner);
  HWND cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, L"STATIC", L"",
                               WS_POPUP | SS_NOTIFY, corner.x, corner.y, 60, 25, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(cover, nullptr);
  ShowWindow(cover, SW_SHOWNA);
  HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 200, 0, 20, 25,
                               window, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(child, nullptr);
  const struct {
    int x;
    const wchar_t* event;
    HWND capture;
  } steps[] = {{60, L"MouseIn", window},
               {110, L"MouseOut", nullptr},
               {180, L"MouseIn", window},
               {205, L"MouseOut", nullptr}};
  for (const auto& step : steps) {
    move(step.x, 5);
    EXPECT_EQ(log->take(),
              std::wstring(step.event) + L" 0 0 " + std::to_wstring(step.x) + L" 5 0\nrepaint\n");
    EXPECT_EQ(GetCapture(), step.capture) << step.x;
  }
  DestroyWindow(child);
  DestroyWindow(cover);
}

// Whether a move makes column 2 hot after column 1 was; the last one's
// message says 25 while the pointer is still inside.
TEST_F(Mouse, AColumnHoldsItsLeftAndTopEdgesButNotItsRightAndBottomEdges) {
  const struct {
    int x, y, message_y;
    bool in_column_2;
  } cases[] = {{54, 5, 5, true},
               {60, 2, 2, true},
               {94, 5, 5, false},
               {60, 1, 1, false},
               {60, 24, 25, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", " << c.message_y);
    move(10, 5);
    log->take();
    point_at(c.x, c.y);
    send(WM_MOUSEMOVE, 0, c.x, c.message_y);
    EXPECT_EQ(log->take(), L"MouseIn 0 0 " + std::to_wstring(c.x) + L" " +
                               std::to_wstring(c.message_y) + L" 0\n" +
                               (c.in_column_2 ? L"repaint\n" : L""));
    EXPECT_EQ(underlined(2), c.in_column_2);
  }
}

// Columns can overlap (ColumnWidths can make widths negative): every
// column holding the point is found.
TEST(ColumnHitTest, ScansTheCountedColumnsInOrderAndSkipsThoseWithoutARectangle) {
  // Overlapping columns 1 and 2; column 3 has no rectangle yet.
  const std::vector<RECT> rects{{}, {0, 0, 10, 10}, {5, 0, 15, 10}};
  EXPECT_EQ(tessel::columns_at(rects, 3, 7, 5), (std::vector<LONG>{1, 2}));
  EXPECT_EQ(tessel::columns_at(rects, 1, 7, 5), (std::vector<LONG>{1}));
  EXPECT_EQ(tessel::columns_at(rects, 3, 12, 5), (std::vector<LONG>{2}));
  EXPECT_EQ(tessel::columns_at(rects, 0, 7, 5), (std::vector<LONG>{}));
  EXPECT_EQ(tessel::columns_at({}, 3, 7, 5), (std::vector<LONG>{}));
}

// Not initialised, so without columns; its header height keeps it a window
// to move over.
TEST_F(Mouse, WithoutColumnsMovesNeverRepaintAndPressesHitNothing) {
  log.reset();
  host.reset();
  ComPtr<IDispatch> made = create_linked_control();
  put(made.get(), id::HeaderHeight, {}, vlong(25));
  host_control(made);
  ASSERT_EQ(value(id::NumberOfRows), 0);
  move(10, 5);
  move(2, 2);
  EXPECT_EQ(log->take(), L"MouseIn 0 0 10 5 0\nMouseIn 0 0 2 2 0\n");
  leave();
  EXPECT_EQ(log->take(), L"MouseOut 0 0 150 60 0\nrepaint\n");
  click(10, 5);
  EXPECT_EQ(log->take(), L"repaint\nMouseUp 1 0 10 5 0\nrepaint\n");
}

// Each button presses a column the same way: the selection and the sort
// flag as RowPressed and MouseDown report them, then MouseUp on the
// release and SelectedRow back to 0 without a notification.
TEST_F(Mouse, AnyButtonSelectsSortsAndReleases) {
  const struct {
    UINT down, up;
    WPARAM held;
    LONG column;
    int x;
    const wchar_t *pressed, *released;
  } cases[] = {
      {WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, 2, 60,
       L"RowPressed 0 2 ASC\nrepaint\nMouseDown 1 3 60 5 2 ASC\nrepaint\n",
       L"MouseUp 1 0 61 6 2\nrepaint\n"},
      {WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, 3, 100,
       L"RowPressed 2 3 ASC\nrepaint\nMouseDown 2 3 100 5 3 ASC\nrepaint\n",
       L"MouseUp 2 0 101 6 3\nrepaint\n"},
      {WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON, 4, 140,
       L"RowPressed 3 4 ASC\nrepaint\nMouseDown 4 3 140 5 4 ASC\nrepaint\n",
       L"MouseUp 4 0 141 6 4\nrepaint\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.column);
    send(c.down, c.held | MK_SHIFT | MK_CONTROL, c.x, 5);
    EXPECT_EQ(log->take(), c.pressed);
    EXPECT_EQ(log->take_changes(), std::vector<DISPID>{id::SelectedRow});
    EXPECT_EQ(value(id::SelectedRow), c.column);
    EXPECT_EQ(value(id::SortedRow), c.column);
    EXPECT_TRUE(sorted(c.column));
    send(c.up, 0, c.x + 1, 6);
    EXPECT_EQ(log->take(), c.released);
    EXPECT_TRUE(log->take_changes().empty());
    EXPECT_EQ(value(id::SelectedRow), 0);
    EXPECT_EQ(value(id::SortedRow), c.column);
    EXPECT_TRUE(sorted(c.column));
  }
}

TEST_F(Mouse, APressOutsideEveryColumnRaisesNothingAndRepaintsOnce) {
  click(100, 5);
  log->take();
  log->take_changes();
  for (int x : {53, kEmptyX}) {  // between columns 1 and 2; right of the last
    send(WM_LBUTTONDOWN, MK_LBUTTON, x, 5);
    EXPECT_EQ(log->take(), L"repaint\n");
    send(WM_LBUTTONUP, 0, x, 5);
    EXPECT_EQ(log->take(), L"MouseUp 1 0 " + std::to_wstring(x) + L" 5 3\nrepaint\n");
  }
  EXPECT_TRUE(log->take_changes().empty());
  EXPECT_EQ(value(id::SelectedRow), 0);
  EXPECT_EQ(value(id::SortedRow), 3);
  EXPECT_TRUE(sorted(3));
}

// Presses on column 2 alternate its direction; column 4 starts at ASC and
// leaves column 2's flag alone.
TEST_F(Mouse, PressesOnAColumnAlternateAscAndDescOnItsOwn) {
  const struct {
    int x;
    const wchar_t* events;
    bool sorted_2, sorted_4;
  } clicks[] = {{60, L"RowPressed 0 2 ASC\nrepaint\nMouseDown 1 0 60 5 2 ASC\n", true, false},
                {60, L"RowPressed 2 2 DESC\nrepaint\nMouseDown 1 0 60 5 2 DESC\n", false, false},
                {140, L"RowPressed 2 4 ASC\nrepaint\nMouseDown 1 0 140 5 4 ASC\n", false, true},
                {60, L"RowPressed 4 2 ASC\nrepaint\nMouseDown 1 0 60 5 2 ASC\n", true, true}};
  for (const auto& c : clicks) {
    click(c.x, 5);
    const std::wstring column = c.x == 60 ? L"2" : L"4";
    EXPECT_EQ(log->take(), c.events + std::wstring(L"repaint\nMouseUp 1 0 ") +
                               std::to_wstring(c.x) + L" 5 " + column + L"\nrepaint\n");
    EXPECT_EQ(sorted(2), c.sorted_2);
    EXPECT_EQ(sorted(4), c.sorted_4);
  }
}

// RowPressed handlers see the column selected and sorted but its flag not
// yet flipped, and what they set the flag to decides the direction;
// MouseDown handlers see the flag flipped.
TEST_F(Mouse, HandlersSeeTheStateOfTheStepThatRaisedThem) {
  std::vector<LONG> seen;
  log->on_event = [&](DISPID which, VARIANT*, UINT) {
    if (which == event::RowPressed || which == event::MouseDown) {
      seen.insert(seen.end(), {value(id::SelectedRow), value(id::SortedRow), sorted(2) ? 1 : 0});
    }
    if (which == event::RowPressed) put(control.get(), id::RowSorted, {vlong(2)}, vbool(true));
  };
  send(WM_LBUTTONDOWN, MK_LBUTTON, 60, 5);
  EXPECT_EQ(seen, (std::vector<LONG>{2, 2, 0, 2, 2, 0}));
  std::wstring text = log->take();
  EXPECT_NE(text.find(L"RowPressed 0 2 ASC\n"), std::wstring::npos) << text;
  EXPECT_NE(text.find(L"MouseDown 1 0 60 5 2 DESC\n"), std::wstring::npos) << text;
  EXPECT_FALSE(sorted(2));
}

// Handlers get the arguments by reference; what they write there lasts no
// longer than the raise.
TEST_F(Mouse, WhatHandlersWriteIntoTheArgumentsChangesNothing) {
  log->on_event = [](DISPID which, VARIANT* args, UINT count) {
    if (which == event::MouseIn || which == event::MouseDown) {
      ASSERT_GE(count, 5u);
      *V_R4REF(&args[2]) = 10;  // X into column 1
      *V_I4REF(&args[4]) = 4;   // SortRow
    }
    if (which == event::RowPressed) *V_I2REF(&args[0]) = 4;  // PreviousTab
    if (which == event::MouseDown) SysReAllocString(V_BSTRREF(&args[5]), L"DESC");
  };
  move(60, 5);
  EXPECT_TRUE(underlined(2));
  EXPECT_EQ(value(id::SortedRow), 0);
  click(60, 5);
  EXPECT_EQ(value(id::SortedRow), 2);
  EXPECT_TRUE(sorted(2));
  log->take();
  log->on_event = nullptr;
  click(100, 5);
  EXPECT_EQ(log->take(),
            L"RowPressed 2 3 ASC\nrepaint\nMouseDown 1 0 100 5 3 ASC\nrepaint\n"
            L"MouseUp 1 0 100 5 3\nrepaint\n");
}

// A pressed column looks sunken, not hot, until a release reaches the
// control. A press dragged off loses the capture at the first move outside
// and stays pressed.
TEST_F(Mouse, APressedColumnLooksSunkenUntilTheRelease) {
  const int x = kColumn[2].left + 3, y = 4;
  move(60, 5);
  send(WM_LBUTTONDOWN, MK_LBUTTON, 60, 5);
  EXPECT_EQ(pixel(x, y), kSunkenFill);
  EXPECT_EQ(pixel(kColumn[2].left + 2, 22), kSunkenFill);
  send(WM_LBUTTONUP, 0, 60, 5);
  EXPECT_EQ(pixel(x, y), kBackColor);
  EXPECT_TRUE(underlined(2));

  send(WM_LBUTTONDOWN, MK_LBUTTON, 60, 5);
  log->take();
  leave(MK_LBUTTON);
  EXPECT_EQ(log->take(), L"MouseOut 1 0 150 60 2\nrepaint\n");
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(value(id::SelectedRow), 2);
  EXPECT_EQ(pixel(x, y), kSunkenFill);
  send(WM_LBUTTONUP, 0, 60, 5);
  EXPECT_EQ(value(id::SelectedRow), 0);
  EXPECT_EQ(pixel(x, y), kBackColor);
}

TEST_F(Mouse, ForeColorHotShowsAtTheNextRepaint) {
  auto red_pixels = [&] {
    Canvas canvas(AxHost::kWidth, AxHost::kHeight);
    draw_view(control.get(), canvas, {0, 0, AxHost::kWidth, AxHost::kHeight});
    int count = 0;
    for (int y = kColumn[1].top; y < kColumn[1].bottom; ++y) {
      for (int x = kColumn[1].left; x < kColumn[1].right; ++x) {
        count += canvas.pixel(x, y) == RGB(255, 0, 0);
      }
    }
    return count;
  };
  move(10, 5);
  EXPECT_EQ(red_pixels(), 0);
  log->take();
  // Stored and announced, but not repainted (its neighbours do repaint).
  put(control.get(), id::ForeColorHot, {}, vlong(0x0000FF));
  EXPECT_EQ(log->take(), L"");
  EXPECT_EQ(log->take_changes(), std::vector<DISPID>{id::ForeColorHot});
  EXPECT_EQ(red_pixels(), 0);
  call(control.get(), id::DrawTab);
  EXPECT_GT(red_pixels(), 0);
  log->take();
  put(control.get(), id::ForeColorActive, {}, vlong(0x0000FF));
  EXPECT_EQ(log->take(), L"repaint\n");
}

}  // namespace
}  // namespace tessel_test
