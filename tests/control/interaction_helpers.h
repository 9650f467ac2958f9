// A control whose events are recorded, a control hosted in Wine's ATL
// container, and an ordered log of its events with the repaints between them.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/hosting_helpers.h"
#include "support/com_test_env.h"
#include "support/event_recorder.h"

namespace tessel_test {

// A new control (by CLSID from the DLL, or this program's own copy of the
// control code) whose events and notifications the recorder receives.
class RecordedControlTest : public ::testing::Test {
 protected:
  explicit RecordedControlTest(bool linked = false) : linked_(linked) {}
  void SetUp() override {
    control = linked_ ? create_linked_control() : create_control();
    ASSERT_TRUE(control);
    recorder = EventRecorder::create();
    recorder->connect(control.get());
  }
  void TearDown() override { recorder->disconnect(); }

  ComPtr<IDispatch> control;
  ComPtr<EventRecorder> recorder;

 private:
  bool linked_;
};

// Wine's ATL container in a child window of a test frame. It creates the
// control from its ProgID (as a form does), or hosts one the test made (which
// needs its InitNew first to have a newly placed control's state), in place
// at kWidth × kHeight: the height a control with HeaderHeight 25 keeps.
class AxHost {
 public:
  static constexpr int kWidth = 300;
  static constexpr int kHeight = 25;

  explicit AxHost(const wchar_t* prog_id);
  // width: the host window's width in pixels.
  explicit AxHost(IUnknown* control, int width = kWidth);
  AxHost(const AxHost&) = delete;
  AxHost& operator=(const AxHost&) = delete;
  ~AxHost();

  HWND frame() const { return frame_.handle(); }
  HWND host() const { return host_; }
  // The control's own window (IOleWindow::GetWindow).
  HWND control_window() const;
  ComPtr<IDispatch> control() const;
  ComPtr<IHostingTestProbe> probe() const { return probe_of(control_.get()); }

 private:
  HWND create_host(const wchar_t* title, int width = kWidth);

  TestFrame frame_;
  HWND host_ = nullptr;
  ComPtr<IUnknown> control_;
  ComPtr<IUnknown> container_;
};

// Paint passes the control has completed since it was made.
LONG paint_count(IHostingTestProbe* probe);

// Records the control's events in the order they are raised, one line each
// with the event's name and its arguments as the handler saw them
// ("MouseIn 1 0 10 5 0", "RowPressed 5 3 ASC"), and a line "repaint" for
// each paint pass completed between them. A line whose arguments do not have
// the declared types, each by reference, ends in "(argument types differ)".
class InteractionLog {
 public:
  InteractionLog(IUnknown* control, IHostingTestProbe* probe);
  InteractionLog(const InteractionLog&) = delete;
  InteractionLog& operator=(const InteractionLog&) = delete;
  ~InteractionLog();

  // The lines since the last call, with the repaints since the last event.
  std::wstring take();
  // The DISPIDs of the change notifications since the last call.
  std::vector<DISPID> take_changes();

  // Runs inside each raise, after its line is logged, with the raw
  // by-reference arguments, first to last.
  std::function<void(DISPID, VARIANT* args, UINT count)> on_event;

 private:
  void note_repaints();

  ComPtr<EventRecorder> recorder_;
  ComPtr<IHostingTestProbe> probe_;
  LONG paints_seen_ = 0;
  size_t changes_seen_ = 0;
  std::wstring text_;
};

}  // namespace tessel_test
