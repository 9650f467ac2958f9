// Access keys marked by the captions and the container's accelerator table
// built from them, mnemonics and keys that change nothing, and the single
// repaint that each focus change and each resize costs.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "control/interaction_helpers.h"
#include "support/com_test_env.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

namespace id = tessel::dispid;

constexpr LPARAM kAltDown = 0x20000000;

ComPtr<IDispatch> new_control(const std::vector<const wchar_t*>& captions) {
  ComPtr<IDispatch> control = create_control();
  EXPECT_EQ(control.query<IPersistStreamInit>(IID_IPersistStreamInit)->InitNew(), S_OK);
  put(control.get(), id::RowCaption, {vlong(1)}, vstr(captions[0]));
  for (size_t i = 1; i < captions.size(); ++i) {
    call(control.get(), id::AddRow, {vlong(60), vstr(captions[i])});
  }
  return control;
}

// The characters of the accelerator table the container gets through
// IOleControl, the first entry of each command.
std::wstring container_keys(IUnknown* control) {
  CONTROLINFO info{};
  info.cb = sizeof(info);
  EXPECT_EQ(ComPtr<IUnknown>(control).query<IOleControl>(IID_IOleControl)->GetControlInfo(&info),
            S_OK);
  std::vector<ACCEL> entries(info.cAccel);
  if (info.cAccel) {
    EXPECT_EQ(CopyAcceleratorTableW(info.hAccel, entries.data(), info.cAccel), info.cAccel);
  }
  std::wstring keys;
  WORD command = 0;
  for (const ACCEL& entry : entries) {
    EXPECT_EQ(entry.fVirt, FALT);
    if (entry.cmd != command) keys += static_cast<wchar_t>(entry.key);
    command = entry.cmd;
  }
  return keys;
}

LONG access_key_position(IDispatch* control, SHORT code) {
  return as_long(call(control, id::GetTabAccessKey, {vlong(code)}));
}

// Each caption marks at most one key: the character after a lone "&",
// lowered; "&&" is a literal ampersand.
TEST(AccessKeys, ACaptionMarksAtMostOneKey) {
  const struct {
    const wchar_t *caption, *key;  // key "" for none
  } cases[] = {{L"&Name", L"n"}, {L"A&&B&C", L"c"},  {L"&&&X", L"x"},
               {L"AB&", L""},    {L"&&A&&B&C", L""}, {L"Save && Load", L""},
               {L"Spalte", L""}, {L"&1", L"1"},      {L"&", L""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.caption)));
    ComPtr<IDispatch> control = new_control({c.caption});
    EXPECT_EQ(container_keys(control.get()), c.key);
    // Every character of the caption, and its key, asked for by code.
    for (const wchar_t* p = c.caption; *p; ++p) {
      const bool is_key = *c.key && *p == *c.key;
      EXPECT_EQ(access_key_position(control.get(), static_cast<SHORT>(*p)), is_key ? 1 : 0)
          << "code " << static_cast<int>(*p);
    }
    EXPECT_EQ(access_key_position(control.get(), static_cast<SHORT>(*c.key)), *c.key ? 1 : 0);
  }
}

// One key per marked column in column order, rebuilt with every caption
// change, and so is the container's table.
TEST(AccessKeys, OneCharacterPerMarkedColumnFollowingTheCaptions) {
  ComPtr<IDispatch> control = new_control({L"&Name", L"Size", L"&Date"});
  EXPECT_EQ(container_keys(control.get()), L"nd");
  EXPECT_EQ(access_key_position(control.get(), 'n'), 1);
  EXPECT_EQ(access_key_position(control.get(), 'd'), 2);  // column 3, second key
  for (char other : {'D', 'N', 's', '\0'}) EXPECT_EQ(access_key_position(control.get(), other), 0);
  // The key is read, never written back.
  SHORT key = 100;
  EXPECT_EQ(as_long(call(control.get(), id::GetTabAccessKey, {variant_of(VT_BYREF | VT_I2, &key)})),
            2);
  EXPECT_EQ(key, 100);

  put(control.get(), id::RowCaption, {vlong(2)}, vstr(L"&Size"));
  EXPECT_EQ(container_keys(control.get()), L"nsd");
  EXPECT_EQ(access_key_position(control.get(), 'd'), 3);
  put(control.get(), id::RowCaption, {vlong(1)}, vstr(L"Name"));
  EXPECT_EQ(container_keys(control.get()), L"sd");
  EXPECT_EQ(access_key_position(control.get(), 'n'), 0);
  // A column added with a caption rebuilds them too; one added without
  // (captioned "Spalte") has nothing to add.
  call(control.get(), id::AddRow, {vlong(60), vstr(L"&Typ")});
  call(control.get(), id::AddRow);
  EXPECT_EQ(container_keys(control.get()), L"sdt");
}

TEST(AccessKeys, AnUmlautIsLoweredAndFoundByItsAnsiCode) {
  if (GetACP() != 1252) GTEST_SKIP() << "the codes below are those of code page 1252";
  ComPtr<IDispatch> control = new_control({L"&\u00dcbersicht"});  // Übersicht
  EXPECT_EQ(container_keys(control.get()), L"\u00fc");
  EXPECT_EQ(access_key_position(control.get(), 252), 1);  // ü
  EXPECT_EQ(access_key_position(control.get(), 220), 0);  // Ü
}

TEST(AccessKeys, AControlWithoutColumnsHasNone) {
  ComPtr<IDispatch> control = create_control();  // not initialised: no columns
  ASSERT_EQ(as_long(get(control.get(), id::NumberOfRows)), 0);
  call(control.get(), id::SetTabAccessKeys);
  EXPECT_EQ(container_keys(control.get()), L"");
  EXPECT_EQ(access_key_position(control.get(), 0), 0);
  EXPECT_EQ(access_key_position(control.get(), 115), 0);
}

// A hosted control with three columns, the second the sorted one, and its
// events and repaints logged from here on.
class HostedControl : public ::testing::Test {
 protected:
  HostedControl() : host(L"QuonTessel.TesselControl"), control(host.control()) {}
  void SetUp() override {
    ASSERT_TRUE(control);
    window = host.control_window();
    ASSERT_NE(window, nullptr);
    probe = host.probe();
    put(control.get(), id::RowCaption, {vlong(1)}, vstr(L"&Name"));
    call(control.get(), id::AddRow, {vlong(60), vstr(L"Size")});
    call(control.get(), id::AddRow, {vlong(60), vstr(L"&Date")});
    put(control.get(), id::SortedRow, {}, vlong(2));
    log.emplace(control.get(), probe.get());
  }
  void TearDown() override { log.reset(); }

  // After a step, once its messages are handled: the hook log and the
  // logged repaints.
  void expect_step(const wchar_t* hooks, const wchar_t* repaints) {
    pump_messages();
    EXPECT_EQ(take_log(probe.get()), hooks);
    EXPECT_EQ(log->take(), repaints);
  }

  // SelectedRow, SortedRow and each column's sort flag.
  std::vector<LONG> state() {
    std::vector<LONG> values{as_long(get(control.get(), id::SelectedRow)),
                             as_long(get(control.get(), id::SortedRow))};
    for (LONG i = 1; i <= 3; ++i)
      values.push_back(as_long(get(control.get(), id::RowSorted, {vlong(i)})));
    return values;
  }

  AxHost host;
  ComPtr<IDispatch> control;
  HWND window = nullptr;
  ComPtr<IHostingTestProbe> probe;
  std::optional<InteractionLog> log;
};

// Each focus change and each resize costs one repaint; a move costs none.
// Mnemonics reach the control but press no column; keys while it has the
// focus change nothing either.
TEST_F(HostedControl, FocusAndResizesRepaintOnceEachWhileMnemonicsAndKeysPressNoColumn) {
  ASSERT_EQ(probe->StartHookLog(), S_OK);
  SetFocus(window);
  expect_step(L"got_focus\n", L"repaint\n");
  SetFocus(host.frame());
  expect_step(L"lost_focus\n", L"repaint\n");

  SetWindowPos(host.host(), nullptr, 0, 0, 260, AxHost::kHeight, SWP_NOMOVE | SWP_NOZORDER);
  expect_step(L"resize 260 25\n", L"repaint\n");
  // Made taller than its header, the control paints and takes its header's
  // height back: a second resize inside the first, with its own repaint.
  SetWindowPos(host.host(), nullptr, 0, 0, 280, 40, SWP_NOMOVE | SWP_NOZORDER);
  expect_step(L"resize 280 40\nresize 280 25\n", L"repaint\nrepaint\n");
  EXPECT_EQ(client_rect(window).bottom, 25);
  SetWindowPos(host.host(), nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  expect_step(L"", L"");
  EXPECT_TRUE(log->take_changes().empty());

  SetFocus(window);
  ASSERT_EQ(GetFocus(), window);
  expect_step(L"got_focus\n", L"repaint\n");
  const std::vector<LONG> before = state();
  auto ole_control = control.query<IOleControl>(IID_IOleControl);
  for (MSG message : {MSG{window, WM_SYSKEYDOWN, 'D', kAltDown, 0, {}},
                      MSG{window, WM_SYSCHAR, 'n', kAltDown, 0, {}}}) {
    EXPECT_EQ(ole_control->OnMnemonic(&message), S_OK);
  }
  EXPECT_EQ(take_log(probe.get()), L"access_key 100\naccess_key 110\n");
  for (WPARAM key : {WPARAM{VK_SPACE}, WPARAM{VK_RETURN}, WPARAM{VK_LEFT}, WPARAM{VK_RIGHT},
                     WPARAM{VK_HOME}, WPARAM{VK_TAB}, WPARAM{'N'}, WPARAM{'2'}}) {
    SendMessageW(window, WM_KEYDOWN, key, 1);
    SendMessageW(window, WM_KEYUP, key, 0xC0000001);
  }
  SendMessageW(window, WM_CHAR, ' ', 1);
  SendMessageW(window, WM_CHAR, 'n', 1);
  SendMessageW(window, WM_SYSKEYDOWN, 'N', kAltDown | 1);
  pump_messages();
  EXPECT_EQ(GetFocus(), window);
  EXPECT_EQ(log->take(), L"");
  EXPECT_TRUE(log->take_changes().empty());
  EXPECT_EQ(state(), before);
}

}  // namespace
}  // namespace tessel_test
