#include "page_driver.h"

#include <ocidl.h>

#include <functional>
#include <string>

#include "framework/com_ptr.h"
#include "pages/allgemein_page.h"
#include "pages/register_page.h"
#include "support/com_test_env.h"
#include "support/page_site.h"
#include "tessel_interfaces.h"

namespace soak {

namespace {

using framework::ComPtr;
using namespace tessel_test;
namespace id = tessel::dispid;

void type_text(HWND edit, const std::wstring& text) {
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace

bool PageDriver::open(bool general) {
  general_ = general;
  const HRESULT made = general ? tessel::AllgemeinPage::create(IID_IPropertyPage, page_.put_void())
                               : tessel::RegisterPage::create(IID_IPropertyPage, page_.put_void());
  if (FAILED(made)) return false;
  PROPPAGEINFO info{};
  info.cb = sizeof info;
  IUnknown* objects[] = {control_};
  if (FAILED(page_->SetPageSite(&site_)) || FAILED(page_->SetObjects(1, objects)) ||
      FAILED(page_->GetPageInfo(&info))) {
    return false;
  }
  CoTaskMemFree(info.pszTitle);
  CoTaskMemFree(info.pszDocString);
  CoTaskMemFree(info.pszHelpFile);
  const RECT area{0, 0, info.size.cx, info.size.cy};
  if (FAILED(page_->Activate(parent_, &area, FALSE))) return false;
  return SUCCEEDED(page_->Show(SW_SHOWNORMAL));
}

bool PageDriver::close() {
  if (!page_) return true;
  const bool closed = SUCCEEDED(page_->Deactivate()) && SUCCEEDED(page_->SetObjects(0, nullptr)) &&
                      SUCCEEDED(page_->SetPageSite(nullptr));
  page_.reset();
  return closed;
}

bool PageDriver::session(std::mt19937& random, bool general) {
  if (!open(general)) {
    close();
    return false;
  }
  bool ok = true;
  for (unsigned applies = 1 + random() % 4; applies > 0; --applies) ok = apply(random) && ok;
  return close() && ok;
}

bool PageDriver::apply(std::mt19937& random) {
  // The page's dialog is the parent's only child.
  const HWND dialog = GetWindow(parent_, GW_CHILD);
  if (!dialog) return false;
  // What the control must hold once the page is applied.
  std::function<bool()> took_effect;
  if (general_) {
    const LONG height = 15 + static_cast<LONG>(random() % 26);
    type_text(GetDlgItem(dialog, tessel::AllgemeinPage::kTxtHeight), std::to_wstring(height));
    for (int box : {tessel::AllgemeinPage::kChkFrame, tessel::AllgemeinPage::kChkSortPics}) {
      if (random() % 2) SendMessageW(GetDlgItem(dialog, box), BM_CLICK, 0, 0);
    }
    took_effect = [=, this] { return as_long(get(control_, id::HeaderHeight)) == height; };
  } else {
    const std::wstring caption = L"Seite " + std::to_wstring(random() % 100);
    const LONG width = 20 + static_cast<LONG>(random() % 60);
    type_text(GetDlgItem(dialog, tessel::RegisterPage::kTxtCaption), caption);
    type_text(GetDlgItem(dialog, tessel::RegisterPage::kTxtWidth), std::to_wstring(width));
    // The column the page shows; none while the control has no column.
    const LONG shown = dynamic_cast<tessel::RegisterPage&>(*page_.get()).current_index();
    took_effect = [=, this] {
      if (shown == 0) return true;
      return as_string(get(control_, id::RowCaption, {vlong(shown)})) == caption &&
             as_long(get(control_, id::RowWidth, {vlong(shown)})) == width;
    };
  }
  return SUCCEEDED(page_->Apply()) && took_effect();
}

}  // namespace soak
