#include "file_list.h"

#include <iterator>
#include <utility>

#include "demo_error.h"
#include "sample_picture.h"

namespace demo {

namespace {

struct SortOrder {
  const std::vector<SampleFile>* files;
  FileColumn column;
  bool ascending;
};

// LVM_SORTITEMS hands over the rows' lParam values: indexes into files.
int CALLBACK compare_rows(LPARAM a, LPARAM b, LPARAM order_param) {
  const auto& order = *reinterpret_cast<const SortOrder*>(order_param);
  const SampleFile& first = (*order.files)[static_cast<size_t>(a)];
  const SampleFile& second = (*order.files)[static_cast<size_t>(b)];
  if (comes_before(first, second, order.column, order.ascending)) return -1;
  if (comes_before(second, first, order.column, order.ascending)) return 1;
  return 0;
}

}  // namespace

FileList::FileList(HWND parent, HFONT font, std::vector<SampleFile> files,
                   std::span<const int> column_widths)
    : files_(std::move(files)) {
  window_.reset(CreateWindowExW(0, WC_LISTVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | LVS_REPORT |
                                    LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                    LVS_SHAREIMAGELISTS,
                                0, 0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr));
  if (!window_) throw DemoError(L"creating the list view failed");
  HWND list = window_.get();
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);

  // The first column shows the header's page picture in front of the name.
  // The image list is ours (LVS_SHAREIMAGELISTS): the list view leaves it.
  images_.reset(ImageList_Create(kPictureSize, kPictureSize, ILC_COLOR24 | ILC_MASK, 1, 0));
  OwnedBitmap page = draw_page_bitmap();
  ImageList_AddMasked(images_.get(), page.get(), kPictureMask);
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images_.get()));

  for (int i = 0; i < static_cast<int>(column_widths.size()); ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH | LVCF_FMT;
    column.fmt = static_cast<FileColumn>(i) == FileColumn::size ? LVCFMT_RIGHT : LVCFMT_LEFT;
    column.cx = column_widths[static_cast<size_t>(i)];
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(&column));
  }
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  for (size_t row = 0; row < files_.size(); ++row) {
    std::wstring name = cell_text(files_[row], FileColumn::name);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = static_cast<int>(row);
    item.pszText = name.data();
    item.lParam = static_cast<LPARAM>(row);
    item.iImage = 0;
    const auto index =
        static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    for (int column = 1; column < kFileColumnCount; ++column) {
      std::wstring text = cell_text(files_[row], static_cast<FileColumn>(column));
      LVITEMW cell{};
      cell.iSubItem = column;
      cell.pszText = text.data();
      SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&cell));
    }
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

void FileList::move(const RECT& position) {
  MoveWindow(window_.get(), position.left, position.top, position.right - position.left,
             position.bottom - position.top, TRUE);
}

void FileList::sort(FileColumn column, bool ascending) {
  SortOrder order{&files_, column, ascending};
  SendMessageW(window_.get(), LVM_SORTITEMS, reinterpret_cast<WPARAM>(&order),
               reinterpret_cast<LPARAM>(&compare_rows));
  SendMessageW(window_.get(), LVM_ENSUREVISIBLE, 0, FALSE);
}

std::wstring FileList::check_order(FileColumn column, bool ascending) const {
  const auto rows = static_cast<int>(SendMessageW(window_.get(), LVM_GETITEMCOUNT, 0, 0));
  if (rows != static_cast<int>(files_.size())) return L"the list lost rows";
  const SampleFile* previous = nullptr;
  for (int row = 0; row < rows; ++row) {
    const LPARAM index = item_param(row);
    if (index < 0 || index >= rows) return L"a row without its file";
    const SampleFile& file = files_[static_cast<size_t>(index)];
    for (int c = 0; c < kFileColumnCount; ++c) {
      const auto shown = static_cast<FileColumn>(c);
      if (item_text(row, shown) != cell_text(file, shown)) {
        return L"row " + std::to_wstring(row + 1) + L" shows another file's text";
      }
    }
    if (previous && !comes_before(*previous, file, column, ascending)) {
      return L"rows " + std::to_wstring(row) + L" and " + std::to_wstring(row + 1) +
             L" are out of order";
    }
    previous = &file;
  }
  return {};
}

std::vector<std::wstring> FileList::first_texts(FileColumn column, size_t count) const {
  std::vector<std::wstring> texts;
  for (size_t row = 0; row < count && row < files_.size(); ++row) {
    texts.push_back(item_text(static_cast<int>(row), column));
  }
  return texts;
}

std::wstring FileList::item_text(int row, FileColumn column) const {
  wchar_t text[260] = L"";
  LVITEMW item{};
  item.iSubItem = static_cast<int>(column);
  item.pszText = text;
  item.cchTextMax = static_cast<int>(std::size(text));
  SendMessageW(window_.get(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&item));
  return text;
}

LPARAM FileList::item_param(int row) const {
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  item.lParam = -1;
  SendMessageW(window_.get(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return item.lParam;
}

}  // namespace demo
