// mCommonDialog with the dialog answered through its seam: the record it
// hands over, and the results for cancel and for a chosen file.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <thread>

#include "framework/module.h"
#include "pages/common_dialog.h"
#include "pages/page_test_support.h"

namespace tessel_test {
namespace {

namespace dialog = tessel::mCommonDialog;
using namespace std::string_literals;

// Restores the real dialog whatever the test did.
class DialogSeam {
 public:
  explicit DialogSeam(dialog::OpenDialogFunction f) { dialog::set_open_dialog_function(f); }
  DialogSeam(const DialogSeam&) = delete;
  DialogSeam& operator=(const DialogSeam&) = delete;
  ~DialogSeam() { dialog::set_open_dialog_function(nullptr); }
};

// The list of NUL-terminated strings a dialog reads, up to and with the
// empty string that ends it.
std::string double_nul_list(const char* list) {
  size_t length = 0;
  while (list[length] || list[length + 1]) ++length;
  return std::string(list, length + 2);
}

TEST(CommonDialog, TheFilterBecomesNulSeparatedWithOneNulAppended) {
  dialog::fnc_BuildFilter(L"Alle Bild Dateien|*.bmp;*.ico");
  EXPECT_EQ(dialog::OpenFileRecord().lpstrFilter, L"Alle Bild Dateien\0*.bmp;*.ico\0"s);
  dialog::fnc_BuildFilter(L"Bitmaps");
  EXPECT_EQ(dialog::OpenFileRecord().lpstrFilter, L"Bitmaps\0"s);
  dialog::fnc_BuildFilter(L"a||b|");
  EXPECT_EQ(dialog::OpenFileRecord().lpstrFilter, L"a\0\0b\0\0"s);
}

TEST(CommonDialog, TheDialogGetsTheRecordAndCancelGivesNothing) {
  create_linked_control();  // the linked code's module handle
  int calls = 0;
  DialogSeam seam([&](OPENFILENAMEA* record) -> BOOL {
    ++calls;
    EXPECT_EQ(record->lStructSize, static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A));
    EXPECT_EQ(record->hwndOwner, nullptr);
    EXPECT_EQ(record->hInstance, framework::module_instance());
    EXPECT_EQ(double_nul_list(record->lpstrFilter), "Alle Bild Dateien\0*.bmp;*.ico\0\0"s);
    EXPECT_EQ(record->lpstrCustomFilter, nullptr);
    EXPECT_EQ(record->nFilterIndex, 0u);
    EXPECT_EQ(std::string(record->lpstrFile, 260), '\0' + std::string(259, ' '));
    EXPECT_EQ(record->nMaxFile, 260u);
    EXPECT_EQ(record->lpstrFileTitle, nullptr);
    EXPECT_EQ(record->lpstrInitialDir, nullptr);
    EXPECT_STREQ(record->lpstrTitle, "Lade Spalten Bild");
    EXPECT_EQ(record->Flags, static_cast<DWORD>(OFN_HIDEREADONLY));
    EXPECT_STREQ(record->lpstrDefExt, "*.*");
    EXPECT_EQ(record->lpfnHook, nullptr);
    EXPECT_EQ(record->lpTemplateName, nullptr);
    SetLastError(ERROR_CANCELLED);
    return FALSE;
  });
  const std::wstring result =
      dialog::fnc_ShowOpenDialog(L"Lade Spalten Bild", L"Alle Bild Dateien|*.bmp;*.ico", L"*.*");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(result, L"");
  EXPECT_EQ(dialog::LastDllError(), static_cast<DWORD>(ERROR_CANCELLED));
}

TEST(CommonDialog, AChosenFileComesBackWithOneTrailingNul) {
  std::string answer = "C:\\a.ico";
  std::vector<std::string> seen;
  DialogSeam seam([&](OPENFILENAMEA* record) -> BOOL {
    seen.emplace_back(record->lpstrFile, 260);
    std::memcpy(record->lpstrFile, answer.c_str(), answer.size() + 1);
    record->nFileOffset = 3;
    return TRUE;
  });
  std::wstring result = dialog::fnc_ShowOpenDialog(L"t", L"f|*.*", L"*.*");
  EXPECT_EQ(result, L"C:\\a.ico\0"s);
  EXPECT_EQ(result.size(), 9u);
  EXPECT_EQ(dialog::OpenFileRecord().nFileOffset, 3);

  // The next call starts from an empty name again.
  answer = "C:\\Bilder\\b.bmp";
  result = dialog::fnc_ShowOpenDialog(L"t", L"f|*.*", L"*.*");
  EXPECT_EQ(result, L"C:\\Bilder\\b.bmp\0"s);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1], '\0' + std::string(259, ' '));
}

TEST(CommonDialog, EachThreadHasItsOwnRecord) {
  dialog::fnc_BuildFilter(L"main|*.*");
  const dialog::OpenFileName* main_record = &dialog::OpenFileRecord();
  const dialog::OpenFileName* other_record = nullptr;
  std::wstring other_filter = L"unset";
  std::thread other([&] {
    other_record = &dialog::OpenFileRecord();
    other_filter = dialog::OpenFileRecord().lpstrFilter;
  });
  other.join();
  EXPECT_NE(other_record, main_record);
  EXPECT_EQ(other_filter, L"");
  EXPECT_EQ(dialog::OpenFileRecord().lpstrFilter, L"main\0*.*\0"s);
}

}  // namespace
}  // namespace tessel_test
