// The demo host's scripted session, run as a person would run it: the program with the
// registered control, its printed event log, and the pictures of the form it saves after each step.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo/demo_run.h"
#include "support/com_test_env.h"

namespace tessel_test {
namespace {

// What the session prints, less the pictures' paths and how the control was created: every event
// with its arguments in the order received, every sort of the list, the list's first rows after
// each step, and at the end what a screen reader announces for each column. The header's columns
// are 190, 90, 110 and 120 pixels wide from x = 2, two pixels apart, 25 pixels high: column 1
// spans x 2..191, column 2 x 194..283.
const std::vector<std::wstring> kTranscript{
    L"form: 560 x 320 pixels, the header above 200 files",
    L"step 1: hover over column 2 \"Size\"",
    L"  MouseIn(Button=0, Shift=0, X=239, Y=12, SortRow=0)",
    L"  first rows: readme 001.log, plan 002.txt, backup 003.png",
    L"step 2: click column 1 \"Name\"",
    L"  MouseIn(Button=0, Shift=0, X=97, Y=12, SortRow=0)",
    L"  RowPressed(PreviousTab=0, SortRow=1, Sort=\"ASC\")",
    L"  list sorted by Name, ascending",
    L"  MouseDown(Button=1, Shift=0, X=97, Y=12, SortRow=1, Sort=\"ASC\")",
    L"  MouseUp(Button=1, Shift=0, X=97, Y=12, SortRow=1)",
    L"  first rows: backup 003.png, backup 014.zip, backup 029.csv",
    L"step 3: click column 1 \"Name\" again",
    L"  MouseIn(Button=0, Shift=0, X=97, Y=12, SortRow=1)",
    L"  RowPressed(PreviousTab=1, SortRow=1, Sort=\"DESC\")",
    L"  list sorted by Name, descending",
    L"  MouseDown(Button=1, Shift=0, X=97, Y=12, SortRow=1, Sort=\"DESC\")",
    L"  MouseUp(Button=1, Shift=0, X=97, Y=12, SortRow=1)",
    L"  first rows: summary 193.xml, summary 188.png, summary 140.txt",
    L"step 4: click column 2 \"Size\"",
    L"  MouseIn(Button=0, Shift=0, X=239, Y=12, SortRow=1)",
    L"  RowPressed(PreviousTab=1, SortRow=2, Sort=\"ASC\")",
    L"  list sorted by Size, ascending",
    L"  MouseDown(Button=1, Shift=0, X=239, Y=12, SortRow=2, Sort=\"ASC\")",
    L"  MouseUp(Button=1, Shift=0, X=239, Y=12, SortRow=2)",
    L"  first rows: readme 072.xml (4 KB), draft 141.txt (4 KB), invoice 024.txt (4 KB)",
    L"step 5: move the pointer off the header",
    L"  MouseOut(Button=0, Shift=0, X=239, Y=65, SortRow=2)",
    L"  first rows: readme 072.xml (4 KB), draft 141.txt (4 KB), invoice 024.txt (4 KB)",
    L"step 6: resize the form to 720 x 420",
    L"  first rows: readme 072.xml (4 KB), draft 141.txt (4 KB), invoice 024.txt (4 KB)",
    L"screen reader: 4 columns",
    L"  column 1: \"Name\", column header",
    L"  column 2: \"Size\", column header, sorted ascending",
    L"  column 3: \"Type\", column header",
    L"  column 4: \"Modified\", column header",
    L"session complete: the list is sorted by Size, ascending, as the header's sort marker shows",
};

constexpr int kNameRight = 192, kSizeRight = 284;  // right edges of columns 1 and 2
constexpr int kNameMiddle = 97, kSizeMiddle = 239;

// The pictures saved after each step: their size, the sort marker's base on columns 1 and 2 (its
// y, 0: none), and the column underlined as hot (the x of its middle, 0: none).
struct Shot {
  const wchar_t* name;
  int width, height, name_marker, size_marker, hot;
};
const Shot kShots[] = {
    {L"1-hover.png", 560, 320, 0, 0, kSizeMiddle},
    {L"2-click-name.png", 560, 320, 16, 0, kNameMiddle},
    {L"3-click-name-again.png", 560, 320, 8, 0, kNameMiddle},
    {L"4-click-size.png", 560, 320, 0, 16, kSizeMiddle},
    {L"5-leave.png", 560, 320, 0, 16, 0},
    {L"6-resize.png", 720, 420, 0, 16, 0},
};

// After the session, a picture of the property frame with each of the control's own pages shown.
const wchar_t* const kPagePictures[] = {L"page_info.png", L"page_allgemein.png",
                                        L"page_columns.png"};

// path without "." and ".." parts, as the demo prints it.
std::wstring full_path(const std::wstring& path) {
  wchar_t full[MAX_PATH];
  const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
  return length > 0 && length < MAX_PATH ? std::wstring(full, length) : path;
}

// The sort marker's base: a horizontal grey stroke from R - 9 to R - 3 at y = 16 when the
// column's last press reported "ASC", at y = 8 for "DESC".
bool has_marker_base(const PngImage& image, int right, int y) {
  for (int x = right - 9; x <= right - 3; ++x) {
    if (image.pixel(x, y) != RGB(132, 132, 132)) return false;
  }
  return true;
}

TEST(DemoSession, RunsToTheEndPrintingTheEventsAndSavingPictures) {
  ensure_registered();
  const std::wstring folder = full_path(bin_dir() + L"..\\demo-test\\");
  std::vector<std::wstring> screenshots;
  for (const Shot& shot : kShots) screenshots.push_back(L"  screenshot: " + folder + shot.name);
  for (const wchar_t* page : kPagePictures)
    screenshots.push_back(L"  screenshot: " + folder + page);
  for (const std::wstring& line : screenshots) DeleteFileW(line.substr(14).c_str());
  const DemoRun run = run_scripted_demo(folder);

  EXPECT_EQ(run.exit_code, 0u);
  const std::vector<std::wstring> control = lines_starting_with(run, L"control: ");
  ASSERT_EQ(control.size(), 1u);
  EXPECT_EQ(control[0], L"control: created through the registry");
  std::vector<std::wstring> transcript;
  for (const std::wstring& line : run.lines) {
    if (!line.starts_with(L"control: ") && !line.starts_with(L"  screenshot: ")) {
      transcript.push_back(line);
    }
  }
  EXPECT_EQ(transcript, kTranscript);
  EXPECT_EQ(lines_starting_with(run, L"  screenshot: "), screenshots);

  // After each step a picture of the form: the header's bottom edge spans its width above the
  // list's white rows, the sort marker is on the clicked column in the reported direction, and
  // the column under the pointer is underlined.
  for (const Shot& shot : kShots) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(shot.name)));
    const PngImage image(folder + shot.name);
    EXPECT_TRUE(image.loaded());
    EXPECT_EQ(image.width(), shot.width);
    EXPECT_EQ(image.height(), shot.height);
    EXPECT_EQ(image.pixel(image.width() - 2, 24), RGB(189, 190, 206));
    EXPECT_EQ(image.pixel(kSizeMiddle, 26), RGB(255, 255, 255));
    for (int y : {8, 16}) {
      EXPECT_EQ(has_marker_base(image, kNameRight, y), y == shot.name_marker) << "Name, y " << y;
      EXPECT_EQ(has_marker_base(image, kSizeRight, y), y == shot.size_marker) << "Size, y " << y;
    }
    // The underline's middle line at y = 23 is orange, else the bottom edge.
    for (int x : {kNameMiddle, kSizeMiddle}) {
      const COLORREF c = image.pixel(x, 23);
      if (x == shot.hot) {
        EXPECT_GT(GetRValue(c), GetBValue(c) + 60) << x;
      } else {
        EXPECT_EQ(c, RGB(209, 210, 222)) << x;
      }
    }
  }

  // The pictures of the pages differ from one another: each shows its own page.
  std::vector<std::vector<COLORREF>> seen;
  for (const wchar_t* page : kPagePictures) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(page)));
    const PngImage image(folder + page);
    EXPECT_TRUE(image.loaded());
    EXPECT_GT(image.width(), 300);
    EXPECT_GT(image.height(), 200);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < image.height(); y += 3) {
      for (int x = 0; x < image.width(); x += 3) pixels.push_back(image.pixel(x, y));
    }
    for (const auto& other : seen) EXPECT_NE(pixels, other);
    seen.push_back(std::move(pixels));
  }
}

}  // namespace
}  // namespace tessel_test
