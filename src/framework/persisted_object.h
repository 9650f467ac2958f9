// Fonts and pictures as bytes: the class identifier followed by the data
// the object's own IPersistStream writes and reads (for bitmap and metafile
// pictures that data is made by picture_data.h, in the same form). Only the
// platform's font and picture classes are accepted either way, so that
// loaded bytes can make no other kind of object.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <span>
#include <vector>

#include "framework/com_ptr.h"

namespace framework {

// The bytes of a font or picture object. Throws ControlError: 13 for an
// object of another class, or the object's own failure to save.
std::vector<BYTE> save_object(IUnknown* object);

// A new font or picture made from bytes that save_object wrote, as its
// IDispatch. Throws ControlError (13) for another class, or for bytes the
// object refuses. The object reads only the bytes it is given.
ComPtr<IDispatch> load_object(std::span<const BYTE> bytes);

}  // namespace framework
