// The demo's form: the header control above a list of sample files. The form
// handles the header's RowPressed and MouseDown events and sorts the list by
// the reported column in the reported direction ("ASC" or "DESC"), so the
// header's sort marker and the list always agree. Resizing the form resizes
// both.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "file_list.h"
#include "framework/com_ptr.h"
#include "framework/gdi.h"
#include "handles.h"
#include "header_events.h"
#include "header_host.h"
#include "sample_files.h"
#include "tessel_interfaces.h"

namespace demo {

struct HeaderColumn {
  const wchar_t* caption;
  LONG width;  // pixels
  bool picture;
};

// The header's columns, one for each column of the list.
inline constexpr std::array<HeaderColumn, kFileColumnCount> kHeaderColumns{{
    {L"Name", 190, true},
    {L"Size", 90, false},
    {L"Type", 110, false},
    {L"Modified", 120, false},
}};

class DemoForm {
 public:
  // A hidden form at (x, y) with a client area of width x height, hosting
  // control (a new TesselControl) and showing files. log receives every
  // event of the header and every sort of the list, as lines.
  DemoForm(IUnknown* control, std::vector<SampleFile> files, POINT origin, SIZE client,
           std::function<void(std::wstring_view)> log);
  DemoForm(const DemoForm&) = delete;
  DemoForm& operator=(const DemoForm&) = delete;
  ~DemoForm();

  HWND handle() const { return window_.get(); }
  HWND header_window() const { return host_->window(); }
  const FileList& list() const { return *list_; }

  void show(int command);
  void set_client_size(SIZE client);

  // The middle of a column (1-based) in the header window's pixels: where a
  // press hits it.
  POINT column_middle(int column) const;

  // The column the list is sorted by (1-based; 0 before the first press).
  int sorted_column() const { return sorted_column_; }
  bool ascending() const { return ascending_; }
  // Whether the header's sort marker (SortedRow and its column's flag) and
  // the list's order agree: an empty string, or what disagrees.
  std::wstring check_agreement() const;

 private:
  static void register_class();
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void close_header();
  void layout();
  void configure_header();
  void on_header_event(const HeaderEvent& event);

  std::function<void(std::wstring_view)> log_;
  // Destroyed last: the host has deactivated the control before its parent
  // window goes.
  UniqueWindow window_;
  framework::GdiObject<HFONT> font_;
  framework::ComPtr<IFontDisp> ambient_font_;
  framework::ComPtr<tessel::_TesselControl> control_;
  std::unique_ptr<FileList> list_;
  std::unique_ptr<HeaderHost> host_;
  std::unique_ptr<HeaderEventConnection> events_;
  int header_height_ = 25;  // until the header asks for its own
  int sorted_column_ = 0;
  bool ascending_ = true;
};

}  // namespace demo
