// The readable format: FILE:LINE: error: TEXT [NNN], the convention that
// editors, quickfix lists and CI problem matchers already read, with the
// source line under it and colour as compilers use it.
#include <cstdlib>
#include <iomanip>

#include "diag/diagnostic_format.h"

namespace pelc {
namespace {

constexpr std::string_view kReset = "\33[m\33[K";
constexpr std::string_view kLocusColor = "\33[01m\33[K";

std::string_view levelWord(Level level) {
  switch (level) {
    case Level::Error:
      return "error";
    case Level::Warning:
      return "warning";
    case Level::Info:
      break;
  }
  return "note";
}

std::string_view levelColor(Level level) {
  switch (level) {
    case Level::Error:
      return "\33[01;31m\33[K";
    case Level::Warning:
      return "\33[01;35m\33[K";
    case Level::Info:
      break;
  }
  return "\33[01;36m\33[K";
}

class TextSink final : public DiagnosticSink {
 public:
  TextSink(std::ostream& out, bool color) : out_(out), color_(color) {}

  void message(const Diagnostic& d) override {
    head(d.file, d.line, d.level);
    out_ << d.text << " [";
    if (d.code == 0) {
      paint(levelColor(d.level), "-W" + std::string(d.warningOption));
    } else {
      paint(levelColor(d.level), std::to_string(std::abs(d.code)));
    }
    out_ << "]\n";
    showSourceLine(d.file, d.line);
    for (const Note& note : d.notes) {
      head(note.file, note.line, Level::Info);
      out_ << note.text << '\n';
      showSourceLine(note.file, note.line);
    }
    for (const std::string& line : d.lines) out_ << "        " << line << '\n';
  }

  // The file appears in each message, so there is no header line.
  void fileStarted(const std::string&) override {}

  void fileError(const std::string&, const std::string& text) override {
    head(std::nullopt, kNoLine, Level::Error);
    out_ << text << '\n';
  }

  void helpText(std::string_view text) override {
    out_ << text;
    if (!text.empty() && text.back() != '\n') out_ << '\n';
  }

  void internalError(std::string_view line) override {
    constexpr std::string_view kPrefix = "pelc: ";
    if (line.starts_with(kPrefix)) line.remove_prefix(kPrefix.size());
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    head(std::nullopt, kNoLine, Level::Error);
    out_ << line << '\n';
  }

  void setSourceLines(const SourceLines* lines) override { sourceLines_ = lines; }

 private:
  void paint(std::string_view color, std::string_view text) {
    if (color_) out_ << color;
    out_ << text;
    if (color_) out_ << kReset;
  }

  void head(const std::optional<std::string>& file, int line, Level level) {
    std::string locus = file ? *file : std::string("pelc");
    if (file && line > 0) locus.append(":").append(std::to_string(line));
    locus.push_back(':');
    paint(kLocusColor, locus);
    out_ << ' ';
    std::string word(levelWord(level));
    word.push_back(':');
    paint(levelColor(level), word);
    out_ << ' ';
  }

  void showSourceLine(const std::optional<std::string>& file, int line) {
    if (!file || line <= 0 || sourceLines_ == nullptr) return;
    const std::optional<std::string_view> text = sourceLines_->lineOf(*file, line);
    if (!text) return;
    out_ << std::setw(5) << line << " | " << *text << '\n';
  }

  std::ostream& out_;
  bool color_;
  const SourceLines* sourceLines_ = nullptr;
};

}  // namespace

std::unique_ptr<DiagnosticSink> makeTextSink(std::ostream& out, bool color) {
  return std::make_unique<TextSink>(out, color);
}

}  // namespace pelc
