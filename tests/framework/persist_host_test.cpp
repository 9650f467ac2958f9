// A form saved and loaded again by a container nobody here wrote: a control
// hosted in Wine's ATL container is saved, and AtlAxCreateControl creates a
// newly hosted control from that stream (loaded before it is activated).
#include <gtest/gtest.h>

#include "control/interaction_helpers.h"
#include "control/persist_test_support.h"
#include "support/com_test_env.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

template <class F>
F atl_entry(const char* name) {
  return reinterpret_cast<F>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"atl.dll"), name)));
}

TEST(HostedPersistence, AFormSavedFromAHostedControlLoadsIntoANewlyHostedOne) {
  ComPtr<IDispatch> original = make_sample_control();
  AxHost host(original.get());
  const ControlSnapshot expected = snapshot_to_load(original.get());
  const std::vector<BYTE> saved = save_to_bytes(original.get());

  auto create =
      atl_entry<HRESULT(WINAPI*)(LPCOLESTR, HWND, IStream*, IUnknown**)>("AtlAxCreateControl");
  auto get_control = atl_entry<HRESULT(WINAPI*)(HWND, IUnknown**)>("AtlAxGetControl");
  ASSERT_TRUE(create && get_control) << "atl.dll's container is not available";
  HWND second = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 10, 50, 300, 25,
                                host.frame(), nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(second, nullptr);
  ComPtr<IUnknown> container, loaded;
  ASSERT_EQ(create(L"QuonTessel.TesselControl", second, stream_of(saved).get(), container.put()),
            S_OK);
  pump_messages();
  ASSERT_EQ(get_control(second, loaded.put()), S_OK);
  EXPECT_FALSE(same_object(loaded.get(), original.get()));
  auto control = loaded.query<IDispatch>(IID_IDispatch);
  expect_same(snapshot(control.get()), expected);
  // Hosted and working: it has its window, and the loaded columns paint.
  HWND window = nullptr;
  ASSERT_EQ(loaded.query<IOleWindow>(IID_IOleWindow)->GetWindow(&window), S_OK);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(invoke(control.get(), tessel::dispid::DrawTab, DISPATCH_METHOD, {}), S_OK);
}

}  // namespace
}  // namespace tessel_test
