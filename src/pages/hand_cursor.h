// The pointing hand shown over the about box's links: a 32 x 32 monochrome
// cursor whose hot spot is the fingertip.
#pragma once

#include <windows.h>

#include "framework/user_handles.h"

namespace tessel {

inline constexpr POINT kHandHotSpot{12, 2};

framework::Cursor make_hand_cursor();

}  // namespace tessel
