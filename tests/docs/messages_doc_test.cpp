// The message reference must list every message the compiler can print, under its number,
// with the severity the compiler gives it, and nothing that the compiler no longer prints.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "diag/explanations.h"
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

/// The lines of the section whose heading starts with `start`, heading included; empty when
/// there is none.
std::vector<std::string> section(const std::vector<std::string>& lines, const std::string& start) {
  std::vector<std::string> found;
  for (const std::string& line : lines) {
    const bool heading = line.starts_with("## ") || line.starts_with("### ");
    if (heading && !found.empty()) break;
    if (line.starts_with(start) || !found.empty()) found.push_back(line);
  }
  return found;
}

bool contains(const std::vector<std::string>& lines, const std::string& wanted) {
  return std::find(lines.begin(), lines.end(), wanted) != lines.end();
}

/// A manual page line as text: roff's escaped minus and leading zero-width space undone.
std::string plainRoff(std::string line) {
  if (line.starts_with("\\&")) line.erase(0, 2);
  for (std::size_t at; (at = line.find("\\-")) != std::string::npos;) line.erase(at, 1);
  return line;
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
    const std::vector<std::string> lines =
        section(lines_, "### " + std::to_string(std::abs(code)) + " " + name + ":");
    EXPECT_FALSE(lines.empty()) << "no section \"### " << std::abs(code) << " " << name << "\"";
    EXPECT_TRUE(contains(lines, "Text: `" + std::string(info.text) + "`"))
        << "the section of " << code << " does not show the text of the table";
  }
  for (const WarningInfo& info : kWarningTable) {
    const std::vector<std::string> lines =
        section(lines_, "### -W" + std::string(info.option) + ":");
    EXPECT_TRUE(contains(lines, "Text: `" + std::string(info.text) + "`")) << info.option;
  }
}

TEST_F(MessagesDocTest, EverySectionIsAMessageOfTheTable) {
  std::set<std::string> headings;
  for (const MessageInfo& info : kMessageTable) {
    headings.insert(std::to_string(std::abs(codeOf(info.msg))) + " " + std::string(info.name));
  }
  for (const WarningInfo& info : kWarningTable) headings.insert("-W" + std::string(info.option));
  for (const std::string& line : lines_) {
    if (!line.starts_with("### ")) continue;
    const std::string heading = line.substr(4, line.find(':') - 4);
    EXPECT_TRUE(headings.count(heading) != 0) << "a section for no message: " << line;
  }
}

TEST_F(MessagesDocTest, ExplanationIsTheSectionMadePlain) {
  for (const MessageInfo& info : kMessageTable) {
    const std::string number = std::to_string(std::abs(codeOf(info.msg)));
    const std::optional<std::string> text = explainMessage(number);
    ASSERT_TRUE(text) << number;
    EXPECT_NE(text->find(number + " " + std::string(info.name) + ":"), std::string::npos);
    EXPECT_NE(text->find("Text: `" + std::string(info.text) + "`"), std::string::npos) << number;
    EXPECT_EQ(text->find("<!--"), std::string::npos) << number;
    EXPECT_EQ(text->find("```"), std::string::npos) << number;
    EXPECT_EQ(explainMessage("-" + number), text) << number;
  }
  EXPECT_TRUE(explainMessage("-Wunknown-directive"));
  EXPECT_EQ(explainMessage("unknown-directive"), explainMessage("-Wunknown-directive"));
  for (const char* unknown : {"", "-", "2", "999", "12a", "+255", "-Wnothing"}) {
    EXPECT_FALSE(explainMessage(unknown)) << unknown;
  }
}

TEST(ManualPageTest, ListsEveryMessageWithItsText) {
  const std::vector<std::string> lines = splitLines(readText(repositoryRoot() / "docs/pelc.1"));
  for (const MessageInfo& info : kMessageTable) {
    const std::string item = ".B " + std::to_string(std::abs(codeOf(info.msg)));
    bool found = false;
    for (std::size_t i = 0; i + 1 < lines.size() && !found; ++i) {
      found = lines[i] == item && plainRoff(lines[i + 1]) == info.text;
    }
    EXPECT_TRUE(found) << "docs/pelc.1 lacks \"" << item << "\" followed by: " << info.text;
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
