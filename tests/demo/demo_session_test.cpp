// The demo host's scripted session, run as a person would run it: the
// program with the registered control, its printed event log, and the
// pictures of the form it saves after each step.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo/demo_run.h"
#include "support/com_test_env.h"

namespace tessel_test {
namespace {

// What the session prints, less the pictures' paths and how the control was
// created: every event with its arguments in the order received, every
// sort of the list, and the list's first rows after each step. The header's
// columns are 190, 90, 110 and 120 pixels wide from x = 2, two pixels apart,
// 25 pixels high: column 1 spans x 2..191, column 2 x 194..283.
const std::vector<std::wstring> kTranscript{
    L"form: 560 x 320 pixels, the header above 200 files",
    L"step 1: hover over column 2 \"Size\"",
    L"  MouseIn(Button=0, Shift=0, X=239, Y=12, SortRow=0)",
    L"  first rows: readme 001.log, chart 002.png, contract 003.bmp",
    L"step 2: click column 1 \"Name\"",
    L"  MouseIn(Button=0, Shift=0, X=97, Y=12, SortRow=0)",
    L"  RowPressed(PreviousTab=0, SortRow=1, Sort=\"ASC\")",
    L"  list sorted by Name, ascending",
    L"  MouseDown(Button=1, Shift=0, X=97, Y=12, SortRow=1, Sort=\"ASC\")",
    L"  MouseUp(Button=1, Shift=0, X=97, Y=12, SortRow=1)",
    L"  first rows: backup 027.txt, backup 052.zip, backup 054.txt",
    L"step 3: click column 1 \"Name\" again",
    L"  MouseIn(Button=0, Shift=0, X=97, Y=12, SortRow=1)",
    L"  RowPressed(PreviousTab=1, SortRow=1, Sort=\"DESC\")",
    L"  list sorted by Name, descending",
    L"  MouseDown(Button=1, Shift=0, X=97, Y=12, SortRow=1, Sort=\"DESC\")",
    L"  MouseUp(Button=1, Shift=0, X=97, Y=12, SortRow=1)",
    L"  first rows: summary 165.pdf, summary 164.csv, summary 135.bmp",
    L"step 4: click column 2 \"Size\"",
    L"  MouseIn(Button=0, Shift=0, X=239, Y=12, SortRow=1)",
    L"  RowPressed(PreviousTab=1, SortRow=2, Sort=\"ASC\")",
    L"  list sorted by Size, ascending",
    L"  MouseDown(Button=1, Shift=0, X=239, Y=12, SortRow=2, Sort=\"ASC\")",
    L"  MouseUp(Button=1, Shift=0, X=239, Y=12, SortRow=2)",
    L"  first rows: backup 087.zip (1 KB), budget 070.txt (1 KB), budget 178.txt (1 KB)",
    L"step 5: move the pointer off the header",
    L"  MouseOut(Button=0, Shift=0, X=239, Y=65, SortRow=2)",
    L"  first rows: backup 087.zip (1 KB), budget 070.txt (1 KB), budget 178.txt (1 KB)",
    L"step 6: resize the form to 720 x 420",
    L"  first rows: backup 087.zip (1 KB), budget 070.txt (1 KB), budget 178.txt (1 KB)",
    L"session complete: the list is sorted by Size, ascending, as the header's sort marker shows",
};

const std::vector<std::wstring> kPictures{
    L"1-hover.png",      L"2-click-name.png", L"3-click-name-again.png",
    L"4-click-size.png", L"5-leave.png",      L"6-resize.png",
};

constexpr int kNameRight = 192;  // right edges of columns 1 and 2
constexpr int kSizeRight = 284;
constexpr int kSizeMiddle = 239;
constexpr COLORREF kMarkerGrey = RGB(132, 132, 132);
constexpr COLORREF kBottomEdge1 = RGB(189, 190, 206);  // y = 24, the header's last line
constexpr COLORREF kBottomEdge2 = RGB(209, 210, 222);  // y = 23

// The sort marker's base: a horizontal grey stroke from R - 9 to R - 3 at
// y = 16 when the column's last press reported "ASC" (its flag is set), at
// y = 8 when it reported "DESC".
bool has_marker_base(const PngImage& image, int right, int y) {
  for (int x = right - 9; x <= right - 3; ++x) {
    if (image.pixel(x, y) != kMarkerGrey) return false;
  }
  return true;
}

// The middle line of the hot column's orange underline, at y = 23.
bool is_orange(COLORREF c) { return GetRValue(c) > GetBValue(c) + 60; }

class DemoSession : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ensure_registered();
    folder_ = full_path(bin_dir() + L"..\\demo-test\\");
    for (const std::wstring& name : kPictures) DeleteFileW((folder_ + name).c_str());
    run_ = new DemoRun(run_scripted_demo(folder_));
  }
  static void TearDownTestSuite() {
    delete run_;
    run_ = nullptr;
  }

  static PngImage picture(const std::wstring& name) { return PngImage(folder_ + name); }

  static inline std::wstring folder_;
  static inline DemoRun* run_ = nullptr;
};

TEST_F(DemoSession, RunsToTheEndAndPrintsTheEventsInOrder) {
  EXPECT_EQ(run_->exit_code, 0u);
  const std::vector<std::wstring> control = lines_starting_with(*run_, L"control: ");
  ASSERT_EQ(control.size(), 1u);
  EXPECT_EQ(control[0], L"control: created through the registry");
  std::vector<std::wstring> transcript;
  for (const std::wstring& line : run_->lines) {
    if (!line.starts_with(L"control: ") && !line.starts_with(L"  screenshot: ")) {
      transcript.push_back(line);
    }
  }
  EXPECT_EQ(transcript, kTranscript);
}

TEST_F(DemoSession, SavesAPictureOfTheFormAfterEachStep) {
  std::vector<std::wstring> expected;
  for (const std::wstring& name : kPictures) expected.push_back(L"  screenshot: " + folder_ + name);
  EXPECT_EQ(lines_starting_with(*run_, L"  screenshot: "), expected);
  for (const std::wstring& name : kPictures) {
    const PngImage image = picture(name);
    ASSERT_TRUE(image.loaded()) << "no picture " << testing::PrintToString(name);
    const bool resized = name == L"6-resize.png";
    EXPECT_EQ(image.width(), resized ? 720 : 560);
    EXPECT_EQ(image.height(), resized ? 420 : 320);
    // The header's bottom edge spans the form's whole width.
    EXPECT_EQ(image.pixel(image.width() - 2, 24), kBottomEdge1);
    // The list below it: white rows.
    EXPECT_EQ(image.pixel(kSizeMiddle, 26), RGB(255, 255, 255));
  }
}

TEST_F(DemoSession, TheSortMarkerIsOnTheClickedColumnInTheReportedDirection) {
  const PngImage hover = picture(L"1-hover.png");
  EXPECT_FALSE(has_marker_base(hover, kNameRight, 16) || has_marker_base(hover, kNameRight, 8));
  EXPECT_FALSE(has_marker_base(hover, kSizeRight, 16) || has_marker_base(hover, kSizeRight, 8));

  const PngImage name_ascending = picture(L"2-click-name.png");
  EXPECT_TRUE(has_marker_base(name_ascending, kNameRight, 16));
  EXPECT_FALSE(has_marker_base(name_ascending, kNameRight, 8));

  const PngImage name_descending = picture(L"3-click-name-again.png");
  EXPECT_TRUE(has_marker_base(name_descending, kNameRight, 8));
  EXPECT_FALSE(has_marker_base(name_descending, kNameRight, 16));

  for (const wchar_t* name : {L"4-click-size.png", L"5-leave.png", L"6-resize.png"}) {
    const PngImage size_ascending = picture(name);
    EXPECT_TRUE(has_marker_base(size_ascending, kSizeRight, 16)) << testing::PrintToString(name);
    EXPECT_FALSE(has_marker_base(size_ascending, kNameRight, 16) ||
                 has_marker_base(size_ascending, kNameRight, 8))
        << testing::PrintToString(name);
  }
}

TEST_F(DemoSession, TheHoveredColumnIsUnderlinedUntilThePointerLeaves) {
  EXPECT_TRUE(is_orange(picture(L"1-hover.png").pixel(kSizeMiddle, 23)));
  EXPECT_FALSE(is_orange(picture(L"1-hover.png").pixel(97, 23)));
  EXPECT_TRUE(is_orange(picture(L"2-click-name.png").pixel(97, 23)));
  EXPECT_EQ(picture(L"5-leave.png").pixel(kSizeMiddle, 23), kBottomEdge2);
}

}  // namespace
}  // namespace tessel_test
