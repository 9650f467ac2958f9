#include "framework/host_property_bag.h"

#include <string>

#include "framework/error.h"
#include "framework/picture_data.h"

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
  if (value.vt() == VT_DISPATCH || value.vt() == VT_UNKNOWN) {
    IUnknown* object = value.vt() == VT_DISPATCH ? V_DISPATCH(value.get()) : V_UNKNOWN(value.get());
    if (ComPtr<IPictureDisp> replacement = container_replacement(object)) {
      Variant stored = Variant::from_dispatch(replacement.get());
      check_hr(bag_->Write(name.c_str(), stored.get()));
      return;
    }
  }
  check_hr(bag_->Write(name.c_str(), const_cast<VARIANT*>(value.get())));
}

}  // namespace framework
