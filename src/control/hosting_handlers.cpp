// What the control does with its container's notifications: defaults for a
// newly placed control, and repaints on resize and focus changes.
#include "control/font_copy.h"
#include "control/tessel_control.h"

namespace tessel {

namespace {
// The colours a newly placed control starts with.
constexpr OLE_COLOR kBackColor = 0xFDFAF9;        // RGB(249, 250, 253)
constexpr OLE_COLOR kBackColorForm = 0xE3DFE0;    // RGB(224, 223, 227)
constexpr OLE_COLOR kForeColor = 0x80000012;      // button text
constexpr OLE_COLOR kForeColorActive = 0x985038;  // RGB(56, 80, 152)
constexpr OLE_COLOR kForeColorHot = 0xFF0000;     // RGB(0, 0, 255)
constexpr OLE_COLOR kMaskColor = 0xFF00FF;        // RGB(255, 0, 255)
constexpr OLE_COLOR kOrange = 0x2890E8;           // RGB(232, 144, 40)
constexpr OLE_COLOR kYellow = 0x38D0FF;           // RGB(255, 208, 56)
constexpr OLE_COLOR kAmber = 0x38C8FF;            // RGB(255, 200, 56)
constexpr LONG kHeaderHeight = 25;
}  // namespace

void TesselControl::on_init_properties() {
  LONG width = 60;
  add_row(&width, nullptr, nullptr);
  Appearance& look = s_.look;
  look.HeaderHeight = kHeaderHeight;
  look.BackColor = kBackColor;
  surface().set_back_color(kBackColor);
  look.BackColorForm = kBackColorForm;
  look.ForeColor = kForeColor;
  surface().set_fore_color(kForeColor);
  look.ForeColorActive = kForeColorActive;
  look.ForeColorHot = kForeColorHot;
  look.FrameColor = 0;
  look.MaskColor = kMaskColor;
  look.MouseMoveColor0 = kOrange;
  look.MouseMoveColor1 = kYellow;
  look.MouseMoveColor2 = kAmber;
  look.RegisterFocusColor1 = kYellow;
  look.RegisterFocusColor2 = kAmber;
  look.RegisterFocusColor0 = kOrange;
  look.ShowFrame = true;
  look.ShowSortPic = true;
  set_font_name(L"MS Sans Serif");
  set_font_bold(false);
  set_font_size(8);
  // The container's font becomes the font the header draws with.
  copy_font_attributes(ambient_font().get(), surface().font());
  s_.SortedRow = 0;
}

void TesselControl::on_resize() { draw_tab(); }

void TesselControl::on_got_focus() { draw_tab(); }

void TesselControl::on_lost_focus() { draw_tab(); }

// Keys and access keys change nothing: the container routes the access keys
// here, but the control presses no column for them.
void TesselControl::on_key_down(SHORT, SHORT) {}

void TesselControl::on_access_key(SHORT) {}

}  // namespace tessel
