// Loading and saving the control's properties. The keys, their types, their
// defaults and their order are the control's saved format: forms saved
// earlier must keep loading, so none of them may change.
//
// The control-level keys go through the property setters (which announce
// and repaint), the columns are rebuilt directly in their records, and the
// access keys follow the loaded captions. Each loading step that fails is
// skipped; saving stops at the first failure.
#include <string>
#include <utility>

#include "control/font_copy.h"
#include "control/tessel_control.h"
#include "framework/bstr.h"
#include "framework/out_param.h"
#include "framework/property_bag.h"

namespace tessel {

using framework::PropertyReader;
using framework::PropertyWriter;
using framework::Variant;

namespace {

Variant v_colour(OLE_COLOR value) { return Variant::from_long(static_cast<LONG>(value)); }

LONG long_of(const Variant& v) { return V_I4(v.get()); }
bool bool_of(const Variant& v) { return V_BOOL(v.get()) != VARIANT_FALSE; }

// A loaded picture; Nothing stays Nothing, any other object is refused.
framework::ComPtr<IPictureDisp> picture_of(const Variant& v) {
  IDispatch* object = V_DISPATCH(v.get());
  framework::ComPtr<IPictureDisp> picture;
  if (!object) return picture;
  framework::ComPtr<IPicture> check;
  if (FAILED(object->QueryInterface(IID_IPictureDisp, picture.put_void())) ||
      FAILED(object->QueryInterface(IID_IPicture, check.put_void()))) {
    framework::raise_error(framework::error_number::kInvalidPicture);
  }
  return picture;
}

// A column's key: the name followed by the column's number, built in place
// (a form with many columns asks for four of these per column).
class NumberedKey {
 public:
  std::wstring_view operator()(std::wstring_view name, LONG i) {
    wchar_t digits[12];
    size_t count = 0;
    unsigned long rest = static_cast<unsigned long>(i < 0 ? -static_cast<long long>(i) : i);
    do {
      digits[count++] = static_cast<wchar_t>(L'0' + rest % 10);
      rest /= 10;
    } while (rest != 0);
    key_.assign(name);
    if (i < 0) key_.push_back(L'-');
    while (count > 0) key_.push_back(digits[--count]);
    return key_;
  }

 private:
  std::wstring key_;
};

// One loading step: whatever fails inside it skips the step alone.
template <class Step>
void step(Step&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

}  // namespace

// Each setter a load runs would repaint the whole strip, and each paint
// would show only what the next one paints over. The repaints are held back
// and made once, when the load has rebuilt the columns: the strip then
// shows what was loaded, and the pass leaves what the setters' passes
// would have left (the height, system colours turned into RGB, the column
// rectangles). Like a setter's own repaint, a failing one leaves the load
// going on.
class TesselControl::PaintDeferral {
 public:
  explicit PaintDeferral(TesselControl& control) : control_(control) {
    control_.paint_deferred_ = true;
    control_.paint_due_ = false;
  }
  PaintDeferral(const PaintDeferral&) = delete;
  PaintDeferral& operator=(const PaintDeferral&) = delete;
  ~PaintDeferral() {
    control_.paint_deferred_ = false;
    if (std::exchange(control_.paint_due_, false)) step([&] { control_.draw_tab(); });
  }

 private:
  TesselControl& control_;
};

void TesselControl::on_read_properties(PropertyReader& bag) {
  auto read = [&](const wchar_t* key, VARTYPE as, const Variant& fallback) {
    return bag.read(key, as, &fallback);
  };
  auto colour = [&](const wchar_t* key, OLE_COLOR fallback,
                    decltype(&TesselControl::put_BackColor) setter) {
    step([&] {
      (this->*setter)(static_cast<OLE_COLOR>(long_of(read(key, VT_I4, v_colour(fallback)))));
    });
  };
  auto flag = [&](const wchar_t* key, const Variant& fallback,
                  void (TesselControl::*setter)(bool)) {
    step([&] { (this->*setter)(bool_of(read(key, VT_BOOL, fallback))); });
  };

  // The control-level keys, through the setters.
  PaintDeferral deferral(*this);
  step([&] {
    auto value = long_of(read(L"Alignment", VT_I4, Variant::from_long(s_.look.Alignment)));
    put_Alignment(static_cast<eTabAlignment>(value));
  });
  step([&] { put_HeaderHeight(long_of(read(L"HeaderHeight", VT_I4, Variant::from_short(25)))); });
  colour(L"BackColor", 0xFDFAF9, &TesselControl::put_BackColor);
  colour(L"BackColorForm", 0xE0F0F0, &TesselControl::put_BackColorForm);
  colour(L"ForeColor", 0x80000012, &TesselControl::put_ForeColor);
  colour(L"ForeColorActive", 0x985038, &TesselControl::put_ForeColorActive);
  colour(L"ForeColorHot", 0xFF0000, &TesselControl::put_ForeColorHot);
  colour(L"FrameColor", 0, &TesselControl::put_FrameColor);
  colour(L"MaskColor", 0xFF00FF, &TesselControl::put_MaskColor);
  // With no columns yet, any stored selection above 0 is ignored.
  step([&] { put_SelectedRow(long_of(read(L"SelectedRow", VT_I4, Variant::from_short(1)))); });
  step([&] { put_SortedRow(long_of(read(L"SortedRow", VT_I4, Variant::from_short(1)))); });
  step([&] {
    const LONG count = long_of(read(L"NumberOfTabs", VT_I4, Variant::from_short(0)));
    if (count < 0 || count > kMaxColumnCount) {
      framework::raise_error(framework::error_number::kInvalidPropertyValue);
    }
    s_.NumberOfRows = count;
  });
  colour(L"MouseMoveColor0", 0x2890E8, &TesselControl::put_MouseMoveColor0);
  colour(L"MouseMoveColor1", 0x38D0FF, &TesselControl::put_MouseMoveColor1);
  colour(L"MouseMoveColor2", 0x38C8FF, &TesselControl::put_MouseMoveColor2);
  colour(L"RegisterFocusColor1", 0x38D0FF, &TesselControl::put_RegisterFocusColor1);
  colour(L"RegisterFocusColor2", 0x38C8FF, &TesselControl::put_RegisterFocusColor2);
  colour(L"RegisterFocusColor0", 0x2890E8, &TesselControl::put_RegisterFocusColor0);
  step([&] { put_ShowFrame(V_BOOL(read(L"ShowFrame", VT_BOOL, Variant::from_bool(true)).get())); });
  flag(L"FontBold", Variant::from_short(0), &TesselControl::set_font_bold);
  flag(L"FontItalic", Variant::from_short(0), &TesselControl::set_font_italic);
  flag(L"FontStrikethru", Variant::from_short(0), &TesselControl::set_font_strikethru);
  step([&] {
    Variant name = read(L"FontName", VT_BSTR, Variant::from_text(L"MS Sans Serif"));
    set_font_name(framework::view_of(V_BSTR(name.get())));
  });
  step([&] { set_font_size(V_R4(read(L"FontSize", VT_R4, Variant::from_short(8)).get())); });
  flag(L"FontUnderline", Variant::from_short(0), &TesselControl::set_font_underline);
  // The saved font becomes the drawing font itself, not through Font.
  step([&] {
    IFontDisp* drawing = surface().font();
    Variant font = read(L"Font", VT_DISPATCH, Variant::from_dispatch(drawing));
    framework::ComPtr<IFontDisp> loaded;
    if (IDispatch* object = V_DISPATCH(font.get())) {
      object->QueryInterface(IID_IFontDisp, loaded.put_void());
    }
    if (!loaded) framework::raise_error(framework::error_number::kObjectRequired);
    if (loaded.get() != drawing) copy_font_attributes(loaded.get(), drawing);
  });
  // Before the columns exist this changes no width (and with a column
  // count above 0 not the string either).
  step([&] {
    put_ColumnWidths(V_BSTR(read(L"ColumnWidths", VT_BSTR, Variant::from_short(900)).get()));
  });
  step([&] {
    put_ShowSortPic(V_BOOL(read(L"ShowSortPic", VT_BOOL, Variant::from_bool(true)).get()));
  });

  // The column array anew, one fresh record per column.
  step([&] { s_.Tabs.redim(s_.NumberOfRows); });

  // The columns, straight into their records: no setter, no icon
  // conversion, no announcement, no repaint.
  NumberedKey numbered;
  const Variant nothing = Variant::from_dispatch(nullptr);
  for (LONG i = 1; i <= s_.NumberOfRows; ++i) {
    step([&] { s_.Tabs(i).RowWidth = long_of(bag.read(numbered(L"RowWidth", i), VT_I4)); });
    step([&] {
      Variant text = bag.read(numbered(L"RowText", i), VT_BSTR);
      s_.Tabs(i).RowCaption = framework::view_of(V_BSTR(text.get()));
    });
    step([&] {
      // Saved only when there is one: a missing picture is Nothing.
      auto picture = picture_of(bag.read(numbered(L"RowPicture", i), VT_DISPATCH, &nothing));
      s_.Tabs(i).set_RowIcon(picture.get());
    });
    step([&] { s_.Tabs(i).RowSort = bool_of(bag.read(numbered(L"RowSorted", i), VT_BOOL)); });
  }

  // The access keys of the loaded captions.
  step([&] { set_tab_access_keys(); });
}

void TesselControl::on_write_properties(PropertyWriter& bag) {
  const Appearance& look = s_.look;
  bag.write(L"Alignment", Variant::from_long(look.Alignment));
  bag.write(L"HeaderHeight", Variant::from_long(look.HeaderHeight));
  bag.write(L"BackColor", v_colour(look.BackColor));
  bag.write(L"BackColorForm", v_colour(look.BackColorForm));
  bag.write(L"ForeColor", v_colour(look.ForeColor));
  bag.write(L"ForeColorActive", v_colour(look.ForeColorActive));
  bag.write(L"ForeColorHot", v_colour(look.ForeColorHot));
  bag.write(L"FrameColor", v_colour(look.FrameColor));
  bag.write(L"MaskColor", v_colour(look.MaskColor));
  bag.write(L"SelectedRow", Variant::from_long(s_.SelectedRow));
  bag.write(L"SortedRow", Variant::from_long(s_.SortedRow));
  // The font the header draws with, the one key "Font" a load reads. It is
  // written once: a container's bag may keep the first or the last write of
  // a key, and both must give back the font that was drawn.
  bag.write(L"Font", Variant::from_dispatch(surface().font()));
  bag.write(L"NumberOfTabs", Variant::from_long(s_.NumberOfRows));
  bag.write(L"RegisterFocusColor1", v_colour(look.RegisterFocusColor1));
  bag.write(L"RegisterFocusColor2", v_colour(look.RegisterFocusColor2));
  bag.write(L"MouseMoveColor0", v_colour(look.MouseMoveColor0));
  bag.write(L"MouseMoveColor1", v_colour(look.MouseMoveColor1));
  bag.write(L"MouseMoveColor2", v_colour(look.MouseMoveColor2));
  bag.write(L"RegisterFocusColor0", v_colour(look.RegisterFocusColor0));

  const Variant zero = Variant::from_short(0);
  bag.write(L"FontBold", Variant::from_bool(look.FontBold), &zero);
  bag.write(L"FontItalic", Variant::from_bool(look.FontItalic), &zero);
  const Variant eight = Variant::from_short(8);
  bag.write(L"FontSize", Variant::from_float(look.FontSize), &eight);
  // Always stored: a name left out would read back as the read default, not
  // as the ambient font's name it was compared with.
  bag.write(L"FontName", Variant::from_text(look.FontName));
  bag.write(L"FontStrikethru", Variant::from_bool(look.FontStrikethru), &zero);
  bag.write(L"FontUnderline", Variant::from_bool(look.FontUnderline), &zero);

  const Variant yes = Variant::from_bool(true);
  bag.write(L"ShowFrame", Variant::from_bool(look.ShowFrame), &yes);
  const Variant nine_hundred = Variant::from_short(900);
  bag.write(L"ColumnWidths", Variant::from_text(s_.ColumnWidths), &nine_hundred);
  bag.write(L"ShowSortPic", Variant::from_bool(look.ShowSortPic), &yes);

  // A bag's Write is the container's code and may change the columns: each
  // value is taken from the record as it is when its key is written, and
  // the column count is checked again for each column. A column that has
  // left the array by then ends the save with error 9.
  const Variant nothing = Variant::from_dispatch(nullptr);
  NumberedKey numbered;
  for (LONG i = 1; i <= s_.NumberOfRows; ++i) {
    // A record never reached is created here.
    bag.write(numbered(L"RowWidth", i), Variant::from_long(s_.Tabs(i).RowWidth));
    bag.write(numbered(L"RowText", i), Variant::from_text(s_.Tabs(i).RowCaption));
    bag.write(numbered(L"RowSorted", i), Variant::from_bool(s_.Tabs(i).RowSort));
    bag.write(numbered(L"RowPicture", i), Variant::from_dispatch(s_.Tabs(i).RowIcon()), &nothing);
  }
}

}  // namespace tessel
