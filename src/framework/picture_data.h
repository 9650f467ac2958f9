// Pictures as bytes, and pictures a container can keep.
//
// picture_data makes the data an OLE picture object's IPersistStream writes
// and reads back: "lt\0\0", the length of what follows, and
//   - for a bitmap, a Windows bitmap file (24 bits per pixel here);
//   - for a metafile, a placeable metafile: its 22-byte header (with the
//     picture's size in HIMETRIC as the bounding box, 2540 units to the
//     inch) and the metafile's bits;
//   - for an enhanced metafile, its bits as they are.
// The picture object reads all three back into a picture of the same type
// and size.
//
// They are written here rather than by the object, because Wine's picture
// writes bitmaps of 16 and 32 bits per pixel as BI_BITFIELDS without the
// colour masks, which nothing reads back right (its own reader neither),
// leaves three GDI objects behind for every picture it has saved, and does
// not save metafiles at all.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <optional>
#include <span>
#include <vector>

#include "framework/com_ptr.h"

namespace framework {

// The data of a bitmap, metafile or enhanced metafile picture; nullopt for a
// picture of another type and for an object that is no picture. Throws
// ControlError (481) when the picture's image or size cannot be read.
std::optional<std::vector<BYTE>> picture_data(IUnknown* object);

// What a container is handed to keep in its property bag in place of
// object: nullptr when object can go as it is, else (a metafile picture
// whose own IPersistStream refuses to save it, as Wine's does) a new bitmap
// picture of its size in pixels that shows it drawn over RGB(255, 0, 255),
// the colour that column pictures take as transparent. Throws ControlError
// when the picture cannot be drawn.
ComPtr<IPictureDisp> container_replacement(IUnknown* object);

// Whether data (a picture's data as above, or a file as it is) holds a
// Windows bitmap file that ends before its headers, its colour table or
// (uncompressed) its pixels do. The platform's picture reader is not handed
// such data: Wine's reads on past the end of its buffer and makes a picture
// of whatever lies there.
bool cut_short_bitmap(std::span<const BYTE> data);

}  // namespace framework
