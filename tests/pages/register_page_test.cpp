// The columns page in Wine's property frame: stepping through the columns,
// the apply-on-leave rule, adding and deleting, the caption and width rules,
// and pictures chosen through the file dialog.
#include <gtest/gtest.h>

#include "pages/page_test_support.h"
#include "pages/register_page.h"
#include "support/test_pictures.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

using tessel::RegisterPage;
namespace dispid = tessel::dispid;

// A control with the columns A (60), B (70) and C (80).
ComPtr<IDispatch> three_columns() {
  auto control = new_control();
  call(control.get(), dispid::AddRow, {vlong(70), vstr(L"B")});
  call(control.get(), dispid::AddRow, {vlong(80), vstr(L"C")});
  put(control.get(), dispid::RowCaption, {vlong(1)}, vstr(L"A"));
  return control;
}

LONG columns(IDispatch* control) { return as_long(get(control, dispid::NumberOfRows)); }
std::wstring caption(IDispatch* control, LONG index) {
  return as_string(get(control, dispid::RowCaption, {vlong(index)}));
}
LONG width(IDispatch* control, LONG index) {
  return as_long(get(control, dispid::RowWidth, {vlong(index)}));
}
ComPtr<IPictureDisp> picture(IDispatch* control, LONG index) {
  Variant value = get(control, dispid::RowPicture, {vlong(index)});
  if (value.vt() != VT_DISPATCH || !V_DISPATCH(value.get())) return nullptr;
  return ComPtr<IDispatch>(V_DISPATCH(value.get())).query<IPictureDisp>(IID_IPictureDisp);
}

class Fields {
 public:
  explicit Fields(RegisterPage* page) : page_(page) {}
  HWND operator()(int id) const { return GetDlgItem(page_ ? page_->window() : nullptr, id); }
  std::wstring index() const { return text_of((*this)(RegisterPage::kTxtIndex)); }
  std::wstring caption() const { return text_of((*this)(RegisterPage::kTxtCaption)); }
  std::wstring width() const { return text_of((*this)(RegisterPage::kTxtWidth)); }
  void scroll(int code) const {
    SendMessageW(page_->window(), WM_HSCROLL, MAKEWPARAM(code, 0),
                 reinterpret_cast<LPARAM>((*this)(RegisterPage::kHsb)));
  }
  int scroll_maximum() const {
    int minimum = 0;
    int maximum = 0;
    GetScrollRange((*this)(RegisterPage::kHsb), SB_CTL, &minimum, &maximum);
    return maximum;
  }

 private:
  RegisterPage* page_;
};

TEST(RegisterPage, StepsThroughTheColumnsAndAppliesPendingEditsToTheColumnLeft) {
  LinkedPages pages;
  HostedControl hosted;
  auto control = hosted.control();
  call(control.get(), dispid::AddRow, {vlong(70), vstr(L"B")});
  call(control.get(), dispid::AddRow, {vlong(80), vstr(L"C")});
  run_property_frame({control.get()}, {tessel::CLSID_Register}, [&] {
    auto* page = pages.last<RegisterPage>();
    ASSERT_NE(page, nullptr);
    Fields f(page);
    EXPECT_EQ(f.index(), L"1");
    EXPECT_EQ(f.width(), L"60");
    EXPECT_EQ(f.scroll_maximum(), 3);
    EXPECT_EQ(page->current_index(), 1);

    f.scroll(SB_LINERIGHT);
    EXPECT_EQ(f.index(), L"2");
    EXPECT_EQ(f.caption(), L"B");
    EXPECT_EQ(f.width(), L"70");
    type_text(f(RegisterPage::kTxtCaption), L"Name");
    type_text(f(RegisterPage::kTxtWidth), L"90");
    f.scroll(SB_LINERIGHT);  // no Apply: the edits go to column 2
    EXPECT_EQ(caption(control.get(), 2), L"Name");
    EXPECT_EQ(width(control.get(), 2), 90);
    EXPECT_EQ(caption(control.get(), 3), L"C");
    EXPECT_EQ(width(control.get(), 3), 80);
    EXPECT_EQ(f.caption(), L"C");

    f.scroll(SB_LINERIGHT);  // already at the last column
    EXPECT_EQ(f.index(), L"3");
    f.scroll(SB_LEFT);
    EXPECT_EQ(f.index(), L"1");
  });
}

TEST(RegisterPage, ApplyWritesASpaceForNoCaptionAndSixtyForNoWidth) {
  LinkedPages pages;
  auto control = three_columns();
  const std::wstring sign = decimal_sign();
  run_property_frame({control.get()}, {tessel::CLSID_Register}, [&] {
    auto* page = pages.last<RegisterPage>();
    ASSERT_NE(page, nullptr);
    Fields f(page);
    type_text(f(RegisterPage::kTxtCaption), L"");
    type_text(f(RegisterPage::kTxtWidth), L"");
    page->Apply();
    EXPECT_EQ(caption(control.get(), 1), L" ");
    EXPECT_EQ(width(control.get(), 1), 60);
    EXPECT_EQ(f.width(), L"60");

    // The locale's number rules, halves to the even neighbour.
    type_text(f(RegisterPage::kTxtWidth), L"12" + sign + L"5");
    page->Apply();
    EXPECT_EQ(width(control.get(), 1), 12);
    type_text(f(RegisterPage::kTxtWidth), L"13" + sign + L"5");
    page->Apply();
    EXPECT_EQ(width(control.get(), 1), 14);
    // A width that is no number is not written; the caption still is.
    type_text(f(RegisterPage::kTxtWidth), L"breit");
    type_text(f(RegisterPage::kTxtCaption), L"Neu");
    page->Apply();
    EXPECT_EQ(width(control.get(), 1), 14);
    EXPECT_EQ(caption(control.get(), 1), L"Neu");
  });
}

TEST(RegisterPage, AddingSavesTheShownColumnAndMovesToTheNewOne) {
  LinkedPages pages;
  auto control = three_columns();
  run_property_frame({control.get()}, {tessel::CLSID_Register}, [&] {
    auto* page = pages.last<RegisterPage>();
    ASSERT_NE(page, nullptr);
    Fields f(page);
    type_text(f(RegisterPage::kTxtCaption), L"Erste");
    click(f(RegisterPage::kCmdAddTab));
    EXPECT_EQ(columns(control.get()), 4);
    EXPECT_EQ(caption(control.get(), 1), L"Erste");
    EXPECT_EQ(f.index(), L"4");
    EXPECT_EQ(f.scroll_maximum(), 4);
    EXPECT_EQ(page->current_index(), 4);
    EXPECT_EQ(f.caption(), caption(control.get(), 4));
    EXPECT_EQ(f.width(), L"60");
    EXPECT_EQ(page->IsPageDirty(), S_OK);
    type_text(f(RegisterPage::kTxtCaption), L"Vierte");
    page->Apply();
    EXPECT_EQ(caption(control.get(), 4), L"Vierte");
  });
}

TEST(RegisterPage, DeletingRemovesTheLastColumnWhicheverIsShown) {
  LinkedPages pages;
  auto control = three_columns();
  run_property_frame({control.get()}, {tessel::CLSID_Register}, [&] {
    auto* page = pages.last<RegisterPage>();
    ASSERT_NE(page, nullptr);
    Fields f(page);
    click(f(RegisterPage::kCmdDelete));  // column 1 shown
    EXPECT_EQ(columns(control.get()), 2);
    EXPECT_EQ(caption(control.get(), 1), L"A");
    EXPECT_EQ(caption(control.get(), 2), L"B");
    EXPECT_EQ(f.scroll_maximum(), 2);

    // Showing the last column: the scroll bar follows the count down and
    // the page shows the new last column.
    f.scroll(SB_RIGHT);
    EXPECT_EQ(f.index(), L"2");
    page->Apply();
    click(f(RegisterPage::kCmdDelete));
    EXPECT_EQ(columns(control.get()), 1);
    EXPECT_EQ(f.index(), L"1");
    EXPECT_EQ(f.caption(), L"A");

    // The control keeps its last column.
    click(f(RegisterPage::kCmdDelete));
    EXPECT_EQ(columns(control.get()), 1);
    EXPECT_EQ(page->IsPageDirty(), S_OK);
  });
}

TEST(RegisterPage, CancelLeavesTheColumnsAsTheyWere) {
  LinkedPages pages;
  auto control = three_columns();
  FileDialogAnswer cancelled(std::nullopt);
  run_property_frame({control.get()}, {tessel::CLSID_Register}, [&] {
    auto* page = pages.last<RegisterPage>();
    ASSERT_NE(page, nullptr);
    Fields f(page);
    type_text(f(RegisterPage::kTxtCaption), L"X");
    type_text(f(RegisterPage::kTxtWidth), L"99");
    click(f(RegisterPage::kCmdDel));
  });
  EXPECT_EQ(columns(control.get()), 3);
  EXPECT_EQ(caption(control.get(), 1), L"A");
  EXPECT_EQ(width(control.get(), 1), 60);
}

TEST(RegisterPage, RemovingThePictureTakesEffectOnApply) {
  LinkedPages pages;
  auto control = three_columns();
  auto bitmap = make_bitmap_picture(8, 8, RGB(0, 128, 0));
  VARIANT value;
  V_VT(&value) = VT_DISPATCH;
  V_DISPATCH(&value) = bitmap.get();
  bitmap->AddRef();
  ASSERT_EQ(invoke(control.get(), dispid::RowPicture, DISPATCH_PROPERTYPUTREF, {vlong(1), value}),
            S_OK);
  run_property_frame({control.get()}, {tessel::CLSID_Register}, [&] {
    auto* page = pages.last<RegisterPage>();
    ASSERT_NE(page, nullptr);
    EXPECT_NE(page->tab_picture(), nullptr);
    page->Apply();
    click(Fields(page)(RegisterPage::kCmdDel));
    EXPECT_EQ(page->tab_picture(), nullptr);
    EXPECT_EQ(page->IsPageDirty(), S_OK);
    EXPECT_TRUE(picture(control.get(), 1)) << "not before Apply";
    page->Apply();
    EXPECT_FALSE(picture(control.get(), 1));
  });
}

TEST(RegisterPage, IconFilesOfAnyCaseBecomeBitmapsOverMagenta) {
  LinkedPages pages;
  auto control = three_columns();
  TempFile icon(L"PAGE TEST.ICO", icon_file_bytes());
  TempFile lower(L"page test.ico", icon_file_bytes());
  TempFile bitmap(L"page test.bmp", bitmap_file_bytes(RGB(0, 0, 255)));
  run_property_frame({control.get()}, {tessel::CLSID_Register}, [&] {
    auto* page = pages.last<RegisterPage>();
    ASSERT_NE(page, nullptr);
    HWND open = Fields(page)(RegisterPage::kCmdOpenDlg);
    for (const TempFile* file : {&icon, &lower}) {
      FileDialogAnswer chosen(file->ansi_path());
      page->Apply();
      click(open);
      ASSERT_EQ(chosen.calls(), 1);
      // Loaded straight from the file the picture would be an icon.
      EXPECT_EQ(picture_type(page->tab_picture()), PICTYPE_BITMAP)
          << testing::PrintToString(file->path());
      EXPECT_EQ(page->IsPageDirty(), S_OK);
    }
    {
      FileDialogAnswer chosen(bitmap.ansi_path());
      click(open);
      EXPECT_EQ(picture_type(page->tab_picture()), PICTYPE_BITMAP);
    }
    {
      // Cancelling changes nothing, the Changed flag included.
      FileDialogAnswer cancelled(std::nullopt);
      page->Apply();
      IPictureDisp* before = page->tab_picture();
      click(open);
      EXPECT_EQ(cancelled.calls(), 1);
      EXPECT_EQ(page->tab_picture(), before);
      EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    }
    FileDialogAnswer chosen(icon.ansi_path());
    click(open);
    page->Apply();
  });
  // The column holds the icon's pixels over magenta: the top-left quarter
  // of the icon is transparent.
  auto stored = picture(control.get(), 1);
  ASSERT_TRUE(stored);
  EXPECT_EQ(picture_type(stored.get()), PICTYPE_BITMAP);
  OLE_HANDLE handle = 0;
  ASSERT_EQ(ComPtr<IPictureDisp>(stored).query<IPicture>(IID_IPicture)->get_Handle(&handle), S_OK);
  framework::MemoryDc dc;
  framework::Selection selection(dc.get(),
                                 reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)));
  EXPECT_EQ(GetPixel(dc.get(), 2, 2), RGB(255, 0, 255));
  EXPECT_EQ(GetPixel(dc.get(), 12, 12), RGB(255, 0, 0));
}

TEST(RegisterPage, PictureFilesThatFailToLoadAreReportedAndNotShown) {
  LinkedPages pages;
  auto control = three_columns();
  MessageBoxes boxes;
  TempFile broken(L"page test broken.bmp", {'B', 'M', 'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'});
  run_property_frame({control.get()}, {tessel::CLSID_Register}, [&] {
    auto* page = pages.last<RegisterPage>();
    ASSERT_NE(page, nullptr);
    HWND open = Fields(page)(RegisterPage::kCmdOpenDlg);
    page->Apply();
    {
      FileDialogAnswer chosen(broken.ansi_path());
      click(open);
    }
    ASSERT_EQ(boxes.calls().size(), 1u);
    EXPECT_EQ(boxes.calls()[0].text, L"Ungültiges Bild");
    EXPECT_EQ(boxes.calls()[0].title, L"Bild einfügen");
    EXPECT_EQ(boxes.calls()[0].style, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(page->tab_picture(), nullptr);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    {
      FileDialogAnswer chosen("Z:\\no such folder\\missing.bmp");
      click(open);
    }
    ASSERT_EQ(boxes.calls().size(), 2u);
    EXPECT_EQ(boxes.calls()[1].text, L"53\r\nFile not found");
    EXPECT_EQ(boxes.calls()[1].style, static_cast<UINT>(MB_OK));
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
  });
}

}  // namespace
}  // namespace tessel_test
