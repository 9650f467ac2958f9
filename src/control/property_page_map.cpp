// The control's property pages and the page that edits each property.
#include "control/tessel_control.h"

namespace tessel {

namespace {

// The platform's standard font and colour pages (msstkppg.h).
constexpr CLSID CLSID_StockFontPage = {
    0x7ebdaae0, 0x8120, 0x11cf, {0x89, 0x9f, 0x00, 0xaa, 0x00, 0x68, 0x8b, 0x10}};
constexpr CLSID CLSID_StockColorPage = {
    0x7ebdaae1, 0x8120, 0x11cf, {0x89, 0x9f, 0x00, 0xaa, 0x00, 0x68, 0x8b, 0x10}};

const CLSID* const kPages[] = {&CLSID_TabsC, &CLSID_Allgemein, &CLSID_Register,
                               &CLSID_StockFontPage, &CLSID_StockColorPage};

const framework::PropertyPageEntry kPageMap[] = {
    {dispid::Alignment, &CLSID_Allgemein},
    {dispid::ColumnWidths, &CLSID_Allgemein},
    {dispid::HeaderHeight, &CLSID_Allgemein},
    {dispid::RowCaption, &CLSID_Register},
    {dispid::RowPicture, &CLSID_Register},
    {dispid::RowWidth, &CLSID_Register},
    {dispid::Font, &CLSID_StockFontPage},
    {dispid::BackColor, &CLSID_StockColorPage},
    {dispid::BackColorForm, &CLSID_StockColorPage},
    {dispid::ForeColor, &CLSID_StockColorPage},
    {dispid::ForeColorActive, &CLSID_StockColorPage},
    {dispid::ForeColorHot, &CLSID_StockColorPage},
    {dispid::FrameColor, &CLSID_StockColorPage},
    {dispid::MaskColor, &CLSID_StockColorPage},
    {dispid::MouseMoveColor0, &CLSID_StockColorPage},
    {dispid::MouseMoveColor1, &CLSID_StockColorPage},
    {dispid::MouseMoveColor2, &CLSID_StockColorPage},
    {dispid::RegisterFocusColor0, &CLSID_StockColorPage},
    {dispid::RegisterFocusColor1, &CLSID_StockColorPage},
    {dispid::RegisterFocusColor2, &CLSID_StockColorPage},
};

}  // namespace

std::span<const CLSID* const> TesselControl::property_pages() const { return kPages; }

std::span<const framework::PropertyPageEntry> TesselControl::property_page_map() const {
  return kPageMap;
}

}  // namespace tessel
