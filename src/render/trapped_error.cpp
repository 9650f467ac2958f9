#include "render/trapped_error.h"

#include <utility>

namespace tessel {

namespace {
TrappedErrorHandler& handler() {
  static TrappedErrorHandler h;
  return h;
}
}  // namespace

TrappedErrorHandler set_trapped_error_handler(TrappedErrorHandler h) {
  return std::exchange(handler(), std::move(h));
}

void report_trapped_error(const std::wstring& procedure, int number,
                          const std::wstring& description) {
  if (handler()) handler()(procedure, number, description);
}

}  // namespace tessel
