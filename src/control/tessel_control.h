// TesselControl: the list-header control. Its members are those of the dual
// interface _TesselControl; the framework's ControlBase supplies IDispatch,
// events, property notifications, embedding and persistence.
#pragma once

#include <span>
#include <string_view>

#include "access/header_accessible.h"
#include "control/control_state.h"
#include "framework/control_base.h"
#include "render/paint_surface.h"
#include "tessel_interfaces.h"

namespace tessel {

// The control's class description. MiscStatus: a client site before loading,
// activation when visible, redraw on resize, no links into it, in-place
// activation without the container's menus and toolbars. A control that no
// container has sized is 200 x 25 pixels. Error information names the
// ProgID as its source.
inline constexpr framework::ControlClass kTesselClass{
    &CLSID_TesselControl,
    &IID__TesselControl,
    &DIID___TesselControl,
    L"QuonTessel.TesselControl",
    L"QuonTessel.TesselControl",
    OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_RECOMPOSEONRESIZE |
        OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT,
    {200, 25}};

class TesselControl final : public framework::ControlBase<_TesselControl> {
 public:
  static HRESULT create(REFIID iid, void** object);

  // Appearance (stored values; painting reads them)
  STDMETHODIMP get_HeaderHeight(LONG* value) override;
  STDMETHODIMP put_HeaderHeight(LONG NewTabHeight) override;
  STDMETHODIMP get_BackColor(OLE_COLOR* value) override;
  STDMETHODIMP put_BackColor(OLE_COLOR NewBackColor) override;
  STDMETHODIMP get_ForeColor(OLE_COLOR* value) override;
  STDMETHODIMP put_ForeColor(OLE_COLOR NewForeColor) override;
  STDMETHODIMP get_ForeColorActive(OLE_COLOR* value) override;
  STDMETHODIMP put_ForeColorActive(OLE_COLOR NewForeColorActive) override;
  STDMETHODIMP get_BackColorForm(OLE_COLOR* value) override;
  STDMETHODIMP put_BackColorForm(OLE_COLOR NewBackColorForm) override;
  STDMETHODIMP get_MouseMoveColor0(OLE_COLOR* value) override;
  STDMETHODIMP put_MouseMoveColor0(OLE_COLOR NewColor) override;
  STDMETHODIMP get_MouseMoveColor1(OLE_COLOR* value) override;
  STDMETHODIMP put_MouseMoveColor1(OLE_COLOR NewColor) override;
  STDMETHODIMP get_MouseMoveColor2(OLE_COLOR* value) override;
  STDMETHODIMP put_MouseMoveColor2(OLE_COLOR NewColor) override;
  STDMETHODIMP put_RegisterFocusColor0(OLE_COLOR NewColor) override;
  STDMETHODIMP get_RegisterFocusColor0(OLE_COLOR* value) override;
  STDMETHODIMP put_RegisterFocusColor1(OLE_COLOR NewColor) override;
  STDMETHODIMP get_RegisterFocusColor1(OLE_COLOR* value) override;
  STDMETHODIMP put_RegisterFocusColor2(OLE_COLOR NewColor) override;
  STDMETHODIMP get_RegisterFocusColor2(OLE_COLOR* value) override;
  STDMETHODIMP get_FrameColor(OLE_COLOR* value) override;
  STDMETHODIMP put_FrameColor(OLE_COLOR NewFrameColor) override;

  // Columns
  STDMETHODIMP get_RowWidth(LONG Index, LONG* value) override;
  STDMETHODIMP put_RowWidth(LONG Index, LONG NewTabWidth) override;
  STDMETHODIMP get_RowCaption(LONG Index, BSTR* value) override;
  STDMETHODIMP put_RowCaption(LONG Index, BSTR NewTabCaption) override;
  STDMETHODIMP get_RowSorted(LONG Index, VARIANT_BOOL* value) override;
  STDMETHODIMP put_RowSorted(LONG Index, VARIANT_BOOL NewTabSort) override;
  STDMETHODIMP get_RowPicture(LONG Index, IPictureDisp** value) override;
  STDMETHODIMP putref_RowPicture(LONG Index, IPictureDisp* NewTabPicture) override;

  // Font
  STDMETHODIMP get_Font(IFontDisp** value) override;
  STDMETHODIMP putref_Font(IFontDisp* New_Font) override;
  STDMETHODIMP get_FontBold(VARIANT_BOOL* value) override;
  STDMETHODIMP put_FontBold(VARIANT_BOOL vNew) override;
  STDMETHODIMP get_FontItalic(VARIANT_BOOL* value) override;
  STDMETHODIMP put_FontItalic(VARIANT_BOOL vNew) override;
  STDMETHODIMP get_FontStrikethru(VARIANT_BOOL* value) override;
  STDMETHODIMP put_FontStrikethru(VARIANT_BOOL vNew) override;
  STDMETHODIMP get_FontUnderline(VARIANT_BOOL* value) override;
  STDMETHODIMP put_FontUnderline(VARIANT_BOOL vNew) override;
  STDMETHODIMP get_FontSize(float* value) override;
  STDMETHODIMP put_FontSize(float vNew) override;
  STDMETHODIMP get_FontName(BSTR* value) override;
  STDMETHODIMP put_FontName(BSTR vNew) override;

  STDMETHODIMP get_MaskColor(OLE_COLOR* value) override;
  STDMETHODIMP put_MaskColor(OLE_COLOR NewMaskColor) override;
  STDMETHODIMP get_NumberOfRows(LONG* value) override;
  STDMETHODIMP get_Alignment(eTabAlignment* value) override;
  STDMETHODIMP put_Alignment(eTabAlignment NewAlignment) override;
  STDMETHODIMP get_ForeColorHot(OLE_COLOR* value) override;
  STDMETHODIMP put_ForeColorHot(OLE_COLOR NewForeColorHot) override;
  STDMETHODIMP get_SortedRow(LONG* value) override;
  STDMETHODIMP put_SortedRow(LONG NewSortedTab) override;
  STDMETHODIMP get_ShowFrame(VARIANT_BOOL* value) override;
  STDMETHODIMP put_ShowFrame(VARIANT_BOOL varNew) override;
  STDMETHODIMP get_ShowSortPic(VARIANT_BOOL* value) override;
  STDMETHODIMP put_ShowSortPic(VARIANT_BOOL varNew) override;
  STDMETHODIMP get_ColumnWidths(BSTR* value) override;
  STDMETHODIMP put_ColumnWidths(BSTR NewColumnWidths) override;
  STDMETHODIMP get_SelectedRow(LONG* value) override;
  STDMETHODIMP put_SelectedRow(LONG NewSelectedTab) override;

  // Methods
  STDMETHODIMP DrawTab() override;
  STDMETHODIMP DrawTabTop() override;
  STDMETHODIMP AddRow(LONG* iTabWidth, BSTR* sTabText, IPictureDisp** pTabPicture,
                      LONG* value) override;
  STDMETHODIMP DeleteRow(VARIANT* value) override;
  STDMETHODIMP GetPictureSize(IPictureDisp** pPicture, float* picX, float* picY) override;
  STDMETHODIMP SetTabAccessKeys() override;
  STDMETHODIMP GetTabAccessKey(SHORT* iKey, LONG* value) override;
  STDMETHODIMP ShowAboutBox() override;

 private:
  TesselControl();
  ~TesselControl() override;

  // The property pages and the page of each property (property_page_map.cpp).
  std::span<const CLSID* const> property_pages() const override;
  std::span<const framework::PropertyPageEntry> property_page_map() const override;

  // Notifications from the container and the window.
  void on_init_properties() override;
  // Loading and saving the properties (persistence.cpp).
  void on_read_properties(framework::PropertyReader& bag) override;
  void on_write_properties(framework::PropertyWriter& bag) override;
  void on_resize() override;
  void on_got_focus() override;
  void on_lost_focus() override;
  void on_key_down(SHORT key, SHORT shift) override;
  void on_access_key(SHORT key) override;
  void on_mouse_move(SHORT button, SHORT shift, float x, float y) override;
  void on_mouse_down(SHORT button, SHORT shift, float x, float y) override;
  void on_mouse_up(SHORT button, SHORT shift, float x, float y) override;
  // The accessible object for screen readers (accessibility.cpp).
  LRESULT on_get_object(WPARAM flags, LPARAM object_id) override;

  // The one repaint path: paints only for a top-aligned header. While a
  // PaintDeferral lives it only notes that a repaint is due.
  void draw_tab();
  void draw_tab_top();
  void set_tab_access_keys();
  // The SelectedRow setter's work: RowPressed, PreviousTab, announce, repaint.
  void set_selected_row(LONG NewSelectedTab);

  // AddRow's work; each pointer may be null (60, "", Nothing).
  LONG add_row(LONG* width, BSTR* text, IPictureDisp** picture);

  // The font setters' work (store, surface font, announce, repaint).
  IFont* surface_font();
  void set_font_bold(bool value);
  void set_font_italic(bool value);
  void set_font_strikethru(bool value);
  void set_font_underline(bool value);
  // Refuses (error 380) a size that font_size_refused names.
  void set_font_size(float value);
  // A finite size beyond 1638 points, the largest the platform's font dialog
  // offers.
  static bool font_size_refused(float value);
  void set_font_name(std::wstring_view value);

  // The surface as the header painter sees it.
  class HeaderSurface;
  // Holds back the repaints of a run of setters and makes the last of them
  // once, when it ends (persistence.cpp).
  class PaintDeferral;

  // A property has changed: announced and repainted (in that order) as far
  // as its row in the property table says.
  void changed(DISPID id);
  // A stored property: store, then changed().
  template <class T, class V>
  HRESULT store(T& field, V value, DISPID id);

  // Loads and saves the properties from the property table's rows.
  friend struct PropertyAccess;

  ControlState s_;

  // The control as its accessible object sees it (accessibility.cpp).
  class AccessibleColumns final : public access::ColumnSource {
   public:
    explicit AccessibleColumns(TesselControl& control) : control_(control) {}
    ControlState& state() override { return control_.s_; }
    HWND window() const override { return control_.window(); }
    std::wstring access_key(LONG column) const override;
    void press(LONG column) override;

   private:
    TesselControl& control_;
  };
  AccessibleColumns accessible_columns_{*this};
  // Declared after what it reads: it goes first and disconnects the
  // accessible objects that clients still hold.
  access::HeaderAccessibility accessibility_{accessible_columns_};
  framework::ComPtr<IFont> surface_font_;
  bool paint_deferred_ = false;
  bool paint_due_ = false;
};

template <class T, class V>
HRESULT TesselControl::store(T& field, V value, DISPID id) {
  return boundary([&] {
    field = value;
    changed(id);
  });
}

}  // namespace tessel
