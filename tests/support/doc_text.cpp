#include "support/doc_text.h"

#include <windows.h>

#include <cwctype>
#include <fstream>
#include <iterator>
#include <sstream>

#include "support/com_test_env.h"

namespace tessel_test {

namespace {

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The heading level of a line ("## x" is 2), 0 for other lines.
size_t heading_level(const std::string& line) {
  const size_t hashes = line.find_first_not_of('#');
  if (hashes == 0 || hashes == std::string::npos || line[hashes] != ' ') return 0;
  return hashes;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

std::string read_file(const std::wstring& path) {
  std::ifstream in(narrow(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The test programs run in build/<arch>/bin, below the source tree.
std::string read_doc(const std::string& name) {
  return read_file(bin_dir() + L"..\\..\\..\\docs\\" + widen(name));
}

std::string doc_section(const std::string& doc, const std::string& heading) {
  const size_t level = heading_level(heading);
  std::string section;
  bool inside = false, fenced = false;
  for (const std::string& line : lines_of(doc)) {
    if (line.starts_with("```")) fenced = !fenced;
    const size_t here = fenced ? 0 : heading_level(line);
    if (inside && here != 0 && here <= level) break;
    if (inside) section += line + "\n";
    if (!fenced && trimmed(line) == heading) inside = true;
  }
  return section;
}

std::vector<std::vector<std::string>> table_rows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  bool header = true;
  for (const std::string& line : lines_of(text)) {
    if (!line.starts_with("|")) {
      header = true;  // a new table starts with its header row
      continue;
    }
    if (line.find_first_not_of("|-: ") == std::string::npos) continue;  // separator row
    if (header) {
      header = false;
      continue;
    }
    std::vector<std::string> cells;
    std::stringstream in(line.substr(1));
    for (std::string cell; std::getline(in, cell, '|');) cells.push_back(trimmed(cell));
    rows.push_back(cells);
  }
  return rows;
}

std::string unquoted(const std::string& cell) {
  const size_t open = cell.find('`');
  const size_t close = open == std::string::npos ? open : cell.find('`', open + 1);
  if (close == std::string::npos) return cell;
  return cell.substr(open + 1, close - open - 1);
}

std::vector<CodeBlock> code_blocks(const std::string& text) {
  std::vector<CodeBlock> blocks;
  bool inside = false;
  for (const std::string& line : lines_of(text)) {
    if (line.starts_with("```")) {
      if (!inside) blocks.push_back({trimmed(line.substr(3)), {}});
      inside = !inside;
    } else if (inside) {
      blocks.back().code += line + "\n";
    }
  }
  return blocks;
}

std::wstring widen(const std::string& text) {
  if (text.empty()) return {};
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length,
                      nullptr, nullptr);
  return bytes;
}

std::wstring lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

}  // namespace tessel_test
