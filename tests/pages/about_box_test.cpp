// The about box, its texts, layout and links, and the two ways to it. Its
// modal loop runs for real; the tests read and close it from inside the loop.
#include <gtest/gtest.h>

#include "control/about_box_hook.h"
#include "framework/user_handles.h"
#include "pages/about_box.h"
#include "pages/about_texts.h"
#include "pages/page_test_support.h"
#include "pages/tabs_c_page.h"
#include "pages/url_go_to.h"
#include "support/gdi_count.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

using tessel::frmAbout;

// Runs read on every showing of the box, then closes it with OK.
struct AboutBoxReader {
  explicit AboutBoxReader(std::function<void(HWND)> read) {
    create_linked_control();  // the linked code's module handle
    tessel::set_about_box_observer([this, read](HWND box) {
      ++showings;
      if (read) read(box);
      SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    });
  }
  ~AboutBoxReader() { tessel::set_about_box_observer(nullptr); }
  int showings = 0;
};

std::wstring item_text(HWND box, int id) { return text_of(GetDlgItem(box, id)); }

LOGFONTW font_of(HWND box, int id) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(box, id), WM_GETFONT, 0, 0)),
             sizeof font, &font);
  return font;
}

TEST(AboutBox, EachShowingBuildsTheTextsAnewAndLeavesNoObjectsBehind) {
  // The version label pads minor and revision to two digits.
  EXPECT_EQ(tessel::version_label({1, 2, 5}), L"Version: 1.02.05");
  EXPECT_EQ(tessel::version_label({1, 0, 10}), L"Version: 1.00.10");
  EXPECT_EQ(tessel::version_label({3, 15, 9}), L"Version: 3.15.09");
  std::vector<std::wstring> versions, lists;
  AboutBoxReader reader([&](HWND box) {
    EXPECT_EQ(text_of(box), L"Info zu Quon - Velmar TesselHeader-Control");
    versions.push_back(item_text(box, frmAbout::kLblVersion));
    lists.push_back(item_text(box, frmAbout::kTxtHistorie));
    EXPECT_EQ(SendDlgItemMessageW(box, frmAbout::kTxtHistorie, EM_GETFIRSTVISIBLELINE, 0, 0), 0)
        << "the feature list opens at its first line";
    UpdateWindow(box);
  });
  frmAbout::Show(nullptr);  // the first showing makes the caches a process keeps
  pump_messages();
  const size_t gdi = live_gdi_objects();
  const long user = framework::live_user_objects();
  frmAbout::Show(nullptr);
  frmAbout::Show(nullptr);
  pump_messages();
  EXPECT_EQ(live_gdi_objects(), gdi);
  EXPECT_EQ(framework::live_user_objects(), user);
  ASSERT_EQ(reader.showings, 3);
  // The DLL's version block says 1.0.0.0.
  EXPECT_EQ(versions, std::vector<std::wstring>(3, L"Version: 1.00.00"));
  EXPECT_EQ(lists, std::vector<std::wstring>(3, lists[0]));
  const std::wstring& list = lists[0];
  EXPECT_EQ(list.rfind(L"\r\n Quon - Velmar Tessel Header-Control für\r\n", 0), 0u);
  const std::wstring features =
      L"\r\n Eigenschaften:\r\n\r\n"
      L"  * Ein Bild kann gewählt werden\r\n    für jede Spalte\r\n"
      L"  * Schriftart einstellbar\r\n  * Schriftfarbe einstellbar\r\n"
      L"  * Schriftfarbe einstellbar für\r\n    Hot-Spalte\r\n  * Rahmenfarbe wählbar\r\n"
      L"  * Hintergrundfarbe wählbar\r\n  * Hintergrundfarbe Formular wählbar\r\n"
      L"  * Spalten-Höhe einstellbar\r\n  * Spalten-Breite einstellbar\r\n    uvm.\r\n\r\n";
  ASSERT_GE(list.size(), features.size());
  EXPECT_EQ(list.substr(list.size() - features.size()), features);
  // Once: one title line, nineteen lines in all.
  EXPECT_EQ(list.find(L"Eigenschaften"), list.rfind(L"Eigenschaften"));
  size_t lines = 0;
  for (size_t at = 0; (at = list.find(L"\r\n", at)) != std::wstring::npos; at += 2) ++lines;
  EXPECT_EQ(lines, 19u);
}

// The links open their addresses through the shell, under a hand cursor: a
// 32-pixel monochrome cursor whose fingertip at the hot spot is drawn.
TEST(AboutBox, LayoutFontsTabOrderAndLinksThatOpenUnderAHand) {
  const std::vector<ChildLayout> table = {
      {frmAbout::kCmdOK, L"OK", 4440, 4440, 1260, 345},
      {frmAbout::kLblTitle, L"Quon - Velmar Tessel Header-Control", 120, 120, 5085, 360},
      {frmAbout::kPicture2, L"", 5280, 120, 375, 375},
      {frmAbout::kLblVersion, L"Version: 1.00.00", 120, 480, 3765, 225},
      {frmAbout::kPicture1, L"", 120, 3360, 1095, 255},
      {frmAbout::kLabel1, L"Verbesserungvorschläge an:", 120, 4080, 2055, 255},
      {frmAbout::kLabel4, L"Homepage:", 120, 4320, 2055, 255},
      {frmAbout::kLabel6, L"Support Newsgroup:", 120, 4560, 2055, 255},
      {frmAbout::kTxtHistorie, L"*", 120, 840, 5535, 2295},
      {frmAbout::kLabel5, L"*", 120, 3600, 2655, 255},
      {frmAbout::kLblDescription, L"*", 3600, 3600, 2085, 210},
      {frmAbout::kLabel2, L"*", 2280, 4080, 1935, 255},
      {frmAbout::kLabel3, L"*", 2280, 4320, 1935, 255},
      {frmAbout::kLabel7, L"*", 2280, 4560, 1935, 255},
  };
  HWND shown = nullptr;
  std::vector<std::string> calls;  // verb|file|parameters|directory|show (1: normal)
  tessel::set_shell_execute_function([&](HWND window, const char* verb, const char* file,
                                         const char* parameters, const char* directory, int show) {
    EXPECT_EQ(window, shown);
    calls.push_back(std::string(verb) + "|" + file + "|" + parameters + "|" + directory + "|" +
                    std::to_string(show));
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));
  });
  ICONINFO hand{};
  BITMAP mask{};
  COLORREF tip = CLR_INVALID, corner = CLR_INVALID, below = CLR_INVALID;
  AboutBoxReader reader([&](HWND box) {
    shown = box;
    const RECT client = client_rect(box);
    EXPECT_EQ(client.right, twips_to_pixels(5790, LOGPIXELSX));
    EXPECT_EQ(client.bottom, twips_to_pixels(4875, LOGPIXELSY));
    EXPECT_EQ(GetDlgCtrlID(GetWindow(box, GW_CHILD)), frmAbout::kCmdOK) << "tab index 0";
    expect_children(box, nullptr, table, false);
    const LOGFONTW title = font_of(box, frmAbout::kLblTitle);
    EXPECT_EQ(std::wstring(title.lfFaceName), L"Tahoma");
    EXPECT_EQ(title.lfWeight, FW_BOLD);
    EXPECT_EQ(title.lfHeight, -twips_to_pixels(11.25 * 20, LOGPIXELSY));
    EXPECT_EQ(std::wstring(font_of(box, frmAbout::kTxtHistorie).lfFaceName), L"Courier");
    const LONG history = GetWindowLongW(GetDlgItem(box, frmAbout::kTxtHistorie), GWL_STYLE);
    EXPECT_EQ(history & (ES_MULTILINE | ES_READONLY | WS_VSCROLL),
              ES_MULTILINE | ES_READONLY | WS_VSCROLL);
    for (int id : {frmAbout::kLabel2, frmAbout::kLabel3, frmAbout::kLabel7}) {
      EXPECT_TRUE(font_of(box, id).lfUnderline) << id;
      EXPECT_EQ(std::wstring(font_of(box, id).lfFaceName), L"MS Sans Serif");
      SendMessageW(GetDlgItem(box, id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
      SendMessageW(GetDlgItem(box, id), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    SetCursor(nullptr);
    SendMessageW(box, WM_SETCURSOR, reinterpret_cast<WPARAM>(GetDlgItem(box, frmAbout::kLabel3)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    ASSERT_TRUE(GetCursor() && GetIconInfo(GetCursor(), &hand));
    framework::GdiObject<HBITMAP> bits(hand.hbmMask);
    framework::GdiObject<HBITMAP> colour(hand.hbmColor);
    GetObjectW(bits.get(), sizeof mask, &mask);
    framework::MemoryDc dc;
    framework::Selection selection(dc.get(), bits.get());
    tip = GetPixel(dc.get(), 12, 2);  // the AND bit of the hot spot
    corner = GetPixel(dc.get(), 0, 0);
    below = GetPixel(dc.get(), 16, 31);  // under the drawing: transparent too
  });
  frmAbout::Show(nullptr);
  tessel::set_shell_execute_function(nullptr);
  EXPECT_EQ(reader.showings, 1);
  EXPECT_EQ(calls, (std::vector<std::string>{"Open|mailto:support@example.com|||1",
                                             "Open|https://www.example.com/tessel|||1",
                                             "Open|news://news.example.com/tessel.support|||1"}));
  EXPECT_FALSE(hand.fIcon);
  EXPECT_EQ(hand.hbmColor, nullptr) << "monochrome";
  EXPECT_EQ(hand.xHotspot, 12u);
  EXPECT_EQ(hand.yHotspot, 2u);
  EXPECT_EQ(mask.bmWidth, 32);
  EXPECT_EQ(mask.bmHeight, 64);  // AND over XOR
  EXPECT_EQ(tip, RGB(0, 0, 0));
  EXPECT_EQ(corner, RGB(255, 255, 255));
  EXPECT_EQ(below, RGB(255, 255, 255));
}

// The two ways to the box. ShowAboutBox by DISPID -552: the DLL's own
// control shows the DLL's box modally; a timer on this thread closes it from
// inside its modal loop. And the info page's button.
TEST(AboutBox, DispidMinus552AndTheInfoButtonShowTheBox) {
  auto control = create_control();
  static int closed = 0;
  closed = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
    HWND box = FindWindowW(L"#32770", L"Info zu Quon - Velmar TesselHeader-Control");
    if (box && GetWindowThreadProcessId(box, nullptr) == GetCurrentThreadId()) {
      ++closed;
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  });
  EXPECT_EQ(invoke(control.get(), DISPID_ABOUTBOX, DISPATCH_METHOD, {}), S_OK);
  KillTimer(nullptr, timer);
  EXPECT_EQ(closed, 1);

  LinkedPages pages;
  TestFrame frame;
  auto page = make_page(tessel::CLSID_TabsC);
  const RECT area{0, 0, 393, 261};
  ASSERT_EQ(page->Activate(frame.handle(), &area, TRUE), S_OK);
  AboutBoxReader reader(nullptr);
  click(GetDlgItem(pages.last<tessel::TabsCPage>()->window(), tessel::TabsCPage::kBtnInfo));
  EXPECT_EQ(reader.showings, 1);
  page->Deactivate();
}

}  // namespace
}  // namespace tessel_test
