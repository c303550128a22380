// The message reference must list every message the compiler can print, under its number,
// with the severity the compiler gives it, and nothing that the compiler no longer prints.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "diag/messages.h"
#include "docs/doc_files.h"

namespace pelc::docs {
namespace {

/// The words the reference uses in its index for each severity.
bool severityMatches(Severity severity, const std::string& cell) {
  switch (severity) {
    case Severity::Thrown:
      return cell == "error (stops)";
    case Severity::Returns:
      return cell == "error (continues)";
    case Severity::Warning:
      return cell == "warning";
    case Severity::Info:
      return cell == "information";
  }
  return false;
}

struct IndexRow {
  std::string printed, name, severity;
};

/// Rows of the index table, keyed by the signed code in their second cell.
std::map<int, IndexRow> indexRows(const std::vector<std::string>& lines) {
  std::map<int, IndexRow> rows;
  for (const std::string& line : lines) {
    const std::vector<std::string> cells = tableCells(line);
    if (cells.size() < 4 || cells[1].empty()) continue;
    char* end = nullptr;
    const long code = std::strtol(cells[1].c_str(), &end, 10);
    if (*end != '\0') continue;  // a header or separator row
    rows[static_cast<int>(code)] = {cells[0], cells[2], cells[3]};
  }
  return rows;
}

bool hasHeading(const std::vector<std::string>& lines, int code, const std::string& name) {
  const std::string start = "### " + std::to_string(std::abs(code)) + " ";
  for (const std::string& line : lines) {
    if (line.rfind(start, 0) == 0 && line.find(name) != std::string::npos) return true;
  }
  return false;
}

class MessagesDocTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string text = readText(repositoryRoot() / "docs/messages.md");
    ASSERT_FALSE(text.empty()) << "docs/messages.md is missing";
    lines_ = splitLines(text);
    rows_ = indexRows(lines_);
  }

  std::vector<std::string> lines_;
  std::map<int, IndexRow> rows_;
};

TEST_F(MessagesDocTest, EveryMessageHasAnIndexRowAndASection) {
  for (const MessageInfo& info : kMessageTable) {
    const int code = codeOf(info.msg);
    const std::string name(info.name);
    const auto row = rows_.find(code);
    ASSERT_NE(row, rows_.end()) << "no index row for message " << code;
    EXPECT_EQ(row->second.printed, std::to_string(std::abs(code))) << code;
    EXPECT_EQ(row->second.name, name) << code;
    EXPECT_TRUE(severityMatches(info.severity, row->second.severity))
        << code << " is listed as " << row->second.severity;
    EXPECT_TRUE(hasHeading(lines_, code, name))
        << "no section \"### " << std::abs(code) << " " << name << "\"";
  }
}

TEST_F(MessagesDocTest, IndexListsNoMessageTheCompilerLacks) {
  std::set<int> codes;
  for (const MessageInfo& info : kMessageTable) codes.insert(codeOf(info.msg));
  for (const auto& [code, row] : rows_) {
    EXPECT_TRUE(codes.count(code) != 0)
        << "the index lists " << code << " (" << row.name << "), which the compiler never prints";
  }
}

}  // namespace
}  // namespace pelc::docs
