// mCommonDialog with the dialog answered through its seam: the record it
// hands over, and the results for cancel and for a chosen file.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "framework/module.h"
#include "pages/common_dialog.h"
#include "pages/page_test_support.h"

namespace tessel_test {
namespace {

namespace dialog = tessel::mCommonDialog;
using namespace std::string_literals;

// Restores the real dialog whatever the test did.
struct DialogSeam {
  explicit DialogSeam(dialog::OpenDialogFunction f) { dialog::set_open_dialog_function(f); }
  ~DialogSeam() { dialog::set_open_dialog_function(nullptr); }
};

const std::string kEmptyName = '\0' + std::string(259, ' ');

TEST(CommonDialog, TheDialogGetsTheRecordAndCancelGivesNothing) {
  create_linked_control();  // the linked code's module handle
  int calls = 0;
  DialogSeam seam([&](OPENFILENAMEA* record) -> BOOL {
    ++calls;
    EXPECT_EQ(record->lStructSize, static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A));
    EXPECT_EQ(record->hwndOwner, nullptr);
    EXPECT_EQ(record->hInstance, framework::module_instance());
    // The filter list up to and with the empty string that ends it.
    EXPECT_EQ(std::string(record->lpstrFilter, 31), "Alle Bild Dateien\0*.bmp;*.ico\0\0"s);
    EXPECT_EQ(record->lpstrCustomFilter, nullptr);
    EXPECT_EQ(record->nFilterIndex, 0u);
    EXPECT_EQ(std::string(record->lpstrFile, 260), kEmptyName);
    EXPECT_EQ(record->nMaxFile, 260u);
    EXPECT_EQ(record->lpstrFileTitle, nullptr);
    EXPECT_EQ(record->lpstrInitialDir, nullptr);
    EXPECT_STREQ(record->lpstrTitle, "Lade Spalten Bild");
    EXPECT_EQ(record->Flags, static_cast<DWORD>(OFN_HIDEREADONLY));
    EXPECT_EQ(record->lpstrDefExt, nullptr) << "a wildcard is no extension to append";
    EXPECT_EQ(record->lpfnHook, nullptr);
    EXPECT_EQ(record->lpTemplateName, nullptr);
    SetLastError(ERROR_CANCELLED);
    return FALSE;
  });
  EXPECT_EQ(
      dialog::fnc_ShowOpenDialog(L"Lade Spalten Bild", L"Alle Bild Dateien|*.bmp;*.ico", L"*.*"),
      L"");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(dialog::LastDllError(), static_cast<DWORD>(ERROR_CANCELLED));
  EXPECT_EQ(dialog::OpenFileRecord().lpstrDefExt, L"*.*");
}

// The dialog appends its default extension to a name typed without one, so
// it gets only a real extension: a typed name then comes back as typed. A
// chosen file comes back with one trailing NUL, and each call starts from an
// empty name.
TEST(CommonDialog, OnlyARealDefaultExtensionReachesTheDialogAndAChosenFileComesBack) {
  std::vector<std::optional<std::string>> extensions;
  std::vector<std::string> names;
  std::optional<std::string> answer;
  DialogSeam seam([&](OPENFILENAMEA* record) -> BOOL {
    extensions.emplace_back();
    if (record->lpstrDefExt) extensions.back() = record->lpstrDefExt;
    names.emplace_back(record->lpstrFile, 260);
    if (!answer) return FALSE;
    std::memcpy(record->lpstrFile, answer->c_str(), answer->size() + 1);
    record->nFileOffset = 3;
    return TRUE;
  });
  for (const wchar_t* extension : {L"*.*", L"*", L"b?p", L"", L"bmp"}) {
    dialog::fnc_ShowOpenDialog(L"t", L"f|*.*", extension);
  }
  const std::vector<std::optional<std::string>> expected{{}, {}, {}, {}, "bmp"};
  EXPECT_EQ(extensions, expected);

  answer = "C:\\a.ico";
  EXPECT_EQ(dialog::fnc_ShowOpenDialog(L"t", L"f|*.*", L"*.*"), L"C:\\a.ico\0"s);
  EXPECT_EQ(dialog::OpenFileRecord().nFileOffset, 3);
  answer = "C:\\Bilder\\b.bmp";
  EXPECT_EQ(dialog::fnc_ShowOpenDialog(L"t", L"f|*.*", L"*.*"), L"C:\\Bilder\\b.bmp\0"s);
  EXPECT_EQ(names, std::vector<std::string>(7, kEmptyName));
}

}  // namespace
}  // namespace tessel_test
