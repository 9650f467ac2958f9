// Keyboard, access keys and focus: the access key each caption marks, the
// accelerator table a container gets from them, mnemonics and keys that
// change nothing, and the single repaint that each focus change and each
// resize costs.
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

ComPtr<IDispatch> new_control() {
  ComPtr<IDispatch> control = create_control();
  auto persist = control.query<IPersistStreamInit>(IID_IPersistStreamInit);
  EXPECT_EQ(persist->InitNew(), S_OK);
  return control;
}

void set_captions(IDispatch* control, const std::vector<const wchar_t*>& captions) {
  put(control, id::RowCaption, {vlong(1)}, vstr(captions[0]));
  for (size_t i = 1; i < captions.size(); ++i) {
    call(control, id::AddRow, {vlong(60), vstr(captions[i])});
  }
}

// The accelerator table the container gets through IOleControl.
std::vector<ACCEL> accelerators(IUnknown* control) {
  ComPtr<IOleControl> ole_control;
  EXPECT_EQ(control->QueryInterface(IID_IOleControl, ole_control.put_void()), S_OK);
  CONTROLINFO info{};
  info.cb = sizeof(info);
  EXPECT_EQ(ole_control->GetControlInfo(&info), S_OK);
  std::vector<ACCEL> entries(info.cAccel);
  if (info.cAccel == 0) return entries;
  EXPECT_EQ(CopyAcceleratorTableW(info.hAccel, entries.data(), info.cAccel), info.cAccel);
  return entries;
}

// The characters of the table, the first entry of each command.
std::wstring container_keys(IUnknown* control) {
  std::wstring keys;
  WORD command = 0;
  for (const ACCEL& entry : accelerators(control)) {
    EXPECT_EQ(entry.fVirt, FALT);
    if (entry.cmd != command) keys += static_cast<wchar_t>(entry.key);
    command = entry.cmd;
  }
  return keys;
}

LONG access_key_position(IDispatch* control, SHORT code) {
  return as_long(call(control, id::GetTabAccessKey, {[code] {
                        VARIANT v;
                        V_VT(&v) = VT_I2;
                        V_I2(&v) = code;
                        return v;
                      }()}));
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
    ComPtr<IDispatch> control = new_control();
    set_captions(control.get(), {c.caption});
    EXPECT_EQ(container_keys(control.get()), c.key);
    // Every character of the caption, and its key, asked for by code.
    for (const wchar_t* p = c.caption; *p; ++p) {
      const bool is_key = *c.key && *p == *c.key;
      EXPECT_EQ(access_key_position(control.get(), static_cast<SHORT>(*p)), is_key ? 1 : 0)
          << "code " << static_cast<int>(*p);
    }
    if (*c.key) {
      EXPECT_EQ(access_key_position(control.get(), static_cast<SHORT>(*c.key)), 1);
    }
  }
}

TEST(AccessKeys, OneCharacterPerMarkedColumnInColumnOrder) {
  ComPtr<IDispatch> control = new_control();
  set_captions(control.get(), {L"&Name", L"Size", L"&Date"});
  EXPECT_EQ(container_keys(control.get()), L"nd");
  EXPECT_EQ(access_key_position(control.get(), 110), 1);  // n
  EXPECT_EQ(access_key_position(control.get(), 100), 2);  // d: column 3, second key
  EXPECT_EQ(access_key_position(control.get(), 68), 0);   // D
  EXPECT_EQ(access_key_position(control.get(), 78), 0);   // N
  EXPECT_EQ(access_key_position(control.get(), 115), 0);  // s: Size marks nothing
  EXPECT_EQ(access_key_position(control.get(), 0), 0);

  // The key is read, never written back.
  Variant key;
  V_VT(key.get()) = VT_I2;
  V_I2(key.get()) = 100;
  VARIANT by_ref;
  V_VT(&by_ref) = VT_BYREF | VT_I2;
  V_I2REF(&by_ref) = &V_I2(key.get());
  EXPECT_EQ(as_long(call(control.get(), id::GetTabAccessKey, {by_ref})), 2);
  EXPECT_EQ(V_I2(key.get()), 100);
}

TEST(AccessKeys, AnUmlautIsLoweredAndFoundByItsAnsiCode) {
  if (GetACP() != 1252) GTEST_SKIP() << "the codes below are those of code page 1252";
  ComPtr<IDispatch> control = new_control();
  set_captions(control.get(), {L"&\u00dcbersicht"});  // Übersicht
  EXPECT_EQ(container_keys(control.get()), L"\u00fc");
  EXPECT_EQ(access_key_position(control.get(), 252), 1);  // ü
  EXPECT_EQ(access_key_position(control.get(), 220), 0);  // Ü
}

TEST(AccessKeys, ACaptionChangeRebuildsTheKeysAndTheContainersTable) {
  ComPtr<IDispatch> control = new_control();
  set_captions(control.get(), {L"&Name", L"Size", L"&Date"});
  std::vector<ACCEL> table = accelerators(control.get());
  ASSERT_EQ(table.size(), 4u);
  const ACCEL expected[] = {{FALT, 'n', 1}, {FALT, 'N', 1}, {FALT, 'd', 2}, {FALT, 'D', 2}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(table[i].fVirt, expected[i].fVirt) << i;
    EXPECT_EQ(table[i].key, expected[i].key) << i;
    EXPECT_EQ(table[i].cmd, expected[i].cmd) << i;
  }
  put(control.get(), id::RowCaption, {vlong(2)}, vstr(L"&Size"));
  EXPECT_EQ(container_keys(control.get()), L"nsd");
  EXPECT_EQ(access_key_position(control.get(), 100), 3);
  put(control.get(), id::RowCaption, {vlong(1)}, vstr(L"Name"));
  EXPECT_EQ(container_keys(control.get()), L"sd");
  EXPECT_EQ(access_key_position(control.get(), 110), 0);
  // A column added with a caption rebuilds them too; one added without
  // (captioned "Spalte") has nothing to add.
  call(control.get(), id::AddRow, {vlong(60), vstr(L"&Typ")});
  call(control.get(), id::AddRow);
  EXPECT_EQ(container_keys(control.get()), L"sdt");
}

TEST(AccessKeys, AControlWithoutColumnsHasNone) {
  ComPtr<IDispatch> control = create_control();  // not initialised: no columns
  ASSERT_EQ(as_long(get(control.get(), id::NumberOfRows)), 0);
  call(control.get(), id::SetTabAccessKeys);
  EXPECT_TRUE(accelerators(control.get()).empty());
  EXPECT_EQ(access_key_position(control.get(), 0), 0);
  EXPECT_EQ(access_key_position(control.get(), 115), 0);
}

// A hosted control with three columns, one of them sorted by a press that
// the host made through SelectedRow, and the control's events and repaints
// logged from here on.
class HostedControl : public ::testing::Test {
 protected:
  HostedControl() : host(L"QuonTessel.TesselControl"), control(host.control()) {}
  void SetUp() override {
    ASSERT_TRUE(control);
    window = host.control_window();
    ASSERT_NE(window, nullptr);
    probe = host.probe();
    set_captions(control.get(), {L"&Name", L"Size", L"&Date"});
    put(control.get(), id::SortedRow, {}, vlong(2));
    log.emplace(control.get(), probe.get());
  }
  void TearDown() override { log.reset(); }

  // SelectedRow, SortedRow and each column's sort flag.
  std::vector<LONG> state() {
    std::vector<LONG> values{as_long(get(control.get(), id::SelectedRow)),
                             as_long(get(control.get(), id::SortedRow))};
    for (LONG i = 1; i <= 3; ++i)
      values.push_back(as_long(get(control.get(), id::RowSorted, {vlong(i)})));
    return values;
  }
  void expect_nothing_happened(const std::vector<LONG>& before) {
    EXPECT_EQ(log->take(), L"");
    EXPECT_TRUE(log->take_changes().empty());
    EXPECT_EQ(state(), before);
  }

  AxHost host;
  ComPtr<IDispatch> control;
  HWND window = nullptr;
  ComPtr<IHostingTestProbe> probe;
  std::optional<InteractionLog> log;
};

TEST_F(HostedControl, AMnemonicTheContainerRoutesPressesNoColumn) {
  const std::vector<LONG> before = state();
  std::vector<ACCEL> table = accelerators(control.get());
  ASSERT_FALSE(table.empty());
  // What a container does with a keystroke: find it in the table, then
  // hand it to the control as a mnemonic.
  auto control_info = control.query<IOleControl>(IID_IOleControl);
  CONTROLINFO info{};
  info.cb = sizeof(info);
  ASSERT_EQ(control_info->GetControlInfo(&info), S_OK);
  ASSERT_EQ(probe->StartHookLog(), S_OK);
  for (MSG message : {MSG{window, WM_SYSKEYDOWN, 'D', kAltDown, 0, {}},
                      MSG{window, WM_SYSCHAR, 'n', kAltDown, 0, {}}}) {
    WORD command = 0;
    ASSERT_TRUE(IsAccelerator(info.hAccel, info.cAccel, &message, &command));
    EXPECT_EQ(control_info->OnMnemonic(&message), S_OK);
  }
  EXPECT_EQ(take_log(probe.get()), L"access_key 100\naccess_key 110\n");
  expect_nothing_happened(before);
}

TEST_F(HostedControl, KeysWhileFocusedChangeNothing) {
  SetFocus(window);
  ASSERT_EQ(GetFocus(), window);
  log->take();
  const std::vector<LONG> before = state();
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
  expect_nothing_happened(before);
}

TEST_F(HostedControl, GainingAndLosingTheFocusRepaintOnceEach) {
  const std::vector<LONG> before = state();
  ASSERT_EQ(probe->StartHookLog(), S_OK);
  SetFocus(window);
  pump_messages();
  EXPECT_EQ(take_log(probe.get()), L"got_focus\n");
  EXPECT_EQ(log->take(), L"repaint\n");
  SetFocus(host.frame());
  pump_messages();
  EXPECT_EQ(take_log(probe.get()), L"lost_focus\n");
  EXPECT_EQ(log->take(), L"repaint\n");
  expect_nothing_happened(before);
}

TEST_F(HostedControl, EachResizeRepaintsOnce) {
  ASSERT_EQ(probe->StartHookLog(), S_OK);
  SetWindowPos(host.host(), nullptr, 0, 0, 260, AxHost::kHeight, SWP_NOMOVE | SWP_NOZORDER);
  pump_messages();
  EXPECT_EQ(take_log(probe.get()), L"resize 260 25\n");
  EXPECT_EQ(log->take(), L"repaint\n");
  // Made taller than its header, the control paints and takes its header's
  // height back: a second resize inside the first, with its own repaint.
  SetWindowPos(host.host(), nullptr, 0, 0, 280, 40, SWP_NOMOVE | SWP_NOZORDER);
  pump_messages();
  EXPECT_EQ(take_log(probe.get()), L"resize 280 40\nresize 280 25\n");
  EXPECT_EQ(log->take(), L"repaint\nrepaint\n");
  EXPECT_EQ(client_rect(window).bottom, 25);
  // A move is no resize.
  SetWindowPos(host.host(), nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  pump_messages();
  EXPECT_EQ(take_log(probe.get()), L"");
  EXPECT_EQ(log->take(), L"");
}

}  // namespace
}  // namespace tessel_test
