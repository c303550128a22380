// Locating and reading the user documents and examples from the tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace pelc::docs {

/// The repository root, found from this header's own path (tests/docs/ lies two levels below
/// it), so the tests need no configured paths.
inline std::filesystem::path repositoryRoot() {
  const std::filesystem::path here = std::filesystem::absolute(__FILE__);
  return here.parent_path().parent_path().parent_path();
}

/// The whole file as bytes; empty when it cannot be read (the callers check for content).
inline std::string readText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

/// The text split at line feeds, without them (a final line feed starts no further line).
inline std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

inline std::string trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

/// The cells of a Markdown table row ("| a | b |" gives "a", "b"), trimmed; empty for a line
/// that is no table row.
inline std::vector<std::string> tableCells(const std::string& line) {
  const std::string row = trim(line);
  if (row.size() < 2 || row.front() != '|' || row.back() != '|') return {};
  std::vector<std::string> cells;
  std::string cell;
  for (std::size_t i = 1; i + 1 < row.size(); ++i) {
    if (row[i] == '|') {
      cells.push_back(trim(cell));
      cell.clear();
    } else {
      cell += row[i];
    }
  }
  cells.push_back(trim(cell));
  return cells;
}

}  // namespace pelc::docs
