// cImageManipulation: paints a block or an OLE picture onto a DC so that the
// pixels of one colour, the mask colour, stay transparent.
//
// The work happens in memory DCs compatible with the screen: a monochrome
// mask is cut from the source, the source's transparent pixels are cleared,
// the destination block is holed where the source is opaque, the two are
// merged, and the destination is written exactly once by the final copy.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "framework/gdi.h"

namespace tessel {

// Reading an OLE picture's properties through its dispatch interface. Each
// throws framework::ControlError when the picture refuses the property.
namespace picture_properties {
SHORT type(IPictureDisp* picture);  // PICTYPE_NONE, _BITMAP, _METAFILE, _ICON, ...
HANDLE handle(IPictureDisp* picture);
// Width and height in HIMETRIC (1/100 mm).
SIZEL himetric_size(IPictureDisp* picture);
}  // namespace picture_properties

class cImageManipulation {
 public:
  // Creates the halftone palette from a DC of the whole screen.
  cImageManipulation();
  cImageManipulation(const cImageManipulation&) = delete;
  cImageManipulation& operator=(const cImageManipulation&) = delete;

  // Copies the Width × Height block at (xSrc, ySrc) of hdcSrc to (xDest,
  // yDest) of hDCDest; the source pixels equal to clrMask (translated with
  // hPal, or with the halftone palette when hPal is nullptr) leave the
  // destination as it was. Only the part of the block inside hDCDest's
  // clipping box is worked on: every pixel is composed on its own, so the
  // result is the same as for the whole block, at the cost of what shows.
  void PaintTransparentDC(HDC hDCDest, LONG xDest, LONG yDest, LONG Width, LONG Height, HDC hdcSrc,
                          LONG xSrc = 0, LONG ySrc = 0, OLE_COLOR clrMask = 0,
                          HPALETTE hPal = nullptr);

  // The same for a bitmap or icon picture. An icon is drawn at its own size
  // onto a Width × Height block of the mask colour first, so its transparent
  // pixels stay transparent too. nullptr or any other type of picture paints
  // nothing. Throws framework::ControlError when the picture's type or
  // handle cannot be read.
  void PaintTransparentPicture(HDC hDCDest, IPictureDisp* picSource, LONG xDest, LONG yDest,
                               LONG Width, LONG Height, LONG xSrc = 0, LONG ySrc = 0,
                               OLE_COLOR clrMask = 0, HPALETTE hPal = nullptr);

  // The same for a picture's type (PICTYPE_*) and handle read beforehand:
  // calls no code of the picture's, so a caller can read the properties,
  // check that what it paints still exists, and then paint.
  void PaintTransparentHandle(HDC hDCDest, SHORT type, HANDLE handle, LONG xDest, LONG yDest,
                              LONG Width, LONG Height, LONG xSrc = 0, LONG ySrc = 0,
                              OLE_COLOR clrMask = 0, HPALETTE hPal = nullptr);

  HPALETTE HalftonePalette() const { return halftone_palette_.get(); }

 private:
  HPALETTE palette_or_halftone(HPALETTE palette) const {
    return palette ? palette : halftone_palette_.get();
  }

  framework::GdiObject<HPALETTE> halftone_palette_;
};

}  // namespace tessel
