// Pixel and twips conversion at several screen resolutions, and the report a
// failing conversion makes instead of an error.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages/error_report.h"
#include "pages/message_box.h"
#include "framework/trapped_error.h"
#include "render/units.h"

namespace tessel {
namespace {

using namespace basUmrechnung;

int g_x_ppi = 96;
int g_y_ppi = 96;
int fake_ppi(int index) { return index == LOGPIXELSX ? g_x_ppi : g_y_ppi; }

struct Shown {
  std::wstring text, title;
  UINT style;
};

class Units : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_source_ = set_pixels_per_inch_source(&fake_ppi);
    framework::set_trapped_error_handler(&show_error_report);
    set_message_box_handler(
        [this](const std::wstring& text, const std::wstring& title, UINT style) {
          shown.push_back({text, title, style});
          return IDOK;
        });
  }
  void TearDown() override {
    set_pixels_per_inch_source(previous_source_);
    framework::set_trapped_error_handler(nullptr);
    set_message_box_handler(nullptr);
    g_x_ppi = g_y_ppi = 96;
  }
  std::vector<Shown> shown;

 private:
  PixelsPerInchSource previous_source_ = nullptr;
};

TEST_F(Units, ConvertsWithEachDirectionsResolution) {
  set_pixels_per_inch_source(nullptr);
  EXPECT_EQ(fnc_TwipsPerPixelX(), 15.0f) << "the screen's own 96 pixels per inch";
  EXPECT_EQ(fnc_TwipsToPixel(1500, 1), 100.0);
  set_pixels_per_inch_source(&fake_ppi);
  EXPECT_EQ(fnc_PixelToTwips(25, 1), 375.0);
  EXPECT_EQ(fnc_PixelToTwips(0, 1), 0.0);
  EXPECT_EQ(fnc_TwipsToPixel(0, 0), 0.0);
  g_x_ppi = 120;
  g_y_ppi = 144;
  EXPECT_EQ(fnc_TwipsPerPixelX(), 12.0f);
  EXPECT_EQ(fnc_TwipsPerPixelY(), 10.0f);
  // Only direction 1 is horizontal.
  for (LONG direction : {0L, 2L, -1L}) {
    EXPECT_EQ(fnc_PixelToTwips(3, direction), 30.0) << direction;
    EXPECT_EQ(fnc_TwipsToPixel(30, direction), 3.0) << direction;
  }
  EXPECT_EQ(fnc_TwipsToPixel(1218, 1), 101.5);
  // The factor is single precision: 1440 / 97 is rounded before it is used.
  g_x_ppi = 97;
  EXPECT_DOUBLE_EQ(fnc_PixelToTwips(97, 1), 1439.9999933242798);
  EXPECT_TRUE(shown.empty());
}

TEST_F(Units, AFailingConversionIsReportedOnceAndGivesZero) {
  g_x_ppi = 0;
  EXPECT_EQ(fnc_PixelToTwips(25, 1), 0.0);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].title, L"Fehler in \"fnc_PixelToTwips\"");
  EXPECT_EQ(shown[0].text,
            L"Es ist ein Fehler aufgetreten.\r\n\r\nIn Function:\tfnc_PixelToTwips\r\n"
            L"Fehlernummer:\t11\r\nBeschreibung:\tDivision by zero");
  EXPECT_EQ(shown[0].style, static_cast<UINT>(MB_OK | MB_ICONSTOP));
  EXPECT_EQ(fnc_TwipsToPixel(25, 1), 0.0);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].title, L"Fehler in \"fnc_TwipsToPixel\"");
  // The vertical direction still works.
  EXPECT_EQ(fnc_PixelToTwips(2, 0), 30.0);
  EXPECT_EQ(shown.size(), 2u);
  // An overflowing result is reported the same way.
  g_x_ppi = 96;
  EXPECT_EQ(fnc_PixelToTwips(1e308, 1), 0.0);
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_NE(shown[2].text.find(L"Fehlernummer:\t6\r\nBeschreibung:\tOverflow"), std::wstring::npos);
}

}  // namespace
}  // namespace tessel
