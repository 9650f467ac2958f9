#include "pages/about_box.h"

#include <utility>

#include "framework/dialog_template.h"
#include "framework/error.h"
#include "framework/form_layout.h"
#include "framework/gdi.h"
#include "framework/module.h"
#include "framework/user_handles.h"
#include "pages/about_texts.h"
#include "pages/hand_cursor.h"
#include "pages/product_art.h"
#include "pages/url_go_to.h"

namespace tessel {

namespace {

using framework::ChildSpec;

constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
constexpr DWORD kLink = kLabel | SS_NOTIFY;
constexpr DWORD kPicture = WS_VISIBLE | SS_OWNERDRAW;

const ChildSpec kChildren[] = {
    {frmAbout::kCmdOK, L"BUTTON", L"OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 4440, 4440,
     1260, 345},
    {frmAbout::kLblTitle, L"STATIC", L"Quon - Velmar Tessel Header-Control", kLabel, 120, 120, 5085,
     360},
    {frmAbout::kPicture2, L"STATIC", nullptr, kPicture, 5280, 120, 375, 375},
    {frmAbout::kLblVersion, L"STATIC", L"Version: 1.02", kLabel, 120, 480, 3765, 225},
    {frmAbout::kTxtHistorie, L"EDIT", L"",
     WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
     120, 840, 5535, 2295},
    {frmAbout::kPicture1, L"STATIC", nullptr, kPicture, 120, 3360, 1095, 255},
    {frmAbout::kLabel5, L"STATIC", L"Velmar Steuerelemente", kLabel, 120, 3600, 2655, 255},
    {frmAbout::kLblDescription, L"STATIC", L"Alle Rechte vorbehalten", kLabel, 3600, 3600, 2085,
     210},
    {frmAbout::kLabel1, L"STATIC", L"Verbesserungvorschläge an:", kLabel, 120, 4080, 2055, 255},
    {frmAbout::kLabel2, L"STATIC", L"support@example.com", kLink, 2280, 4080, 1935, 255},
    {frmAbout::kLabel4, L"STATIC", L"Homepage:", kLabel, 120, 4320, 2055, 255},
    {frmAbout::kLabel3, L"STATIC", L"www.example.com/tessel", kLink, 2280, 4320, 1935, 255},
    {frmAbout::kLabel6, L"STATIC", L"Support Newsgroup:", kLabel, 120, 4560, 2055, 255},
    {frmAbout::kLabel7, L"STATIC", L"news.example.com", kLink, 2280, 4560, 1935, 255},
};

constexpr int kClientWidth = 5790;   // twips
constexpr int kClientHeight = 4875;  // twips
constexpr UINT kShownMessage = WM_APP + 1;
constexpr COLORREF kTitleColour = RGB(0, 0, 128);
constexpr COLORREF kLinkColour = RGB(0, 0, 192);

AboutBoxObserver& observer() {
  static AboutBoxObserver o;
  return o;
}

bool is_link(int id) { return frmAbout::link_address(id) != nullptr; }

// One showing of the form: everything it made goes when it is unloaded.
class AboutForm {
 public:
  INT_PTR handle(HWND box, UINT message, WPARAM wparam, LPARAM lparam);
  void load(HWND box);

 private:
  void paint_separator(HWND box);

  framework::GdiObject<HFONT> default_font_;
  framework::GdiObject<HFONT> title_font_;
  framework::GdiObject<HFONT> version_font_;
  framework::GdiObject<HFONT> history_font_;
  framework::GdiObject<HFONT> link_font_;
  framework::GdiObject<HBITMAP> glyph_;
  framework::GdiObject<HBITMAP> mark_;
  framework::Icon icon_;
  framework::Cursor hand_;
};

void set_font(HWND box, int id, HFONT font) {
  SendMessageW(GetDlgItem(box, id), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

// Form_Load.
void AboutForm::load(HWND box) {
  // The client area in twips, centred where the dialog manager put it.
  RECT frame{0, 0, framework::layout_pixels_x(kClientWidth),
             framework::layout_pixels_y(kClientHeight)};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(box, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(box, GWL_EXSTYLE)));
  SetWindowPos(box, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  default_font_ = framework::make_font(L"MS Sans Serif", 8.25);
  title_font_ = framework::make_font(L"Tahoma", 11.25, true);
  version_font_ = framework::make_font(L"Tahoma", 8.25);
  history_font_ = framework::make_font(L"Courier", 9.75);
  link_font_ = framework::make_font(L"MS Sans Serif", 8.25, false, true);
  framework::create_children(box, kChildren, default_font_.get());
  set_font(box, frmAbout::kLblTitle, title_font_.get());
  set_font(box, frmAbout::kLblVersion, version_font_.get());
  set_font(box, frmAbout::kTxtHistorie, history_font_.get());
  for (int id : {frmAbout::kLabel2, frmAbout::kLabel3, frmAbout::kLabel7}) {
    set_font(box, id, link_font_.get());
  }

  glyph_ = make_header_glyph();
  mark_ = make_maker_mark();
  hand_ = make_hand_cursor();
  icon_ = make_about_icon();
  SendMessageW(box, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.get()));
  SendMessageW(box, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));

  SetDlgItemTextW(box, frmAbout::kLblVersion, version_label(component_version()).c_str());
  // The list starts from the empty box and grows line by line.
  HWND history = GetDlgItem(box, frmAbout::kTxtHistorie);
  for (const std::wstring& line : feature_lines()) {
    const std::wstring text = line + L"\r\n";
    const LRESULT end = GetWindowTextLengthW(history);
    SendMessageW(history, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(history, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  }
  // Appending left the caret, and the view, at the end: open at the first line.
  SendMessageW(history, EM_SETSEL, 0, 0);
  SendMessageW(history, EM_SCROLLCARET, 0, 0);
}

// The etched line above the addresses: grey, with white just below it.
void AboutForm::paint_separator(HWND box) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(box, &paint);
  auto line = [&](int x1, int x2, int y, COLORREF colour) {
    framework::GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, colour));
    framework::Selection selection(dc, pen.get());
    MoveToEx(dc, framework::layout_pixels_x(x1), framework::layout_pixels_y(y), nullptr);
    LineTo(dc, framework::layout_pixels_x(x2), framework::layout_pixels_y(y));
  };
  line(90, 5654, 3885, RGB(128, 128, 128));
  line(105, 5654, 3900, RGB(255, 255, 255));
  EndPaint(box, &paint);
}

INT_PTR AboutForm::handle(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case kShownMessage:
      if (observer()) observer()(box);
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      if (id == IDOK || id == IDCANCEL) {
        EndDialog(box, id);
      } else if (is_link(id) && HIWORD(wparam) == STN_CLICKED) {
        URLGoTo(box, frmAbout::link_address(id));
      }
      return TRUE;
    }
    case WM_SETCURSOR:
      if (is_link(GetDlgCtrlID(reinterpret_cast<HWND>(wparam))) && hand_) {
        SetCursor(hand_.get());
        SetWindowLongPtrW(box, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      return FALSE;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wparam);
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lparam));
      if (id == frmAbout::kTxtHistorie) {
        SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
      }
      if (id != frmAbout::kLblTitle && !is_link(id)) return FALSE;
      SetTextColor(dc, id == frmAbout::kLblTitle ? kTitleColour : kLinkColour);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      draw_picture_box(
          item.hDC, item.rcItem,
          item.CtlID == static_cast<UINT>(frmAbout::kPicture2) ? glyph_.get() : mark_.get());
      return TRUE;
    }
    case WM_PAINT:
      paint_separator(box);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK about_proc(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
  try {
    if (message == WM_INITDIALOG) {
      auto* form = reinterpret_cast<AboutForm*>(lparam);
      SetWindowLongPtrW(box, DWLP_USER, lparam);
      form->load(box);
      PostMessageW(box, kShownMessage, 0, 0);
      return TRUE;
    }
    auto* form = reinterpret_cast<AboutForm*>(GetWindowLongPtrW(box, DWLP_USER));
    return form ? form->handle(box, message, wparam, lparam) : FALSE;
  } catch (...) {
    if (message == WM_INITDIALOG) EndDialog(box, -1);
    return FALSE;
  }
}

}  // namespace

void frmAbout::Show(HWND owner) {
  const std::vector<WORD> dialog = framework::empty_dialog_template(
      WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 0,
      L"Info zu Quon - Velmar TesselHeader-Control", 280, 240, L"MS Sans Serif", 8);
  AboutForm form;
  const INT_PTR result = DialogBoxIndirectParamW(
      framework::module_instance(), reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), owner,
      &about_proc, reinterpret_cast<LPARAM>(&form));
  if (result == -1) framework::raise_error(framework::error_number::kOutOfMemory);
}

const wchar_t* frmAbout::link_address(int id) {
  switch (id) {
    case kLabel2:
      return L"mailto:support@example.com";
    case kLabel3:
      return L"https://www.example.com/tessel";
    case kLabel7:
      return L"news://news.example.com/tessel.support";
    default:
      return nullptr;
  }
}

AboutBoxObserver set_about_box_observer(AboutBoxObserver o) {
  return std::exchange(observer(), std::move(o));
}

}  // namespace tessel
