// The list under the header: a report-mode list view of the sample files
// without a header of its own (the header control stands above it), whose
// columns line up with the header's columns.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <span>
#include <string>
#include <vector>

#include "handles.h"
#include "sample_files.h"

namespace demo {

class FileList {
 public:
  // column_widths: the list's column widths in pixels, first to last.
  FileList(HWND parent, HFONT font, std::vector<SampleFile> files,
           std::span<const int> column_widths);
  FileList(const FileList&) = delete;
  FileList& operator=(const FileList&) = delete;

  HWND handle() const { return window_.get(); }
  void move(const RECT& position);
  size_t size() const { return files_.size(); }

  // Reorders the rows (LVM_SORTITEMS).
  void sort(FileColumn column, bool ascending);

  // Reads the rows back from the list view and checks that they follow the
  // sort: every row shows its file's texts, and each file comes before the
  // next one. Returns an empty string or what is wrong.
  std::wstring check_order(FileColumn column, bool ascending) const;

  // The texts of the first count rows in one column, as the list shows them.
  std::vector<std::wstring> first_texts(FileColumn column, size_t count) const;

 private:
  std::wstring item_text(int row, FileColumn column) const;
  LPARAM item_param(int row) const;

  std::vector<SampleFile> files_;
  UniqueImageList images_;  // outlives the window that shows it
  UniqueWindow window_;
};

}  // namespace demo
