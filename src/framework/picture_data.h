// The data an OLE picture object's IPersistStream writes for a bitmap, and
// reads back: "lt\0\0", the length of what follows, and a Windows bitmap
// file (24 bits per pixel here).
//
// It is written here rather than by the object, because Wine's picture
// writes bitmaps of 16 and 32 bits per pixel as BI_BITFIELDS without the
// colour masks, which nothing reads back right (its own reader neither), and
// leaves three GDI objects behind for every picture it has saved.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <optional>
#include <vector>

namespace framework {

// The data of a bitmap picture; nullopt for a picture of another type and
// for an object that is no picture. Throws ControlError (481) when the
// bitmap cannot be read.
std::optional<std::vector<BYTE>> bitmap_picture_data(IUnknown* object);

}  // namespace framework
