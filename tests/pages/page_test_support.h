// Shared by the page and dialog tests: pages of this program's own copy of
// the page code (so the seams set here reach them), Wine's property frame
// run around a script, and answers to message boxes and the file dialog.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "framework/hosting_helpers.h"
#include "framework/property_page.h"
#include "pages/common_dialog.h"
#include "pages/message_box.h"
#include "support/com_test_env.h"

namespace tessel_test {

// While it lives, CoCreateInstance of a page CLSID makes the linked page
// classes; every page made is kept, in order.
struct LinkedPages {
  LinkedPages();
  ~LinkedPages();

  // The last page made of class Page, or nullptr.
  template <class Page>
  Page* last() const {
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
      if (auto* page = dynamic_cast<Page*>(it->get())) return page;
    }
    return nullptr;
  }
  std::vector<ComPtr<framework::PropertyPage>> made;
  std::vector<DWORD> cookies;
};

ComPtr<IPropertyPage> make_page(const CLSID& clsid);

// Shows Wine's property frame for objects with the pages, runs script once
// the frame is up, then cancels the frame unless the script closed it.
HRESULT run_property_frame(const std::vector<IUnknown*>& objects, const std::vector<CLSID>& pages,
                           const std::function<void()>& script);

// The frame with the one linked page of class Page; script gets the page.
template <class Page>
void with_page(const std::vector<IUnknown*>& objects, const CLSID& clsid,
               const std::function<void(Page&)>& script) {
  LinkedPages pages;
  run_property_frame(objects, {clsid}, [&] {
    Page* page = pages.last<Page>();
    ASSERT_NE(page, nullptr);
    script(*page);
  });
}

// A control from the DLL as newly placed (one column of width 60, no caption).
ComPtr<IDispatch> new_control();

// Answers every message box of the component with OK and records it.
struct MessageBoxCall {
  std::wstring text, title;
  UINT style;
};
struct MessageBoxes {
  MessageBoxes() {
    tessel::set_message_box_handler(
        [this](const std::wstring& text, const std::wstring& title, UINT style) {
          calls.push_back({text, title, style});
          return IDOK;
        });
  }
  ~MessageBoxes() { tessel::set_message_box_handler(nullptr); }
  std::vector<MessageBoxCall> calls;
};

// Answers the file dialog with path, or cancels when there is none. A typed
// path gets the dialog's default extension when it has none, as the
// platform's dialog does with a name the developer typed.
struct FileDialogAnswer {
  explicit FileDialogAnswer(std::optional<std::string> path, bool typed = false) {
    tessel::mCommonDialog::set_open_dialog_function(
        [this, path, typed](OPENFILENAMEA* record) -> BOOL {
          ++calls;
          if (!path) return FALSE;
          std::string answer = *path;
          const size_t name = answer.find_last_of("\\/:");
          const bool extension =
              answer.find('.', name == std::string::npos ? 0 : name + 1) != std::string::npos;
          if (typed && !extension && record->lpstrDefExt) {
            answer += std::string(".") + record->lpstrDefExt;
          }
          std::memcpy(record->lpstrFile, answer.c_str(), answer.size() + 1);
          return TRUE;
        });
  }
  ~FileDialogAnswer() { tessel::mCommonDialog::set_open_dialog_function(nullptr); }
  int calls = 0;
};

// Replaces an edit box's whole text the way a user's edit does.
inline void type_text(HWND edit, const std::wstring& text) {
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}
inline std::wstring text_of(HWND window) { return framework::window_text(window); }
inline void click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
std::wstring decimal_sign();
// Twips as screen pixels along LOGPIXELSX or LOGPIXELSY, halves to even.
int twips_to_pixels(double twips, int axis);

// A child of a form: its text ("*": any but none), place and size in twips
// inside the form or inside the box with the id inside, and tooltip.
struct ChildLayout {
  int id;
  std::wstring text;
  int left, top, width, height;
  std::wstring tooltip = {};
  int inside = 0;
};
// Checks the children of form against table, which lists them in tab order
// unless whole_order is false; tips is the form's tooltip window, if any.
void expect_children(HWND form, HWND tips, const std::vector<ChildLayout>& table,
                     bool whole_order = true);

}  // namespace tessel_test
