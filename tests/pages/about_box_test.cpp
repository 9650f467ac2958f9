// The about box: its version label, the feature list of each showing, its
// layout and links, and the two ways to it (ShowAboutBox by DISPID -552 and
// the info page's button). The box's modal loop runs for real; the test
// reads and closes it from inside that loop.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "control/about_box_hook.h"
#include "framework/user_handles.h"
#include "pages/about_box.h"
#include "pages/about_texts.h"
#include "pages/hand_cursor.h"
#include "pages/page_test_support.h"
#include "pages/tabs_c_page.h"
#include "pages/url_go_to.h"
#include "support/gdi_count.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

using tessel::frmAbout;

// Runs read on every showing of the box, then closes it with OK.
class AboutBoxReader {
 public:
  explicit AboutBoxReader(std::function<void(HWND)> read) {
    tessel::set_about_box_observer([this, read](HWND box) {
      ++showings_;
      if (read) read(box);
      SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    });
  }
  AboutBoxReader(const AboutBoxReader&) = delete;
  AboutBoxReader& operator=(const AboutBoxReader&) = delete;
  ~AboutBoxReader() { tessel::set_about_box_observer(nullptr); }
  int showings() const { return showings_; }

 private:
  int showings_ = 0;
};

std::wstring item_text(HWND box, int id) { return text_of(GetDlgItem(box, id)); }

TEST(AboutBox, TheVersionLabelPadsMinorAndRevisionToTwoDigits) {
  EXPECT_EQ(tessel::version_label({1, 2, 5}), L"Version: 1.02.05");
  EXPECT_EQ(tessel::version_label({1, 0, 10}), L"Version: 1.00.10");
  EXPECT_EQ(tessel::version_label({3, 15, 9}), L"Version: 3.15.09");
}

TEST(AboutBox, EachShowingBuildsTheVersionAndTheFeatureListAnew) {
  create_linked_control();
  std::vector<std::wstring> versions;
  std::vector<std::wstring> lists;
  AboutBoxReader reader([&](HWND box) {
    EXPECT_EQ(text_of(box), L"Info zu Quon - Velmar TesselHeader-Control");
    versions.push_back(item_text(box, frmAbout::kLblVersion));
    lists.push_back(item_text(box, frmAbout::kTxtHistorie));
  });
  frmAbout::Show(nullptr);
  frmAbout::Show(nullptr);
  ASSERT_EQ(reader.showings(), 2);
  // The DLL's version block says 1.0.0.0.
  EXPECT_EQ(versions, (std::vector<std::wstring>{L"Version: 1.00.00", L"Version: 1.00.00"}));
  ASSERT_EQ(lists.size(), 2u);
  EXPECT_EQ(lists[0], lists[1]);
  const std::wstring& list = lists[1];
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
  for (size_t at = list.find(L"\r\n"); at != std::wstring::npos; at = list.find(L"\r\n", at + 2)) {
    ++lines;
  }
  EXPECT_EQ(lines, 19u);
}

int pixels(double twips, int axis) {
  HDC screen = GetDC(nullptr);
  const int ppi = GetDeviceCaps(screen, axis);
  ReleaseDC(nullptr, screen);
  return static_cast<int>(std::nearbyint(twips * ppi / 1440.0));
}

LOGFONTW font_of(HWND window) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font;
}

TEST(AboutBox, LayoutFontsAndTabOrder) {
  create_linked_control();
  struct Expected {
    int id;
    std::wstring text;
    int left, top, width, height;
  };
  const std::vector<Expected> table = {
      {frmAbout::kCmdOK, L"OK", 4440, 4440, 1260, 345},
      {frmAbout::kLblTitle, L"Quon - Velmar Tessel Header-Control", 120, 120, 5085, 360},
      {frmAbout::kPicture2, L"", 5280, 120, 375, 375},
      {frmAbout::kLblVersion, L"Version: 1.00.00", 120, 480, 3765, 225},
      {frmAbout::kPicture1, L"", 120, 3360, 1095, 255},
      {frmAbout::kLabel1, L"Verbesserungvorschläge an:", 120, 4080, 2055, 255},
      {frmAbout::kLabel4, L"Homepage:", 120, 4320, 2055, 255},
      {frmAbout::kLabel6, L"Support Newsgroup:", 120, 4560, 2055, 255},
      {frmAbout::kTxtHistorie, L"", 120, 840, 5535, 2295},
      {frmAbout::kLabel5, L"", 120, 3600, 2655, 255},
      {frmAbout::kLblDescription, L"", 3600, 3600, 2085, 210},
      {frmAbout::kLabel2, L"", 2280, 4080, 1935, 255},
      {frmAbout::kLabel3, L"", 2280, 4320, 1935, 255},
      {frmAbout::kLabel7, L"", 2280, 4560, 1935, 255},
  };
  AboutBoxReader reader([&](HWND box) {
    RECT client{};
    GetClientRect(box, &client);
    EXPECT_EQ(client.right, pixels(5790, LOGPIXELSX));
    EXPECT_EQ(client.bottom, pixels(4875, LOGPIXELSY));
    EXPECT_EQ(GetDlgCtrlID(GetWindow(box, GW_CHILD)), frmAbout::kCmdOK) << "tab index 0";
    for (const Expected& e : table) {
      SCOPED_TRACE(testing::Message() << "child " << e.id);
      HWND child = GetDlgItem(box, e.id);
      ASSERT_NE(child, nullptr);
      const RECT r = rect_in_parent(child);
      EXPECT_EQ(r.left, pixels(e.left, LOGPIXELSX));
      EXPECT_EQ(r.top, pixels(e.top, LOGPIXELSY));
      EXPECT_EQ(r.right - r.left, pixels(e.width, LOGPIXELSX));
      EXPECT_EQ(r.bottom - r.top, pixels(e.height, LOGPIXELSY));
      if (!e.text.empty()) {
        EXPECT_EQ(text_of(child), e.text);
      }
    }
    for (int id : {frmAbout::kLabel5, frmAbout::kLblDescription, frmAbout::kLabel2,
                   frmAbout::kLabel3, frmAbout::kLabel7}) {
      EXPECT_FALSE(item_text(box, id).empty()) << id;
    }
    const LOGFONTW title = font_of(GetDlgItem(box, frmAbout::kLblTitle));
    EXPECT_EQ(std::wstring(title.lfFaceName), L"Tahoma");
    EXPECT_EQ(title.lfWeight, FW_BOLD);
    EXPECT_EQ(title.lfHeight, -pixels(11.25 * 20, LOGPIXELSY));
    const LOGFONTW history = font_of(GetDlgItem(box, frmAbout::kTxtHistorie));
    EXPECT_EQ(std::wstring(history.lfFaceName), L"Courier");
    const LONG history_style = GetWindowLongW(GetDlgItem(box, frmAbout::kTxtHistorie), GWL_STYLE);
    EXPECT_TRUE(history_style & ES_MULTILINE);
    EXPECT_TRUE(history_style & ES_READONLY);
    EXPECT_TRUE(history_style & WS_VSCROLL);
    for (int id : {frmAbout::kLabel2, frmAbout::kLabel3, frmAbout::kLabel7}) {
      const LOGFONTW link = font_of(GetDlgItem(box, id));
      EXPECT_TRUE(link.lfUnderline) << id;
      EXPECT_EQ(std::wstring(link.lfFaceName), L"MS Sans Serif");
    }
  });
  frmAbout::Show(nullptr);
  EXPECT_EQ(reader.showings(), 1);
}

struct ShellCall {
  HWND window;
  std::string verb, file, parameters, directory;
  int show;
};

TEST(AboutBox, LinksOpenTheirAddressesThroughTheShellUnderAHand) {
  create_linked_control();
  std::vector<ShellCall> calls;
  tessel::set_shell_execute_function([&](HWND window, const char* verb, const char* file,
                                         const char* parameters, const char* directory, int show) {
    calls.push_back({window, verb, file, parameters, directory, show});
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));
  });
  HWND shown = nullptr;
  POINT hot_spot{-1, -1};
  AboutBoxReader reader([&](HWND box) {
    shown = box;
    for (int id : {frmAbout::kLabel2, frmAbout::kLabel3, frmAbout::kLabel7}) {
      HWND link = GetDlgItem(box, id);
      SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
      SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    SetCursor(nullptr);
    SendMessageW(box, WM_SETCURSOR, reinterpret_cast<WPARAM>(GetDlgItem(box, frmAbout::kLabel3)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    ICONINFO info{};
    if (GetCursor() && GetIconInfo(GetCursor(), &info)) {
      hot_spot = {static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)};
      DeleteObject(info.hbmMask);
      if (info.hbmColor) DeleteObject(info.hbmColor);
    }
  });
  frmAbout::Show(nullptr);
  tessel::set_shell_execute_function(nullptr);
  ASSERT_EQ(calls.size(), 3u);
  const char* addresses[] = {"mailto:support@example.com", "https://www.example.com/tessel",
                             "news://news.example.com/tessel.support"};
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].window, shown);
    EXPECT_EQ(calls[i].verb, "Open");
    EXPECT_EQ(calls[i].file, addresses[i]);
    EXPECT_EQ(calls[i].parameters, "");
    EXPECT_EQ(calls[i].directory, "");
    EXPECT_EQ(calls[i].show, SW_SHOWNORMAL);
  }
  EXPECT_EQ(hot_spot.x, 12);
  EXPECT_EQ(hot_spot.y, 2);
}

TEST(AboutBox, TheHandIsA32PixelMonochromeCursor) {
  create_linked_control();
  framework::Cursor hand = tessel::make_hand_cursor();
  ICONINFO info{};
  ASSERT_TRUE(hand && GetIconInfo(hand.get(), &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.hbmColor, nullptr) << "monochrome";
  framework::GdiObject<HBITMAP> mask(info.hbmMask);
  BITMAP bits{};
  GetObjectW(mask.get(), sizeof bits, &bits);
  EXPECT_EQ(bits.bmWidth, 32);
  EXPECT_EQ(bits.bmHeight, 64);  // AND over XOR
  // The fingertip at the hot spot is drawn: its AND bit is clear.
  framework::MemoryDc dc;
  framework::Selection selection(dc.get(), mask.get());
  EXPECT_EQ(GetPixel(dc.get(), 12, 2), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc.get(), 0, 0), RGB(255, 255, 255));
}

// ShowAboutBox by DISPID -552: the DLL's own control shows the DLL's box
// modally; a timer on this thread closes it from inside its modal loop.
TEST(AboutBox, DispidMinus552ShowsTheComponentsBoxModally) {
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
}

TEST(AboutBox, TheInfoButtonShowsTheBox) {
  LinkedPages pages;
  TestFrame frame;
  ComPtr<IPropertyPage> page;
  ASSERT_EQ(CoCreateInstance(tessel::CLSID_TabsC, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                             page.put_void()),
            S_OK);
  const RECT area{0, 0, 393, 261};
  ASSERT_EQ(page->Activate(frame.handle(), &area, TRUE), S_OK);
  AboutBoxReader reader(nullptr);
  HWND window = pages.last<tessel::TabsCPage>()->window();
  click(GetDlgItem(window, tessel::TabsCPage::kBtnInfo));
  EXPECT_EQ(reader.showings(), 1);
  page->Deactivate();
}

TEST(AboutBox, ShowingTheBoxLeavesNoObjectsBehind) {
  create_linked_control();
  AboutBoxReader reader([](HWND box) { UpdateWindow(box); });
  frmAbout::Show(nullptr);  // the first showing makes the caches a process keeps
  pump_messages();
  const size_t gdi = live_gdi_objects();
  const long user = framework::live_user_objects();
  frmAbout::Show(nullptr);
  frmAbout::Show(nullptr);
  pump_messages();
  EXPECT_EQ(reader.showings(), 3);
  EXPECT_EQ(live_gdi_objects(), gdi);
  EXPECT_EQ(framework::live_user_objects(), user);
}

}  // namespace
}  // namespace tessel_test
