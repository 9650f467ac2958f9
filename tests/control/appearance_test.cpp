// Appearance properties: the defaults of a newly placed control, round trips,
// the order of change notifications, and the font kept in two places.
#include <gtest/gtest.h>

#include <algorithm>

#include "control/interaction_helpers.h"
#include "control/persist_test_support.h"
#include "control/property_table.h"
#include "support/com_test_env.h"
#include "support/event_recorder.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

namespace id = tessel::dispid;

ComPtr<IFontDisp> new_font(const wchar_t* name, LONGLONG size, SHORT weight, BOOL underline) {
  FONTDESC desc{sizeof(FONTDESC),
                const_cast<LPOLESTR>(name),
                {{static_cast<ULONG>(size), 0}},
                weight,
                ANSI_CHARSET,
                FALSE,
                underline,
                FALSE};
  ComPtr<IFontDisp> font;
  EXPECT_EQ(OleCreateFontIndirect(&desc, IID_IFontDisp, font.put_void()), S_OK);
  return font;
}

class Appearance : public RecordedControlTest {
 protected:
  void init_new() {
    auto persist = stream_persist(control.get());
    ASSERT_TRUE(persist);
    ASSERT_EQ(persist->InitNew(), S_OK);
  }
  ULONG colour(DISPID which) { return static_cast<ULONG>(as_long(get(control.get(), which))); }
  std::vector<LONG> values(std::initializer_list<DISPID> properties) {
    std::vector<LONG> result;
    for (DISPID which : properties) result.push_back(as_long(get(control.get(), which)));
    return result;
  }
  // Font set to font (Nothing for nullptr).
  HRESULT put_font(IUnknown* font) {
    std::vector<VARIANT> args(1);
    v_object(font).detach_to(args.data());
    return invoke(control.get(), id::Font, DISPATCH_PROPERTYPUTREF, args);
  }
  ComPtr<IFont> font() {
    Variant v = get(control.get(), id::Font);
    EXPECT_EQ(v.vt(), VT_DISPATCH);
    ComPtr<IFont> f;
    if (V_DISPATCH(v.get())) V_DISPATCH(v.get())->QueryInterface(IID_IFont, f.put_void());
    return f;
  }
};

TEST_F(Appearance, ANewlyPlacedControlHasItsDefaults) {
  init_new();
  EXPECT_EQ(values({id::NumberOfRows, id::HeaderHeight, id::BackColorForm, id::ForeColorActive,
                    id::ForeColorHot, id::FrameColor, id::MaskColor, id::MouseMoveColor0,
                    id::MouseMoveColor1, id::MouseMoveColor2}),
            (std::vector<LONG>{1, 25, 0xE3DFE0, 0x985038, 0xFF0000, 0, 0xFF00FF, 0x2890E8, 0x38D0FF,
                               0x38C8FF}));
  EXPECT_EQ(values({id::RegisterFocusColor0, id::RegisterFocusColor1, id::RegisterFocusColor2,
                    id::ShowFrame, id::ShowSortPic, id::FontSize, id::FontBold, id::SortedRow,
                    id::SelectedRow, id::Alignment}),
            (std::vector<LONG>{0x2890E8, 0x38D0FF, 0x38C8FF, -1, -1, 8, 0, 0, 0, tessel::reg_Top}));
  EXPECT_EQ(as_string(get(control.get(), id::RowCaption, {vlong(1)})), L"Spalte");
  EXPECT_EQ(as_long(get(control.get(), id::RowWidth, {vlong(1)})), 60);
  EXPECT_EQ(as_string(get(control.get(), id::FontName)), L"MS Sans Serif");
  // Only the three font setters announce themselves.
  EXPECT_EQ(recorder->changes,
            (std::vector<DISPID>{id::NumberOfRows, id::FontName, id::FontBold, id::FontSize}));
}

// Every property of the property table: a new value is stored unchecked and
// read back; the setter announces it and repaints as its row says (a header
// aligned at the bottom paints nothing). NumberOfRows changes through
// AddRow, Font announces itself after the six font setters.
TEST_F(Appearance, EverySetterAnnouncesAndRepaintsAsItsRowSays) {
  init_new();
  const ComPtr<IHostingTestProbe> probe = probe_of(control.get());
  for (const tessel::PropertyRow& row : tessel::property_table()) {
    SCOPED_TRACE(std::wstring(row.name));
    // Every change is announced; all but the hot column's colour repaint.
    EXPECT_TRUE(row.notifies);
    EXPECT_EQ(row.repaints, row.dispid != id::ForeColorHot);
    auto index = [&] { return row.per_column ? std::vector{vlong(1)} : std::vector<VARIANT>{}; };
    Variant value = get(control.get(), row.dispid, index());
    WORD how = DISPATCH_PROPERTYPUT;
    switch (value.vt()) {
      case VT_I4:
        ++V_I4(value.get());
        break;
      case VT_BOOL:
        V_BOOL(value.get()) = ~V_BOOL(value.get());
        break;
      case VT_R4:
        V_R4(value.get()) += 1.5f;
        break;
      case VT_BSTR:
        value = Variant::from_text(L"1200;1200");
        break;
      default:
        how = DISPATCH_PROPERTYPUTREF;
        value = Variant::from_dispatch(
            row.dispid == id::Font ? new_font(L"Arial", 100000, FW_BOLD, FALSE).get() : nullptr);
    }
    recorder->changes.clear();
    const LONG paints = paint_count(probe.get());
    if (row.dispid == id::NumberOfRows) {
      call(control.get(), id::AddRow);
    } else {
      std::vector<VARIANT> args = index();
      args.emplace_back();
      Variant(value).detach_to(&args.back());
      ASSERT_EQ(invoke(control.get(), row.dispid, how, args), S_OK);
      if (how == DISPATCH_PROPERTYPUT) {
        EXPECT_EQ(VarCmp(get(control.get(), row.dispid, index()).get(), value.get(),
                         LOCALE_USER_DEFAULT, 0),
                  VARCMP_EQ);
      }
    }
    EXPECT_EQ(std::count(recorder->changes.begin(), recorder->changes.end(), row.dispid),
              row.notifies ? 1 : 0);
    if (row.notifies) {
      EXPECT_EQ(recorder->changes.back(), row.dispid);
    }
    const bool top = as_long(get(control.get(), id::Alignment)) == tessel::reg_Top;
    EXPECT_EQ(paint_count(probe.get()) > paints, row.repaints && top);
    put(control.get(), id::Alignment, {}, vlong(tessel::reg_Top));
  }
}

TEST_F(Appearance, AColourTheSurfaceRefusesFailsAfterItIsStored) {
  recorder->changes.clear();
  EXPECT_EQ(error_number(invoke(control.get(), id::BackColor, DISPATCH_PROPERTYPUT,
                                {vlong(static_cast<LONG>(0xFFFFFFFFu))})),
            380);
  EXPECT_EQ(colour(id::BackColor), 0xFFFFFFFFu);
  EXPECT_TRUE(recorder->changes.empty());
}

// The font values reach the font the surface draws with, which Font get
// hands out itself, every time. FontSize crosses the boundary as a Single.
TEST_F(Appearance, FontValuesReachTheSurfaceFont) {
  init_new();
  put(control.get(), id::FontBold, {}, vbool(true));
  EXPECT_TRUE(as_bool(get(control.get(), id::FontBold)));
  ComPtr<IFont> f = font();
  ASSERT_TRUE(f);
  BOOL bold = FALSE, italic = FALSE;
  f->get_Bold(&bold);
  EXPECT_TRUE(bold);
  put(control.get(), id::FontName, {}, vstr(L"Tahoma"));
  put(control.get(), id::FontSize, {}, variant_of(VT_R4, 9.75f));
  put(control.get(), id::FontItalic, {}, vbool(true));
  EXPECT_EQ(as_string(get(control.get(), id::FontName)), L"Tahoma");
  // The face the platform realised for the name.
  const ComPtr<IFontDisp> drawn = f.query<IFontDisp>(IID_IFontDisp);
  EXPECT_EQ(font_name(drawn.get()), font_name(new_font(L"Tahoma", 120000, FW_NORMAL, FALSE).get()));
  EXPECT_EQ(font_size(drawn.get()), 97500);
  Variant stored = get(control.get(), id::FontSize);
  EXPECT_EQ(stored.vt(), VT_R4);
  EXPECT_EQ(V_R4(stored.get()), 9.75f);
  f->get_Italic(&italic);
  EXPECT_TRUE(italic);
  EXPECT_EQ(font().get(), f.get());
}

// Assigning a font runs the six font setters, then announces Font; the
// control draws with its own copy. Nothing is refused before anything
// changes.
TEST_F(Appearance, AssigningAFontRunsTheSixFontSettersThenAnnouncesFont) {
  init_new();
  ComPtr<IFontDisp> assigned = new_font(L"Arial", 120000, FW_BOLD, TRUE);
  ASSERT_TRUE(assigned);
  recorder->changes.clear();
  ASSERT_EQ(put_font(assigned.get()), S_OK);
  EXPECT_EQ(recorder->changes,
            (std::vector<DISPID>{id::FontBold, id::FontItalic, id::FontName, id::FontSize,
                                 id::FontStrikethru, id::FontUnderline, id::Font}));
  EXPECT_EQ(as_long(get(control.get(), id::FontSize)), 12);
  EXPECT_TRUE(as_bool(get(control.get(), id::FontBold)));
  EXPECT_TRUE(as_bool(get(control.get(), id::FontUnderline)));
  const std::wstring assigned_name = font_name(assigned.get());
  EXPECT_EQ(as_string(get(control.get(), id::FontName)), assigned_name);
  ComPtr<IFont> drawing = font();
  ComPtr<IFont> given = assigned.query<IFont>(IID_IFont);
  EXPECT_NE(drawing.get(), given.get());
  given->put_Bold(FALSE);
  BOOL bold = FALSE;
  drawing->get_Bold(&bold);
  EXPECT_TRUE(bold);

  recorder->changes.clear();
  EXPECT_EQ(error_number(put_font(nullptr)), 424);
  EXPECT_TRUE(recorder->changes.empty());
  EXPECT_EQ(as_string(get(control.get(), id::FontName)), assigned_name);
}

}  // namespace
}  // namespace tessel_test
