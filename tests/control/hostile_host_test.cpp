// Hosts that let go of the control inside an event, change the columns while
// a save walks them, or hand back nothing where they report success: the
// control must neither crash nor write into freed memory (heaps are checked).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <utility>

#include "control/persist_test_support.h"
#include "framework/bstr.h"
#include "support/com_test_env.h"
#include "support/event_recorder.h"
#include "support/heap_check.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

namespace id = tessel::dispid;

// A control with three columns, held only through its dual interface, and a
// sink on its events and notifications.
struct Held {
  Held() {
    ComPtr<IDispatch> created = create_control();
    for (int i = 0; i < 3; ++i) invoke(created.get(), id::AddRow, DISPATCH_METHOD, {});
    created->QueryInterface(tessel::IID__TesselControl, reinterpret_cast<void**>(&dual));
    recorder->connect(created.get());
  }
  ~Held() { let_go(); }
  // What a host does in its handler: it disconnects and lets go of the
  // control for good.
  void let_go() {
    if (!dual) return;
    recorder->disconnect();
    std::exchange(dual, nullptr)->Release();
  }

  tessel::_TesselControl* dual = nullptr;
  ComPtr<EventRecorder> recorder = EventRecorder::create();
};

TEST(HostLetsGo, InsideAnEventOrAChangeNotification) {
  const struct {
    const char* name;
    bool in_event;
    std::function<HRESULT(Held&)> call;
  } cases[] = {
      {"RowPressed, dual SelectedRow", true, [](Held& h) { return h.dual->put_SelectedRow(2); }},
      {"RowPressed, IDispatch SelectedRow", true,
       [](Held& h) { return invoke(h.dual, id::SelectedRow, DISPATCH_PROPERTYPUT, {vlong(2)}); }},
      {"OnChanged, dual HeaderHeight", false, [](Held& h) { return h.dual->put_HeaderHeight(30); }},
      {"OnChanged, dual RowCaption", false,
       [](Held& h) { return h.dual->put_RowCaption(1, framework::Bstr(L"&Name").get()); }},
      {"OnChanged, dual AddRow", false,
       [](Held& h) {
         LONG index = 0;
         return h.dual->AddRow(nullptr, nullptr, nullptr, &index);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Held held;
    if (c.in_event) {
      held.recorder->on_event = [&](DISPID, VARIANT*, UINT) { held.let_go(); };
    } else {
      held.recorder->on_changed = [&](DISPID) {
        held.let_go();
        return S_OK;
      };
    }
    // The host's one reference goes inside the call it is making.
    EXPECT_EQ(c.call(held), S_OK);
    EXPECT_EQ(held.dual, nullptr) << "the handler did not run";
    EXPECT_TRUE(process_heaps_valid());
  }
}

// A bag's Write that deletes and re-adds columns while the save walks them:
// the column being saved can leave the array. The save then stops with
// error 9; it never reads the record that went.
TEST(HostChangesColumns, WhileASaveWalksThem) {
  ComPtr<IDispatch> control = create_control();
  for (int i = 0; i < 3; ++i)
    ASSERT_EQ(invoke(control.get(), id::AddRow, DISPATCH_METHOD, {}), S_OK);
  ASSERT_EQ(as_long(get(control.get(), id::NumberOfRows)), 3);
  auto bag = RecordingBag::create();
  bag->on_write = [&](const std::wstring& key) {
    if (key != L"RowWidth3") return;
    invoke(control.get(), id::DeleteRow, DISPATCH_METHOD, {});
    invoke(control.get(), id::DeleteRow, DISPATCH_METHOD, {});
    invoke(control.get(), id::AddRow, DISPATCH_METHOD, {});  // drops the record of column 3
  };
  EXPECT_EQ(error_number(bag_persist(control.get())->Save(bag.get(), TRUE, TRUE)), 9);
  EXPECT_TRUE(process_heaps_valid());

  // A Write that only adds columns lets the save finish with the columns
  // as they were when each key was written.
  auto growing = RecordingBag::create();
  growing->on_write = [&](const std::wstring& key) {
    if (key == L"RowWidth1") {
      for (int i = 0; i < 40; ++i) invoke(control.get(), id::AddRow, DISPATCH_METHOD, {});
    }
  };
  ASSERT_EQ(bag_persist(control.get())->Save(growing.get(), TRUE, TRUE), S_OK);
  EXPECT_EQ(growing->written_keys().back(), L"RowSorted42");
  EXPECT_TRUE(process_heaps_valid());
}

// A storage that reports success for its streams but hands back none. The
// control asks a storage for nothing else.
class StreamlessStorage final : public IStorage {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    *object = iid == IID_IUnknown || iid == IID_IStorage ? static_cast<IStorage*>(this) : nullptr;
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override { return --refs_; }
  STDMETHODIMP CreateStream(const OLECHAR*, DWORD, DWORD, DWORD, IStream** stream) override {
    *stream = nullptr;
    return S_OK;
  }
  STDMETHODIMP OpenStream(const OLECHAR*, void*, DWORD, DWORD, IStream** stream) override {
    *stream = nullptr;
    return S_OK;
  }
  STDMETHODIMP CreateStorage(const OLECHAR*, DWORD, DWORD, DWORD, IStorage**) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP OpenStorage(const OLECHAR*, IStorage*, DWORD, SNB, DWORD, IStorage**) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP CopyTo(DWORD, const IID*, SNB, IStorage*) override { return E_NOTIMPL; }
  STDMETHODIMP MoveElementTo(const OLECHAR*, IStorage*, const OLECHAR*, DWORD) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Commit(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Revert() override { return E_NOTIMPL; }
  STDMETHODIMP EnumElements(DWORD, void*, DWORD, IEnumSTATSTG**) override { return E_NOTIMPL; }
  STDMETHODIMP DestroyElement(const OLECHAR*) override { return E_NOTIMPL; }
  STDMETHODIMP RenameElement(const OLECHAR*, const OLECHAR*) override { return E_NOTIMPL; }
  STDMETHODIMP SetElementTimes(const OLECHAR*, const FILETIME*, const FILETIME*,
                               const FILETIME*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP SetClass(REFCLSID) override { return E_NOTIMPL; }
  STDMETHODIMP SetStateBits(DWORD, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }

 private:
  ULONG refs_ = 1;
};

TEST(HostHandsBackNothing, AStorageWithoutStreams) {
  StreamlessStorage storage;
  ComPtr<IDispatch> saved = make_sample_control();
  EXPECT_EQ(storage_persist(saved.get())->Save(&storage, FALSE), E_POINTER);
  ComPtr<IDispatch> loaded = create_control();
  EXPECT_TRUE(FAILED(storage_persist(loaded.get())->Load(&storage)));
  EXPECT_EQ(as_long(get(loaded.get(), id::HeaderHeight)), 25);
}

// Arguments no careful caller passes: references to nothing, reference
// chains that loop, more named arguments than arguments, and numbers that
// do not fit the parameter. Each is a defined error, and nothing changes.
TEST(HostileArguments, EndInADefinedErrorAndChangeNothing) {
  ComPtr<IDispatch> control = create_control();
  ASSERT_EQ(invoke(control.get(), id::AddRow, DISPATCH_METHOD, {}), S_OK);
  put(control.get(), id::HeaderHeight, {}, vlong(25));
  auto put_error = [&](DISPID which, std::vector<VARIANT> args) {
    return error_number(invoke(control.get(), which, DISPATCH_PROPERTYPUT, std::move(args)));
  };

  VARIANT null_picture;
  V_VT(&null_picture) = VT_BYREF | VT_DISPATCH;
  V_DISPATCHREF(&null_picture) = nullptr;
  EXPECT_EQ(
      invoke(control.get(), id::RowPicture, DISPATCH_PROPERTYPUTREF, {vlong(1), null_picture}),
      E_POINTER);

  // cArgs 0 with one named argument: an unsigned count would wrap.
  DISPID put_id = DISPID_PROPERTYPUT;
  DISPPARAMS wrapped{nullptr, &put_id, 0, 1};
  EXPECT_EQ(control->Invoke(id::RowWidth, IID_NULL, 0, DISPATCH_PROPERTYPUT, &wrapped, nullptr,
                            nullptr, nullptr),
            DISP_E_BADPARAMCOUNT);

  VARIANT self, a, b;
  V_VT(&self) = V_VT(&a) = V_VT(&b) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&self) = &self;
  V_VARIANTREF(&a) = &b;
  V_VARIANTREF(&b) = &a;
  EXPECT_EQ(put_error(id::HeaderHeight, {self}), 13);
  EXPECT_EQ(error_number(invoke(control.get(), id::AddRow, DISPATCH_METHOD, {a, b})), 13);

  const VARIANT nan = variant_of(VT_R8, std::nan(""));
  EXPECT_EQ(put_error(id::HeaderHeight, {nan}), 6);
  EXPECT_EQ(put_error(id::HeaderHeight, {variant_of(VT_UI4, 0xFFFFFFFFu)}), 6);
  EXPECT_EQ(put_error(id::RowWidth, {vlong(1), nan}), 6);
  EXPECT_EQ(as_long(get(control.get(), id::HeaderHeight)), 25);
  EXPECT_EQ(as_long(get(control.get(), id::NumberOfRows)), 1);
  // A colour takes a Long's bits or an unsigned value, nothing beyond.
  EXPECT_EQ(put_error(id::BackColor, {variant_of(VT_I8, 0x100000000LL)}), 6);
  EXPECT_EQ(
      invoke(control.get(), id::BackColor, DISPATCH_PROPERTYPUT, {variant_of(VT_UI4, 0x80000012u)}),
      S_OK);
  EXPECT_TRUE(process_heaps_valid());
}

// A bag whose Read hands back a reference to nothing: that key is skipped.
TEST(HostileArguments, ABagValueThatIsAReferenceToNothingIsSkipped) {
  auto bag = RecordingBag::create();
  Variant null_reference;
  V_VT(null_reference.get()) = VT_BYREF | VT_I4;
  V_I4REF(null_reference.get()) = nullptr;
  bag->set(L"HeaderHeight", null_reference);
  bag->set(L"NumberOfTabs", v_i4(1));
  ComPtr<IDispatch> control = create_control();
  ASSERT_EQ(bag_persist(control.get())->Load(bag.get(), nullptr), S_OK);
  EXPECT_EQ(as_long(get(control.get(), id::NumberOfRows)), 1);
}

}  // namespace
}  // namespace tessel_test
