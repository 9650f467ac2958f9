// Where ShowAboutBox sends the developer: the component shows its about box
// there; tests can put something else in its place.
#pragma once

#include <functional>

namespace tessel {

using AboutBoxHandler = std::function<void()>;

// Replaces the handler and returns the previous one.
AboutBoxHandler set_about_box_handler(AboutBoxHandler handler);
// Shows the about box modally; does nothing while there is no handler.
void show_about_box();

}  // namespace tessel
