// Files as the tests read them: the product documents (docs/*.md) split into
// sections, table rows and fenced code blocks, and built files as bytes.
#pragma once

#include <string>
#include <vector>

namespace tessel_test {

// A file's bytes; empty when it cannot be read.
std::string read_file(const std::wstring& path);
// docs/<name> from the source tree, as UTF-8.
std::string read_doc(const std::string& name);

// The text under the heading line "<hashes> <title>" up to the next heading
// of the same or a higher level; empty when there is no such heading.
std::string doc_section(const std::string& doc, const std::string& heading);

// The cells of each table row in text, trimmed, less the header row and
// the separator row of each table.
std::vector<std::vector<std::string>> table_rows(const std::string& text);

// A cell's text inside its first pair of backticks, or the cell itself.
std::string unquoted(const std::string& cell);

struct CodeBlock {
  std::string language;  // the word after the opening fence
  std::string code;      // the lines between the fences, each ending in "\n"
};
std::vector<CodeBlock> code_blocks(const std::string& text);

// The UTF-16 form of UTF-8 text, and back; text in lower case.
std::wstring widen(const std::string& text);
std::string narrow(const std::wstring& text);
std::wstring lower(std::wstring text);

}  // namespace tessel_test
