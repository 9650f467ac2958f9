// The control's property pages and the page that edits each property (from
// the property table).
#include <vector>

#include "control/property_table.h"
#include "control/tessel_control.h"

namespace tessel {

namespace {
const CLSID* const kPages[] = {&CLSID_TabsC, &CLSID_Allgemein, &CLSID_Register,
                               &CLSID_StockFontPage, &CLSID_StockColorPage};
}  // namespace

std::span<const CLSID* const> TesselControl::property_pages() const { return kPages; }

std::span<const framework::PropertyPageEntry> TesselControl::property_page_map() const {
  static const std::vector<framework::PropertyPageEntry> map = [] {
    std::vector<framework::PropertyPageEntry> entries;
    for (const PropertyRow& row : property_table()) {
      if (row.page) entries.push_back({row.dispid, row.page});
    }
    return entries;
  }();
  return map;
}

}  // namespace tessel
