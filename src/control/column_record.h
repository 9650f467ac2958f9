// cTabs: one column of the header. The control reads and writes its fields
// directly; the painter writes the layout fields on every pass.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "framework/com_ptr.h"

namespace tessel {

class cTabs {
 public:
  cTabs() = default;
  cTabs(const cTabs&) = delete;
  cTabs& operator=(const cTabs&) = delete;
  // A record going away lets go of its picture.
  ~cTabs() { RowPicture = nullptr; }

  // RowIcon reads and writes the same storage as RowPicture.
  IPictureDisp* RowIcon() const { return RowPicture.get(); }
  void set_RowIcon(IPictureDisp* picture) { RowPicture = framework::ComPtr<IPictureDisp>(picture); }

  std::wstring RowCaption;
  bool RowSort = false;  // True: the next press reports "DESC"
  LONG RowLeft = 0;
  LONG RowTop = 0;
  LONG RowWidth = 0;
  LONG RowHeight = 0;
  framework::ComPtr<IPictureDisp> RowPicture;
};

}  // namespace tessel
