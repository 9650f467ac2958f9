// The column model through IDispatch by DISPID: adding, deleting, editing and
// selecting columns, with the error numbers, write-backs, events and change
// notifications a host sees.
#include <gtest/gtest.h>

#include <tuple>

#include "control/interaction_helpers.h"
#include "control/persist_test_support.h"
#include "support/com_test_env.h"
#include "support/event_recorder.h"
#include "support/test_pictures.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

namespace id = tessel::dispid;

class ColumnModel : public RecordedControlTest {
 protected:
  LONG add_row(LONG width, const wchar_t* caption) {
    return as_long(call(control.get(), id::AddRow, {vlong(width), vstr(caption)}));
  }
  LONG count() { return as_long(get(control.get(), id::NumberOfRows)); }
  LONG width(LONG i) { return as_long(get(control.get(), id::RowWidth, {vlong(i)})); }
  std::wstring caption(LONG i) { return as_string(get(control.get(), id::RowCaption, {vlong(i)})); }
  bool sorted(LONG i) { return as_bool(get(control.get(), id::RowSorted, {vlong(i)})); }
  HRESULT put_selected(LONG value) {
    return invoke(control.get(), id::SelectedRow, DISPATCH_PROPERTYPUT, {vlong(value)});
  }
  // The error number of a get or put of `which` with these arguments.
  int error_of(WORD how, DISPID which, std::vector<VARIANT> args) {
    return error_number(invoke(control.get(), which, how, std::move(args)));
  }
};

// The default column, and each setter announcing its property once.
TEST_F(ColumnModel, AddRowWithoutArgumentsAppendsTheDefaultColumn) {
  EXPECT_EQ(add_row(100, L"First"), 1);
  recorder->changes.clear();
  Variant index = call(control.get(), id::AddRow);
  EXPECT_EQ(index.vt(), VT_I4);
  EXPECT_EQ(as_long(index), 2);
  EXPECT_EQ(count(), 2);
  EXPECT_EQ(width(2), 60);
  EXPECT_EQ(caption(2), L"Spalte");
  EXPECT_FALSE(sorted(2));
  Variant picture = get(control.get(), id::RowPicture, {vlong(2)});
  EXPECT_EQ(picture.vt(), VT_DISPATCH);
  EXPECT_EQ(V_DISPATCH(picture.get()), nullptr);
  EXPECT_EQ(recorder->changes, std::vector<DISPID>{id::NumberOfRows});

  recorder->changes.clear();
  put(control.get(), id::RowWidth, {vlong(1)}, vlong(70));
  put(control.get(), id::RowCaption, {vlong(1)}, vstr(L"B"));
  put(control.get(), id::RowSorted, {vlong(1)}, vbool(true));
  put(control.get(), id::SortedRow, {}, vlong(1));
  EXPECT_EQ(recorder->changes,
            (std::vector<DISPID>{id::RowWidth, id::RowCaption, id::RowSorted, id::SortedRow}));
  // SortedRow takes any value unchecked.
  put(control.get(), id::SortedRow, {}, vlong(-5));
  EXPECT_EQ(as_long(get(control.get(), id::SortedRow)), -5);
}

// The generated caption goes back into the caller's variable in its own
// type: a script's VT_BYREF|VT_VARIANT (an Empty one takes the parameter's
// type), a compiled host's typed reference. A given caption stays.
TEST_F(ColumnModel, AddRowWritesTheGeneratedCaptionBackIntoTheCallersVariable) {
  auto ref_to = [](Variant& target) { return variant_of(VT_BYREF | VT_VARIANT, target.get()); };
  Variant width_var = Variant::from_long(75), empty_var, given;
  *given.get() = vstr(L"&Name");
  EXPECT_EQ(as_long(call(control.get(), id::AddRow, {ref_to(width_var), ref_to(empty_var)})), 1);
  EXPECT_EQ(as_string(empty_var), L"Spalte");
  EXPECT_EQ(width_var.vt(), VT_I4);
  EXPECT_EQ(V_I4(width_var.get()), 75);
  EXPECT_EQ(width(1), 75);

  BSTR typed = SysAllocString(L"");
  EXPECT_EQ(as_long(call(control.get(), id::AddRow,
                         {vmissing(), variant_of(VT_BYREF | VT_BSTR, &typed)})),
            2);
  EXPECT_EQ(std::wstring(typed), L"Spalte");
  SysFreeString(typed);

  EXPECT_EQ(as_long(call(control.get(), id::AddRow, {vlong(10), ref_to(given)})), 3);
  EXPECT_EQ(as_string(given), L"&Name");
  EXPECT_EQ(caption(3), L"&Name");
}

// DeleteRow drops the last column but never the only one, and returns
// Empty; the deleted record stays in the array and is reused whole.
TEST_F(ColumnModel, DeleteRowKeepsTheLastColumnAndTheDeletedRecord) {
  add_row(60, L"A");
  recorder->changes.clear();
  EXPECT_EQ(call(control.get(), id::DeleteRow).vt(), VT_EMPTY);
  EXPECT_EQ(count(), 1);
  EXPECT_EQ(caption(1), L"A");
  EXPECT_EQ(recorder->changes, std::vector<DISPID>{id::NumberOfRows});

  add_row(80, L"B");
  put_ref(control.get(), id::RowPicture, {vlong(2)},
          make_bitmap_picture(16, 16, RGB(255, 0, 0)).get());
  put(control.get(), id::RowSorted, {vlong(2)}, vbool(true));
  call(control.get(), id::DeleteRow);
  EXPECT_EQ(count(), 1);
  EXPECT_EQ(width(2), 80);
  EXPECT_EQ(error_of(DISPATCH_PROPERTYGET, id::RowWidth, {vlong(3)}), 9);
  EXPECT_EQ(add_row(33, L"C"), 2);
  EXPECT_EQ(width(2), 33);
  EXPECT_EQ(caption(2), L"C");
  EXPECT_FALSE(sorted(2));
  EXPECT_EQ(V_DISPATCH(get(control.get(), id::RowPicture, {vlong(2)}).get()), nullptr);
}

// Indexes outside the array fail with error 9 and change nothing. Wrong
// variant types fail with the platform's conversion errors, as classic
// errors (13 type mismatch, 6 overflow); a numeric string converts.
TEST_F(ColumnModel, IndexesOutsideTheArrayAndBadArgumentsFailWithTheirErrors) {
  // No column was ever added: there is no array yet, not even slot 0.
  EXPECT_EQ(error_of(DISPATCH_PROPERTYGET, id::RowWidth, {vlong(0)}), 9);
  add_row(60, L"A");
  recorder->changes.clear();
  for (LONG bad : {-1, 2, 1000}) {
    SCOPED_TRACE(bad);
    for (auto [which, value] :
         {std::pair{id::RowWidth, vlong(5)}, std::pair{id::RowCaption, vstr(L"x")},
          std::pair{id::RowSorted, vbool(true)}}) {
      EXPECT_EQ(error_of(DISPATCH_PROPERTYPUT, which, {vlong(bad), value}), 9);
      EXPECT_EQ(error_of(DISPATCH_PROPERTYGET, which, {vlong(bad)}), 9);
    }
  }
  EXPECT_EQ(error_number(put_selected(-1)), 9);
  EXPECT_TRUE(recorder->changes.empty());
  EXPECT_TRUE(recorder->events.empty());
  EXPECT_EQ(width(1), 60);
  EXPECT_EQ(caption(1), L"A");
  EXPECT_EQ(as_long(get(control.get(), id::SelectedRow)), 0);

  EXPECT_EQ(error_of(DISPATCH_PROPERTYPUT, id::RowWidth, {vlong(1), vstr(L"abc")}), 13);
  EXPECT_EQ(error_of(DISPATCH_PROPERTYPUT, id::RowWidth, {vlong(1), variant_of(VT_R8, 3e10)}), 6);
  EXPECT_EQ(error_of(DISPATCH_PROPERTYGET, id::RowWidth, {vstr(L"x")}), 13);
  put(control.get(), id::RowWidth, {vstr(L"1")}, vstr(L"42"));
  EXPECT_EQ(width(1), 42);
}

// SelectedRow presses a column: RowPressed with the previous selection,
// the sorted column and the direction, and what the handler writes into
// them does not last. Beyond the count it is ignored; 0 selects no column.
TEST_F(ColumnModel, SelectedRowRaisesRowPressedWithTheStateOfThatMoment) {
  for (int i = 0; i < 5; ++i) add_row(50, L"C");
  put(control.get(), id::RowSorted, {vlong(5)}, vbool(true));
  put(control.get(), id::SortedRow, {}, vlong(4));
  LONG seen_selected = -1;
  recorder->on_event = [&](DISPID, VARIANT* args, UINT) {
    seen_selected = as_long(get(control.get(), id::SelectedRow));
    *V_I2REF(&args[0]) = 99;
    *V_I4REF(&args[1]) = 77;
  };
  recorder->events.clear();
  recorder->changes.clear();
  ASSERT_EQ(put_selected(6), S_OK);
  EXPECT_TRUE(recorder->events.empty());
  EXPECT_TRUE(recorder->changes.empty());
  ASSERT_EQ(put_selected(3), S_OK);
  ASSERT_EQ(put_selected(5), S_OK);
  ASSERT_EQ(put_selected(0), S_OK);
  ASSERT_EQ(recorder->events.size(), 3u);
  // PreviousTab, SortRow and the direction of each raise.
  auto args = [&](size_t i) {
    const RecordedEvent& e = recorder->events[i];
    return std::tuple(as_long(e.args[0]), as_long(e.args[1]), as_string(e.args[2]));
  };
  EXPECT_EQ(recorder->events[0].id, tessel::event_dispid::RowPressed);
  EXPECT_EQ(recorder->events[0].types,
            (std::vector<VARTYPE>{VT_BYREF | VT_I2, VT_BYREF | VT_I4, VT_BYREF | VT_BSTR}));
  EXPECT_EQ(args(0), std::tuple(0, 4, std::wstring(L"ASC")));
  EXPECT_EQ(args(1), std::tuple(3, 4, std::wstring(L"DESC")));
  EXPECT_EQ(args(2), std::tuple(5, 4, std::wstring(L"ASC")));
  EXPECT_EQ(seen_selected, 0);
  EXPECT_EQ(as_long(get(control.get(), id::SortedRow)), 4);
  EXPECT_EQ(as_long(get(control.get(), id::SelectedRow)), 0);
  EXPECT_EQ(recorder->changes, (std::vector<DISPID>(3, id::SelectedRow)));
}

// A control holds as many columns as a form can load again and PreviousTab
// can number: AddRow refuses one more with an overflow and changes nothing,
// and the full control saves and loads with every column.
TEST_F(ColumnModel, StopsAtTheLargestCountAFormLoads) {
  // Without painting, so that many columns stay cheap.
  put(control.get(), id::Alignment, {}, vlong(tessel::reg_Bottom));
  for (LONG i = 0; i < 32767; ++i) call(control.get(), id::AddRow);
  ASSERT_EQ(count(), 32767);
  EXPECT_EQ(error_of(DISPATCH_METHOD, id::AddRow, {}), 6);
  EXPECT_EQ(count(), 32767);
  EXPECT_EQ(put_selected(32767), S_OK);
  put(control.get(), id::RowCaption, {vlong(32767)}, vstr(L"letzte"));

  ComPtr<IDispatch> loaded = load_from_bytes(save_to_bytes(control.get()));
  EXPECT_EQ(as_long(get(loaded.get(), id::NumberOfRows)), 32767);
  EXPECT_EQ(as_string(get(loaded.get(), id::RowCaption, {vlong(32767)})), L"letzte");
}

}  // namespace
}  // namespace tessel_test
