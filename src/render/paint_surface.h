// What the header painter needs of the surface it paints on.
#pragma once

#include <windows.h>

namespace tessel {

class PaintSurface {
 public:
  virtual ~PaintSurface() = default;
  // The retained image's device context; its font is the control's font.
  virtual HDC dc() = 0;
  // (0, 0, client width, client height) in pixels.
  virtual RECT client_rect() = 0;
  // Fills the retained image with the surface's background colour.
  virtual void clear() = 0;
  // Asks for a new control height; may repaint (re-entering the painter)
  // before it returns.
  virtual void set_height_twips(float twips) = 0;
  // Shows the retained image on screen.
  virtual void refresh() = 0;
};

}  // namespace tessel
