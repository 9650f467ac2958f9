// Painting as a host sees it: the view after property changes, a top-aligned
// header only, column pictures converted on the way in, and a pass that
// survives the deletion of a decorated column.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <vector>

#include "control/persist_test_support.h"
#include "render/dib_canvas.h"
#include "render/test_images.h"
#include "support/com_test_env.h"
#include "support/heap_check.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

namespace id = tessel::dispid;

// A column picture of the test's own, answering through a real bitmap
// picture. Once armed, the next read of the property `trigger` (through
// IPicture or through its dispatch interface) first runs the call-back, as
// a host's picture may. Every call notes whether it reached a picture that
// was already released.
class CallingBackPicture final : public IPicture, public IPictureDisp {
 public:
  CallingBackPicture(IPictureDisp* real, DISPID trigger)
      : disp_(real),
        picture_(ComPtr<IPictureDisp>(real).query<IPicture>(IID_IPicture)),
        trigger_(trigger) {
    live().insert(this);
  }
  void arm(std::function<void()> call_back) { call_back_ = std::move(call_back); }
  ~CallingBackPicture() { live().erase(this); }
  static bool reached_after_release;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    check();
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IPictureDisp) {
      *object = static_cast<IPictureDisp*>(this);
    } else if (iid == IID_IPicture) {
      *object = static_cast<IPicture*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return check(), ++references_; }
  STDMETHODIMP_(ULONG) Release() override {
    check();
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* n) override { return disp_->GetTypeInfoCount(n); }
  STDMETHODIMP GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override {
    return disp_->GetTypeInfo(i, l, t);
  }
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT n, LCID l, DISPID* ids) override {
    return disp_->GetIDsOfNames(iid, names, n, l, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* error) override {
    reading(id);
    return disp_->Invoke(id, iid, lcid, flags, params, result, exception, error);
  }

  // IPicture
  STDMETHODIMP get_Handle(OLE_HANDLE* h) override {
    return reading(DISPID_PICT_HANDLE), picture_->get_Handle(h);
  }
  STDMETHODIMP get_hPal(OLE_HANDLE* p) override { return picture_->get_hPal(p); }
  STDMETHODIMP get_Type(SHORT* type) override {
    return reading(DISPID_PICT_TYPE), picture_->get_Type(type);
  }
  STDMETHODIMP get_Width(OLE_XSIZE_HIMETRIC* width) override {
    return reading(DISPID_PICT_WIDTH), picture_->get_Width(width);
  }
  STDMETHODIMP get_Height(OLE_YSIZE_HIMETRIC* height) override {
    return reading(DISPID_PICT_HEIGHT), picture_->get_Height(height);
  }
  STDMETHODIMP Render(HDC dc, LONG x, LONG y, LONG cx, LONG cy, OLE_XPOS_HIMETRIC x_src,
                      OLE_YPOS_HIMETRIC y_src, OLE_XSIZE_HIMETRIC cx_src, OLE_YSIZE_HIMETRIC cy_src,
                      LPCRECT bounds) override {
    reading(DISPID_PICT_RENDER);
    return picture_->Render(dc, x, y, cx, cy, x_src, y_src, cx_src, cy_src, bounds);
  }
  STDMETHODIMP set_hPal(OLE_HANDLE palette) override { return picture_->set_hPal(palette); }
  STDMETHODIMP get_CurDC(HDC* dc) override { return picture_->get_CurDC(dc); }
  STDMETHODIMP SelectPicture(HDC in, HDC* out, OLE_HANDLE* b) override {
    return picture_->SelectPicture(in, out, b);
  }
  STDMETHODIMP get_KeepOriginalFormat(BOOL* k) override {
    return picture_->get_KeepOriginalFormat(k);
  }
  STDMETHODIMP put_KeepOriginalFormat(BOOL k) override {
    return picture_->put_KeepOriginalFormat(k);
  }
  STDMETHODIMP PictureChanged() override { return picture_->PictureChanged(); }
  STDMETHODIMP SaveAsFile(IStream* s, BOOL save_memory, LONG* size) override {
    return picture_->SaveAsFile(s, save_memory, size);
  }
  STDMETHODIMP get_Attributes(DWORD* a) override { return picture_->get_Attributes(a); }

 private:
  static std::set<const void*>& live() {
    static std::set<const void*> objects;
    return objects;
  }
  void check() const {
    if (!live().count(this)) reached_after_release = true;
  }
  // Runs the call-back on the first read of the trigger; the picture is then
  // checked again, since the call-back may have released it.
  void reading(DISPID id) {
    check();
    if (id != trigger_ || !call_back_) return;
    std::function<void()> call_back = std::exchange(call_back_, nullptr);
    call_back();
    check();
  }

  ComPtr<IPictureDisp> disp_;
  ComPtr<IPicture> picture_;
  DISPID trigger_;
  std::function<void()> call_back_;
  ULONG references_ = 1;
};
bool CallingBackPicture::reached_after_release = false;

class Painting : public ::testing::Test {
 protected:
  void SetUp() override {
    control = create_control();
    ASSERT_TRUE(control);
    auto persist = stream_persist(control.get());
    ASSERT_TRUE(persist);
    ASSERT_EQ(persist->InitNew(), S_OK);
  }
  // Every pixel of the control's view, 200 x 25 pixels, as a container
  // draws it, row by row.
  std::vector<COLORREF> view() {
    DibCanvas canvas(200, 25, RGB(1, 2, 3));
    RECTL bounds{0, 0, 200, 25};
    EXPECT_EQ(control.query<IViewObject>(IID_IViewObject)
                  ->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds,
                         nullptr, nullptr, 0),
              S_OK);
    return canvas.pixels();
  }
  COLORREF view_pixel(int x, int y) { return view()[y * 200 + x]; }
  ComPtr<IDispatch> control;
};

TEST_F(Painting, AnIconPictureATopAlignedHeaderAndADeletedPressedColumnPaint) {
  // An icon column picture is stored as a bitmap on magenta and shows with
  // its magenta part left out: the column's background shows through at
  // the picture's left half.
  auto icon = make_icon_picture(16, 16, [](int x, int) -> std::optional<COLORREF> {
    if (x < 8) return std::nullopt;
    return RGB(0, 0, 170);
  });
  put_ref(control.get(), id::RowPicture, {vlong(1)}, icon.get());
  Variant stored = get(control.get(), id::RowPicture, {vlong(1)});
  ASSERT_EQ(stored.vt(), VT_DISPATCH);
  EXPECT_EQ(picture_type(static_cast<IPictureDisp*>(V_DISPATCH(stored.get()))), PICTYPE_BITMAP);
  EXPECT_EQ(view_pixel(2 + 4 + 12, 12), RGB(0, 0, 170));
  EXPECT_EQ(view_pixel(2 + 4 + 2, 12), RGB(249, 250, 253));

  // Only a top-aligned header is painted.
  EXPECT_EQ(view_pixel(150, 10), RGB(224, 223, 227));  // BackColorForm right of column 1
  put(control.get(), id::BackColorForm, {}, vlong(RGB(200, 0, 0)));
  EXPECT_EQ(view_pixel(150, 10), RGB(200, 0, 0));
  put(control.get(), id::Alignment, {}, vlong(tessel::reg_Bottom));
  put(control.get(), id::BackColorForm, {}, vlong(RGB(0, 0, 200)));
  call(control.get(), id::DrawTab);
  EXPECT_EQ(view_pixel(150, 10), RGB(200, 0, 0));
  put(control.get(), id::Alignment, {}, vlong(tessel::reg_Top));
  EXPECT_EQ(view_pixel(150, 10), RGB(0, 0, 200));
  // A system colour is read back as its RGB value after that pass.
  put(control.get(), id::BackColor, {}, vlong(static_cast<LONG>(0x8000000Fu)));
  EXPECT_EQ(static_cast<COLORREF>(as_long(get(control.get(), id::BackColor))),
            GetSysColor(COLOR_BTNFACE));

  // Deleting the pressed and sorted column leaves the header usable.
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

// A column picture's code may change the columns while a pass reads the
// picture's size or handle: here it deletes columns (leaving their records)
// or deletes and adds them (freeing the picture's own record, and with it
// the last reference to the picture). The pass must neither touch what was
// freed nor paint the columns that are gone: what it leaves on the surface
// is what a repaint of the columns as they are now shows.
TEST_F(Painting, APictureThatChangesTheColumnsWhileItIsReadLeavesACorrectPainting) {
  auto real = make_bitmap_picture(16, 16, [](int, int) { return RGB(0, 0, 170); });
  ComPtr<tessel::_TesselControl> dual;  // the control of the case at hand
  auto delete_two = [&] {
    VARIANT ignored;
    dual->DeleteRow(&ignored);
    dual->DeleteRow(&ignored);
  };
  auto delete_two_add_one = [&] {
    delete_two();
    LONG width = 40, index = 0;
    BSTR text = SysAllocString(L"Neu");
    IPictureDisp* none = nullptr;
    dual->AddRow(&width, &text, &none, &index);
    SysFreeString(text);
  };
  const struct {
    const char* name;
    DISPID trigger;
    std::function<void()> call_back;
    LONG columns_after;
  } cases[] = {{"width, delete", DISPID_PICT_WIDTH, delete_two, 1},
               {"handle, delete", DISPID_PICT_HANDLE, delete_two, 1},
               {"width, delete and add", DISPID_PICT_WIDTH, delete_two_add_one, 2},
               {"handle, delete and add", DISPID_PICT_HANDLE, delete_two_add_one, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    dual = control.query<tessel::_TesselControl>(tessel::IID__TesselControl);
    ASSERT_TRUE(dual);
    CallingBackPicture::reached_after_release = false;
    for (int i = 0; i < 2; ++i) call(control.get(), id::AddRow, {vlong(40), vstr(L"Spalte")});
    // Column 3 gets the picture; only the control keeps a reference to it.
    auto* picture = new CallingBackPicture(real.get(), c.trigger);
    put_ref(control.get(), id::RowPicture, {vlong(3)}, static_cast<IPictureDisp*>(picture));
    picture->arm(c.call_back);
    picture->Release();
    ASSERT_EQ(invoke(control.get(), id::DrawTab, DISPATCH_METHOD, {}), S_OK);
    EXPECT_FALSE(CallingBackPicture::reached_after_release);
    EXPECT_TRUE(process_heaps_valid());
    EXPECT_EQ(as_long(get(control.get(), id::NumberOfRows)), c.columns_after);
    const std::vector<COLORREF> left_behind = view();
    call(control.get(), id::DrawTab);
    EXPECT_TRUE(left_behind == view()) << "the pass painted columns that are gone";
    // Right of the last column the form colour shows, and no picture.
    EXPECT_EQ(view_pixel(190, 12), RGB(224, 223, 227));
    EXPECT_FALSE(CallingBackPicture::reached_after_release);
  }
}

}  // namespace
}  // namespace tessel_test
