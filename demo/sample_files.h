// The demo's sample rows: generated files with a name, a size, a type and a
// modification date, and the order the list shows them in when sorted.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace demo {

struct SampleFile {
  std::wstring name;  // unique
  LONGLONG size;      // bytes
  std::wstring type;
  LONGLONG modified;  // FILETIME ticks
};

// The list's columns, in the header's order.
enum class FileColumn { name = 0, size = 1, type = 2, modified = 3 };
inline constexpr int kFileColumnCount = 4;

// count files made by a fixed pseudo-random sequence: the same on every run.
std::vector<SampleFile> sample_files(size_t count);

// The text a cell shows: "report 017.txt", "1,234 KB", "Text file",
// "2023-04-17 13:05".
std::wstring cell_text(const SampleFile& file, FileColumn column);

// Whether a comes before b in the list sorted by column, ascending or
// descending. Equal values are ordered by name (names are unique), so the
// order is total and a sort has one result only; descending is exactly the
// reverse of ascending.
bool comes_before(const SampleFile& a, const SampleFile& b, FileColumn column, bool ascending);

}  // namespace demo
