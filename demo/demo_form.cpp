#include "demo_form.h"

#include <olectl.h>

#include <utility>

#include "demo_error.h"
#include "framework/bstr.h"
#include "sample_picture.h"

namespace demo {

namespace {

constexpr wchar_t kFormClass[] = L"TesselDemoForm";
constexpr int kFontPoints = 8;
constexpr wchar_t kFontName[] = L"Tahoma";

}  // namespace

void DemoForm::register_class() {
  static const bool registered = [] {
    WNDCLASSEXW form{};
    form.cbSize = sizeof(form);
    form.lpfnWndProc = &DemoForm::procedure;
    form.hInstance = GetModuleHandleW(nullptr);
    form.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = kFormClass;
    return RegisterClassExW(&form) != 0;
  }();
  if (!registered) throw DemoError(L"registering the form's window class failed");
}

namespace {

framework::GdiObject<HFONT> create_form_font() {
  framework::WindowDc screen(nullptr);
  const int height = -MulDiv(kFontPoints, GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
  return framework::GdiObject<HFONT>(CreateFontW(
      height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kFontName));
}

framework::ComPtr<IFontDisp> create_ambient_font() {
  FONTDESC description{};
  description.cbSizeofstruct = sizeof(description);
  description.lpstrName = const_cast<LPOLESTR>(kFontName);
  description.cySize.int64 = kFontPoints * 10000LL;
  description.sWeight = FW_NORMAL;
  description.sCharset = DEFAULT_CHARSET;
  framework::ComPtr<IFontDisp> font;
  check(OleCreateFontIndirect(&description, IID_IFontDisp, font.put_void()),
        L"OleCreateFontIndirect");
  return font;
}

// Where the header puts its columns: column 1 starts 2 pixels right of the
// control's left edge, and each column takes its RowWidth and then a
// separator pair 2 pixels wide, after which the next column starts.
constexpr int kFirstColumnLeft = 2;
constexpr int kSeparatorWidth = 2;

// The list lies under the header from the same left edge: its first column
// also takes the header's 2-pixel margin, and each column ends where the
// header column's separator pair ends.
std::array<int, kFileColumnCount> list_column_widths() {
  std::array<int, kFileColumnCount> widths{};
  for (size_t i = 0; i < widths.size(); ++i) {
    widths[i] = static_cast<int>(kHeaderColumns[i].width) + kSeparatorWidth;
  }
  widths[0] += kFirstColumnLeft;
  return widths;
}

const wchar_t* direction_name(bool ascending) { return ascending ? L"ascending" : L"descending"; }

}  // namespace

DemoForm::DemoForm(IUnknown* control, std::vector<SampleFile> files, POINT origin, SIZE client,
                   std::function<void(std::wstring_view)> log)
    : log_(std::move(log)), font_(create_form_font()), ambient_font_(create_ambient_font()) {
  register_class();
  check(control->QueryInterface(tessel::IID__TesselControl, control_.put_void()),
        L"QueryInterface(_TesselControl)");

  constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  RECT frame{0, 0, client.cx, client.cy};
  AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
  window_.reset(CreateWindowExW(0, kFormClass, L"TesselControl demo", kStyle, origin.x, origin.y,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, GetModuleHandleW(nullptr), this));
  if (!window_) throw DemoError(L"creating the form failed");

  try {
    const std::array<int, kFileColumnCount> widths = list_column_widths();
    list_ = std::make_unique<FileList>(window_.get(), font_.get(), std::move(files), widths);
    RECT header_place{0, 0, client.cx, header_height_};
    host_ = std::make_unique<HeaderHost>(window_.get(), control, ambient_font_.get(), header_place,
                                         [this](int height) {
                                           header_height_ = height;
                                           layout();
                                         });
    events_ = std::make_unique<HeaderEventConnection>(
        control, [this](const HeaderEvent& event) { on_header_event(event); });
    configure_header();
    layout();
  } catch (...) {
    // The window is destroyed after the members its procedure reads: it
    // must not reach them.
    SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
    throw;
  }
}

DemoForm::~DemoForm() {
  close_header();
  if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
}

// The control is deactivated and let go while its parent window still
// exists.
void DemoForm::close_header() {
  events_.reset();
  host_.reset();
}

// A new control has one column: it becomes the first, and AddRow adds the
// others.
void DemoForm::configure_header() {
  framework::ComPtr<IPictureDisp> page = page_picture();
  for (size_t i = 0; i < kHeaderColumns.size(); ++i) {
    const HeaderColumn& column = kHeaderColumns[i];
    framework::Bstr caption(column.caption);
    LONG index = 1;
    if (i == 0) {
      check(control_->put_RowCaption(index, caption.get()), L"RowCaption");
      check(control_->put_RowWidth(index, column.width), L"RowWidth");
    } else {
      LONG width = column.width;
      IPictureDisp* no_picture = nullptr;
      check(control_->AddRow(&width, &caption.ref(), &no_picture, &index), L"AddRow");
    }
    if (column.picture) check(control_->putref_RowPicture(index, page.get()), L"RowPicture");
  }
}

void DemoForm::show(int command) {
  ShowWindow(window_.get(), command);
  UpdateWindow(window_.get());
}

void DemoForm::set_client_size(SIZE client) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(window_.get(), GWL_STYLE));
  RECT frame{0, 0, client.cx, client.cy};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  SetWindowPos(window_.get(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DemoForm::layout() {
  if (!window_ || !host_ || !list_) return;
  RECT client{};
  GetClientRect(window_.get(), &client);
  const RECT header{0, 0, client.right, header_height_};
  const RECT& now = host_->position();
  if (!EqualRect(&now, &header)) host_->place(header);
  list_->move({0, header_height_, client.right, client.bottom});
}

POINT DemoForm::column_middle(int column) const {
  LONG left = kFirstColumnLeft;
  for (int i = 1; i < column; ++i) {
    left += kHeaderColumns[static_cast<size_t>(i - 1)].width + kSeparatorWidth;
  }
  return {left + kHeaderColumns[static_cast<size_t>(column - 1)].width / 2, header_height_ / 2};
}

void DemoForm::on_header_event(const HeaderEvent& event) {
  log_(L"  " + event.text);
  const bool reports_sort =
      event.id == tessel::event_dispid::RowPressed || event.id == tessel::event_dispid::MouseDown;
  if (!reports_sort || event.sort_row < 1 || event.sort_row > kFileColumnCount) return;
  if (event.sort != L"ASC" && event.sort != L"DESC") return;
  const bool ascending = event.sort == L"ASC";
  const auto column = static_cast<int>(event.sort_row);
  if (column == sorted_column_ && ascending == ascending_) return;  // sorted so already
  list_->sort(static_cast<FileColumn>(column - 1), ascending);
  sorted_column_ = column;
  ascending_ = ascending;
  log_(std::wstring(L"  list sorted by ") +
       kHeaderColumns[static_cast<size_t>(column - 1)].caption + L", " + direction_name(ascending));
}

std::wstring DemoForm::check_agreement() const {
  if (sorted_column_ == 0) return L"the list was never sorted";
  LONG marked = 0;
  check(control_->get_SortedRow(&marked), L"SortedRow");
  if (marked != sorted_column_) {
    return L"the header marks column " + std::to_wstring(marked) + L", the list is sorted by " +
           std::to_wstring(sorted_column_);
  }
  // A press that reports "ASC" sets the column's flag, so that the next
  // press on it reports "DESC"; the marker is drawn from that flag.
  VARIANT_BOOL flag = VARIANT_FALSE;
  check(control_->get_RowSorted(marked, &flag), L"RowSorted");
  if ((flag != VARIANT_FALSE) != ascending_) {
    return std::wstring(L"the header's marker shows the list ") + direction_name(!ascending_);
  }
  return list_->check_order(static_cast<FileColumn>(sorted_column_ - 1), ascending_);
}

LRESULT CALLBACK DemoForm::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* form = reinterpret_cast<DemoForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!form) return DefWindowProcW(window, message, wparam, lparam);
  try {
    switch (message) {
      case WM_SIZE:
        form->layout();
        return 0;
      case WM_CLOSE:  // the user closes the form: the interactive demo ends
        form->close_header();
        DestroyWindow(window);
        return 0;
      case WM_DESTROY:  // the list goes before its parent, while its handle is valid
        form->list_.reset();
        PostQuitMessage(0);
        return 0;
      case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->window_.release();
        break;
      default:
        break;
    }
  } catch (...) {
    // Nothing thrown may leave a window procedure.
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace demo
