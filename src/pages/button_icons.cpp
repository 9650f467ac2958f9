#include "pages/button_icons.h"

#include "pages/pixel_art.h"

namespace tessel {

namespace {

// 0 black, 1 dark red, 3 olive, 7 silver, 8 grey, B yellow, F white.
constexpr const char* kOpenFolder[16] = {
    "................",  //
    "................",  //
    "................",  //
    ".0000...........",  //
    "0BFBB0..........",  //
    "0FBBBB00000000..",  //
    "0BBBBBBBBBBBB0..",  //
    "0BBBBBBBBBBBB0..",  //
    "0BBB000000000000",  //
    "0BB0333333333330",  //
    "0B0333333333330.",  //
    "0B0333333333330.",  //
    "00333333333330..",  //
    "0333333333330...",  //
    "000000000000....",  //
    "................",  //
};

constexpr const char* kDeleteCross[16] = {
    "................",  //
    "................",  //
    "..11........11..",  //
    "..111......111..",  //
    "...111....111...",  //
    "....111..111....",  //
    ".....111111.....",  //
    "......1111......",  //
    "......1111......",  //
    ".....111111.....",  //
    "....111..111....",  //
    "...111....111...",  //
    "..111......111..",  //
    "..11........11..",  //
    "................",  //
    "................",  //
};

}  // namespace

framework::Icon make_open_folder_icon() { return make_palette_icon(kOpenFolder); }
framework::Icon make_delete_icon() { return make_palette_icon(kDeleteCross); }

}  // namespace tessel
