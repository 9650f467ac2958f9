// The demo without a display: a scripted session on the form. The pointer
// hovers over a column, clicks one column twice and another once, leaves the
// header, and the form is resized. Every event the form receives is printed
// in order with its arguments, and after each step a picture of the whole
// form is saved as a PNG file.
#pragma once

#include <string>

#include "demo_form.h"

namespace demo {

// Plays the session on a shown form and saves the pictures in folder (which
// ends with a backslash). Returns the program's exit code: 0 when every step
// ran and the list's order agrees with the direction the header reported
// last.
int play_scripted_session(DemoForm& form, const std::wstring& folder);

}  // namespace demo
