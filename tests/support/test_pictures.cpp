#include "support/test_pictures.h"

#include "render/test_images.h"

namespace tessel_test {

framework::ComPtr<IPictureDisp> make_bitmap_picture(int width, int height, COLORREF color) {
  return make_bitmap_picture(width, height, [color](int, int) { return color; });
}

}  // namespace tessel_test
