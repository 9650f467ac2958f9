#include "pages/message_box.h"

#include <utility>

namespace tessel {

namespace {
MessageBoxHandler& handler() {
  static MessageBoxHandler h;
  return h;
}
}  // namespace

int show_message_box(const std::wstring& text, const std::wstring& title, UINT style) {
  if (handler()) return handler()(text, title, style);
  return MessageBoxW(GetActiveWindow(), text.c_str(), title.c_str(), style);
}

MessageBoxHandler set_message_box_handler(MessageBoxHandler h) {
  return std::exchange(handler(), std::move(h));
}

}  // namespace tessel
