// What a run printed, sorted into the kinds of line that decide its exit status.
#pragma once

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string_view>

namespace pelc::fuzz {

struct PrintedReport {
  /// A numbered message whose number belongs to no warning or information.
  bool error = false;
  /// "pelc: cannot open|read|write ...".
  bool fileError = false;
  /// The line of impossible statement positions; never acceptable.
  bool internalError = false;
};

inline bool isWarningOrInformation(long number) {
  constexpr std::array<long, 7> kPositive = {1, 21, 33, 34, 121, 122, 123};
  return std::find(kPositive.begin(), kPositive.end(), number) != kPositive.end();
}

inline bool startsWith(std::string_view text, std::string_view head) {
  return text.substr(0, head.size()) == head;
}

inline bool allDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(),
                                      [](char c) { return c >= '0' && c <= '9'; });
}

// Paths are echoed in headers ("<path>:") and prefixes, so a line is judged by its fixed
// parts: a message line ends in the number, a header in a colon.
inline void classifyLine(std::string_view line, PrintedReport& report) {
  constexpr std::string_view kMessage = "Prompt not found: pnum = ";
  if (const std::size_t at = line.rfind(kMessage); at != std::string_view::npos) {
    const std::string_view digits = line.substr(at + kMessage.size());
    if (allDigits(digits)) {
      report.error |= !isWarningOrInformation(std::strtol(digits.data(), nullptr, 10));
      return;
    }
  }
  if (line.empty() || line.back() == ':') return;
  report.fileError |= startsWith(line, "pelc: cannot ");
  report.internalError |= startsWith(line, "pelc: Internal error - spos: ");
}

inline PrintedReport classifyPrinted(std::string_view printed) {
  PrintedReport report;
  while (!printed.empty()) {
    const std::size_t end = std::min(printed.find('\n'), printed.size());
    classifyLine(printed.substr(0, end), report);
    printed.remove_prefix(std::min(end + 1, printed.size()));
  }
  return report;
}

}  // namespace pelc::fuzz
