// Shared by the property page tests: the pages made by this test program's
// own copy of the page code (so that the seams set here reach them) and
// registered for their CLSIDs, Wine's property frame run around a script,
// controls to edit, and the answers to message boxes and the file dialog.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <ocidl.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "framework/hosting_helpers.h"
#include "framework/property_page.h"
#include "render/test_images.h"
#include "support/com_test_env.h"

namespace tessel_test {

// While it lives, CoCreateInstance of a page CLSID makes the linked page
// classes; every page made is kept, in order.
class LinkedPages {
 public:
  LinkedPages();
  LinkedPages(const LinkedPages&) = delete;
  LinkedPages& operator=(const LinkedPages&) = delete;
  ~LinkedPages();

  // The last page made of class Page, or nullptr.
  template <class Page>
  Page* last() const {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
      if (auto* page = dynamic_cast<Page*>(it->get())) return page;
    }
    return nullptr;
  }
  void record(framework::PropertyPage* page);

 private:
  std::vector<ComPtr<framework::PropertyPage>> made_;
  std::vector<DWORD> cookies_;
  std::vector<ComPtr<IClassFactory>> factories_;
};

// Shows Wine's property frame (OleCreatePropertyFrame) for objects with the
// pages, runs script from a timer on this thread once the frame is up, and
// then cancels the frame unless the script closed it. Returns the frame's
// result.
HRESULT run_property_frame(const std::vector<IUnknown*>& objects, const std::vector<CLSID>& pages,
                           const std::function<void()>& script);

// The property frame's top-level window while it is shown.
HWND property_frame_window();

// A new control made by CLSID from the DLL, initialised as newly placed
// (InitNew: one column of width 60 with an empty caption).
ComPtr<IDispatch> new_control();

// Wine's ATL container holding a control it made from the ProgID.
class HostedControl {
 public:
  HostedControl();
  HostedControl(const HostedControl&) = delete;
  HostedControl& operator=(const HostedControl&) = delete;
  ComPtr<IDispatch> control() const { return control_; }

 private:
  TestFrame frame_;
  HWND host_ = nullptr;
  ComPtr<IDispatch> control_;
};

// Answers every message box of the component with OK and records it.
struct MessageBoxCall {
  std::wstring text;
  std::wstring title;
  UINT style;
};
class MessageBoxes {
 public:
  MessageBoxes();
  MessageBoxes(const MessageBoxes&) = delete;
  MessageBoxes& operator=(const MessageBoxes&) = delete;
  ~MessageBoxes();
  const std::vector<MessageBoxCall>& calls() const { return calls_; }

 private:
  std::vector<MessageBoxCall> calls_;
};

// Answers the file dialog: writes path and its NUL over the start of the
// buffer, or leaves the buffer untouched when there is no path (cancel).
class FileDialogAnswer {
 public:
  explicit FileDialogAnswer(std::optional<std::string> path);
  FileDialogAnswer(const FileDialogAnswer&) = delete;
  FileDialogAnswer& operator=(const FileDialogAnswer&) = delete;
  ~FileDialogAnswer();
  int calls() const { return calls_; }

 private:
  int calls_ = 0;
};

// Typing into an edit box: replaces its whole text the way a user's edit
// does, so the box reports the change.
void type_text(HWND edit, const std::wstring& text);
std::wstring text_of(HWND window);
void click(HWND button);

// The locale's decimal sign, for numbers typed with a fractional part.
std::wstring decimal_sign();

// A file in the temporary folder that lives as long as the object.
class TempFile {
 public:
  TempFile(const std::wstring& name, const std::vector<BYTE>& bytes);
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile();
  const std::wstring& path() const { return path_; }
  std::string ansi_path() const;

 private:
  std::wstring path_;
};

// The bytes of a 16 × 16 icon file (one 32-bit image, opaque red with a
// transparent top-left quarter) and of a 4 × 4 24-bit bitmap file of colour.
std::vector<BYTE> icon_file_bytes();
std::vector<BYTE> bitmap_file_bytes(COLORREF colour);

}  // namespace tessel_test
