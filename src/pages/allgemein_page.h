// Allgemein: the general property page. It edits HeaderHeight, ShowFrame
// and ShowSortPic of the first selected control, reached by name through
// its automation interface.
#pragma once

#include "framework/property_page.h"

namespace tessel {

class AllgemeinPage final : public framework::PropertyPage {
 public:
  // Child window ids, in tab order.
  enum : int { kLabel5 = 101, kTxtHeight, kChkFrame, kChkSortPics };

  static HRESULT create(REFIID iid, void** object);
  AllgemeinPage();

 private:
  void selection_changed() override;
  void apply_changes() override;
  void command(int id, int code) override;

  // txtHeight Change: the input filter for the height.
  void height_changed();
  // Gives a check box its value (0, 1 or 2) and runs its Click handler.
  void set_check(int id, LRESULT value);
  // Changes the height text; the edit box then reports the change itself.
  void set_height_text(const std::wstring& text);
};

}  // namespace tessel
