// The control without a container (a script's object), and in a container
// of the test's own that records what the control asks of it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "control/persist_test_support.h"
#include "control/tessel_control.h"
#include "framework/hosting_helpers.h"
#include "framework/test_site.h"
#include "framework/units.h"
#include "support/com_test_env.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

using Calls = std::vector<std::wstring>;

// A control placed in a TestSite the way a container does it: client site
// first, then InitNew; the test activates it. It paints nothing.
struct PlacedControl {
  TestFrame frame;
  TestSite site{frame.handle(), {10, 20, 310, 60}};
  ComPtr<IDispatch> control = create_control();
  ComPtr<IOleObject> object = control.query<IOleObject>(IID_IOleObject);
  ComPtr<IHostingTestProbe> probe = probe_of(control.get());

  PlacedControl() {
    site.control = control.query<IOleInPlaceObject>(IID_IOleInPlaceObject);
    keep_from_painting(control.get());
    EXPECT_EQ(object->SetClientSite(&site), S_OK);
    EXPECT_EQ(control.query<IPersistStreamInit>(IID_IPersistStreamInit)->InitNew(), S_OK);
  }
  ~PlacedControl() {
    site.control = nullptr;
    object->Close(OLECLOSE_NOSAVE);
  }
  HRESULT verb(LONG verb) {
    RECT position = site.position();
    return object->DoVerb(verb, nullptr, &site, 0, frame.handle(), &position);
  }
  HWND window() const {
    HWND handle = nullptr;
    control.query<IOleWindow>(IID_IOleWindow)->GetWindow(&handle);
    return handle;
  }
};

TEST(Site, ControlInfoActivationHeightRequestsAndCloseFollowTheProtocol) {
  PlacedControl placed;
  // A new access key is announced to the control site.
  placed.site.calls.clear();
  call(placed.control.get(), tessel::dispid::AddRow, {vlong(60), vstr(L"&Datum")});
  EXPECT_EQ(placed.site.calls, (Calls{L"OnControlInfoChanged"}));
  CONTROLINFO info{};
  info.cb = sizeof(info);
  ASSERT_EQ(placed.control.query<IOleControl>(IID_IOleControl)->GetControlInfo(&info), S_OK);
  EXPECT_EQ(info.cAccel, 2);

  placed.site.calls.clear();
  ASSERT_EQ(placed.verb(OLEIVERB_INPLACEACTIVATE), S_OK);
  EXPECT_EQ(placed.site.calls, (Calls{L"CanInPlaceActivate", L"OnInPlaceActivate"}));
  HWND window = placed.window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GetParent(window), placed.frame.handle());
  EXPECT_EQ(rect_text(rect_in_parent(window)), L"10 20 310 60");
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(surface_size(placed.probe.get()).cx, 300);
  EXPECT_EQ(placed.verb(OLEIVERB_INPLACEACTIVATE), S_OK);  // already active: nothing new

  // Height is requested from the container, which decides.
  ASSERT_EQ(placed.probe->StartHookLog(), S_OK);
  placed.site.calls.clear();

  // 375 twips are 25 pixels at 96 dpi; the container grants them.
  ASSERT_EQ(placed.probe->SetHeightTwips(375.0f), S_OK);
  EXPECT_EQ(placed.site.calls, (Calls{L"OnPosRectChange 10 20 310 45"}));
  EXPECT_EQ(take_log(placed.probe.get()), L"resize 300 25\n");
  EXPECT_EQ(rect_text(rect_in_parent(placed.window())), L"10 20 310 45");

  // The container's own choice of height stands.
  placed.site.granted_height = 33;
  ASSERT_EQ(placed.probe->SetHeightTwips(300.0f), S_OK);
  EXPECT_EQ(take_log(placed.probe.get()), L"resize 300 33\n");
  EXPECT_EQ(surface_size(placed.probe.get()).cy, 33);

  // A container that declines: the control takes the height itself.
  placed.site.grant_positions = false;
  ASSERT_EQ(placed.probe->SetHeightTwips(150.0f), S_OK);
  EXPECT_EQ(take_log(placed.probe.get()), L"resize 300 10\n");
  EXPECT_EQ(rect_text(rect_in_parent(placed.window())), L"10 20 310 30");
  placed.site.grant_positions = true;
  placed.site.granted_height.reset();

  placed.site.calls.clear();
  ASSERT_EQ(placed.verb(OLEIVERB_UIACTIVATE), S_OK);
  EXPECT_EQ(GetFocus(), window);
  EXPECT_EQ(placed.site.calls, (Calls{L"OnUIActivate", L"OnFocus 1"}));

  const Calls deactivation{L"OnUIDeactivate", L"OnFocus 0", L"OnInPlaceDeactivate"};
  placed.site.calls.clear();
  ASSERT_EQ(placed.verb(OLEIVERB_HIDE), S_OK);
  EXPECT_EQ(placed.window(), nullptr);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(placed.site.calls, deactivation);

  // A click on an inactive window's control makes it UI-active.
  ASSERT_EQ(placed.verb(OLEIVERB_SHOW), S_OK);
  placed.site.calls.clear();
  SendMessageW(placed.window(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(placed.frame.handle()),
               MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  EXPECT_EQ(placed.site.calls, (Calls{L"OnUIActivate", L"OnFocus 1"}));
  EXPECT_EQ(placed.object->DoVerb(OLEIVERB_PROPERTIES, nullptr, &placed.site, 0, nullptr, nullptr),
            E_NOTIMPL);

  // UI-activated straight from inactive, then closed: it deactivates and
  // keeps no reference to the site.
  ASSERT_EQ(placed.verb(OLEIVERB_HIDE), S_OK);
  ASSERT_EQ(placed.verb(OLEIVERB_UIACTIVATE), S_OK);
  EXPECT_EQ(GetFocus(), placed.window());
  placed.site.calls.clear();
  ASSERT_EQ(placed.object->Close(OLECLOSE_NOSAVE), S_OK);
  EXPECT_EQ(placed.site.calls, deactivation);
  ComPtr<IOleClientSite> after;
  ASSERT_EQ(placed.object->GetClientSite(after.put()), S_OK);
  EXPECT_FALSE(after);
  EXPECT_EQ(placed.site.refs(), 0u);
}

TEST(Site, TheAmbientFontComesFromTheSiteOrIsANewMsSansSerif8) {
  TestFrame frame;
  TestSite site(frame.handle(), {0, 0, 100, 20});
  {
    ComPtr<IDispatch> control = create_control();
    auto probe = probe_of(control.get());
    auto ole_control = control.query<IOleControl>(IID_IOleControl);
    EXPECT_TRUE(is_default_font(ambient_font_of(probe.get()).get()));

    site.font = new_font(L"Tahoma", 11);
    ASSERT_EQ(control.query<IOleObject>(IID_IOleObject)->SetClientSite(&site), S_OK);
    EXPECT_TRUE(same_object(ambient_font_of(probe.get()).get(), site.font.get()));
    // The container announces another font, and then none.
    site.font = new_font(L"Courier New", 10);
    ASSERT_EQ(ole_control->OnAmbientPropertyChange(DISPID_AMBIENT_FONT), S_OK);
    EXPECT_TRUE(same_object(ambient_font_of(probe.get()).get(), site.font.get()));
    site.font = nullptr;
    ASSERT_EQ(ole_control->OnAmbientPropertyChange(DISPID_UNKNOWN), S_OK);
    EXPECT_TRUE(is_default_font(ambient_font_of(probe.get()).get()));
  }
  EXPECT_EQ(site.refs(), 0u);
}

// Without a container: the default extent and no window, the view still
// drawing the retained image, height and extent changing the surface, and
// InitNew running once whichever interface asks first (the stream and the
// bag refusing a second start: control/persistence_test).
TEST(NoContainer, ExtentHeightViewAndInitNewWorkWithoutAWindow) {
  ComPtr<IDispatch> control = create_control();
  HWND handle = reinterpret_cast<HWND>(1);
  EXPECT_EQ(control.query<IOleWindow>(IID_IOleWindow)->GetWindow(&handle), E_FAIL);
  EXPECT_EQ(handle, nullptr);
  auto probe = probe_of(control.get());
  SIZE size = surface_size(probe.get());
  EXPECT_EQ(size.cx, tessel::kTesselClass.default_size.cx);
  EXPECT_EQ(size.cy, tessel::kTesselClass.default_size.cy);
  auto object = control.query<IOleObject>(IID_IOleObject);
  SIZEL extent{}, view_extent{};
  ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
  EXPECT_EQ(pixels_of_himetric(extent.cx, LOGPIXELSX), tessel::kTesselClass.default_size.cx);
  EXPECT_EQ(pixels_of_himetric(extent.cy, LOGPIXELSY), tessel::kTesselClass.default_size.cy);
  ASSERT_EQ(control.query<IViewObject2>(IID_IViewObject2)
                ->GetExtent(DVASPECT_CONTENT, -1, nullptr, &view_extent),
            S_OK);
  EXPECT_EQ(view_extent.cx, extent.cx);
  EXPECT_EQ(view_extent.cy, extent.cy);
  DWORD status = 0;
  ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
  EXPECT_EQ(status, static_cast<DWORD>(OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE |
                                       OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                                       OLEMISC_INSIDEOUT));
  const COLORREF kBlue = RGB(20, 40, 220);
  ASSERT_EQ(probe->FillSurface(kBlue), S_OK);
  Canvas canvas(size.cx, size.cy);
  ASSERT_EQ(draw_view(control.get(), canvas, {0, 0, size.cx, size.cy}), S_OK);
  EXPECT_EQ(canvas.pixel(size.cx - 1, size.cy - 1), kBlue);

  keep_from_painting(control.get());
  ASSERT_EQ(probe->StartHookLog(), S_OK);
  // At 96 dpi: 600 twips are 40 pixels; 37.5 twips are 2.5 pixels, which
  // round to the even 2, and 30 twips are the same 2 pixels (no resize).
  ASSERT_EQ(probe->SetHeightTwips(600.0f), S_OK);
  EXPECT_EQ(surface_size(probe.get()).cy, 40);
  ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
  EXPECT_EQ(pixels_of_himetric(extent.cy, LOGPIXELSY), 40);
  EXPECT_EQ(pixels_of_himetric(extent.cx, LOGPIXELSX), tessel::kTesselClass.default_size.cx);
  ASSERT_EQ(probe->SetHeightTwips(37.5f), S_OK);
  EXPECT_EQ(surface_size(probe.get()).cy, 2);
  ASSERT_EQ(probe->SetHeightTwips(30.0f), S_OK);
  // Heights a host can cause through the control: negative ones count as 0,
  // huge ones as the largest window.
  ASSERT_EQ(probe->SetHeightTwips(-15.0f), S_OK);
  EXPECT_EQ(surface_size(probe.get()).cy, 0);
  ASSERT_EQ(probe->SetHeightTwips(std::nanf("")), S_OK);
  ASSERT_EQ(probe->SetHeightTwips(HUGE_VALF), S_OK);
  EXPECT_EQ(surface_size(probe.get()).cy, framework::kMaxWindowPixels);
  ASSERT_EQ(probe->SetHeightTwips(3e9f), S_OK);
  // The container's extent sizes the surface of a control that is not
  // active, and reads back as it was set.
  SIZEL set{2646, 1323};  // 100 x 50 pixels at 96 dpi
  ASSERT_EQ(object->SetExtent(DVASPECT_CONTENT, &set), S_OK);
  EXPECT_EQ(surface_size(probe.get()).cx, 100);
  EXPECT_EQ(surface_size(probe.get()).cy, 50);
  ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
  EXPECT_EQ(extent.cx, 2646);
  EXPECT_EQ(extent.cy, 1323);
  EXPECT_EQ(object->SetExtent(DVASPECT_ICON, &set), DV_E_DVASPECT);
  std::wstring width = L"resize " + std::to_wstring(tessel::kTesselClass.default_size.cx);
  EXPECT_EQ(take_log(probe.get()), width + L" 40\n" + width + L" 2\n" + width + L" 0\n" + width +
                                       L" 32767\nresize 100 50\n");

  auto bag = bag_persist(control.get());
  auto storage_init = storage_persist(control.get());
  ASSERT_TRUE(bag && storage_init);
  CLSID clsid{};
  ASSERT_EQ(bag->GetClassID(&clsid), S_OK);
  EXPECT_EQ(clsid, tessel::CLSID_TesselControl);
  EXPECT_EQ(bag->InitNew(), S_OK);
  EXPECT_EQ(take_log(probe.get()).substr(0, 5), L"init\n");
  EXPECT_EQ(stream_persist(control.get())->InitNew(), CO_E_ALREADYINITIALIZED);
  EXPECT_EQ(storage_init->InitNew(nullptr), CO_E_ALREADYINITIALIZED);
  EXPECT_EQ(take_log(probe.get()), L"");
  ComPtr<IStorage> storage = new_storage();
  EXPECT_EQ(storage_init->Save(storage.get(), TRUE), S_OK);
  EXPECT_EQ(storage_init->Load(storage.get()), CO_E_ALREADYINITIALIZED);
  EXPECT_EQ(bag->Save(nullptr, TRUE, TRUE), E_POINTER);
  EXPECT_EQ(bag->Load(nullptr, nullptr), E_POINTER);
}

}  // namespace
}  // namespace tessel_test
