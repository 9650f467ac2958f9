// Access keys: the letters that captions mark with "&", collected in column
// order as the control's access-key string.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "control/control_state.h"

namespace tessel {

// The caption's access-key character in lower case, or "". Only the first two
// ampersand positions are examined; "&&" stands for a literal ampersand.
std::wstring fnc_AccessKeyOf(std::wstring_view caption);

// The access keys of columns 1..NumberOfRows, in order.
std::wstring collect_access_keys(ControlState& state);

// 1-based position of the first character of keys whose ANSI character code
// equals code, or 0.
LONG find_access_key(std::wstring_view keys, SHORT code);

}  // namespace tessel
