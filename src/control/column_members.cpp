// The column model's members: adding, deleting and editing columns, and
// selecting one.
#include <climits>

#include "control/access_keys.h"
#include "render/picture_conversion.h"
#include "control/tessel_control.h"
#include "framework/bstr.h"
#include "framework/out_param.h"

namespace tessel {

using framework::out_param;

namespace {
constexpr wchar_t kGeneratedCaption[] = L"Spalte";
constexpr LONG kDefaultWidth = 60;

bool is_icon(IPictureDisp* picture) {
  if (!picture) return false;
  framework::ComPtr<IPicture> p;
  framework::check_hr(picture->QueryInterface(IID_IPicture, p.put_void()));
  SHORT type = PICTYPE_NONE;
  framework::check_hr(p->get_Type(&type));
  return type == PICTYPE_ICON;
}
}  // namespace

STDMETHODIMP TesselControl::get_NumberOfRows(LONG* value) {
  return boundary([&] { out_param(value) = s_.NumberOfRows; });
}

STDMETHODIMP TesselControl::get_RowWidth(LONG Index, LONG* value) {
  return boundary([&] { out_param(value) = s_.Tabs(Index).RowWidth; });
}

STDMETHODIMP TesselControl::put_RowWidth(LONG Index, LONG NewTabWidth) {
  return boundary([&] {
    s_.Tabs(Index).RowWidth = NewTabWidth;
    draw_tab();
    property_changed(dispid::RowWidth);
  });
}

STDMETHODIMP TesselControl::get_RowCaption(LONG Index, BSTR* value) {
  return boundary([&] { framework::put_bstr(value, s_.Tabs(Index).RowCaption); });
}

STDMETHODIMP TesselControl::put_RowCaption(LONG Index, BSTR NewTabCaption) {
  return boundary([&] {
    s_.Tabs(Index).RowCaption = framework::view_of(NewTabCaption);
    set_tab_access_keys();
    accessibility_.caption_changed(Index);
    draw_tab();
    property_changed(dispid::RowCaption);
  });
}

STDMETHODIMP TesselControl::get_RowSorted(LONG Index, VARIANT_BOOL* value) {
  return boundary([&] { out_param(value) = framework::to_variant_bool(s_.Tabs(Index).RowSort); });
}

STDMETHODIMP TesselControl::put_RowSorted(LONG Index, VARIANT_BOOL NewTabSort) {
  return boundary([&] {
    s_.Tabs(Index).RowSort = NewTabSort != VARIANT_FALSE;
    draw_tab();
    property_changed(dispid::RowSorted);
  });
}

STDMETHODIMP TesselControl::get_RowPicture(LONG Index, IPictureDisp** value) {
  return boundary([&] {
    IPictureDisp* picture = s_.Tabs(Index).RowIcon();
    if (picture) picture->AddRef();
    out_param(value) = picture;
  });
}

STDMETHODIMP TesselControl::putref_RowPicture(LONG Index, IPictureDisp* NewTabPicture) {
  return boundary([&] {
    framework::ComPtr<IPictureDisp> picture(NewTabPicture);
    // The icon is converted first; the index is checked when it is stored.
    if (is_icon(picture.get())) picture = ConvertIconToBitmap(picture.get());
    s_.Tabs(Index).set_RowIcon(picture.get());
    draw_tab();
    property_changed(dispid::RowPicture);
  });
}

STDMETHODIMP TesselControl::get_SortedRow(LONG* value) {
  return boundary([&] { out_param(value) = s_.SortedRow; });
}

STDMETHODIMP TesselControl::put_SortedRow(LONG NewSortedTab) {
  return boundary([&] {
    s_.SortedRow = NewSortedTab;
    changed(dispid::SortedRow);
  });
}

STDMETHODIMP TesselControl::get_SelectedRow(LONG* value) {
  return boundary([&] { out_param(value) = s_.SelectedRow; });
}

// Selecting a column reports it through RowPressed with the previous
// selection (the PreviousTab field itself, by reference), the sorted column
// and the sort word of the column's flag. Handlers already see the new
// SelectedRow; PreviousTab moves on after them.
void TesselControl::set_selected_row(LONG NewSelectedTab) {
  if (NewSelectedTab > s_.NumberOfRows) return;
  // A negative index fails here, before anything changes.
  const bool descending = s_.Tabs(NewSelectedTab).RowSort;
  s_.SelectedRow = NewSelectedTab;
  framework::Bstr sort(descending ? L"DESC" : L"ASC");
  LONG sorted = s_.SortedRow;
  raise_event(event_dispid::RowPressed, {framework::by_ref(s_.PreviousTab),
                                         framework::by_ref(sorted), framework::by_ref(sort.ref())});
  if (s_.SelectedRow > SHRT_MAX || s_.SelectedRow < SHRT_MIN) {
    framework::raise_error(framework::error_number::kOverflow);
  }
  s_.PreviousTab = static_cast<SHORT>(s_.SelectedRow);
  changed(dispid::SelectedRow);
}

STDMETHODIMP TesselControl::put_SelectedRow(LONG NewSelectedTab) {
  return boundary([&] { set_selected_row(NewSelectedTab); });
}

// Appends a column and returns its index. An empty caption becomes "Spalte",
// which is also written back into the caller's variable; an icon becomes a
// bitmap, which the caller's variable receives too.
LONG TesselControl::add_row(LONG* iTabWidth, BSTR* sTabText, IPictureDisp** pTabPicture) {
  const LONG width = iTabWidth ? *iTabWidth : kDefaultWidth;
  framework::ComPtr<IPictureDisp> picture(pTabPicture ? *pTabPicture : nullptr);
  if (is_icon(picture.get())) {
    picture = ConvertIconToBitmap(picture.get());
    if (pTabPicture) {
      if (*pTabPicture) (*pTabPicture)->Release();
      *pTabPicture = picture.get();
      picture->AddRef();
    }
  }
  if (s_.NumberOfRows >= kMaxColumnCount) {
    framework::raise_error(framework::error_number::kOverflow);
  }
  const LONG index = s_.NumberOfRows + 1;
  s_.Tabs.redim_preserve(index);
  s_.NumberOfRows = index;
  std::wstring_view text = sTabText ? framework::view_of(*sTabText) : std::wstring_view();
  const bool generated_caption = text.empty();
  if (generated_caption && sTabText) {
    BSTR generated = SysAllocString(kGeneratedCaption);
    if (!generated) throw std::bad_alloc();
    SysFreeString(*sTabText);
    *sTabText = generated;
  }
  // The record is filled before anything can run the container's code
  // (the access keys tell the site), which could add columns and move it.
  cTabs& record = s_.Tabs(index);
  record.RowWidth = width;
  record.RowCaption = generated_caption ? std::wstring_view(kGeneratedCaption) : text;
  record.RowSort = false;
  record.set_RowIcon(picture.get());
  if (!generated_caption) set_tab_access_keys();
  changed(dispid::NumberOfRows);
  return index;
}

STDMETHODIMP TesselControl::AddRow(LONG* iTabWidth, BSTR* sTabText, IPictureDisp** pTabPicture,
                                   LONG* value) {
  return boundary([&] {
    LONG index = add_row(iTabWidth, sTabText, pTabPicture);
    if (value) *value = index;
  });
}

// Drops the last column; the last remaining one is never removed. Its record
// stays in Tabs for the next AddRow.
STDMETHODIMP TesselControl::DeleteRow(VARIANT* value) {
  return boundary([&] {
    if (s_.NumberOfRows > 1) --s_.NumberOfRows;
    changed(dispid::NumberOfRows);
    if (value) VariantInit(value);
  });
}

void TesselControl::set_tab_access_keys() {
  s_.TabAccessKeys = collect_access_keys(s_);
  set_access_keys(s_.TabAccessKeys);
}

STDMETHODIMP TesselControl::SetTabAccessKeys() {
  return boundary([&] { set_tab_access_keys(); });
}

STDMETHODIMP TesselControl::GetPictureSize(IPictureDisp** pPicture, float* picX, float* picY) {
  return boundary([&] {
    out_param(picX) = 0;
    out_param(picY) = 0;
    float x = 0, y = 0;
    ::tessel::GetPictureSize(out_param(pPicture), x, y);
    *picX = x;
    *picY = y;
  });
}

STDMETHODIMP TesselControl::GetTabAccessKey(SHORT* iKey, LONG* value) {
  return boundary([&] { out_param(value) = find_access_key(s_.TabAccessKeys, out_param(iKey)); });
}

}  // namespace tessel
