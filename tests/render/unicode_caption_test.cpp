// Captions in any script: a newly placed control draws Cyrillic, Greek and CJK
// captions with their own glyphs, not the ANSI code page's question marks, and
// captions the ANSI code page can hold paint exactly as the ANSI calls do.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/gdi.h"
#include "framework/hosting_helpers.h"
#include "render/dib_canvas.h"
#include "render/xp_wells.h"
#include "support/com_test_env.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

namespace id = tessel::dispid;

constexpr int kWidth = 200, kHeight = 25;

// The retained image of a newly placed control whose one column, 150 pixels
// wide, has the caption.
std::vector<COLORREF> header_with(const wchar_t* caption) {
  ComPtr<IDispatch> control = create_linked_control();
  EXPECT_EQ(control.query<IPersistStreamInit>(IID_IPersistStreamInit)->InitNew(), S_OK);
  put(control.get(), id::RowWidth, {vlong(1)}, vlong(150));
  put(control.get(), id::RowCaption, {vlong(1)}, vstr(caption));
  Canvas canvas(kWidth, kHeight);
  EXPECT_EQ(draw_view(control.get(), canvas, {0, 0, kWidth, kHeight}), S_OK);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) pixels.push_back(canvas.pixel(x, y));
  }
  return pixels;
}

TEST(UnicodeCaption, OtherScriptsPaintTheirGlyphsNotQuestionMarks) {
  const std::vector<COLORREF> blank = header_with(L" ");
  struct Case {
    const wchar_t* caption;
    const wchar_t* ansi;       // what the ANSI code page made of it
    const wchar_t* reordered;  // the same letters in another order
  };
  // The fonts here have Cyrillic and Greek letters; CJK shows whatever the
  // font (or the font the system links to it) has for it, never "?".
  const Case cases[] = {
      {L"\u0418\u043C\u044F", L"???", L"\u044F\u043C\u0418"},                            // Имя
      {L"\u038C\u03BD\u03BF\u03BC\u03B1", L"?????", L"\u03B1\u03BC\u03BF\u03BD\u038C"},  // Όνομα
      {L"\u65E5\u4ED8", L"??", nullptr},                                                 // 日付
  };
  for (const Case& c : cases) {
    const std::vector<COLORREF> painted = header_with(c.caption);
    EXPECT_NE(painted, header_with(c.ansi))
        << "question marks for " << testing::PrintToString(c.caption);
    EXPECT_NE(painted, blank) << "nothing painted";
    // Each letter has a glyph of its own, not one replacement shape for all.
    if (c.reordered) {
      EXPECT_NE(painted, header_with(c.reordered));
    }
  }
}

// What DrawText leaves on a white 120 × 30 canvas with the control's default
// font, MS Sans Serif 8 pt, as the painter's caption step draws it.
std::vector<COLORREF> drawn(const std::function<void(HDC, RECT&)>& draw, RECT* measured = nullptr) {
  DibCanvas canvas(120, 30, RGB(0, 0, 0));
  framework::GdiObject<HFONT> font(
      CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, L"MS Sans Serif"));
  framework::Selection selection(canvas.dc(), font.get());
  SetBkMode(canvas.dc(), TRANSPARENT);
  SetTextColor(canvas.dc(), RGB(255, 255, 255));
  RECT r{4, 2, 116, 28};
  draw(canvas.dc(), r);
  if (measured) *measured = r;
  return canvas.pixels();
}

TEST(UnicodeCaption, AnsiCaptionsPaintAndMeasureAsTheAnsiCallsDo) {
  ASSERT_EQ(GetACP(), 1252u);
  for (const wchar_t* caption :
       {L"&Name", L"Gr\u00F6\u00DFe && Datum", L"A&&B&C", L"\u00C4nderung \u20AC", L"Save &&",
        L"Wrapped words over lines"}) {
    char ansi[64] = {};
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, 0, caption, -1, ansi, sizeof ansi, nullptr, &lossy);
    ASSERT_GT(n, 0);
    ASSERT_FALSE(lossy);
    const std::wstring_view text(caption);
    const LONG length = static_cast<LONG>(text.size());
    for (UINT format : {21u, 0u, 1u}) {
      EXPECT_EQ(drawn([&](HDC dc, RECT& r) {
                  tessel::mXPWells::DrawCaption(dc, text, length, r, format);
                }),
                drawn([&](HDC dc, RECT& r) { DrawTextA(dc, ansi, n - 1, &r, format); }))
          << testing::PrintToString(caption) << " format " << format;
    }
    RECT ours{}, theirs{};
    drawn([&](HDC dc, RECT& r) { tessel::mXPWells::MeasureCaption(dc, text, length, r); }, &ours);
    drawn([&](HDC dc, RECT& r) { DrawTextA(dc, ansi, n - 1, &r, DT_CALCRECT | DT_WORDBREAK); },
          &theirs);
    EXPECT_TRUE(EqualRect(&ours, &theirs)) << testing::PrintToString(caption);
  }
}

}  // namespace
}  // namespace tessel_test
