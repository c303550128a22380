// One report as the output formats see it, and the interface they implement.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pelc {

/// Line values of a report besides a real line number.
inline constexpr int kNoPrefix = -1;
inline constexpr int kNoLine = 0;

/// A value that belongs to a message: a name, a count, a list of folders.
struct Insert {
  std::string key;
  std::variant<std::string, long long, std::vector<std::string>> value;
};
using Inserts = std::vector<Insert>;

/// Context shown after a message, at a place of its own.
struct Note {
  std::optional<std::string> file;
  int line = 0;  // 0: about the whole file
  std::string text;
};

enum class Level { Error, Warning, Info };

struct Diagnostic {
  std::optional<std::string> file;  // none: no file is current
  int line = 0;                     // a line number, kNoLine or kNoPrefix
  int code = 0;                     // 0: a warning without a number
  std::string_view warningOption;   // its -W name, without the "-W"
  Level level = Level::Error;
  bool stops = false;  // the work of the file (or the run) ends with this message
  std::string text;    // the table's text with the inserts filled in
  Inserts inserts;
  std::vector<Note> notes;
  /// Lines printed under the message in the readable formats (the -L names).
  std::vector<std::string> lines;
};

/// The text of a physical line of a source file, for the readable format.
class SourceLines {
 public:
  virtual std::optional<std::string_view> lineOf(std::string_view file, int line) const = 0;

 protected:
  ~SourceLines() = default;
};

/// Receives everything the compiler prints on standard output.
class DiagnosticSink {
 public:
  virtual ~DiagnosticSink() = default;
  virtual void message(const Diagnostic& diagnostic) = 0;
  /// A queued file starts (the header line).
  virtual void fileStarted(const std::string& path) = 0;
  /// A file cannot be opened, read or written; `text` names it and the cause.
  virtual void fileError(const std::string& path, const std::string& text) = 0;
  /// Text that is no message: the version banner, --help, --explain, --version.
  virtual void helpText(std::string_view text) = 0;
  /// The output assembly's line about impossible statement positions.
  virtual void internalError(std::string_view line) = 0;
  virtual void setSourceLines(const SourceLines*) {}
};

/// The table text with each {key} replaced by the insert of that name (a list
/// quoted and joined by ", "); a key without an insert is shown as "?".
std::string fillInserts(std::string_view text, const Inserts& inserts);

}  // namespace pelc
