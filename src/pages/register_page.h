// Register: the columns property page. It shows one column of the first
// selected control at a time (caption, width, picture), steps through the
// columns with a scroll bar, adds and deletes columns, and writes its fields
// to the shown column on Apply and whenever the developer moves on with
// edits pending. It calls the control's own interface.
#pragma once

#include <ocidl.h>

#include "framework/com_ptr.h"
#include "framework/property_page.h"
#include "framework/user_handles.h"
#include "tessel_interfaces.h"

namespace tessel {

class RegisterPage final : public framework::PropertyPage {
 public:
  // Child window ids, in tab order. kTxtCaption is txt(0), kTxtWidth txt(1).
  enum : int {
    kCmdDelete = 201,
    kFrame1,
    kCmdDel,
    kPicTab,
    kCmdOpenDlg,
    kTxtIndex,
    kHsb,
    kTxtWidth,
    kTxtCaption,
    kCmdAddTab,
    kLbl3,
    kLbl1,
    kLbl0,
    kPicTemp,
  };

  static HRESULT create(REFIID iid, void** object);
  RegisterPage();

  // What picTab shows (nullptr when it is empty) and the column the fields
  // belong to (0 before the first one is loaded).
  IPictureDisp* tab_picture() const { return tab_picture_.get(); }
  LONG current_index() const { return current_index_; }

 private:
  void created() override;
  void destroyed() override;
  void selection_changed() override;
  void apply_changes() override;
  void command(int id, int code) override;
  void horizontal_scroll(int id, int code) override;
  void draw_item(const DRAWITEMSTRUCT& item) override;
  HBRUSH control_colour(HWND child, HDC dc) override;

  // EditedControl; throws error 91 while there is none.
  _TesselControl& control() const;
  // hsb Change: move the fields to the column of the scroll bar's value.
  void show_column();
  void add_column();      // cmdAddTab
  void delete_column();   // cmdDelete
  void choose_picture();  // cmdOpenDlg
  void load_picture(const std::wstring& path);
  // picTab's picture; a different one is picTab's Change.
  void set_tab_picture(framework::ComPtr<IPictureDisp> picture);
  // A field's Change: the page has edits pending, unless the page is
  // loading a new selection.
  void field_changed();
  // The scroll bar's value and maximum; a changed value runs show_column.
  void set_hsb_value(int value);
  void set_hsb_maximum(LONG maximum);

  framework::ComPtr<_TesselControl> edited_control_;
  bool loading_selection_ = false;  // while SelectionChanged fills the fields
  LONG current_index_ = 0;
  framework::ComPtr<IPictureDisp> tab_picture_;
  framework::Icon open_icon_;
  framework::Icon delete_icon_;
};

}  // namespace tessel
