// Runs TesselDemo.exe from the build's bin folder and reads what it prints, and reads back the
// pictures it saves.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tessel_test {

struct DemoRun {
  DWORD exit_code = 0;
  std::vector<std::wstring> lines;  // standard output, line by line
};

// TesselDemo.exe --scripted --pictures <folder>, waited for.
DemoRun run_scripted_demo(const std::wstring& picture_folder);

std::vector<std::wstring> lines_starting_with(const DemoRun& run, const std::wstring& prefix);

// A PNG file's pixels, through the platform's imaging component.
class PngImage {
 public:
  explicit PngImage(const std::wstring& path);
  bool loaded() const { return width_ > 0; }
  int width() const { return width_; }
  int height() const { return height_; }
  COLORREF pixel(int x, int y) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<BYTE> bgra_;
};

}  // namespace tessel_test
