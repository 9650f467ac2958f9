#include "control/tab_array.h"

#include "framework/error.h"

namespace tessel {

cTabs& TabArray::operator()(LONG index) {
  if (!contains(index)) framework::raise_error(framework::error_number::kSubscriptOutOfRange);
  auto& slot = slots_[static_cast<size_t>(index)];
  if (!slot) slot = std::make_unique<cTabs>();
  return *slot;
}

void TabArray::redim_preserve(LONG upper) {
  slots_.resize(static_cast<size_t>(upper) + 1);
  exists_ = true;
}

void TabArray::redim(LONG upper) {
  slots_.clear();
  slots_.resize(static_cast<size_t>(upper) + 1);
  exists_ = true;
}

void TabArray::erase() {
  slots_.clear();
  exists_ = false;
}

}  // namespace tessel
