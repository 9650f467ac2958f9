#include "screen_reader.h"

#include <oleacc.h>

#include <string>

#include "console.h"
#include "demo_error.h"
#include "framework/bstr.h"
#include "framework/com_ptr.h"

namespace demo {

namespace {

VARIANT child_id(LONG i) {
  VARIANT v;
  V_VT(&v) = VT_I4;
  V_I4(&v) = i;
  return v;
}

// The platform's own words for a role or a state, as screen readers use.
std::wstring role_text(DWORD role) {
  wchar_t text[128] = {};
  GetRoleTextW(role, text, std::size(text));
  return text;
}
std::wstring state_text(DWORD state) {
  wchar_t text[128] = {};
  GetStateTextW(state, text, std::size(text));
  return text;
}

LONG number(HRESULT hr, const VARIANT& value) {
  return SUCCEEDED(hr) && V_VT(&value) == VT_I4 ? V_I4(&value) : 0;
}

}  // namespace

void print_screen_reader_view(HWND header) {
  framework::ComPtr<IAccessible> object;
  const HRESULT hr = AccessibleObjectFromWindow(header, static_cast<DWORD>(OBJID_CLIENT),
                                                __uuidof(IAccessible), object.put_void());
  if (FAILED(hr) || !object) throw DemoError(L"the header has no accessible object");
  LONG count = 0;
  object->get_accChildCount(&count);
  print_line(L"screen reader: " + std::to_wstring(count) + L" columns");
  for (LONG i = 1; i <= count; ++i) {
    const VARIANT child = child_id(i);
    framework::Bstr name, description, shortcut;
    object->get_accName(child, name.put());
    object->get_accDescription(child, description.put());
    object->get_accKeyboardShortcut(child, shortcut.put());
    VARIANT role, state;
    VariantInit(&role);
    VariantInit(&state);
    std::wstring line =
        L"  column " + std::to_wstring(i) + L": \"" + name.str() + L"\", " +
        role_text(static_cast<DWORD>(number(object->get_accRole(child, &role), role)));
    const LONG states = number(object->get_accState(child, &state), state);
    for (DWORD bit = 1; bit != 0; bit <<= 1) {
      if (states & bit) line += L", " + state_text(bit);
    }
    if (!description.empty()) line += L", " + description.str();
    if (!shortcut.empty()) line += L", " + shortcut.str();
    print_line(line);
  }
}

}  // namespace demo
