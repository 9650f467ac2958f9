#include "sample_picture.h"

#include "demo_error.h"
#include "framework/gdi.h"

namespace demo {

namespace {

void fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  RECT r{left, top, right, bottom};
  framework::GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
  FillRect(dc, &r, brush.get());
}

}  // namespace

OwnedBitmap draw_page_bitmap() {
  framework::WindowDc screen(nullptr);
  OwnedBitmap bitmap(CreateCompatibleBitmap(screen.get(), kPictureSize, kPictureSize));
  framework::MemoryDc dc(screen.get());
  if (!bitmap || !dc) throw DemoError(L"drawing the column picture failed");
  framework::Selection selected(dc.get(), bitmap.get());
  const COLORREF outline = RGB(96, 104, 128);
  const COLORREF paper = RGB(255, 255, 255);
  fill(dc.get(), 0, 0, kPictureSize, kPictureSize, kPictureMask);
  // A page with a folded top right corner and four lines of text.
  fill(dc.get(), 2, 1, 11, 15, outline);
  fill(dc.get(), 3, 2, 10, 14, paper);
  fill(dc.get(), 10, 4, 14, 15, outline);
  fill(dc.get(), 10, 5, 13, 14, paper);
  fill(dc.get(), 10, 1, 11, 5, outline);
  fill(dc.get(), 11, 2, 12, 3, outline);
  fill(dc.get(), 12, 3, 13, 4, outline);
  for (int y = 6; y <= 12; y += 2) {
    fill(dc.get(), 5, y, y == 12 ? 9 : 12, y + 1, RGB(64, 112, 200));
  }
  return bitmap;
}

framework::ComPtr<IPictureDisp> page_picture() {
  OwnedBitmap bitmap = draw_page_bitmap();
  PICTDESC description{};
  description.cbSizeofstruct = sizeof(description);
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = bitmap.get();
  framework::ComPtr<IPictureDisp> picture;
  check(OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, picture.put_void()),
        L"OleCreatePictureIndirect");
  bitmap.release();  // the picture deletes it
  return picture;
}

}  // namespace demo
