#include "framework/trapped_error.h"

#include <utility>

namespace framework {

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

}  // namespace framework
