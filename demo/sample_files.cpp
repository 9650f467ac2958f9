#include "sample_files.h"

#include <array>
#include <cmath>
#include <cwchar>
#include <iterator>

namespace demo {

namespace {

struct Kind {
  const wchar_t* extension;
  const wchar_t* type;
  LONGLONG smallest, largest;  // bytes
};

constexpr LONGLONG kKB = 1024, kMB = 1024 * kKB;

constexpr std::array<Kind, 8> kKinds{{
    {L"txt", L"Text file", 2 * kKB, 64 * kKB},
    {L"csv", L"CSV file", 6 * kKB, 2 * kMB},
    {L"png", L"PNG image", 20 * kKB, 8 * kMB},
    {L"bmp", L"Bitmap image", 90 * kKB, 24 * kMB},
    {L"pdf", L"PDF document", 40 * kKB, 16 * kMB},
    {L"zip", L"Archive", 100 * kKB, 512 * kMB},
    {L"log", L"Log file", 4 * kKB, 4 * kMB},
    {L"xml", L"XML file", 3 * kKB, 1 * kMB},
}};

constexpr std::array<const wchar_t*, 16> kStems{
    L"report",  L"invoice", L"photo",   L"notes", L"budget", L"letter",   L"draft", L"backup",
    L"summary", L"scan",    L"minutes", L"plan",  L"slides", L"contract", L"chart", L"readme",
};

// A linear congruential sequence: small, fixed, and the same everywhere.
class Sequence {
 public:
  unsigned next(unsigned bound) {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<unsigned>((state_ >> 33) % bound);
  }

 private:
  unsigned long long state_ = 0x5EED;
};

constexpr LONGLONG kTicksPerMinute = 60LL * 10'000'000;

// 2019-01-01 00:00 as FILETIME ticks.
LONGLONG first_day() {
  SYSTEMTIME day{};
  day.wYear = 2019;
  day.wMonth = 1;
  day.wDay = 1;
  FILETIME time{};
  SystemTimeToFileTime(&day, &time);
  return static_cast<LONGLONG>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) |
                               time.dwLowDateTime);
}

// 1234567 -> "1,234,567"
std::wstring grouped(LONGLONG value) {
  std::wstring digits = std::to_wstring(value);
  for (ptrdiff_t i = static_cast<ptrdiff_t>(digits.size()) - 3; i > 0; i -= 3) {
    digits.insert(static_cast<size_t>(i), 1, L',');
  }
  return digits;
}

// Compares by the column alone: negative, zero or positive.
int compare_values(const SampleFile& a, const SampleFile& b, FileColumn column) {
  switch (column) {
    case FileColumn::size:
      return a.size < b.size ? -1 : a.size > b.size ? 1 : 0;
    case FileColumn::type:
      return a.type.compare(b.type);
    case FileColumn::modified:
      return a.modified < b.modified ? -1 : a.modified > b.modified ? 1 : 0;
    case FileColumn::name:
      break;
  }
  return 0;
}

}  // namespace

std::vector<SampleFile> sample_files(size_t count) {
  Sequence random;
  const LONGLONG start = first_day();
  constexpr unsigned kMinutesInSixYears = 6 * 365 * 24 * 60;
  std::vector<SampleFile> files;
  files.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const Kind& kind = kKinds[random.next(static_cast<unsigned>(kKinds.size()))];
    const wchar_t* stem = kStems[random.next(static_cast<unsigned>(kStems.size()))];
    wchar_t name[64];
    std::swprintf(name, std::size(name), L"%ls %03zu.%ls", stem, i + 1, kind.extension);
    // Sizes spread evenly over the orders of magnitude from the kind's
    // smallest to its largest, as real folders have them.
    constexpr unsigned kSteps = 1'000'000;
    const double scale = static_cast<double>(random.next(kSteps)) / kSteps;
    const auto size = static_cast<LONGLONG>(
        static_cast<double>(kind.smallest) *
        std::pow(static_cast<double>(kind.largest) / static_cast<double>(kind.smallest), scale));
    files.push_back(
        {name, size, kind.type,
         start + static_cast<LONGLONG>(random.next(kMinutesInSixYears)) * kTicksPerMinute});
  }
  return files;
}

std::wstring cell_text(const SampleFile& file, FileColumn column) {
  switch (column) {
    case FileColumn::name:
      return file.name;
    case FileColumn::size:
      return grouped((file.size + 1023) / 1024) + L" KB";
    case FileColumn::type:
      return file.type;
    case FileColumn::modified: {
      FILETIME time{static_cast<DWORD>(file.modified), static_cast<DWORD>(file.modified >> 32)};
      SYSTEMTIME t{};
      FileTimeToSystemTime(&time, &t);
      wchar_t text[32];
      std::swprintf(text, std::size(text), L"%04u-%02u-%02u %02u:%02u", t.wYear, t.wMonth, t.wDay,
                    t.wHour, t.wMinute);
      return text;
    }
  }
  return {};
}

bool comes_before(const SampleFile& a, const SampleFile& b, FileColumn column, bool ascending) {
  int order = compare_values(a, b, column);
  if (order == 0) order = a.name.compare(b.name);
  return ascending ? order < 0 : order > 0;
}

}  // namespace demo
