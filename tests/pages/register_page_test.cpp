// The columns page in Wine's property frame and handed a new selection live:
// stepping, apply-on-leave, adding and deleting, pictures from files.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "control/interaction_helpers.h"
#include "control/persist_test_support.h"
#include "pages/page_test_support.h"
#include "pages/register_page.h"
#include "render/test_images.h"
#include "support/page_site.h"
#include "support/test_pictures.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

using tessel::RegisterPage;
namespace dispid = tessel::dispid;

void add_columns_b_and_c(IDispatch* control) {
  call(control, dispid::AddRow, {vlong(70), vstr(L"B")});
  call(control, dispid::AddRow, {vlong(80), vstr(L"C")});
}

// A control with the columns A (60), B (70) and C (80).
ComPtr<IDispatch> three_columns() {
  auto control = new_control();
  add_columns_b_and_c(control.get());
  put(control.get(), dispid::RowCaption, {vlong(1)}, vstr(L"A"));
  return control;
}

LONG columns(IDispatch* control) { return as_long(get(control, dispid::NumberOfRows)); }
std::wstring caption(IDispatch* control, LONG index) {
  return as_string(get(control, dispid::RowCaption, {vlong(index)}));
}
LONG width(IDispatch* control, LONG index) {
  return as_long(get(control, dispid::RowWidth, {vlong(index)}));
}
ComPtr<IPictureDisp> picture(IDispatch* control, LONG index) {
  Variant value = get(control, dispid::RowPicture, {vlong(index)});
  if (value.vt() != VT_DISPATCH || !V_DISPATCH(value.get())) return nullptr;
  return ComPtr<IDispatch>(V_DISPATCH(value.get())).query<IPictureDisp>(IID_IPictureDisp);
}
using Columns = std::vector<std::pair<std::wstring, LONG>>;  // caption and width
Columns column_values(IDispatch* control) {
  Columns values;
  for (LONG i = 1; i <= columns(control); ++i) {
    values.emplace_back(caption(control, i), width(control, i));
  }
  return values;
}

// The page's fields, by child id.
struct Fields {
  RegisterPage& page;
  HWND operator()(int id) const { return GetDlgItem(page.window(), id); }
  std::wstring text(int id) const { return text_of((*this)(id)); }
  void type(int id, const std::wstring& text) const { type_text((*this)(id), text); }
  void scroll(int code) const {
    SendMessageW(page.window(), WM_HSCROLL, MAKEWPARAM(code, 0),
                 reinterpret_cast<LPARAM>((*this)(RegisterPage::kHsb)));
  }
  int scroll_maximum() const {
    int minimum = 0, maximum = 0;
    GetScrollRange((*this)(RegisterPage::kHsb), SB_CTL, &minimum, &maximum);
    return maximum;
  }
};

// A file in the temporary folder that lives as long as the object.
struct TempFile {
  TempFile(const std::string& name, const std::vector<BYTE>& bytes) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    path = folder + name;
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    EXPECT_TRUE(file.good()) << path;
  }
  ~TempFile() { DeleteFileA(path.c_str()); }
  std::string path;
};

// The .bmp file a picture saves: its stream is "lt\0\0", the length, the file.
std::vector<BYTE> bitmap_file_bytes(COLORREF colour) {
  ComPtr<IStream> stream = new_stream();
  auto persist = make_bitmap_picture(4, 4, colour).query<IPersistStream>(IID_IPersistStream);
  EXPECT_EQ(persist->Save(stream.get(), TRUE), S_OK);
  const std::vector<BYTE> saved = contents_of(stream.get());
  DWORD size = 0;
  std::memcpy(&size, saved.data() + 4, sizeof size);
  return {saved.begin() + 8, saved.begin() + 8 + size};
}

// A 16 × 16 icon file of one 32-bit image: opaque red with a transparent
// top-left quarter.
std::vector<BYTE> icon_file_bytes() {
  std::vector<BYTE> file;
  auto put = [&](auto value) {
    const auto* bytes = reinterpret_cast<const BYTE*>(&value);
    file.insert(file.end(), bytes, bytes + sizeof value);
  };
  for (WORD w : {0, 1, 1}) put(w);        // an icon file of one image
  for (BYTE b : {16, 16, 0, 0}) put(b);   // 16 × 16, no palette
  for (WORD w : {1, 32}) put(w);          // one plane, 32 bits
  put(DWORD{40 + 16 * 16 * 4 + 16 * 4});  // the image's size and place
  put(DWORD{6 + 16});
  put(BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 16, 32, 1, 32, BI_RGB, 0, 0, 0, 0, 0});
  // Rows bottom-up: colours, then the AND mask (one DWORD per row).
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) put(DWORD{y >= 8 && x < 8 ? 0u : 0xFFFF0000u});
  }
  for (int y = 0; y < 16; ++y) put(DWORD{y >= 8 ? 0xFFu : 0u});
  return file;
}

constexpr int kIndex = RegisterPage::kTxtIndex;
constexpr int kCaption = RegisterPage::kTxtCaption;
constexpr int kWidth = RegisterPage::kTxtWidth;

TEST(RegisterPage, StepsThroughTheColumnsAppliesEditsOnLeavingAndCancelUndoesTheRest) {
  AxHost hosted(L"QuonTessel.TesselControl");
  auto control = hosted.control();
  add_columns_b_and_c(control.get());
  const Columns applied{{caption(control.get(), 1), 60}, {L"Name", 90}, {L"C", 80}};
  FileDialogAnswer cancelled(std::nullopt);
  with_page<RegisterPage>({control.get()}, tessel::CLSID_Register, [&](RegisterPage& page) {
    Fields f{page};
    EXPECT_EQ(f.text(kIndex), L"1");
    EXPECT_EQ(f.text(kWidth), L"60");
    EXPECT_EQ(f.scroll_maximum(), 3);
    EXPECT_EQ(page.current_index(), 1);
    f.scroll(SB_LINERIGHT);
    EXPECT_EQ(f.text(kIndex), L"2");
    EXPECT_EQ(f.text(kCaption), L"B");
    EXPECT_EQ(f.text(kWidth), L"70");
    f.type(kCaption, L"Name");
    f.type(kWidth, L"90");
    f.scroll(SB_LINERIGHT);  // no Apply: the edits go to column 2
    EXPECT_EQ(column_values(control.get()), applied);
    EXPECT_EQ(f.text(kCaption), L"C");
    f.scroll(SB_LINERIGHT);  // already at the last column
    EXPECT_EQ(f.text(kIndex), L"3");
    f.scroll(SB_LEFT);
    EXPECT_EQ(f.text(kIndex), L"1");
    // Edits the frame's Cancel throws away.
    f.type(kCaption, L"X");
    f.type(kWidth, L"99");
    click(f(RegisterPage::kCmdDel));
  });
  EXPECT_EQ(column_values(control.get()), applied);
}

// Apply writes a space for no caption, 60 for no width, and widths by the
// locale's number rules. Adding saves the shown column and moves to the new
// one; deleting removes the last column whichever is shown, down to one.
TEST(RegisterPage, ApplyRulesThenAddingAndDeletingColumns) {
  auto control = three_columns();
  const std::wstring sign = decimal_sign();
  with_page<RegisterPage>({control.get()}, tessel::CLSID_Register, [&](RegisterPage& page) {
    Fields f{page};
    f.type(kCaption, L"");
    f.type(kWidth, L"");
    page.Apply();
    EXPECT_EQ(caption(control.get(), 1), L" ");
    EXPECT_EQ(width(control.get(), 1), 60);
    EXPECT_EQ(f.text(kWidth), L"60");
    // Halves go to the even neighbour; a width that is no number is not
    // written, while the caption still is.
    const std::pair<std::wstring, LONG> widths[] = {
        {L"12" + sign + L"5", 12}, {L"13" + sign + L"5", 14}, {L"breit", 14}};
    for (const auto& [typed, written] : widths) {
      f.type(kWidth, typed);
      f.type(kCaption, typed);
      page.Apply();
      EXPECT_EQ(width(control.get(), 1), written) << testing::PrintToString(typed);
      EXPECT_EQ(caption(control.get(), 1), typed);
    }

    f.type(kCaption, L"Erste");
    click(f(RegisterPage::kCmdAddTab));
    EXPECT_EQ(columns(control.get()), 4);
    EXPECT_EQ(caption(control.get(), 1), L"Erste");
    EXPECT_EQ(f.text(kIndex), L"4");
    EXPECT_EQ(f.scroll_maximum(), 4);
    EXPECT_EQ(page.current_index(), 4);
    EXPECT_EQ(f.text(kCaption), caption(control.get(), 4));
    EXPECT_EQ(f.text(kWidth), L"60");
    EXPECT_EQ(page.IsPageDirty(), S_OK);
    f.type(kCaption, L"Vierte");
    page.Apply();
    EXPECT_EQ(caption(control.get(), 4), L"Vierte");

    f.scroll(SB_LEFT);
    click(f(RegisterPage::kCmdDelete));  // column 1 shown
    EXPECT_EQ(column_values(control.get()), (Columns{{L"Erste", 14}, {L"B", 70}, {L"C", 80}}));
    EXPECT_EQ(f.scroll_maximum(), 3);
    f.scroll(SB_RIGHT);  // showing the last column: the page shows the new last
    EXPECT_EQ(f.text(kIndex), L"3");
    page.Apply();
    click(f(RegisterPage::kCmdDelete));
    EXPECT_EQ(columns(control.get()), 2);
    EXPECT_EQ(f.text(kIndex), L"2");
    EXPECT_EQ(f.text(kCaption), L"B");
    page.Apply();
    for (int i = 0; i < 2; ++i) click(f(RegisterPage::kCmdDelete));
    EXPECT_EQ(columns(control.get()), 1) << "the control keeps its last column";
    EXPECT_EQ(page.IsPageDirty(), S_OK);
  });
}

// A frame may hand the live page another selection. Edits pending on the
// control shown are dropped: neither control changes, and the page starts on
// column 1 of the new first control, clean. It edits that control only.
TEST(RegisterPage, ANewSelectionShowsColumnOneOfItsFirstControlAndWritesNothing) {
  LinkedPages pages;
  TestFrame frame;
  RecordingPageSite site;
  auto a = three_columns();
  auto b = new_control();
  put(b.get(), dispid::RowCaption, {vlong(1)}, vstr(L"Erste"));
  put(b.get(), dispid::RowWidth, {vlong(1)}, vlong(50));
  for (const wchar_t* name : {L"Zweite", L"Dritte", L"Vierte"}) {
    call(b.get(), dispid::AddRow, {vlong(90), vstr(name)});
  }
  const auto a_before = column_values(a.get());
  const auto b_before = column_values(b.get());
  auto page = make_page(tessel::CLSID_Register);
  ASSERT_TRUE(page);
  ASSERT_EQ(page->SetPageSite(&site), S_OK);
  IUnknown* first[] = {a.get()};
  ASSERT_EQ(page->SetObjects(1, first), S_OK);
  const RECT area{0, 0, 400, 260};
  ASSERT_EQ(page->Activate(frame.handle(), &area, TRUE), S_OK);
  Fields f{*pages.last<RegisterPage>()};
  EXPECT_TRUE(site.statuses.empty()) << "showing a control is no edit";
  f.scroll(SB_RIGHT);
  f.type(kCaption, L"Neu");
  f.type(kWidth, L"99");
  ASSERT_EQ(page->IsPageDirty(), S_OK);

  site.statuses.clear();
  IUnknown* second[] = {b.get(), a.get()};
  ASSERT_EQ(page->SetObjects(2, second), S_OK);
  EXPECT_EQ(column_values(a.get()), a_before);
  EXPECT_EQ(column_values(b.get()), b_before);
  EXPECT_EQ(f.text(kIndex), L"1");
  EXPECT_EQ(GetScrollPos(f(RegisterPage::kHsb), SB_CTL), 1);
  EXPECT_EQ(f.scroll_maximum(), 4);
  EXPECT_EQ(f.page.current_index(), 1);
  EXPECT_EQ(f.text(kCaption), L"Erste");
  EXPECT_EQ(f.text(kWidth), L"50");
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);
  EXPECT_TRUE(site.statuses.empty());
  f.type(kCaption, L"Eins");
  page->Apply();
  EXPECT_EQ(caption(b.get(), 1), L"Eins");
  EXPECT_EQ(column_values(a.get()), a_before);

  page->Deactivate();
  page->SetObjects(0, nullptr);
  page->SetPageSite(nullptr);
}

// Pictures: removed on Apply, icon files of any case turned into bitmaps
// over magenta, files that fail to load reported and not taken, and a name
// typed without an extension loaded as typed.
TEST(RegisterPage, PicturesComeFromFilesAndReachTheColumnOnApply) {
  auto control = three_columns();
  put_ref(control.get(), dispid::RowPicture, {vlong(1)},
          make_bitmap_picture(8, 8, RGB(0, 128, 0)).get());
  MessageBoxes boxes;
  TempFile icon("PAGE TEST.ICO", icon_file_bytes());
  TempFile lower("page test.ico", icon_file_bytes());
  TempFile blue("page test.bmp", bitmap_file_bytes(RGB(0, 0, 255)));
  TempFile plain("page test picture", bitmap_file_bytes(RGB(0, 0, 255)));
  TempFile broken("page test broken.bmp", {'B', 'M', 'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'});
  with_page<RegisterPage>({control.get()}, tessel::CLSID_Register, [&](RegisterPage& page) {
    HWND open = Fields{page}(RegisterPage::kCmdOpenDlg);
    EXPECT_NE(page.tab_picture(), nullptr);
    page.Apply();
    click(Fields{page}(RegisterPage::kCmdDel));
    EXPECT_EQ(page.tab_picture(), nullptr);
    EXPECT_EQ(page.IsPageDirty(), S_OK);
    EXPECT_TRUE(picture(control.get(), 1)) << "not before Apply";
    page.Apply();
    EXPECT_FALSE(picture(control.get(), 1));

    const MessageBoxCall expected[] = {{L"Ungültiges Bild", L"Bild einfügen", MB_OK | MB_ICONSTOP},
                                       {L"53\r\nFile not found", L"QuonTessel", MB_OK}};
    const std::string missing[] = {broken.path, "Z:\\no such folder\\missing.bmp"};
    for (size_t i = 0; i < 2; ++i) {
      FileDialogAnswer chosen(missing[i]);
      click(open);
      ASSERT_EQ(boxes.calls.size(), i + 1);
      EXPECT_EQ(boxes.calls[i].text, expected[i].text);
      EXPECT_EQ(boxes.calls[i].title, expected[i].title);
      EXPECT_EQ(boxes.calls[i].style, expected[i].style);
      EXPECT_EQ(page.tab_picture(), nullptr);
      EXPECT_EQ(page.IsPageDirty(), S_FALSE);
    }

    for (const TempFile* file : {&icon, &lower, &blue, &plain}) {
      FileDialogAnswer chosen(file->path, file == &plain);
      page.Apply();
      const ComPtr<IPictureDisp> before(page.tab_picture());  // each load makes a new one
      click(open);
      ASSERT_EQ(chosen.calls, 1);
      EXPECT_NE(page.tab_picture(), before.get()) << testing::PrintToString(file->path);
      // Loaded straight from the file an icon would stay an icon.
      EXPECT_EQ(picture_type(page.tab_picture()), PICTYPE_BITMAP)
          << testing::PrintToString(file->path);
      EXPECT_EQ(page.IsPageDirty(), S_OK);
    }
    EXPECT_EQ(boxes.calls.size(), 2u) << "every file loaded";
    {
      // Cancelling changes nothing, the Changed flag included.
      FileDialogAnswer cancelled(std::nullopt);
      page.Apply();
      IPictureDisp* before = page.tab_picture();
      click(open);
      EXPECT_EQ(cancelled.calls, 1);
      EXPECT_EQ(page.tab_picture(), before);
      EXPECT_EQ(page.IsPageDirty(), S_FALSE);
    }
    FileDialogAnswer chosen(icon.path);
    click(open);
    page.Apply();
  });
  auto stored = picture(control.get(), 1);
  ASSERT_TRUE(stored);
  EXPECT_EQ(picture_type(stored.get()), PICTYPE_BITMAP);
  framework::MemoryDc dc;
  framework::Selection selection(dc.get(), static_cast<HBITMAP>(picture_handle(stored.get())));
  EXPECT_EQ(GetPixel(dc.get(), 2, 2), RGB(255, 0, 255));
  EXPECT_EQ(GetPixel(dc.get(), 12, 12), RGB(255, 0, 0));
}

}  // namespace
}  // namespace tessel_test
