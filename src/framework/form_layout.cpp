#include "framework/form_layout.h"

#include <commctrl.h>

#include <cmath>

#include "framework/error.h"
#include "framework/module.h"
#include "framework/units.h"

namespace framework {

namespace {

constexpr double kTwipsPerInch = 1440.0;

int to_pixels(double twips, int pixels_per_inch) {
  return static_cast<int>(std::nearbyint(twips * pixels_per_inch / kTwipsPerInch));
}

const ChildSpec* find(std::span<const ChildSpec> table, int id) {
  for (const ChildSpec& child : table) {
    if (child.id == id) return &child;
  }
  return nullptr;
}

}  // namespace

int layout_pixels_x(double twips) { return to_pixels(twips, screen_pixels_per_inch_x()); }
int layout_pixels_y(double twips) { return to_pixels(twips, screen_pixels_per_inch_y()); }

RECT layout_rect(const ChildSpec& child, std::span<const ChildSpec> table) {
  // Inside a group box the child keeps its own rounded offset from the box.
  int x = layout_pixels_x(child.left);
  int y = layout_pixels_y(child.top);
  if (const ChildSpec* box = find(table, child.container)) {
    x += layout_pixels_x(box->left);
    y += layout_pixels_y(box->top);
  }
  return RECT{x, y, x + layout_pixels_x(child.width), y + layout_pixels_y(child.height)};
}

void create_children(HWND parent, std::span<const ChildSpec> table, HFONT font) {
  for (const ChildSpec& child : table) {
    const RECT r = layout_rect(child, table);
    HWND window = CreateWindowExW(
        child.ex_style, child.window_class, child.text ? child.text : L"", WS_CHILD | child.style,
        r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(child.id)), module_instance(), nullptr);
    if (!window) raise_error(error_number::kOutOfMemory);
    if (font) SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
}

HWND add_tooltips(HWND parent, std::span<const ChildSpec> table) {
  HWND tips = nullptr;
  for (const ChildSpec& child : table) {
    if (!child.tooltip) continue;
    if (!tips) {
      INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
      InitCommonControlsEx(&classes);
      tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent,
                             nullptr, module_instance(), nullptr);
      if (!tips) return nullptr;
    }
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = parent;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(parent, child.id));
    tool.lpszText = const_cast<wchar_t*>(child.tooltip);
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  return tips;
}

GdiObject<HFONT> make_font(const wchar_t* face, double points, bool bold, bool underline) {
  const int height = -static_cast<int>(std::nearbyint(points * screen_pixels_per_inch_y() / 72.0));
  return GdiObject<HFONT>(CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                                      underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                      DEFAULT_PITCH | FF_DONTCARE, face));
}

std::wstring window_text(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace framework
