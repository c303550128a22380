// Reading the checked examples out of a Markdown document.
//
// An example starts with a comment line
//     <!-- example args="-X prog" files="prog.pmp prog.pml" status="0" -->
// and takes the next code blocks, one per name in `files`, in that order. A block is either a
// fenced block (``` lines) or an HTML <pre> block: the line holding <pre> ends with it, the line
// starting </pre> closes it, &lt; &gt; &amp; are unescaped, and a line holding only
// <span></span> stands for an empty line (a blank line would end the HTML block in Markdown).
// Names ending in .pmp are sources, names ending in .pml are expected output files (line ends
// shown as LF), "stdout" is the expected standard output. `status` is optional.
#pragma once

#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "docs/doc_files.h"

namespace pelc::docs {

struct DocExample {
  int line = 0;  // 1-based line of the marker comment
  std::vector<std::string> args;
  std::optional<int> status;
  std::vector<std::pair<std::string, std::string>> blocks;  // file name or "stdout", text
  std::string problem;  // why the example could not be read; empty when it is complete
};

inline std::string unescapeHtml(std::string text) {
  const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}};
  for (const auto& [entity, plain] : entities) {
    for (auto at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1)) {
      text.replace(at, std::string(entity).size(), plain);
    }
  }
  return text;
}

inline std::vector<std::string> words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> found;
  for (std::string word; in >> word;) found.push_back(word);
  return found;
}

inline std::optional<std::string> attribute(const std::string& marker, const std::string& name) {
  const std::regex pattern(name + "=\"([^\"]*)\"");
  std::smatch match;
  if (!std::regex_search(marker, match, pattern)) return std::nullopt;
  return match[1].str();
}

inline bool isExampleMarker(const std::string& line) {
  return trim(line).rfind("<!-- example ", 0) == 0;
}

inline constexpr const char* kEmptyPreLine = "<span></span>";

inline bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

/// Reads the block that starts at lines[at] into text and moves `at` to the line after it (or
/// leaves it on a closing line that opens the next <pre> block); false when no complete block
/// starts there.
inline bool readBlock(const std::vector<std::string>& lines, std::size_t& at, std::string& text) {
  const bool fenced = trim(lines[at]).rfind("```", 0) == 0;
  const bool pre = endsWith(lines[at], "<pre>");
  if (!fenced && !pre) return false;
  text.clear();
  for (++at; at < lines.size(); ++at) {
    const bool closes =
        fenced ? trim(lines[at]).rfind("```", 0) == 0 : lines[at].rfind("</pre>", 0) == 0;
    if (closes) {
      if (!(pre && endsWith(lines[at], "<pre>"))) ++at;
      if (pre) text = unescapeHtml(text);
      return true;
    }
    text += (pre && lines[at] == kEmptyPreLine ? "" : lines[at]) + "\n";
  }
  return false;
}

/// Fills the example's blocks from the lines after its marker; stops at the next marker.
inline void collectBlocks(const std::vector<std::string>& lines, std::size_t at,
                          const std::vector<std::string>& names, DocExample& example) {
  for (const std::string& name : names) {
    std::string text;
    bool found = false;
    while (!found && at < lines.size() && !isExampleMarker(lines[at])) {
      found = readBlock(lines, at, text);
      if (!found) ++at;
    }
    if (!found) {
      example.problem = "no block for " + name;
      return;
    }
    example.blocks.emplace_back(name, text);
  }
}

inline DocExample readExample(const std::vector<std::string>& lines, std::size_t markerAt) {
  DocExample example;
  example.line = static_cast<int>(markerAt) + 1;
  const std::string& marker = lines[markerAt];
  example.args = words(attribute(marker, "args").value_or(""));
  if (const auto status = attribute(marker, "status")) example.status = std::stoi(*status);
  const auto files = attribute(marker, "files");
  if (!files) {
    example.problem = "no files attribute";
    return example;
  }
  collectBlocks(lines, markerAt + 1, words(*files), example);
  return example;
}

inline std::vector<DocExample> findExamples(const std::string& markdown) {
  const std::vector<std::string> lines = splitLines(markdown);
  std::vector<DocExample> examples;
  for (std::size_t at = 0; at < lines.size(); ++at) {
    if (isExampleMarker(lines[at])) examples.push_back(readExample(lines, at));
  }
  return examples;
}

}  // namespace pelc::docs
