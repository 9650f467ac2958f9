// ColumnWidths: twips entries to pixel widths at the screen's resolution,
// and the silent stop at the first entry that does not convert.
#include <gtest/gtest.h>

#include "render/units.h"
#include "control/interaction_helpers.h"
#include "support/com_test_env.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

namespace id = tessel::dispid;

int g_ppi = 96;
int fake_ppi(int) { return g_ppi; }

class ColumnWidths : public RecordedControlTest {
 protected:
  ColumnWidths() : RecordedControlTest(/*linked=*/true) {}
  void SetUp() override {
    tessel::basUmrechnung::set_pixels_per_inch_source(&fake_ppi);
    RecordedControlTest::SetUp();
  }
  void TearDown() override {
    RecordedControlTest::TearDown();
    tessel::basUmrechnung::set_pixels_per_inch_source(nullptr);
    g_ppi = 96;
  }
  void columns(int n) {
    for (int i = 0; i < n; ++i) call(control.get(), id::AddRow, {vlong(11)});
    recorder->changes.clear();
  }
  void assign(const wchar_t* text) { put(control.get(), id::ColumnWidths, {}, vstr(text)); }
  // The widths of columns 1 to n.
  std::vector<LONG> widths(LONG n) {
    std::vector<LONG> result;
    for (LONG i = 1; i <= n; ++i)
      result.push_back(as_long(get(control.get(), id::RowWidth, {vlong(i)})));
    return result;
  }
  std::wstring stored() { return as_string(get(control.get(), id::ColumnWidths)); }
};

// Twips become pixels less two, ties to even, at the screen's resolution.
// Extra entries are ignored but kept in the string; quotes on either side
// or on one side only make no difference; small entries go to 0 and below.
TEST_F(ColumnWidths, TwipsBecomePixelsLessTwo) {
  columns(3);
  assign(L"1500;750;\"3000\"");
  EXPECT_EQ(widths(3), (std::vector<LONG>{98, 48, 198}));
  EXPECT_EQ(stored(), L"1500;750;\"3000\"");
  EXPECT_EQ(recorder->changes, std::vector<DISPID>{id::ColumnWidths});
  assign(L"\"1500;30;0;999;888;");
  EXPECT_EQ(widths(3), (std::vector<LONG>{98, 0, -2}));
  EXPECT_EQ(stored(), L"\"1500;30;0;999;888;");
  g_ppi = 120;
  assign(L"1218;1206;0");
  EXPECT_EQ(widths(2), (std::vector<LONG>{100, 98}));  // 101.5 - 2 and 100.5 - 2, ties to even
}

// Up to the first entry that does not convert the widths change; the
// string stays and nothing is announced. Without columns any string is
// stored. Token positions are 16-bit: an entry the columns need that ends
// beyond position 32767 refuses the whole string before any column changes,
// even where the entries before it would convert; an entry ending at 32767,
// and extra entries beyond it that no column needs, are fine.
TEST_F(ColumnWidths, TheFirstBadEntryStopsSilentlyAndOneEndingBeyond32767RefusesAll) {
  assign(L"anything;at all");
  EXPECT_EQ(stored(), L"anything;at all");
  columns(2);
  assign(L"600;600");
  recorder->changes.clear();
  assign(L"1500;abc");
  EXPECT_EQ(widths(2), (std::vector<LONG>{98, 38}));
  EXPECT_EQ(stored(), L"600;600");
  for (const wchar_t* bad : {L"900", L"900;;", L"", L"900;1e30"}) {
    assign(bad);
    EXPECT_EQ(stored(), L"600;600") << std::string(bad, bad + wcslen(bad));
  }
  EXPECT_EQ(widths(1), std::vector<LONG>{58});
  EXPECT_TRUE(recorder->changes.empty());

  assign(L"600;600");
  recorder->changes.clear();
  // "1500;" and blanks before the second entry, so that it ends (at the
  // next ";" or after the last character) at position `end`.
  auto ending_at = [](size_t end, const std::wstring& after) {
    return L"1500;" + std::wstring(end - 5 - 4, L' ') + L"750" + after;
  };
  for (std::wstring refused :
       {ending_at(32768, L""), ending_at(32768, L";900"), ending_at(40000, L";900")}) {
    assign(refused.c_str());
    EXPECT_EQ(widths(2), (std::vector<LONG>{38, 38}));
    EXPECT_EQ(stored(), L"600;600");
  }
  EXPECT_TRUE(recorder->changes.empty());
  for (std::wstring accepted : {ending_at(32766, L""), ending_at(32767, L""),
                                ending_at(32767, L";" + std::wstring(9000, L'9'))}) {
    assign(L"600;600");
    assign(accepted.c_str());
    EXPECT_EQ(widths(2), (std::vector<LONG>{98, 48}));
    EXPECT_EQ(stored(), accepted);
  }
}

}  // namespace
}  // namespace tessel_test
