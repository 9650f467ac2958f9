#include "scripted_session.h"

#include <functional>
#include <string_view>

#include "console.h"
#include "demo_error.h"
#include "screen_reader.h"
#include "window_printer.h"

namespace demo {

namespace {

constexpr SIZE kResizedClient{720, 420};

void pump_messages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

std::wstring caption_of(int column) {
  return std::wstring(L"\"") + kHeaderColumns[static_cast<size_t>(column - 1)].caption + L"\"";
}

class Session {
 public:
  Session(DemoForm& form, std::wstring folder) : form_(form), folder_(std::move(folder)) {}

  void step(std::wstring_view title, std::wstring_view file_name,
            const std::function<void()>& action) {
    ++steps_;
    print_line(L"step " + std::to_wstring(steps_) + L": " + std::wstring(title));
    action();
    pump_messages();
    print_first_rows();
    const std::wstring path = folder_ + std::to_wstring(steps_) + L"-" + std::wstring(file_name);
    const std::wstring failure = save_window_picture(form_.handle(), path);
    if (!failure.empty()) throw DemoError(L"saving " + path + L": " + failure);
    print_line(L"  screenshot: " + path);
  }

  // The pointer over the middle of a column, and a mouse move there.
  void hover(int column) { mouse(WM_MOUSEMOVE, 0, form_.column_middle(column), header()); }

  void click(int column) {
    const POINT at = form_.column_middle(column);
    mouse(WM_MOUSEMOVE, 0, at, header());
    mouse(WM_LBUTTONDOWN, MK_LBUTTON, at, header());
    mouse(WM_LBUTTONUP, 0, at, header());
  }

  // The pointer onto the list below the header. The header holds the mouse
  // capture while the pointer is over it, so the move still reaches it.
  void leave_header() {
    RECT list{};
    GetWindowRect(form_.list().handle(), &list);
    POINT at{form_.column_middle(2).x, 0};
    MapWindowPoints(header(), nullptr, &at, 1);
    at.y = list.top + 40;
    ScreenToClient(header(), &at);
    mouse(WM_MOUSEMOVE, 0, at, form_.list().handle());
  }

 private:
  HWND header() const { return form_.header_window(); }

  // The control asks the system where the pointer is (and which window is
  // there), so the pointer is placed before the message is sent. The move
  // the system reports for the new position is dropped: the session sends
  // its own messages, one for each action, so the log is the same on every
  // run.
  void mouse(UINT message, WPARAM keys, POINT in_header, HWND expected_below) {
    POINT screen = in_header;
    ClientToScreen(header(), &screen);
    SetCursorPos(screen.x, screen.y);
    MSG reported;
    while (PeekMessageW(&reported, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
    }
    if (WindowFromPoint(screen) != expected_below) {
      throw DemoError(L"the pointer at (" + std::to_wstring(screen.x) + L", " +
                      std::to_wstring(screen.y) + L") is not over the expected window");
    }
    SendMessageW(header(), message, keys, MAKELPARAM(in_header.x, in_header.y));
  }

  // The first rows as the list shows them: the name, and the sorted
  // column's text where that is another column.
  void print_first_rows() {
    const int sorted = form_.sorted_column();
    const std::vector<std::wstring> names = form_.list().first_texts(FileColumn::name, 3);
    std::vector<std::wstring> keys;
    if (sorted > 1) keys = form_.list().first_texts(static_cast<FileColumn>(sorted - 1), 3);
    std::wstring line = L"  first rows:";
    for (size_t i = 0; i < names.size(); ++i) {
      line += (i ? L", " : L" ") + names[i];
      if (i < keys.size()) line += L" (" + keys[i] + L")";
    }
    print_line(line);
  }

  DemoForm& form_;
  std::wstring folder_;
  int steps_ = 0;
};

}  // namespace

int play_scripted_session(DemoForm& form, const std::wstring& folder) {
  Session session(form, folder);
  session.step(L"hover over column 2 " + caption_of(2), L"hover.png", [&] { session.hover(2); });
  session.step(L"click column 1 " + caption_of(1), L"click-name.png", [&] { session.click(1); });
  session.step(L"click column 1 " + caption_of(1) + L" again", L"click-name-again.png",
               [&] { session.click(1); });
  session.step(L"click column 2 " + caption_of(2), L"click-size.png", [&] { session.click(2); });
  session.step(L"move the pointer off the header", L"leave.png", [&] { session.leave_header(); });
  session.step(L"resize the form to " + std::to_wstring(kResizedClient.cx) + L" x " +
                   std::to_wstring(kResizedClient.cy),
               L"resize.png", [&] { form.set_client_size(kResizedClient); });
  print_screen_reader_view(form.header_window());

  const std::wstring disagreement = form.check_agreement();
  if (!disagreement.empty()) {
    print_line(L"error: " + disagreement);
    return 1;
  }
  print_line(std::wstring(L"session complete: the list is sorted by ") +
             kHeaderColumns[static_cast<size_t>(form.sorted_column() - 1)].caption +
             (form.ascending() ? L", ascending" : L", descending") +
             L", as the header's sort marker shows");
  return 0;
}

}  // namespace demo
