// A form saved and loaded again by a container nobody here wrote: Wine's
// ATL host saves a hosted control through its IPersistStreamInit, and a
// newly hosted control is created from that stream (AtlAxCreateControl
// loads it before it activates the control).
#include <gtest/gtest.h>

#include "control/persist_test_support.h"
#include "framework/hosting_helpers.h"
#include "support/com_test_env.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

namespace id = tessel::dispid;

struct AtlApi {
  HRESULT(WINAPI* get_control)(HWND, IUnknown**) = nullptr;
  HRESULT(WINAPI* create_control)(LPCOLESTR, HWND, IStream*, IUnknown**) = nullptr;
};

const AtlApi& atl() {
  static const AtlApi api = [] {
    AtlApi result;
    HMODULE module = LoadLibraryW(L"atl.dll");
    if (!module) return result;
    auto init = reinterpret_cast<BOOL(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(module, "AtlAxWinInit")));
    if (!init || !init()) return result;
    result.get_control = reinterpret_cast<decltype(result.get_control)>(
        reinterpret_cast<void*>(GetProcAddress(module, "AtlAxGetControl")));
    result.create_control = reinterpret_cast<decltype(result.create_control)>(
        reinterpret_cast<void*>(GetProcAddress(module, "AtlAxCreateControl")));
    return result;
  }();
  return api;
}

ComPtr<IDispatch> hosted_control(HWND host) {
  ComPtr<IUnknown> unknown;
  if (FAILED(atl().get_control(host, unknown.put()))) return nullptr;
  return unknown.query<IDispatch>(IID_IDispatch);
}

TEST(HostedPersistence, AFormSavedByTheHostLoadsIntoANewlyHostedControl) {
  ensure_registered();
  ASSERT_TRUE(atl().get_control && atl().create_control) << "atl.dll's host is not available";
  TestFrame frame;
  HWND first =
      CreateWindowExW(0, L"AtlAxWin", L"QuonTessel.TesselControl", WS_CHILD | WS_VISIBLE, 10, 10,
                      300, 25, frame.handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(first, nullptr);
  pump_messages();
  ComPtr<IDispatch> original = hosted_control(first);
  ASSERT_TRUE(original);
  IDispatch* c = original.get();
  call(c, id::AddRow, {vlong(90), vstr(L"&Betrag")});
  put(c, id::RowSorted, {vlong(2)}, vbool(true));
  put(c, id::RowCaption, {vlong(1)}, vstr(L"Kunde"));
  put(c, id::SortedRow, {}, vlong(2));
  put(c, id::HeaderHeight, {}, vlong(28));
  put(c, id::BackColorForm, {}, vlong(0x336699));
  put(c, id::ForeColorHot, {}, vlong(0x00AA00));
  put(c, id::FontBold, {}, vbool(true));
  put(c, id::FontSize, {}, vlong(10));
  put(c, id::ShowFrame, {}, vbool(false));
  pump_messages();
  const ControlSnapshot expected = snapshot(c);

  auto persist = original.query<IPersistStreamInit>(IID_IPersistStreamInit);
  ComPtr<IStream> stream = new_stream();
  ASSERT_EQ(persist->Save(stream.get(), TRUE), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);

  HWND second = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 10, 50, 300, 25,
                                frame.handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(second, nullptr);
  ComPtr<IUnknown> container;
  ASSERT_EQ(
      atl().create_control(L"QuonTessel.TesselControl", second, stream.get(), container.put()),
      S_OK);
  pump_messages();
  ComPtr<IDispatch> loaded = hosted_control(second);
  ASSERT_TRUE(loaded);
  EXPECT_FALSE(same_object(loaded.get(), original.get()));
  expect_same(snapshot(loaded.get()), expected);
  // Hosted and working: it has its window, and the loaded columns paint.
  HWND window = nullptr;
  ASSERT_EQ(loaded.query<IOleWindow>(IID_IOleWindow)->GetWindow(&window), S_OK);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(invoke(loaded.get(), id::DrawTab, DISPATCH_METHOD, {}), S_OK);

  original = nullptr;
  loaded = nullptr;
  container = nullptr;
  frame.destroy();
}

}  // namespace
}  // namespace tessel_test
