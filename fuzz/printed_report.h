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

inline void classifyLine(std::string_view line, PrintedReport& report) {
  constexpr std::string_view kMessage = "Prompt not found: pnum = ";
  if (const std::size_t at = line.find(kMessage); at != std::string_view::npos) {
    const long number = std::strtol(line.data() + at + kMessage.size(), nullptr, 10);
    report.error |= !isWarningOrInformation(number);
  }
  report.fileError |= line.substr(0, 13) == "pelc: cannot ";
  report.internalError |= line.find("Internal error - spos:") != std::string_view::npos;
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
