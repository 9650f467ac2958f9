#include "control/interaction_helpers.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <iterator>
#include <utility>

#include "support/com_test_env.h"
#include "tessel_interfaces.h"

namespace tessel_test {

namespace {

struct AtlEntries {
  HRESULT(WINAPI* get_control)(HWND, IUnknown**) = nullptr;
  HRESULT(WINAPI* attach_control)(IUnknown*, HWND, IUnknown**) = nullptr;
};

template <class F>
F entry(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// atl.dll with its host window class registered, and the plain window class
// that AtlAxAttachControl turns into a container.
const AtlEntries& atl() {
  static const AtlEntries entries = [] {
    AtlEntries e;
    HMODULE module = LoadLibraryW(L"atl.dll");
    if (!module) return e;
    auto init = entry<BOOL(WINAPI*)()>(module, "AtlAxWinInit");
    if (!init || !init()) return e;
    e.get_control = entry<decltype(e.get_control)>(module, "AtlAxGetControl");
    e.attach_control = entry<decltype(e.attach_control)>(module, "AtlAxAttachControl");
    WNDCLASSW plain{};
    plain.lpfnWndProc = DefWindowProcW;
    plain.hInstance = GetModuleHandleW(nullptr);
    plain.lpszClassName = L"InteractionTestHost";
    if (!RegisterClassW(&plain)) e.attach_control = nullptr;
    return e;
  }();
  EXPECT_TRUE(entries.get_control && entries.attach_control)
      << "atl.dll's container is not available";
  return entries;
}

const wchar_t* event_name(DISPID id) {
  namespace event = tessel::event_dispid;
  const std::pair<DISPID, const wchar_t*> names[] = {{event::RowPressed, L"RowPressed"},
                                                     {event::MouseIn, L"MouseIn"},
                                                     {event::MouseOut, L"MouseOut"},
                                                     {event::MouseDown, L"MouseDown"},
                                                     {event::MouseUp, L"MouseUp"}};
  for (const auto& [event_id, name] : names) {
    if (event_id == id) return name;
  }
  return L"?";
}

// The arguments' types as the event interface declares them, each passed
// by reference.
std::vector<VARTYPE> declared_types(DISPID id) {
  constexpr VARTYPE I2 = VT_BYREF | VT_I2, I4 = VT_BYREF | VT_I4, R4 = VT_BYREF | VT_R4,
                    STR = VT_BYREF | VT_BSTR;
  switch (id) {
    case tessel::event_dispid::RowPressed:
      return {I2, I4, STR};
    case tessel::event_dispid::MouseDown:
      return {I2, I2, R4, R4, I4, STR};
    default:
      return {I2, I2, R4, R4, I4};
  }
}

// An argument as the log shows it; the events pass none but these types.
std::wstring text_of(const VARIANT& value) {
  const VARTYPE type = V_VT(&value);
  if (type == VT_I2) return std::to_wstring(V_I2(&value));
  if (type == VT_I4) return std::to_wstring(V_I4(&value));
  if (type == VT_BSTR) {
    return V_BSTR(&value) ? std::wstring(V_BSTR(&value), SysStringLen(V_BSTR(&value))) : L"";
  }
  if (type != VT_R4) return L"?";
  wchar_t text[32];
  std::swprintf(text, std::size(text), L"%g", static_cast<double>(V_R4(&value)));
  return text;
}

}  // namespace

AxHost::AxHost(const wchar_t* prog_id) {
  ensure_registered();
  host_ = create_host(prog_id);
  ComPtr<IUnknown> control;
  if (host_ && atl().get_control) atl().get_control(host_, control.put());
  EXPECT_TRUE(control) << "the container did not create the control";
  control_ = control;
}

AxHost::AxHost(IUnknown* control, int width) : control_(control) {
  host_ = create_host(nullptr, width);
  if (host_ && atl().attach_control) {
    EXPECT_EQ(atl().attach_control(control, host_, container_.put()), S_OK);
  }
  pump_messages();
}

AxHost::~AxHost() {
  // The container deactivates the control and lets it go with its window.
  if (host_) DestroyWindow(host_);
  pump_messages();
  container_ = nullptr;
  frame_.destroy();
}

HWND AxHost::create_host(const wchar_t* title, int width) {
  const wchar_t* window_class = title ? L"AtlAxWin" : L"InteractionTestHost";
  atl();
  HWND host =
      CreateWindowExW(0, window_class, title ? title : L"", WS_CHILD | WS_VISIBLE, 10, 10, width,
                      kHeight, frame_.handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  EXPECT_NE(host, nullptr);
  pump_messages();
  return host;
}

HWND AxHost::control_window() const {
  HWND handle = nullptr;
  if (auto window = control_.query<IOleWindow>(IID_IOleWindow)) window->GetWindow(&handle);
  return handle;
}

ComPtr<IDispatch> AxHost::control() const { return control_.query<IDispatch>(IID_IDispatch); }

LONG paint_count(IHostingTestProbe* probe) {
  LONG count = -1;
  EXPECT_EQ(probe->GetPaintCount(&count), S_OK);
  return count;
}

InteractionLog::InteractionLog(IUnknown* control, IHostingTestProbe* probe)
    : recorder_(EventRecorder::create()), probe_(probe) {
  recorder_->connect(control);
  paints_seen_ = paint_count(probe);
  recorder_->on_event = [this](DISPID id, VARIANT* args, UINT count) {
    note_repaints();
    const RecordedEvent& event = recorder_->events.back();
    text_ += event_name(id);
    for (const framework::Variant& arg : event.args) {
      text_ += L' ';
      text_ += text_of(*arg.get());
    }
    if (event.types != declared_types(id)) text_ += L" (argument types differ)";
    text_ += L'\n';
    if (on_event) on_event(id, args, count);
  };
}

InteractionLog::~InteractionLog() {
  recorder_->on_event = nullptr;
  recorder_->disconnect();
}

void InteractionLog::note_repaints() {
  LONG now = paint_count(probe_.get());
  for (; paints_seen_ < now; ++paints_seen_) text_ += L"repaint\n";
}

std::wstring InteractionLog::take() {
  note_repaints();
  return std::exchange(text_, std::wstring());
}

std::vector<DISPID> InteractionLog::take_changes() {
  std::vector<DISPID> changes(recorder_->changes.begin() + static_cast<ptrdiff_t>(changes_seen_),
                              recorder_->changes.end());
  changes_seen_ = recorder_->changes.size();
  return changes;
}

}  // namespace tessel_test
