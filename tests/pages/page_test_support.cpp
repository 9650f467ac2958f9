#include "pages/page_test_support.h"

#include <gtest/gtest.h>
#include <prsht.h>

#include <cstring>

#include "framework/form_layout.h"
#include "framework/module.h"
#include "pages/allgemein_page.h"
#include "pages/common_dialog.h"
#include "pages/message_box.h"
#include "pages/register_page.h"
#include "pages/tabs_c_page.h"
#include "tessel_interfaces.h"

namespace tessel_test {

namespace {

// A class object that makes Page with the linked code and records it.
template <class Page>
class CapturingFactory final : public IClassFactory {
 public:
  explicit CapturingFactory(LinkedPages& pages) : pages_(pages) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    Page* page = new Page();
    pages_.record(page);
    HRESULT hr = page->QueryInterface(iid, object);
    page->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 private:
  LinkedPages& pages_;
  ULONG refs_ = 1;
};

template <class Page>
void register_page(LinkedPages& pages, const CLSID& clsid, std::vector<DWORD>& cookies,
                   std::vector<ComPtr<IClassFactory>>& factories) {
  auto factory = ComPtr<IClassFactory>::adopt(new CapturingFactory<Page>(pages));
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(clsid, factory.get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                  &cookie),
            S_OK);
  cookies.push_back(cookie);
  factories.push_back(factory);
}

const std::function<void()>* g_script = nullptr;
UINT_PTR g_timer = 0;
int g_ticks = 0;

BOOL CALLBACK find_frame(HWND window, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (IsWindowVisible(window) && std::wcscmp(name, L"#32770") == 0) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

// Runs the script once the frame is up; gives up after a few seconds so
// that a frame that never showed its page cannot hold the test.
void CALLBACK frame_tick(HWND, UINT, UINT_PTR, DWORD) {
  HWND frame = property_frame_window();
  ++g_ticks;
  if (!frame && g_ticks < 300) return;
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
  register_page<tessel::AllgemeinPage>(*this, tessel::CLSID_Allgemein, cookies_, factories_);
  register_page<tessel::RegisterPage>(*this, tessel::CLSID_Register, cookies_, factories_);
  register_page<tessel::TabsCPage>(*this, tessel::CLSID_TabsC, cookies_, factories_);
}

LinkedPages::~LinkedPages() {
  for (DWORD cookie : cookies_) CoRevokeClassObject(cookie);
}

void LinkedPages::record(framework::PropertyPage* page) {
  made_.push_back(ComPtr<framework::PropertyPage>(page));
}

HWND property_frame_window() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &find_frame, reinterpret_cast<LPARAM>(&found));
  return found;
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
  EXPECT_TRUE(persist);
  if (persist) {
    EXPECT_EQ(persist->InitNew(), S_OK);
  }
  return control;
}

HostedControl::HostedControl() {
  ensure_registered();
  static HRESULT(WINAPI * get_control)(HWND, IUnknown**) = nullptr;
  static const bool ready = [] {
    HMODULE atl = LoadLibraryW(L"atl.dll");
    if (!atl) return false;
    auto init = reinterpret_cast<BOOL(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
    get_control = reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(
        reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
    return init && get_control && init();
  }();
  EXPECT_TRUE(ready) << "atl.dll's host window is not available";
  host_ =
      CreateWindowExW(0, L"AtlAxWin", L"QuonTessel.TesselControl", WS_CHILD | WS_VISIBLE, 10, 10,
                      300, 25, frame_.handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  EXPECT_NE(host_, nullptr);
  pump_messages();
  ComPtr<IUnknown> unknown;
  if (ready && host_ && SUCCEEDED(get_control(host_, unknown.put()))) {
    control_ = unknown.query<IDispatch>(IID_IDispatch);
  }
  EXPECT_TRUE(control_);
}

MessageBoxes::MessageBoxes() {
  tessel::set_message_box_handler(
      [this](const std::wstring& text, const std::wstring& title, UINT style) {
        calls_.push_back({text, title, style});
        return IDOK;
      });
}

MessageBoxes::~MessageBoxes() { tessel::set_message_box_handler(nullptr); }

FileDialogAnswer::FileDialogAnswer(std::optional<std::string> path) {
  tessel::mCommonDialog::set_open_dialog_function([this, path](OPENFILENAMEA* record) -> BOOL {
    ++calls_;
    if (!path) return FALSE;
    std::memcpy(record->lpstrFile, path->c_str(), path->size() + 1);
    return TRUE;
  });
}

FileDialogAnswer::~FileDialogAnswer() { tessel::mCommonDialog::set_open_dialog_function(nullptr); }

void type_text(HWND edit, const std::wstring& text) {
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring text_of(HWND window) { return framework::window_text(window); }

void click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

std::wstring decimal_sign() {
  wchar_t sign[8] = {};
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, sign, 8);
  return sign;
}

TempFile::TempFile(const std::wstring& name, const std::vector<BYTE>& bytes) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  path_ = std::wstring(folder) + name;
  HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

TempFile::~TempFile() { DeleteFileW(path_.c_str()); }

std::string TempFile::ansi_path() const {
  std::string ansi(path_.size() * 2 + 1, '\0');
  const int n = WideCharToMultiByte(CP_ACP, 0, path_.c_str(), -1, ansi.data(),
                                    static_cast<int>(ansi.size()), nullptr, nullptr);
  ansi.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
  return ansi;
}

namespace {
template <class T>
void append(std::vector<BYTE>& bytes, const T& value) {
  const size_t at = bytes.size();
  bytes.resize(at + sizeof value);
  std::memcpy(bytes.data() + at, &value, sizeof value);
}
}  // namespace

std::vector<BYTE> icon_file_bytes() {
  constexpr int kSize = 16;
  std::vector<BYTE> image;
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = kSize;
  header.biHeight = kSize * 2;  // colour and mask
  header.biPlanes = 1;
  header.biBitCount = 32;
  append(image, header);
  // Rows bottom-up; the top-left quarter (rows 8..15 from the bottom,
  // columns 0..7) is transparent.
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const bool clear = y >= 8 && x < 8;
      append<DWORD>(image, clear ? 0x00000000u : 0xFFFF0000u);
    }
  }
  for (int y = 0; y < kSize; ++y) {
    const BYTE bits = y >= 8 ? 0xFF : 0x00;  // columns 0..7 transparent
    append<BYTE>(image, bits);
    append<BYTE>(image, 0);
    append<BYTE>(image, 0);
    append<BYTE>(image, 0);
  }
  std::vector<BYTE> file;
  append<WORD>(file, 0);  // reserved
  append<WORD>(file, 1);  // icon
  append<WORD>(file, 1);  // one image
  append<BYTE>(file, kSize);
  append<BYTE>(file, kSize);
  append<BYTE>(file, 0);
  append<BYTE>(file, 0);
  append<WORD>(file, 1);
  append<WORD>(file, 32);
  append<DWORD>(file, static_cast<DWORD>(image.size()));
  append<DWORD>(file, 6 + 16);
  for (BYTE b : image) file.push_back(b);
  return file;
}

std::vector<BYTE> bitmap_file_bytes(COLORREF colour) {
  constexpr int kSize = 4;
  std::vector<BYTE> pixels;
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      append<BYTE>(pixels, GetBValue(colour));
      append<BYTE>(pixels, GetGValue(colour));
      append<BYTE>(pixels, GetRValue(colour));
    }
  }
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = kSize;
  info.biHeight = kSize;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biSizeImage = static_cast<DWORD>(pixels.size());
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof header + sizeof info;
  header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
  std::vector<BYTE> file;
  append(file, header);
  append(file, info);
  for (BYTE b : pixels) file.push_back(b);
  return file;
}

}  // namespace tessel_test
