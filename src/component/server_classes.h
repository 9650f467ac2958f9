// The classes this server registers and creates.
#pragma once

#include "framework/server_registration.h"

namespace tessel {

inline constexpr int kToolboxBitmap = 30000;

// The control first, then the property pages.
const framework::ServerClass* server_classes(size_t* count);

}  // namespace tessel
