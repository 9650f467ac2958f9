// The product documents (docs/*.md) as the tests read them: sections, table
// rows and fenced code blocks, so that a test can hold what a document says
// against the built files.
#pragma once

#include <string>
#include <vector>

namespace tessel_test {

// docs/<name> from the source tree, as UTF-8; empty when it cannot be read.
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

// The fenced code blocks of text, in order.
std::vector<CodeBlock> code_blocks(const std::string& text);

// The UTF-16 form of UTF-8 text, and back.
std::wstring widen(const std::string& text);
std::string narrow(const std::wstring& text);

}  // namespace tessel_test
