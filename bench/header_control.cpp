#include "header_control.h"

#include <commctrl.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/variant.h"

namespace bench {

namespace {
void write_all(IStream* stream, const void* data, ULONG size) {
  ULONG done = 0;
  if (FAILED(stream->Write(data, size, &done)) || done != size) {
    throw std::runtime_error("stream write failed");
  }
}
void read_all(IStream* stream, void* data, ULONG size) {
  ULONG done = 0;
  if (FAILED(stream->Read(data, size, &done)) || done != size) {
    throw std::runtime_error("stream read failed");
  }
}
void write_value(IPropertyBag* bag, const wchar_t* name, const framework::Variant& value) {
  if (FAILED(bag->Write(name, const_cast<VARIANT*>(value.get())))) {
    throw std::runtime_error("bag write failed");
  }
}
framework::Variant read_value(IPropertyBag* bag, const wchar_t* name, VARTYPE type) {
  framework::Variant value;
  V_VT(value.get()) = type;
  if (FAILED(bag->Read(name, value.get(), nullptr))) throw std::runtime_error("bag read failed");
  return value;
}
}  // namespace

HeaderControl::HeaderControl(HWND parent, int width, int height) {
  static const bool initialised = [] {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  if (!initialised) throw std::runtime_error("InitCommonControlsEx failed");
  window_ = CreateWindowExW(0, WC_HEADERW, L"",
                            WS_CHILD | WS_VISIBLE | HDS_HORZ | HDS_HOTTRACK | HDS_BUTTONS, 0, 0,
                            width, height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window_) throw std::runtime_error("cannot create the header control");
}

HeaderControl::~HeaderControl() {
  if (window_) DestroyWindow(window_);
}

int HeaderControl::count() const {
  return static_cast<int>(SendMessageW(window_, HDM_GETITEMCOUNT, 0, 0));
}

void HeaderControl::add(int width, const wchar_t* text) {
  HDITEMW item{};
  item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
  item.cxy = width;
  item.pszText = const_cast<wchar_t*>(text);
  item.fmt = HDF_LEFT | HDF_STRING;
  SendMessageW(window_, HDM_INSERTITEMW, static_cast<WPARAM>(count()),
               reinterpret_cast<LPARAM>(&item));
}

void HeaderControl::clear() {
  for (int n = count(); n > 0; --n) SendMessageW(window_, HDM_DELETEITEM, n - 1, 0);
}

void HeaderControl::print(HDC dc) {
  SendMessageW(window_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
}

void HeaderControl::move(int x, int y) {
  SendMessageW(window_, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  UpdateWindow(window_);
}

int HeaderControl::item(int index, wchar_t (&text)[kTextLength]) const {
  HDITEMW item{};
  item.mask = HDI_WIDTH | HDI_TEXT;
  item.pszText = text;
  item.cchTextMax = kTextLength;
  SendMessageW(window_, HDM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
  return item.cxy;
}

void HeaderControl::save(IPropertyBag* bag) const {
  const int n = count();
  write_value(bag, L"Count", framework::Variant::from_long(n));
  wchar_t text[kTextLength];
  for (int i = 0; i < n; ++i) {
    const int width = item(i, text);
    const std::wstring key = std::to_wstring(i + 1);
    write_value(bag, (L"Width" + key).c_str(), framework::Variant::from_long(width));
    write_value(bag, (L"Caption" + key).c_str(), framework::Variant::from_text(text));
  }
}

void HeaderControl::load(IPropertyBag* bag) {
  const int n = static_cast<int>(V_I4(read_value(bag, L"Count", VT_I4).get()));
  for (int i = 0; i < n; ++i) {
    const std::wstring key = std::to_wstring(i + 1);
    const framework::Variant width = read_value(bag, (L"Width" + key).c_str(), VT_I4);
    const framework::Variant caption = read_value(bag, (L"Caption" + key).c_str(), VT_BSTR);
    add(static_cast<int>(V_I4(width.get())), V_BSTR(caption.get()));
  }
}

void HeaderControl::save(IStream* stream) const {
  const int n = count();
  write_all(stream, &n, sizeof n);
  wchar_t text[kTextLength];
  for (int i = 0; i < n; ++i) {
    const int width = item(i, text);
    const int length = lstrlenW(text);
    write_all(stream, &width, sizeof width);
    write_all(stream, &length, sizeof length);
    write_all(stream, text, static_cast<ULONG>(length * sizeof(wchar_t)));
  }
}

void HeaderControl::load(IStream* stream) {
  int n = 0;
  read_all(stream, &n, sizeof n);
  std::vector<wchar_t> text;
  for (int i = 0; i < n; ++i) {
    int width = 0, length = 0;
    read_all(stream, &width, sizeof width);
    read_all(stream, &length, sizeof length);
    text.assign(static_cast<size_t>(length) + 1, L'\0');
    read_all(stream, text.data(), static_cast<ULONG>(length * sizeof(wchar_t)));
    add(width, text.data());
  }
}

}  // namespace bench
