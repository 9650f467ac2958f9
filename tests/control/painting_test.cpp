// Painting as a host sees it: the view after property changes, a top-aligned
// header only, column pictures converted on the way in, and a pass that
// survives the deletion of a decorated column.
#include <gtest/gtest.h>

#include <optional>

#include "framework/test_probe.h"
#include "render/dib_canvas.h"
#include "render/test_images.h"
#include "support/com_test_env.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

namespace id = tessel::dispid;

class Painting : public ::testing::Test {
 protected:
  void SetUp() override {
    control = create_control();
    ASSERT_TRUE(control);
    auto persist = control.query<IPersistStreamInit>(IID_IPersistStreamInit);
    ASSERT_TRUE(persist);
    ASSERT_EQ(persist->InitNew(), S_OK);
  }
  // The control's view, 200 x 25 pixels, as a container draws it.
  COLORREF view_pixel(int x, int y) {
    DibCanvas canvas(200, 25, RGB(1, 2, 3));
    auto view = control.query<IViewObject>(IID_IViewObject);
    RECTL bounds{0, 0, 200, 25};
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds,
                         nullptr, nullptr, 0),
              S_OK);
    return canvas.pixel(x, y);
  }
  ComPtr<IDispatch> control;
};

TEST_F(Painting, OnlyATopAlignedHeaderIsPainted) {
  EXPECT_EQ(view_pixel(150, 10), RGB(224, 223, 227));  // BackColorForm right of column 1
  put(control.get(), id::BackColorForm, {}, vlong(RGB(200, 0, 0)));
  EXPECT_EQ(view_pixel(150, 10), RGB(200, 0, 0));
  put(control.get(), id::Alignment, {}, vlong(tessel::reg_Bottom));
  put(control.get(), id::BackColorForm, {}, vlong(RGB(0, 0, 200)));
  call(control.get(), id::DrawTab);
  EXPECT_EQ(view_pixel(150, 10), RGB(200, 0, 0));
  put(control.get(), id::Alignment, {}, vlong(tessel::reg_Top));
  EXPECT_EQ(view_pixel(150, 10), RGB(0, 0, 200));
}

TEST_F(Painting, ASystemColourIsReadBackAsItsRgbValueAfterAPass) {
  put(control.get(), id::BackColor, {}, vlong(static_cast<LONG>(0x8000000Fu)));
  EXPECT_EQ(static_cast<COLORREF>(as_long(get(control.get(), id::BackColor))),
            GetSysColor(COLOR_BTNFACE));
}

TEST_F(Painting, DeletingThePressedAndSortedColumnLeavesTheHeaderUsable) {
  call(control.get(), id::AddRow, {vlong(40)});
  call(control.get(), id::AddRow, {vlong(40)});
  put(control.get(), id::SortedRow, {}, vlong(3));
  put(control.get(), id::SelectedRow, {}, vlong(3));
  EXPECT_EQ(invoke(control.get(), id::DeleteRow, DISPATCH_METHOD, {}), S_OK);
  EXPECT_EQ(invoke(control.get(), id::BackColorForm, DISPATCH_PROPERTYPUT, {vlong(RGB(0, 150, 0))}),
            S_OK);
  EXPECT_EQ(view_pixel(190, 10), RGB(0, 150, 0));
  EXPECT_EQ(invoke(control.get(), id::DrawTab, DISPATCH_METHOD, {}), S_OK);
}

TEST_F(Painting, AnIconColumnPictureIsStoredAsABitmapOnMagenta) {
  auto icon = make_icon_picture(16, 16, [](int x, int) -> std::optional<COLORREF> {
    if (x < 8) return std::nullopt;
    return RGB(0, 0, 170);
  });
  VARIANT v;
  V_VT(&v) = VT_DISPATCH;
  V_DISPATCH(&v) = icon.get();
  icon->AddRef();
  ASSERT_EQ(invoke(control.get(), id::RowPicture, DISPATCH_PROPERTYPUTREF, {vlong(1), v}), S_OK);
  Variant stored = get(control.get(), id::RowPicture, {vlong(1)});
  ASSERT_EQ(stored.vt(), VT_DISPATCH);
  EXPECT_EQ(picture_type(static_cast<IPictureDisp*>(V_DISPATCH(stored.get()))), PICTYPE_BITMAP);
  // The picture shows in the header with its magenta part left out: the
  // column's background shows through at the picture's left half.
  EXPECT_EQ(view_pixel(2 + 4 + 12, 12), RGB(0, 0, 170));
  EXPECT_EQ(view_pixel(2 + 4 + 2, 12), RGB(249, 250, 253));
}

}  // namespace
}  // namespace tessel_test
