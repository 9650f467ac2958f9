#include "control/persist_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

#include "control/property_table.h"
#include "framework/hosting_helpers.h"
#include "support/com_test_env.h"
#include "support/test_pictures.h"
#include "tessel_interfaces.h"

namespace tessel_test {

namespace id = tessel::dispid;

ComPtr<RecordingBag> RecordingBag::create() {
  return ComPtr<RecordingBag>::adopt(new RecordingBag());
}

std::vector<std::wstring> RecordingBag::written_keys() const {
  std::vector<std::wstring> keys;
  for (const auto& entry : writes) keys.push_back(entry.key);
  return keys;
}

std::vector<std::wstring> RecordingBag::read_keys() const {
  std::vector<std::wstring> keys;
  for (const auto& call : reads) keys.push_back(call.key);
  return keys;
}

STDMETHODIMP RecordingBag::QueryInterface(REFIID iid, void** object) {
  if (iid == IID_IUnknown || iid == IID_IPropertyBag) {
    *object = static_cast<IPropertyBag*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) RecordingBag::Release() {
  ULONG n = --refs_;
  if (n == 0) delete this;
  return n;
}

STDMETHODIMP RecordingBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
  const VARTYPE asked = V_VT(value);
  reads.push_back({name, asked});
  if (auto kept = object_bytes.find(name); kept != object_bytes.end()) {
    ComPtr<IDispatch> object;
    HRESULT hr = OleLoadFromStream(stream_of(kept->second).get(), IID_IDispatch, object.put_void());
    if (FAILED(hr)) return hr;
    VariantClear(value);
    V_VT(value) = VT_DISPATCH;
    V_DISPATCH(value) = object.detach();
    return S_OK;
  }
  auto it = values_.find(name);
  if (it == values_.end()) return E_INVALIDARG;
  if (asked == VT_EMPTY) return VariantCopy(value, it->second.get());
  Variant converted;
  HRESULT hr = VariantChangeType(converted.get(), it->second.get(), 0, asked);
  if (FAILED(hr)) return hr;
  converted.detach_to(value);
  return S_OK;
}

STDMETHODIMP RecordingBag::Write(LPCOLESTR name, VARIANT* value) {
  if (on_write) on_write(name);
  if (fail_write_of == name) return E_FAIL;
  object_bytes.erase(name);
  if (keeps_objects_as_bytes && (V_VT(value) == VT_DISPATCH || V_VT(value) == VT_UNKNOWN) &&
      V_UNKNOWN(value)) {
    ComPtr<IPersistStream> persist;
    HRESULT hr = V_UNKNOWN(value)->QueryInterface(IID_IPersistStream, persist.put_void());
    ComPtr<IStream> stream = new_stream();
    if (SUCCEEDED(hr)) hr = OleSaveToStream(persist.get(), stream.get());
    if (FAILED(hr)) return hr;
    object_bytes[name] = contents_of(stream.get());
  }
  Variant copy(*value);
  writes.push_back({name, copy});
  if (!keep_first || !values_.count(name)) values_[name] = copy;
  return S_OK;
}

ComPtr<IPersistPropertyBag> bag_persist(IUnknown* control) {
  return ComPtr<IUnknown>(control).query<IPersistPropertyBag>(IID_IPersistPropertyBag);
}
ComPtr<IPersistStreamInit> stream_persist(IUnknown* control) {
  return ComPtr<IUnknown>(control).query<IPersistStreamInit>(IID_IPersistStreamInit);
}
ComPtr<IPersistStorage> storage_persist(IUnknown* control) {
  return ComPtr<IUnknown>(control).query<IPersistStorage>(IID_IPersistStorage);
}

std::vector<std::wstring> keys(const wchar_t* line) {
  std::vector<std::wstring> result;
  std::wstring word;
  for (const wchar_t* p = line;; ++p) {
    if (*p == L' ' || *p == L'\0') {
      if (!word.empty()) result.push_back(word);
      word.clear();
      if (!*p) return result;
    } else {
      word += *p;
    }
  }
}

Variant v_i2(SHORT value) { return Variant::from_short(value); }
Variant v_i4(LONG value) { return Variant::from_long(value); }
Variant v_bool(bool value) { return Variant::from_bool(value); }
Variant v_r4(float value) { return Variant::from_float(value); }
Variant v_text(const wchar_t* text) { return Variant::from_text(text); }

Variant v_object(IUnknown* object) {
  Variant v;
  V_VT(v.get()) = VT_DISPATCH;
  V_DISPATCH(v.get()) = nullptr;
  if (object) object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&V_DISPATCH(v.get())));
  return v;
}

ComPtr<IStream> new_stream() {
  ComPtr<IStream> stream;
  EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
  return stream;
}

ComPtr<IStream> stream_of(const std::vector<BYTE>& bytes) {
  ComPtr<IStream> stream = new_stream();
  ULONG written = 0;
  if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  return stream;
}

ComPtr<IStorage> new_storage() {
  ComPtr<ILockBytes> bytes;
  EXPECT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.put()), S_OK);
  ComPtr<IStorage> storage;
  EXPECT_EQ(StgCreateDocfileOnILockBytes(
                bytes.get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, storage.put()),
            S_OK);
  return storage;
}

std::vector<BYTE> contents_of(IStream* stream) {
  HGLOBAL memory = nullptr;
  EXPECT_EQ(GetHGlobalFromStream(stream, &memory), S_OK);
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::vector<BYTE> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
  if (!bytes.empty()) {
    std::memcpy(bytes.data(), GlobalLock(memory), bytes.size());
    GlobalUnlock(memory);
  }
  return bytes;
}

std::vector<BYTE> save_to_bytes(IUnknown* control) {
  auto persist = ComPtr<IUnknown>(control).query<IPersistStreamInit>(IID_IPersistStreamInit);
  ComPtr<IStream> stream = new_stream();
  EXPECT_EQ(persist->Save(stream.get(), FALSE), S_OK);
  return contents_of(stream.get());
}

ComPtr<IDispatch> load_from_bytes(const std::vector<BYTE>& bytes, HRESULT* result) {
  ComPtr<IDispatch> control = create_control();
  auto persist = control.query<IPersistStreamInit>(IID_IPersistStreamInit);
  ComPtr<IStream> stream = stream_of(bytes);
  HRESULT hr = persist->Load(stream.get());
  if (result) {
    *result = hr;
  } else {
    EXPECT_EQ(hr, S_OK);
  }
  return control;
}

void put_picture(IDispatch* control, LONG index, IPictureDisp* picture) {
  VARIANT value;
  V_VT(&value) = VT_DISPATCH;
  V_DISPATCH(&value) = picture;
  if (picture) picture->AddRef();  // the call helper clears its arguments
  EXPECT_EQ(invoke(control, id::RowPicture, DISPATCH_PROPERTYPUTREF, {vlong(index), value}), S_OK);
}

ComPtr<IDispatch> make_sample_control() {
  ComPtr<IDispatch> control = create_control();
  auto persist = control.query<IPersistStreamInit>(IID_IPersistStreamInit);
  EXPECT_EQ(persist->InitNew(), S_OK);
  IDispatch* c = control.get();
  put(c, id::RowWidth, {vlong(1)}, vlong(80));
  put(c, id::RowCaption, {vlong(1)}, vstr(L"&Name"));
  call(c, id::AddRow, {vlong(50), vstr(L"Größe")});
  call(c, id::AddRow, {vlong(70), vstr(L"Datum")});
  put(c, id::RowSorted, {vlong(2)}, vbool(true));
  put_picture(c, 1, make_bitmap_picture(16, 16, RGB(200, 10, 20)).get());
  put_picture(c, 3, make_bitmap_picture(8, 12, RGB(10, 20, 220)).get());
  LONG colour = 0x102030;
  for (const tessel::PropertyRow& row : tessel::property_table()) {
    if (row.page == &tessel::CLSID_StockColorPage)
      put(c, row.dispid, {}, vlong(colour += 0x010101));
  }
  put(c, id::HeaderHeight, {}, vlong(31));
  put(c, id::SortedRow, {}, vlong(2));
  put(c, id::SelectedRow, {}, vlong(1));
  put(c, id::ShowFrame, {}, vbool(false));
  put(c, id::ShowSortPic, {}, vbool(false));
  FONTDESC desc{sizeof(FONTDESC),
                const_cast<LPOLESTR>(L"Arial"),
                {{120000, 0}},
                FW_BOLD,
                ANSI_CHARSET,
                TRUE,
                TRUE,
                TRUE};
  ComPtr<IFontDisp> font;
  EXPECT_EQ(OleCreateFontIndirect(&desc, IID_IFontDisp, font.put_void()), S_OK);
  VARIANT value;
  V_VT(&value) = VT_DISPATCH;
  V_DISPATCH(&value) = font.get();
  font->AddRef();
  EXPECT_EQ(invoke(c, id::Font, DISPATCH_PROPERTYPUTREF, {value}), S_OK);
  // A name of its own: a font object reports the face the platform found
  // for it, which may be the ambient font's face as well.
  put(c, id::FontName, {}, vstr(L"Courier New"));
  return control;
}

std::vector<DWORD> picture_pixels(IUnknown* object) {
  std::vector<DWORD> pixels;
  ComPtr<IPicture> picture;
  if (!object || FAILED(object->QueryInterface(IID_IPicture, picture.put_void()))) return pixels;
  OLE_HANDLE handle = 0;
  picture->get_Handle(&handle);
  auto bitmap = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
  BITMAP info{};
  if (!GetObjectW(bitmap, sizeof info, &info)) return pixels;
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof(format.bmiHeader);
  format.bmiHeader.biWidth = info.bmWidth;
  format.bmiHeader.biHeight = -info.bmHeight;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  pixels.resize(2 + static_cast<size_t>(info.bmWidth) * info.bmHeight);
  pixels[0] = static_cast<DWORD>(info.bmWidth);
  pixels[1] = static_cast<DWORD>(info.bmHeight);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data() + 2, &format,
            DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return pixels;
}

void expect_read_defaults(IDispatch* c) {
  std::vector<LONG> values;
  for (DISPID which : {id::NumberOfRows,        id::HeaderHeight,
                       id::BackColor,           id::BackColorForm,
                       id::ForeColor,           id::ForeColorActive,
                       id::ForeColorHot,        id::FrameColor,
                       id::MaskColor,           id::MouseMoveColor0,
                       id::MouseMoveColor1,     id::MouseMoveColor2,
                       id::RegisterFocusColor0, id::RegisterFocusColor1,
                       id::RegisterFocusColor2, id::SortedRow,
                       id::SelectedRow,         id::ShowFrame,
                       id::ShowSortPic,         id::FontBold}) {
    values.push_back(as_long(get(c, which)));
  }
  EXPECT_EQ(values, (std::vector<LONG>{0,        25,       0xFDFAF9, 0xE0F0F0, LONG(0x80000012),
                                       0x985038, 0xFF0000, 0,        0xFF00FF, 0x2890E8,
                                       0x38D0FF, 0x38C8FF, 0x2890E8, 0x38D0FF, 0x38C8FF,
                                       1,        0,        -1,       -1,       0}));
  EXPECT_EQ(as_string(get(c, id::FontName)), L"MS Sans Serif");
  EXPECT_EQ(V_R4(get(c, id::FontSize).get()), 8.0f);
}

ControlSnapshot snapshot(IDispatch* c) {
  ControlSnapshot s;
  const LONG count = as_long(get(c, id::NumberOfRows));
  for (const tessel::PropertyRow& row : tessel::property_table()) {
    for (LONG i = row.per_column ? 1 : 0; i <= (row.per_column ? count : 0); ++i) {
      const std::wstring name(std::wstring(row.name) + (i ? std::to_wstring(i) : L""));
      Variant value = get(c, row.dispid, i ? std::vector{vlong(i)} : std::vector<VARIANT>{});
      if (row.dispid == id::RowPicture) {
        s.pictures[name] = picture_pixels(V_DISPATCH(value.get()));
      } else if (row.dispid == id::Font) {
        ComPtr<IFontDisp> drawing;
        if (V_VT(value.get()) == VT_DISPATCH && V_DISPATCH(value.get())) {
          V_DISPATCH(value.get())->QueryInterface(IID_IFontDisp, drawing.put_void());
        }
        ComPtr<IFont> font = drawing ? drawing.query<IFont>(IID_IFont) : ComPtr<IFont>();
        BOOL bold = FALSE, italic = FALSE;
        if (font) font->get_Bold(&bold), font->get_Italic(&italic);
        s.values[name] = drawing ? font_name(drawing.get()) + L" " +
                                       std::to_wstring(font_size(drawing.get())) +
                                       (bold ? L" bold" : L"") + (italic ? L" italic" : L"")
                                 : L"none";
      } else {
        Variant text;
        EXPECT_EQ(VariantChangeTypeEx(text.get(), value.get(), LOCALE_INVARIANT, 0, VT_BSTR), S_OK);
        s.values[name] = as_string(text) + L" " + std::to_wstring(value.vt());
      }
    }
  }
  return s;
}

void expect_same(const ControlSnapshot& a, const ControlSnapshot& e) {
  EXPECT_EQ(a.values, e.values);
  EXPECT_EQ(a.pictures, e.pictures);
}

}  // namespace tessel_test
