// Tabs: the control's zero-based array of column records. Columns are
// 1..NumberOfRows; slot 0 is reachable but never a column. A slot that is
// empty when it is reached gets a fresh record, so every in-bounds index
// yields one. Records above NumberOfRows can stay behind after a column was
// deleted and are reused when one is added again.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "control/column_record.h"

namespace tessel {

class TabArray {
 public:
  bool exists() const { return exists_; }
  // The highest valid index, or -1 while there is no array.
  LONG upper_bound() const { return static_cast<LONG>(slots_.size()) - 1; }
  bool contains(LONG index) const { return exists_ && index >= 0 && index <= upper_bound(); }

  // The record at index, created on first access. Error 9 outside the array.
  cTabs& operator()(LONG index);

  // Resizes to 0..upper keeping the records that fit; the array then exists.
  void redim_preserve(LONG upper);
  // Creates the array anew with 0..upper, every slot a fresh record.
  void redim(LONG upper);
  // Drops the array and every record (and with them their pictures).
  void erase();

 private:
  std::vector<std::unique_ptr<cTabs>> slots_;
  bool exists_ = false;
};

}  // namespace tessel
