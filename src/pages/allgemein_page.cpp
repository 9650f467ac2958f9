#include "pages/allgemein_page.h"

#include <cmath>

#include "framework/bstr.h"
#include "framework/error.h"
#include "framework/late_binding.h"
#include "pages/message_box.h"
#include "pages/page_controls.h"

namespace tessel {

namespace {

using framework::ChildSpec;

constexpr DWORD kVisible = WS_VISIBLE;

const ChildSpec kChildren[] = {
    {AllgemeinPage::kLabel5, L"STATIC", L"Header-Höhe:", kVisible | SS_LEFT, 240, 240, 1455, 255},
    {AllgemeinPage::kTxtHeight, L"EDIT", L"", kVisible | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL,
     240, 480, 1335, 285},
    {AllgemeinPage::kChkFrame, L"BUTTON", L"Show Frame", kVisible | WS_TABSTOP | BS_3STATE, 2880,
     360, 2700, 285},
    {AllgemeinPage::kChkSortPics, L"BUTTON", L"Show SortPics", kVisible | WS_TABSTOP | BS_3STATE,
     2880, 720, 2700, 285},
};

const framework::PageLayout kLayout{L"Allgemein", 5925, 3495, kChildren};

}  // namespace

HRESULT AllgemeinPage::create(REFIID iid, void** object) {
  return framework::create_page<AllgemeinPage>(iid, object);
}

AllgemeinPage::AllgemeinPage() : PropertyPage(kLayout) {}

// Each step ignores its own failure; the next one still runs.
void AllgemeinPage::selection_changed() {
  ignore_errors([&] {
    auto control = first_selected_control();
    set_check(kChkFrame,
              variant_to_long(framework::get_property_by_name(control.get(), L"ShowFrame")) & 1);
  });
  ignore_errors([&] {
    auto control = first_selected_control();
    set_check(kChkSortPics,
              variant_to_long(framework::get_property_by_name(control.get(), L"ShowSortPic")) & 1);
  });
  ignore_errors([&] {
    auto control = first_selected_control();
    set_height_text(std::to_wstring(
        variant_to_long(framework::get_property_by_name(control.get(), L"HeaderHeight"))));
  });
  set_changed(true);
}

// Only a checked box writes True: unchecked and grayed both write False.
void AllgemeinPage::apply_changes() {
  ignore_errors([&] {
    framework::put_property_by_name(first_selected_control().get(), L"ShowFrame",
                                    bool_variant(check_value(child(kChkFrame)) == BST_CHECKED));
  });
  ignore_errors([&] {
    framework::put_property_by_name(first_selected_control().get(), L"ShowSortPic",
                                    bool_variant(check_value(child(kChkSortPics)) == BST_CHECKED));
  });
  // The control converts the text; one that does not convert leaves the
  // height as it was.
  ignore_errors([&] {
    framework::Bstr text(framework::window_text(child(kTxtHeight)));
    VARIANT value;
    V_VT(&value) = VT_BSTR;
    V_BSTR(&value) = text.get();
    framework::put_property_by_name(first_selected_control().get(), L"HeaderHeight", value);
  });
}

void AllgemeinPage::command(int id, int code) {
  switch (id) {
    case kTxtHeight:
      if (code == EN_CHANGE) height_changed();
      break;
    case kChkFrame:
    case kChkSortPics:
      if (code == BN_CLICKED) {
        // A click checks an unchecked or grayed box and clears a checked one.
        const bool checked = check_value(child(id)) == BST_CHECKED;
        SendMessageW(child(id), BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
        set_changed(true);
      }
      break;
    default:
      break;
  }
}

void AllgemeinPage::height_changed() {
  const std::wstring text = framework::window_text(child(kTxtHeight));
  // A lone minus sign stays, so that a negative number can be typed.
  if (text == L"-") return;
  double number = 0;
  framework::Bstr source(text);
  if (FAILED(VarR8FromStr(source.get(), LOCALE_USER_DEFAULT, 0, &number)) ||
      !std::isfinite(number)) {
    show_message_box(L"Bitte geben Sie nur Zahlen ein ohne Komma", L"Velmar Tessel Control",
                     MB_OK | MB_ICONSTOP);
    // The box reports this change too; that pass accepts "0" and marks the
    // page changed.
    set_height_text(L"0");
    return;
  }
  // The largest integer not above the number, written back when it differs
  // (which runs this handler once more and ends there).
  framework::Bstr whole;
  if (SUCCEEDED(VarBstrFromR8(std::floor(number), LOCALE_USER_DEFAULT, 0, whole.put()))) {
    set_height_text(whole.str());
  }
  set_changed(true);
}

void AllgemeinPage::set_check(int id, LRESULT value) {
  SendMessageW(child(id), BM_SETCHECK, static_cast<WPARAM>(value), 0);
  set_changed(true);  // the box's Click handler
}

void AllgemeinPage::set_height_text(const std::wstring& text) {
  set_text_if_different(child(kTxtHeight), text);
}

}  // namespace tessel
