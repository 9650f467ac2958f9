// Loading and saving the control's properties. The keys, their types, their
// defaults and their order (all in the property table) are the control's
// saved format: forms saved earlier must keep loading, so none of them may
// change.
//
// The control-level keys go through the property setters (which announce
// and repaint), the columns are rebuilt directly in their records, and the
// access keys follow the loaded captions. Each loading step that fails is
// skipped; saving stops at the first failure.
#include <string>
#include <utility>

#include "control/property_table.h"
#include "control/tessel_control.h"
#include "framework/property_bag.h"

namespace tessel {

using framework::PropertyReader;
using framework::PropertyWriter;
using framework::Variant;

namespace {

// A column's key: the name followed by the column's number, built in place
// (a form with many columns asks for four of these per column).
class NumberedKey {
 public:
  std::wstring_view operator()(std::wstring_view name, LONG i) {
    wchar_t digits[12];
    size_t count = 0;
    unsigned long rest = static_cast<unsigned long>(i < 0 ? -static_cast<long long>(i) : i);
    do {
      digits[count++] = static_cast<wchar_t>(L'0' + rest % 10);
      rest /= 10;
    } while (rest != 0);
    key_.assign(name);
    if (i < 0) key_.push_back(L'-');
    while (count > 0) key_.push_back(digits[--count]);
    return key_;
  }

 private:
  std::wstring key_;
};

// One loading step: whatever fails inside it skips the step alone.
template <class Step>
void step(Step&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

}  // namespace

// Each setter a load runs would repaint the whole strip, and each paint
// would show only what the next one paints over. The repaints are held back
// and made once, when the load has rebuilt the columns: the strip then
// shows what was loaded, and the pass leaves what the setters' passes
// would have left (the height, system colours turned into RGB, the column
// rectangles). Like a setter's own repaint, a failing one leaves the load
// going on.
class TesselControl::PaintDeferral {
 public:
  explicit PaintDeferral(TesselControl& control) : control_(control) {
    control_.paint_deferred_ = true;
    control_.paint_due_ = false;
  }
  PaintDeferral(const PaintDeferral&) = delete;
  PaintDeferral& operator=(const PaintDeferral&) = delete;
  ~PaintDeferral() {
    control_.paint_deferred_ = false;
    if (std::exchange(control_.paint_due_, false)) step([&] { control_.draw_tab(); });
  }

 private:
  TesselControl& control_;
};

void TesselControl::on_read_properties(PropertyReader& bag) {
  // Reads a row's key with its read default; a load step of its own.
  auto load = [&](const PropertyRow& row, std::wstring_view key, LONG column) {
    step([&] {
      const SavedDefault& fallback = row.read_default;
      const Variant value =
          fallback.kind == SavedDefault::Kind::Current ? row.save(*this, column) : fallback.value();
      const bool none = fallback.kind == SavedDefault::Kind::None;
      row.load(*this, bag.read(key, row.saved_type, none ? nullptr : &value), column);
    });
  };

  // The control-level keys, through the setters.
  PaintDeferral deferral(*this);
  for (const PropertyRow* row : load_sequence(false)) load(*row, row->key, 0);

  // The column array anew, one fresh record per column.
  step([&] { s_.Tabs.redim(s_.NumberOfRows); });

  // The columns, straight into their records.
  NumberedKey numbered;
  for (LONG i = 1; i <= s_.NumberOfRows; ++i) {
    for (const PropertyRow* row : load_sequence(true)) load(*row, numbered(row->key, i), i);
  }

  // The access keys of the loaded captions.
  step([&] { set_tab_access_keys(); });
}

void TesselControl::on_write_properties(PropertyWriter& bag) {
  auto save = [&](const PropertyRow& row, std::wstring_view key, LONG column) {
    const Variant value = row.save(*this, column);
    if (row.write_default.kind == SavedDefault::Kind::None) {
      bag.write(key, value);
    } else {
      const Variant fallback = row.write_default.value();
      bag.write(key, value, &fallback);
    }
  };
  // The font the header draws with is written once, under the one key "Font"
  // a load reads: a container's bag may keep the first or the last write of
  // a key, and both must give back the font that was drawn.
  for (const PropertyRow* row : save_sequence(false)) save(*row, row->key, 0);

  // A bag's Write is the container's code and may change the columns: each
  // value is taken from the record as it is when its key is written, and
  // the column count is checked again for each column. A column that has
  // left the array by then ends the save with error 9.
  NumberedKey numbered;
  for (LONG i = 1; i <= s_.NumberOfRows; ++i) {
    for (const PropertyRow* row : save_sequence(true)) save(*row, numbered(row->key, i), i);
  }
}

}  // namespace tessel
