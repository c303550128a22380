// --explain prints the sections of docs/messages.md, which the build embeds,
// so the explanation cannot drift from the document.
#include "diag/explanations.h"

#include <cstdlib>
#include <vector>

#include "diag/messages.h"

namespace pelc {
namespace {

constexpr std::string_view kReference =
#include "diag/messages_doc.inc"
    ;

struct Section {
  std::string_view heading;  // without its "### "
  std::vector<std::string_view> body;
};

bool isHeading(std::string_view line) {
  return line.starts_with("## ") || line.starts_with("### ");
}

/// The "###" sections of the reference, in order; a "##" heading ends one.
std::vector<Section> sectionsOf(std::string_view text) {
  std::vector<Section> sections;
  bool inSection = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (isHeading(line)) {
      inSection = line.starts_with("### ");
      if (inSection) sections.push_back({line.substr(4), {}});
    } else if (inSection) {
      sections.back().body.push_back(line);
    }
  }
  return sections;
}

/// A section with no text of its own besides its "Text:" line shares the next one's.
bool sharesNextText(const Section& section) {
  for (std::string_view line : section.body) {
    if (line.starts_with("Text: ")) continue;
    if (line.find_first_not_of(" \t") != std::string_view::npos) return false;
  }
  return true;
}

/// Markdown made plain: examples indented, markers and fences left out.
void appendSection(std::string& out, const Section& section) {
  out.append(section.heading).append("\n");
  bool inFence = false;
  bool lastBlank = false;
  for (std::string_view line : section.body) {
    if (line.starts_with("<!--")) continue;
    if (line.starts_with("```")) {
      inFence = !inFence;
      continue;
    }
    const bool blank = line.find_first_not_of(" \t") == std::string_view::npos;
    if (blank && lastBlank) continue;
    lastBlank = blank;
    if (inFence && !blank) out.append("    ");
    out.append(blank ? std::string_view() : line).append("\n");
  }
  while (out.ends_with("\n\n")) out.pop_back();
}

/// The heading that starts a message's section: "255 " or "-Wname:".
std::optional<std::string> headingStart(std::string_view argument) {
  if (argument.starts_with("-W")) argument.remove_prefix(2);
  for (const WarningInfo& info : kWarningTable) {
    if (info.option == argument) return "-W" + std::string(info.option) + ":";
  }
  if (argument.starts_with('-')) argument.remove_prefix(1);
  if (argument.empty() || argument.find_first_not_of("0123456789") != std::string_view::npos ||
      argument.size() > 4) {
    return std::nullopt;
  }
  const int number = std::atoi(std::string(argument).c_str());
  for (const MessageInfo& info : kMessageTable) {
    if (std::abs(codeOf(info.msg)) == number) return std::to_string(number) + " ";
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> explainMessage(std::string_view argument) {
  const std::optional<std::string> start = headingStart(argument);
  if (!start) return std::nullopt;
  const std::vector<Section> sections = sectionsOf(kReference);
  std::string out;
  for (std::size_t i = 0; i < sections.size(); ++i) {
    if (!sections[i].heading.starts_with(*start)) continue;
    if (!out.empty()) out.append("\n");
    appendSection(out, sections[i]);
    // Headings that share one text stand directly above it.
    for (std::size_t j = i; sharesNextText(sections[j]) && j + 1 < sections.size(); ++j) {
      out.append("\n");
      appendSection(out, sections[j + 1]);
    }
  }
  if (out.empty()) return std::nullopt;
  return out;
}

}  // namespace pelc
