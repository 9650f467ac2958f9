#include "pages/hand_cursor.h"

#include "pages/pixel_art.h"

namespace tessel {

namespace {

// X black, o white, . transparent; the fingertip is at (12, 2). The rows below
// the last one drawn are transparent.
constexpr const char* kHand[] = {
    "................................",  //
    "................................",  //
    "............X...................",  //
    "...........XoX..................",  //
    "...........XoX..................",  //
    "...........XoX..................",  //
    "...........XoX..................",  //
    "...........XoXXX................",  //
    "...........XoXoXXX..............",  //
    "...........XoXoXoXXX............",  //
    "........XX.XoXoXoXoX............",  //
    "........XoXXoooooooX............",  //
    ".........XoXoooooooX............",  //
    "..........XXoooooooX............",  //
    "..........XooooooooX............",  //
    "...........XoooooooX............",  //
    "............XooooooX............",  //
    "............XooooooX............",  //
    "............XooooooX............",  //
    "............XXXXXXXX............",  //
};

}  // namespace

framework::Cursor make_hand_cursor() { return make_monochrome_cursor(kHand, kHandHotSpot, 32); }

}  // namespace tessel
