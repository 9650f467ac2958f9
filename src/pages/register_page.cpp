#include "pages/register_page.h"

#include <algorithm>

#include "render/picture_conversion.h"
#include "framework/bstr.h"
#include "framework/error.h"
#include "framework/form_layout.h"
#include "framework/gdi.h"
#include "pages/button_icons.h"
#include "pages/common_dialog.h"
#include "pages/message_box.h"
#include "pages/page_controls.h"
#include "pages/picture_file.h"

namespace tessel {

namespace {

using framework::ChildSpec;

constexpr DWORD kVisible = WS_VISIBLE;
constexpr DWORD kButton = kVisible | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kEdit = kVisible | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD kPictureBox = SS_OWNERDRAW | SS_NOTIFY;
constexpr int kFrame1 = RegisterPage::kFrame1;

const ChildSpec kChildren[] = {
    {RegisterPage::kCmdDelete, L"BUTTON", L"Löschen", kButton, 4640, 240, 945, 285,
     L"Registerblatt löschen"},
    {kFrame1, L"BUTTON", L"Spalten Bild:", kVisible | BS_GROUPBOX, 120, 1350, 3060, 2055},
    {RegisterPage::kCmdDel, L"BUTTON", nullptr, kButton | BS_ICON, 2400, 285, 435, 435,
     L"Bild löschen", kFrame1},
    {RegisterPage::kPicTab, L"STATIC", nullptr, kVisible | kPictureBox, 135, 270, 1650, 1590,
     nullptr, kFrame1, WS_EX_CLIENTEDGE},
    {RegisterPage::kCmdOpenDlg, L"BUTTON", nullptr, kButton | BS_ICON, 1920, 285, 435, 435,
     L"Bild auswählen", kFrame1},
    {RegisterPage::kTxtIndex, L"EDIT", L"", kEdit | ES_READONLY, 1950, 240, 735, 285},
    {RegisterPage::kHsb, L"SCROLLBAR", nullptr, kVisible | WS_TABSTOP | SBS_HORZ, 2700, 240, 435,
     285},
    {RegisterPage::kTxtWidth, L"EDIT", L"", kEdit, 1950, 960, 1215, 285, L"Register Breite"},
    {RegisterPage::kTxtCaption, L"EDIT", L"", kEdit, 1950, 600, 3615, 285,
     L"Register Beschriftung (Caption)"},
    {RegisterPage::kCmdAddTab, L"BUTTON", L"Hinzufügen", kButton, 3600, 240, 1035, 285,
     L"Registerblatt hinzufügen"},
    {RegisterPage::kLbl3, L"STATIC", L"Index:", kVisible | SS_LEFT, 255, 270, 975, 255},
    {RegisterPage::kLbl1, L"STATIC", L"Spalten Breite:", kVisible | SS_LEFT, 270, 960, 1125, 255},
    {RegisterPage::kLbl0, L"STATIC", L"Spalten Beschriftung:", kVisible | SS_LEFT, 270, 600, 1575,
     255},
    // Hidden, as in the form it comes from: icons are converted in memory.
    {RegisterPage::kPicTemp, L"STATIC", nullptr, kPictureBox, 3840, 1920, 1740, 1500},
};

const framework::PageLayout kLayout{L"Header-Spalten", 5700, 3600, kChildren};

// The largest scroll bar maximum (a 16-bit integer).
constexpr LONG kMaxScroll = 32767;
constexpr COLORREF kPicTempBackground = RGB(255, 0, 255);

// Sets a flag for as long as it lives.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;
  ~FlagScope() { flag_ = false; }

 private:
  bool& flag_;
};

}  // namespace

HRESULT RegisterPage::create(REFIID iid, void** object) {
  return framework::create_page<RegisterPage>(iid, object);
}

RegisterPage::RegisterPage() : PropertyPage(kLayout) {}

_TesselControl& RegisterPage::control() const {
  if (!edited_control_) framework::raise_error(91);
  return *edited_control_.get();
}

void RegisterPage::created() {
  HWND bar = child(kHsb);
  SetScrollRange(bar, SB_CTL, 1, 1, FALSE);
  SetScrollPos(bar, SB_CTL, 1, TRUE);
  open_icon_ = make_open_folder_icon();
  delete_icon_ = make_delete_icon();
  SendMessageW(child(kCmdOpenDlg), BM_SETIMAGE, IMAGE_ICON,
               reinterpret_cast<LPARAM>(open_icon_.get()));
  SendMessageW(child(kCmdDel), BM_SETIMAGE, IMAGE_ICON,
               reinterpret_cast<LPARAM>(delete_icon_.get()));
}

void RegisterPage::destroyed() {
  open_icon_ = framework::Icon();
  delete_icon_ = framework::Icon();
}

// A new selection starts afresh on column 1 of its first control. Edits
// still pending belong to the control and column they were made on: they are
// dropped, never written to the new control (a frame that wants them applies
// the page before it changes the selection). Loading the new control's values
// is no edit, so it leaves nothing pending and does not offer Apply.
void RegisterPage::selection_changed() {
  current_index_ = 0;
  set_changed(false);
  const FlagScope loading(loading_selection_);
  ignore_errors([&] {
    edited_control_ = nullptr;
    edited_control_ = first_selected_control().query<_TesselControl>(IID__TesselControl);
  });
  LONG count = 0;
  ignore_errors([&] { framework::check_hr(control().get_NumberOfRows(&count)); });
  if (count == 0) return;
  // The bar goes to 1 before its maximum changes, so that nothing moves the
  // fields before column 1 is loaded.
  ignore_errors([&] {
    set_scroll_value(child(kHsb), 1);
    set_hsb_maximum(count);
  });
  ignore_errors([&] { set_text_if_different(child(kTxtIndex), L"1"); });
  current_index_ = 1;
  show_column();
}

void RegisterPage::show_column() {
  const int index = scroll_value(child(kHsb));
  ignore_errors([&] { set_text_if_different(child(kTxtIndex), std::to_wstring(index)); });
  // Pending edits belong to the column being left.
  if (changed() && index != current_index_) ignore_errors([&] { apply_changes(); });
  current_index_ = index;
  ignore_errors([&] {
    framework::Bstr caption;
    framework::check_hr(control().get_RowCaption(index, caption.put()));
    set_text_if_different(child(kTxtCaption), caption.str());
  });
  ignore_errors([&] {
    LONG width = 0;
    framework::check_hr(control().get_RowWidth(index, &width));
    set_text_if_different(child(kTxtWidth), std::to_wstring(width));
  });
  ignore_errors([&] {
    framework::ComPtr<IPictureDisp> picture;
    framework::check_hr(control().get_RowPicture(index, picture.put()));
    set_tab_picture(std::move(picture));
  });
  EnableWindow(child(kCmdDelete), index != 0);
}

// Each step ignores its own failure; the next one still runs.
void RegisterPage::apply_changes() {
  const LONG index = current_index_;
  if (index == 0) return;  // no column loaded: the fields belong to none
  ignore_errors([&] {
    if (GetWindowTextLengthW(child(kTxtWidth)) == 0) SetWindowTextW(child(kTxtWidth), L"60");
  });
  // A column never receives an empty caption from here.
  ignore_errors([&] {
    std::wstring caption = framework::window_text(child(kTxtCaption));
    if (caption.empty()) caption = L" ";
    framework::Bstr text(caption);
    framework::check_hr(control().put_RowCaption(index, text.get()));
  });
  // The locale's number rules; halves go to the even neighbour.
  ignore_errors([&] {
    framework::Bstr text(framework::window_text(child(kTxtWidth)));
    LONG width = 0;
    framework::check_hr(VarI4FromStr(text.get(), LOCALE_USER_DEFAULT, 0, &width));
    framework::check_hr(control().put_RowWidth(index, width));
  });
  ignore_errors(
      [&] { framework::check_hr(control().putref_RowPicture(index, tab_picture_.get())); });
}

void RegisterPage::command(int id, int code) {
  switch (id) {
    case kTxtCaption:
    case kTxtWidth:
      if (code == EN_CHANGE) field_changed();
      break;
    case kCmdAddTab:
      if (code == BN_CLICKED) add_column();
      break;
    case kCmdDelete:
      if (code == BN_CLICKED) delete_column();
      break;
    case kCmdOpenDlg:
      if (code == BN_CLICKED) choose_picture();
      break;
    case kCmdDel:
      // The column loses its picture only when the page is applied.
      if (code == BN_CLICKED) {
        set_tab_picture(nullptr);
        set_changed(true);
      }
      break;
    default:
      break;
  }
}

void RegisterPage::horizontal_scroll(int id, int code) {
  if (id != kHsb) return;
  HWND bar = child(kHsb);
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(bar, SB_CTL, &info);
  int value = info.nPos;
  switch (code) {
    case SB_LINELEFT:
    case SB_PAGELEFT:
      --value;
      break;
    case SB_LINERIGHT:
    case SB_PAGERIGHT:
      ++value;
      break;
    case SB_LEFT:
      value = info.nMin;
      break;
    case SB_RIGHT:
      value = info.nMax;
      break;
    case SB_THUMBPOSITION:
      value = info.nTrackPos;
      break;
    default:
      return;
  }
  set_hsb_value(std::clamp(value, info.nMin, info.nMax));
}

// No error trapping: a failure ends the handler.
void RegisterPage::add_column() {
  if (changed()) apply_changes();
  LONG width = 60;
  framework::Bstr text(L"");
  IPictureDisp* picture = nullptr;
  LONG count = 0;
  HRESULT hr = control().AddRow(&width, &text.ref(), &picture, &count);
  if (picture) picture->Release();
  framework::check_hr(hr);
  if (count > kMaxScroll) framework::raise_error(framework::error_number::kOverflow);
  set_hsb_maximum(count);
  set_hsb_value(count);
  set_changed(true);
  current_index_ = count;
  set_tab_picture(nullptr);
}

// The control drops its last column, whichever column the page shows.
void RegisterPage::delete_column() {
  ignore_errors([&] {
    framework::Variant result;
    framework::check_hr(control().DeleteRow(result.get()));
  });
  ignore_errors([&] {
    LONG count = 0;
    framework::check_hr(control().get_NumberOfRows(&count));
    set_hsb_maximum(count);
  });
  set_changed(true);
}

void RegisterPage::choose_picture() {
  const std::wstring path = mCommonDialog::fnc_ShowOpenDialog(
      L"Lade Spalten Bild", L"Alle Bild Dateien|*.bmp;*.ico", L"*.*");
  if (path.empty()) return;
  try {
    load_picture(path);
  } catch (const framework::ControlError& error) {
    if (error.number() == framework::error_number::kInvalidPicture) {
      show_message_box(L"Ungültiges Bild", L"Bild einfügen", MB_OK | MB_ICONSTOP);
    } else {
      show_message_box(std::to_wstring(error.number()) + L"\r\n" + error.description(),
                       L"QuonTessel", MB_OK);
    }
  }
}

// An icon reaches the column as a bitmap of the icon over magenta, the
// colour the painter's mask makes transparent.
void RegisterPage::load_picture(const std::wstring& path) {
  framework::ComPtr<IPictureDisp> picture = LoadPicture(path);
  if (is_icon_file_name(path)) picture = ConvertIconToBitmap(picture.get());
  set_tab_picture(std::move(picture));
  set_changed(true);
}

void RegisterPage::set_tab_picture(framework::ComPtr<IPictureDisp> picture) {
  if (picture.get() == tab_picture_.get()) return;
  tab_picture_ = std::move(picture);
  if (HWND box = child(kPicTab)) InvalidateRect(box, nullptr, TRUE);
  field_changed();  // picTab Change
}

void RegisterPage::field_changed() {
  if (!loading_selection_) set_changed(true);
}

void RegisterPage::set_hsb_value(int value) {
  HWND bar = child(kHsb);
  const int before = scroll_value(bar);
  set_scroll_value(bar, value);
  if (scroll_value(bar) != before) show_column();
}

// A maximum below the value lowers the value, which moves the fields.
void RegisterPage::set_hsb_maximum(LONG maximum) {
  if (maximum > kMaxScroll || maximum < -kMaxScroll - 1) {
    framework::raise_error(framework::error_number::kOverflow);
  }
  HWND bar = child(kHsb);
  const int before = scroll_value(bar);
  set_scroll_maximum(bar, static_cast<int>(maximum));
  if (scroll_value(bar) != before) show_column();
}

void RegisterPage::draw_item(const DRAWITEMSTRUCT& item) {
  if (item.CtlID == static_cast<UINT>(kPicTemp)) {
    framework::GdiObject<HBRUSH> magenta(CreateSolidBrush(kPicTempBackground));
    FillRect(item.hDC, &item.rcItem, magenta.get());
    return;
  }
  if (item.CtlID != static_cast<UINT>(kPicTab)) return;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  auto picture = tab_picture_.query<IPicture>(IID_IPicture);
  if (!picture) return;
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture->get_Width(&width);
  picture->get_Height(&height);
  float pixels_x = 0;
  float pixels_y = 0;
  GetPictureSize(tab_picture_.get(), pixels_x, pixels_y);
  // The picture sits at the top-left corner at its own size.
  picture->Render(item.hDC, 0, 0, static_cast<LONG>(pixels_x), static_cast<LONG>(pixels_y), 0,
                  height, width, -height, &item.rcItem);
}

// The locked index box has the scroll bars' system colour behind it.
HBRUSH RegisterPage::control_colour(HWND window, HDC dc) {
  if (window != child(kTxtIndex)) return nullptr;
  SetBkColor(dc, GetSysColor(COLOR_SCROLLBAR));
  return GetSysColorBrush(COLOR_SCROLLBAR);
}

}  // namespace tessel
