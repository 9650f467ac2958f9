#include "framework/host_property_bag.h"

#include <string>

#include "framework/error.h"

namespace framework {

std::optional<Variant> HostBagReader::find(std::wstring_view key, VARTYPE as) {
  const std::wstring name(key);
  Variant value;
  // An object is asked for as one, so that a bag that keeps objects in
  // another form can make one; anything else comes in the bag's own type.
  if (as == VT_DISPATCH) {
    V_VT(value.get()) = VT_DISPATCH;
    V_DISPATCH(value.get()) = nullptr;
  }
  if (FAILED(bag_->Read(name.c_str(), value.get(), log_))) return std::nullopt;
  return value;
}

void HostBagWriter::write(std::wstring_view key, const Variant& value,
                          const Variant* write_default) {
  if (write_default && matches_default(value, *write_default)) return;
  const std::wstring name(key);
  check_hr(bag_->Write(name.c_str(), const_cast<VARIANT*>(value.get())));
}

}  // namespace framework
