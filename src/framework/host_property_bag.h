// Properties in the container's own property bag (IPersistPropertyBag):
// values are handed over as variants of the types the control gives them,
// fonts and pictures as objects that the container persists itself. A
// metafile picture that cannot save itself goes as a bitmap of it instead
// (picture_data.h), so that a container that keeps its bag in a file can
// always save the form.
#pragma once

#include <ocidl.h>

#include "framework/property_bag.h"

namespace framework {

class HostBagReader final : public PropertyReader {
 public:
  // bag and log (may be nullptr) must outlive the reader.
  HostBagReader(IPropertyBag* bag, IErrorLog* log) : bag_(bag), log_(log) {}

 protected:
  // Any failure of the bag's Read counts as an absent key: bags answer
  // E_INVALIDARG for a name they do not hold, and nothing tells that apart
  // from a value they cannot produce.
  std::optional<Variant> find(std::wstring_view key, VARTYPE as) override;

 private:
  IPropertyBag* bag_;
  IErrorLog* log_;
};

class HostBagWriter final : public PropertyWriter {
 public:
  explicit HostBagWriter(IPropertyBag* bag) : bag_(bag) {}

  // Every write reaches the bag in the order the control makes it, except a
  // value equal to its write default. A key written twice in one save is
  // written twice; which value the bag keeps is the bag's affair.
  void write(std::wstring_view key, const Variant& value, const Variant* write_default) override;

 private:
  IPropertyBag* bag_;
};

}  // namespace framework
