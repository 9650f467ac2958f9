#include "framework/picture_data.h"

#include <objidl.h>
#include <olectl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "framework/byte_codec.h"
#include "framework/error.h"
#include "framework/gdi.h"
#include "framework/units.h"

namespace framework {

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr LONG kLargestShort = 0x7FFF;

template <class Handle>
Handle handle_of(IPicture* picture) {
  OLE_HANDLE handle = 0;
  if (FAILED(picture->get_Handle(&handle))) raise_error(error_number::kInvalidPicture);
  return reinterpret_cast<Handle>(static_cast<UINT_PTR>(handle));
}

SIZEL himetric_size(IPicture* picture) {
  SIZEL size{};
  if (FAILED(picture->get_Width(&size.cx)) || FAILED(picture->get_Height(&size.cy))) {
    raise_error(error_number::kInvalidPicture);
  }
  return size;
}

// The stream's frame around a picture's own data.
std::vector<BYTE> framed(std::span<const BYTE> data) {
  if (data.size() > 0x7FFFFFFFu) raise_error(error_number::kOutOfMemory);
  ByteWriter out;
  out.bytes(std::vector<BYTE>{'l', 't', 0, 0});
  out.u32(static_cast<uint32_t>(data.size()));
  out.bytes(data);
  return out.take();
}

// The file in a picture's data: what follows "lt\0\0" and the length, as far
// as both go, or the data itself without that frame (the platform's picture
// reads both).
std::span<const BYTE> framed_file(std::span<const BYTE> data) {
  ByteReader frame(data);
  uint32_t magic = 0, length = 0;
  if (!frame.u32(magic) || magic != ('l' | 't' << 8) || !frame.u32(length)) return data;
  return data.subspan(frame.position(), std::min<size_t>(length, frame.left()));
}

// A bottom-up bitmap of 24 bits per pixel.
BITMAPINFO rgb24_format(LONG width, LONG height) {
  BITMAPINFO format{};
  format.bmiHeader = dib_header(width, height, 24);
  return format;
}

std::vector<BYTE> bitmap_file(HBITMAP bitmap) {
  BITMAP info{};
  if (!GetObjectW(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) {
    raise_error(error_number::kInvalidPicture);
  }
  const uint64_t stride = (static_cast<uint64_t>(info.bmWidth) * 3 + 3) & ~uint64_t{3};
  const uint64_t image_size = stride * static_cast<uint64_t>(info.bmHeight);
  constexpr uint32_t kHeaders = 14 + 40;  // BITMAPFILEHEADER, BITMAPINFOHEADER
  if (image_size > 0x7FFFFFFFu - kHeaders) raise_error(error_number::kOutOfMemory);
  std::vector<BYTE> pixels(static_cast<size_t>(image_size));
  BITMAPINFO format = rgb24_format(info.bmWidth, info.bmHeight);
  int rows = 0;
  {
    WindowDc screen(nullptr);
    rows = GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(),
                     &format, DIB_RGB_COLORS);
  }
  if (rows != info.bmHeight) raise_error(error_number::kInvalidPicture);

  const uint32_t file_size = kHeaders + static_cast<uint32_t>(image_size);
  ByteWriter out;
  out.bytes(std::vector<BYTE>{'B', 'M'});
  out.u32(file_size);
  out.u32(0);  // reserved
  out.u32(kHeaders);
  out.u32(40);
  out.u32(static_cast<uint32_t>(info.bmWidth));
  out.u32(static_cast<uint32_t>(info.bmHeight));
  out.u16(1);   // planes
  out.u16(24);  // bits per pixel
  out.u32(BI_RGB);
  out.u32(static_cast<uint32_t>(image_size));
  out.u32(0);  // pixels per metre, x and y
  out.u32(0);
  out.u32(0);  // colours used, important
  out.u32(0);
  out.bytes(pixels);
  return out.take();
}

// The bounding box of a placeable metafile holds signed 16-bit lengths in
// units of its own choosing. HIMETRIC itself (2540 to the inch) keeps the
// size exact; a picture too large for that takes the finest coarser unit
// that divides an inch evenly, and one larger than 32767 inches is cut to
// that size.
struct PlaceableBox {
  uint16_t units_per_inch;
  int16_t right;
  int16_t bottom;
};

PlaceableBox placeable_box(SIZEL himetric) {
  const int64_t width = std::max<int64_t>(himetric.cx, 0);
  const int64_t height = std::max<int64_t>(himetric.cy, 0);
  for (int64_t divisor : {1, 2, 4, 5, 10, 20, 127, 254, 508, 635, 1270, 2540}) {
    int64_t right = (width + divisor / 2) / divisor;
    int64_t bottom = (height + divisor / 2) / divisor;
    if (divisor == 2540) {
      right = std::min<int64_t>(right, kLargestShort);
      bottom = std::min<int64_t>(bottom, kLargestShort);
    }
    if (right <= kLargestShort && bottom <= kLargestShort) {
      return {static_cast<uint16_t>(2540 / divisor), static_cast<int16_t>(right),
              static_cast<int16_t>(bottom)};
    }
  }
  return {};  // not reached: the last divisor always returns
}

std::vector<BYTE> placeable_metafile(IPicture* picture) {
  const HMETAFILE metafile = handle_of<HMETAFILE>(picture);
  const PlaceableBox box = placeable_box(himetric_size(picture));
  const UINT size = GetMetaFileBitsEx(metafile, 0, nullptr);
  if (size == 0) raise_error(error_number::kInvalidPicture);
  std::vector<BYTE> bits(size);
  if (GetMetaFileBitsEx(metafile, size, bits.data()) != size) {
    raise_error(error_number::kInvalidPicture);
  }
  // The header's ten words before its checksum, which is their XOR.
  const uint16_t words[10] = {static_cast<uint16_t>(kPlaceableKey & 0xFFFF),
                              static_cast<uint16_t>(kPlaceableKey >> 16),
                              0,  // handle
                              0,  // left
                              0,  // top
                              static_cast<uint16_t>(box.right),
                              static_cast<uint16_t>(box.bottom),
                              box.units_per_inch,
                              0,  // reserved, two words
                              0};
  uint16_t checksum = 0;
  ByteWriter out;
  for (uint16_t word : words) {
    out.u16(word);
    checksum ^= word;
  }
  out.u16(checksum);
  out.bytes(bits);
  return out.take();
}

std::vector<BYTE> enhanced_metafile(IPicture* picture) {
  const HENHMETAFILE metafile = handle_of<HENHMETAFILE>(picture);
  const UINT size = GetEnhMetaFileBits(metafile, 0, nullptr);
  if (size == 0) raise_error(error_number::kInvalidPicture);
  std::vector<BYTE> bits(size);
  if (GetEnhMetaFileBits(metafile, size, bits.data()) != size) {
    raise_error(error_number::kInvalidPicture);
  }
  return bits;
}

SHORT type_of(IUnknown* object, ComPtr<IPicture>& picture) {
  SHORT type = PICTYPE_UNINITIALIZED;
  if (!object || FAILED(object->QueryInterface(IID_IPicture, picture.put_void())) ||
      FAILED(picture->get_Type(&type))) {
    return PICTYPE_UNINITIALIZED;
  }
  return type;
}

// Whether the picture's own IPersistStream saves it.
bool saves_itself(IPicture* picture) {
  ComPtr<IPersistStream> persist;
  ComPtr<IStream> scratch;
  return SUCCEEDED(picture->QueryInterface(IID_IPersistStream, persist.put_void())) &&
         SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, scratch.put())) &&
         SUCCEEDED(persist->Save(scratch.get(), FALSE));
}

// A metafile picture's size in HIMETRIC. An enhanced metafile's is its own
// frame, which is what the picture object reports for one (Wine's reports 0
// for a picture it was handed rather than read).
SIZEL metafile_size(IPicture* picture, SHORT type) {
  if (type != PICTYPE_ENHMETAFILE) return himetric_size(picture);
  ENHMETAHEADER header{};
  if (!GetEnhMetaFileHeader(handle_of<HENHMETAFILE>(picture), sizeof header, &header)) {
    raise_error(error_number::kInvalidPicture);
  }
  return {header.rclFrame.right - header.rclFrame.left,
          header.rclFrame.bottom - header.rclFrame.top};
}

// Plays a metafile picture over the whole of dc, which is size pixels large,
// as the picture object draws it: a metafile in a window of its HIMETRIC
// size, an enhanced metafile into the rectangle.
void play(IPicture* picture, SHORT type, HDC dc, SIZE size, SIZEL himetric) {
  if (type == PICTYPE_ENHMETAFILE) {
    const RECT all{0, 0, size.cx, size.cy};
    if (!PlayEnhMetaFile(dc, handle_of<HENHMETAFILE>(picture), &all)) {
      raise_error(error_number::kInvalidPicture);
    }
    return;
  }
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, himetric.cx, himetric.cy, nullptr);
  SetViewportExtEx(dc, size.cx, size.cy, nullptr);
  if (!PlayMetaFile(dc, handle_of<HMETAFILE>(picture))) {
    raise_error(error_number::kInvalidPicture);
  }
}

// The metafile picture drawn over the mask colour into a new 24-bit bitmap
// of its size in pixels (at least one by one): a bitmap of that depth is one
// the picture object saves and reads back right.
ComPtr<IPictureDisp> drawn_as_bitmap(IPicture* picture, SHORT type) {
  const SIZEL himetric = metafile_size(picture, type);
  const SIZE pixels = himetric_to_pixels(himetric);
  const SIZE size{std::max<LONG>(pixels.cx, 1), std::max<LONG>(pixels.cy, 1)};
  const BITMAPINFO format = rgb24_format(size.cx, size.cy);
  void* bits = nullptr;
  GdiObject<HBITMAP> bitmap(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) raise_error(error_number::kOutOfMemory);
  {
    MemoryDc dc;
    if (!dc) raise_error(error_number::kOutOfMemory);
    Selection selection(dc.get(), bitmap.get());
    GdiObject<HBRUSH> background(CreateSolidBrush(RGB(255, 0, 255)));
    const RECT all{0, 0, size.cx, size.cy};
    FillRect(dc.get(), &all, background.get());
    play(picture, type, dc.get(), size, himetric);
  }
  PICTDESC description{};
  description.cbSizeofstruct = sizeof description;
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = bitmap.get();
  ComPtr<IPictureDisp> result;
  check_hr(OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, result.put_void()));
  bitmap.release();  // the picture owns it now
  return result;
}

}  // namespace

std::optional<std::vector<BYTE>> picture_data(IUnknown* object) {
  ComPtr<IPicture> picture;
  switch (type_of(object, picture)) {
    case PICTYPE_BITMAP:
      return framed(bitmap_file(handle_of<HBITMAP>(picture.get())));
    case PICTYPE_METAFILE:
      return framed(placeable_metafile(picture.get()));
    case PICTYPE_ENHMETAFILE:
      return framed(enhanced_metafile(picture.get()));
    default:
      return std::nullopt;
  }
}

ComPtr<IPictureDisp> container_replacement(IUnknown* object) {
  ComPtr<IPicture> picture;
  const SHORT type = type_of(object, picture);
  if (type != PICTYPE_METAFILE && type != PICTYPE_ENHMETAFILE) return nullptr;
  if (saves_itself(picture.get())) return nullptr;
  return drawn_as_bitmap(picture.get(), type);
}

bool cut_short_bitmap(std::span<const BYTE> data) {
  const std::span<const BYTE> file = framed_file(data);
  if (file.size() < 2 || file[0] != 'B' || file[1] != 'M') return false;
  static_assert(sizeof(BITMAPFILEHEADER) == 14);
  BITMAPFILEHEADER head{};
  DWORD info_size = 0;
  if (file.size() < sizeof head + sizeof info_size) return true;
  std::memcpy(&head, file.data(), sizeof head);
  std::memcpy(&info_size, file.data() + sizeof head, sizeof info_size);
  if (info_size > file.size() - sizeof head) return true;
  BITMAPINFOHEADER info{};  // a 12-byte header's fields are copied into it
  size_t entry = sizeof(RGBQUAD);
  if (info_size == sizeof(BITMAPCOREHEADER)) {
    BITMAPCOREHEADER core{};
    std::memcpy(&core, file.data() + sizeof head, sizeof core);
    info.biWidth = core.bcWidth, info.biHeight = core.bcHeight, info.biBitCount = core.bcBitCount;
    entry = sizeof(RGBTRIPLE);
  } else if (info_size >= sizeof info) {
    std::memcpy(&info, file.data() + sizeof head, sizeof info);
  } else {
    return false;  // a header of another kind: the platform's reader judges it
  }
  // The colour table (and a 40-byte header's colour masks) and the pixels
  // of an uncompressed bitmap lie inside the file.
  uint64_t colours = 0;
  if (info.biBitCount >= 1 && info.biBitCount <= 8) {
    const DWORD most = 1u << info.biBitCount;
    colours = info.biClrUsed && info.biClrUsed < most ? info.biClrUsed : most;
  }
  const bool masks = info.biCompression == BI_BITFIELDS && info_size == sizeof info;
  const uint64_t table_end = sizeof head + info_size + (masks ? 12 : 0) + colours * entry;
  if (table_end > file.size()) return true;
  if (info.biCompression != BI_RGB && info.biCompression != BI_BITFIELDS) return false;
  // Rows are padded to whole DWORDs; some writers leave out the last row's
  // padding, which shows nothing.
  const uint64_t row =
      (static_cast<uint64_t>(std::abs(int64_t{info.biWidth})) * info.biBitCount + 7) / 8;
  const uint64_t rows = static_cast<uint64_t>(std::abs(int64_t{info.biHeight}));
  if (!rows) return false;
  return row > file.size() || head.bfOffBits + (row + 3) / 4 * 4 * (rows - 1) + row > file.size();
}

}  // namespace framework
