#include "control/about_box_hook.h"

#include <utility>

namespace tessel {

namespace {
AboutBoxHandler& handler() {
  static AboutBoxHandler h;
  return h;
}
}  // namespace

AboutBoxHandler set_about_box_handler(AboutBoxHandler h) {
  return std::exchange(handler(), std::move(h));
}

void show_about_box() {
  if (handler()) handler()();
}

}  // namespace tessel
