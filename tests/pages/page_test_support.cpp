#include "pages/page_test_support.h"

#include <commctrl.h>
#include <prsht.h>

#include <cmath>
#include <cwchar>

#include "framework/class_factory.h"
#include "pages/allgemein_page.h"
#include "pages/register_page.h"
#include "pages/tabs_c_page.h"
#include "tessel_interfaces.h"

namespace tessel_test {

namespace {

LinkedPages* g_linked = nullptr;

template <class Page>
struct Recorded {
  static HRESULT create(REFIID iid, void** object) {
    Page* page = new Page();
    if (g_linked) g_linked->made.emplace_back(page);
    HRESULT hr = page->QueryInterface(iid, object);
    page->Release();
    return hr;
  }
};

template <class Page>
DWORD register_page(const CLSID& clsid) {
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(framework::ClassFactory<Recorded<Page>>::get(IID_IClassFactory, factory.put_void()),
            S_OK);
  DWORD cookie = 0;
  EXPECT_EQ(CoRegisterClassObject(clsid, factory.get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                  &cookie),
            S_OK);
  return cookie;
}

const std::function<void()>* g_script = nullptr;
UINT_PTR g_timer = 0;
int g_ticks = 0;

HWND property_frame_window() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) -> BOOL {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (!IsWindowVisible(window) || std::wcscmp(name, L"#32770") != 0) return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Gives up after a few seconds: a frame that never shows cannot hold the test.
void CALLBACK frame_tick(HWND, UINT, UINT_PTR, DWORD) {
  HWND frame = property_frame_window();
  if (!frame && ++g_ticks < 300) return;
  KillTimer(nullptr, g_timer);
  g_timer = 0;
  if (frame && g_script) (*g_script)();
  if (HWND still = property_frame_window()) {
    PostMessageW(still, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  }
  EXPECT_NE(frame, nullptr) << "the property frame did not show";
}

}  // namespace

LinkedPages::LinkedPages() {
  create_linked_control();  // loads the DLL for the linked code's module handle
  g_linked = this;
  cookies = {register_page<tessel::AllgemeinPage>(tessel::CLSID_Allgemein),
             register_page<tessel::RegisterPage>(tessel::CLSID_Register),
             register_page<tessel::TabsCPage>(tessel::CLSID_TabsC)};
}

LinkedPages::~LinkedPages() {
  for (DWORD cookie : cookies) CoRevokeClassObject(cookie);
  g_linked = nullptr;
}

ComPtr<IPropertyPage> make_page(const CLSID& clsid) {
  ComPtr<IPropertyPage> page;
  EXPECT_EQ(
      CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage, page.put_void()),
      S_OK);
  return page;
}

HRESULT run_property_frame(const std::vector<IUnknown*>& objects, const std::vector<CLSID>& pages,
                           const std::function<void()>& script) {
  g_script = &script;
  g_ticks = 0;
  g_timer = SetTimer(nullptr, 0, 10, &frame_tick);
  std::vector<IUnknown*> list = objects;
  std::vector<CLSID> clsids = pages;
  HRESULT hr = OleCreatePropertyFrame(
      nullptr, 0, 0, L"Eigenschaften", static_cast<ULONG>(list.size()), list.data(),
      static_cast<ULONG>(clsids.size()), clsids.data(), LOCALE_USER_DEFAULT, 0, nullptr);
  if (g_timer) KillTimer(nullptr, g_timer);
  g_timer = 0;
  g_script = nullptr;
  pump_messages();
  return hr;
}

ComPtr<IDispatch> new_control() {
  ComPtr<IDispatch> control = create_control();
  auto persist = control.query<IPersistStreamInit>(IID_IPersistStreamInit);
  EXPECT_TRUE(persist && persist->InitNew() == S_OK);
  return control;
}

std::wstring decimal_sign() {
  wchar_t sign[8] = {};
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, sign, 8);
  return sign;
}

int twips_to_pixels(double twips, int axis) {
  HDC screen = GetDC(nullptr);
  const int ppi = GetDeviceCaps(screen, axis);
  ReleaseDC(nullptr, screen);
  return static_cast<int>(std::nearbyint(twips * ppi / 1440.0));
}

namespace {
std::wstring tooltip_of(HWND tips, HWND form, HWND child) {
  wchar_t text[256] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = form;
  tool.uId = reinterpret_cast<UINT_PTR>(child);
  tool.lpszText = text;
  if (tips) SendMessageW(tips, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
  return text;
}
}  // namespace

void expect_children(HWND form, HWND tips, const std::vector<ChildLayout>& table,
                     bool whole_order) {
  std::vector<int> order, expected_order;
  for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    order.push_back(GetDlgCtrlID(child));
  }
  for (const ChildLayout& e : table) expected_order.push_back(e.id);
  if (whole_order) {
    EXPECT_EQ(order, expected_order) << "tab order";
  }
  for (const ChildLayout& e : table) {
    SCOPED_TRACE(testing::Message() << "child " << e.id);
    HWND child = GetDlgItem(form, e.id);
    ASSERT_NE(child, nullptr);
    RECT r = rect_in_parent(child);
    if (e.inside) {
      const RECT box = rect_in_parent(GetDlgItem(form, e.inside));
      OffsetRect(&r, -box.left, -box.top);
    }
    EXPECT_EQ(r.left, twips_to_pixels(e.left, LOGPIXELSX));
    EXPECT_EQ(r.top, twips_to_pixels(e.top, LOGPIXELSY));
    EXPECT_EQ(r.right - r.left, twips_to_pixels(e.width, LOGPIXELSX));
    EXPECT_EQ(r.bottom - r.top, twips_to_pixels(e.height, LOGPIXELSY));
    if (e.text == L"*") {
      EXPECT_FALSE(text_of(child).empty());
    } else {
      EXPECT_EQ(text_of(child), e.text);
    }
    EXPECT_EQ(tooltip_of(tips, form, child), e.tooltip);
  }
}

}  // namespace tessel_test
