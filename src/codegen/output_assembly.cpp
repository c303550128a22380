// Output line assembly.
#include "codegen/output_assembly.h"

#include <algorithm>
#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "base/char_class.h"
#include "codegen/normalize_blanks.h"

namespace pelc {
void OutputAssembly::breakOpenCopy() {
  if (openCopySource_ == nullptr) return;
  openCopySource_ = nullptr;
  sink_.append("\n");
}

void OutputAssembly::appendGenerated(std::string_view text) {
  breakOpenCopy();
  sink_.append(text);
}

void OutputAssembly::addLine(std::string_view text) {
  flushLineMarker();
  appendGenerated(text);
}

// Labels and jumps are most of the generated lines: written straight into the
// output. The prefixes hold no line feed.
void OutputAssembly::addLabel(std::string_view prefix, std::int32_t label) {
  constexpr std::size_t kDigits = 11;  // "-2147483648"
  flushLineMarker();
  breakOpenCopy();
  char* const out = sink_.beginLine(prefix.size() + kDigits);
  char* const end = std::to_chars(std::copy(prefix.begin(), prefix.end(), out),
                                  out + prefix.size() + kDigits, label)
                        .ptr;
  sink_.endLine(static_cast<std::size_t>(end - out));
}

// Normalised straight into the output: most rewritten lines are statements,
// and this is the last copy their text needs. Normalising turns the line feeds
// between words into spaces, but those of a quoted section that runs over
// several physical lines stay, and each needs a CR the direct write has no
// room for: such a rare line takes the general path instead.
void OutputAssembly::addNormalizedLine(std::string_view text) {
  flushLineMarker();
  breakOpenCopy();
  if (text.size() > OutputSink::kMaxDirectLine) {
    std::string line(text);
    line.resize(normalizeBlanksInto(line, line.data()));
    line.push_back('\n');
    sink_.append(line);
    return;
  }
  char* const out = sink_.beginLine(text.size());
  const std::size_t length = normalizeBlanksInto(text, out);
  if (std::memchr(out, '\n', length) == nullptr) return sink_.endLine(length);
  // The begun line is left unended; its bytes are copied out before append() writes there.
  std::string line(out, length);
  line.push_back('\n');
  sink_.append(line);
}

void OutputAssembly::setLineMarker(std::int32_t line, std::optional<std::string_view> name) {
  if (settings_.suppressLineMarkers) return;
  if (name) {
    markerName_ = std::string(*name);
    nameIsInitial_ = false;
  } else if (!markerPending_) {
    markerName_.reset();
    nameIsInitial_ = false;
  }
  markerLine_ = line;
  markerPending_ = true;
}

void OutputAssembly::setInitialMarker(std::int32_t line, std::string_view name) {
  setLineMarker(line, name);
  nameIsInitial_ = !settings_.suppressLineMarkers;
}

void OutputAssembly::flushLineMarker() {
  if (settings_.suppressLineMarkers || !markerPending_) return;
  markerPending_ = false;
  if (nameIsInitial_) {
    nameIsInitial_ = false;
    heldMarkerLine_ = markerLine_;
    return;
  }
  scratchMarker_.assign("#line ");
  char digits[16];
  scratchMarker_.append(digits, std::to_chars(digits, digits + sizeof digits, markerLine_).ptr);
  if (markerName_) scratchMarker_.append(" \"").append(*markerName_).append("\"");
  scratchMarker_.push_back('\n');
  appendGenerated(scratchMarker_);
}

void OutputAssembly::reportPositions(std::int32_t from, std::int32_t to) {
  char text[96];
  const int length =
      std::snprintf(text, sizeof text,
                    "pelc: Internal error - spos: %" PRId32 ", epos: %" PRId32 "\r\n", from, to);
  const std::string_view line(text, static_cast<std::size_t>(length));
  addLine(line);
  // The output would not be what the source says, so the file must fail.
  diag_.internalError(line);
}

std::string_view OutputAssembly::sourceBytes(std::int32_t from, std::int32_t to) {
  const std::string_view bytes = reader_.bytes();
  if (static_cast<std::size_t>(to) > bytes.size()) {
    diag_.throwMessage(Msg::ReadFailed, kNoLine,
                       {{"file", diag_.currentFileName().value_or(std::string())}});
  }
  reader_.seekSource(to);
  return bytes.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
}

bool OutputAssembly::endsWithLineFeed(std::int32_t from, std::int32_t to) const {
  const std::string_view bytes = reader_.bytes();
  return to > from && static_cast<std::size_t>(to) <= bytes.size() &&
         bytes[static_cast<std::size_t>(to - 1)] == '\n';
}

void OutputAssembly::appendCopy(std::string_view bytes, std::int32_t to) {
  sink_.append(bytes);
  if (bytes.back() == '\n') {
    openCopySource_ = nullptr;
  } else {
    openCopySource_ = reader_.bytes().data();
    openCopyEnd_ = to;
  }
}

void OutputAssembly::copySource(std::int32_t from, std::int32_t to) {
  if (positionsOutOfOrder(from, to)) return;
  reader_.seekSource(from);
  if (from == to) return;
  flushLineMarker();
  if (openCopySource_ != reader_.bytes().data() || openCopyEnd_ != from) breakOpenCopy();
  appendCopy(sourceBytes(from, to), to);
}

void OutputAssembly::completeLine() {
  flushLineMarker();
  openCopySource_ = nullptr;
  sink_.append("\n");
}

void OutputAssembly::echoCopy(std::int32_t from, std::int32_t to, bool lineEnd) {
  addLine("REM ");
  if (positionsOutOfOrder(from, to)) return;
  reader_.seekSource(from);
  if (from != to) appendCopy(sourceBytes(from, to), to);
  if (lineEnd) completeLine();
}

void OutputAssembly::echoLine(std::int32_t from, std::int32_t to) {
  if (positionsOutOfOrder(from, to)) return;
  if (to - from > 2048) diag_.reportMessage(Msg::TextTooLong, kNoLine);
  reader_.seekSource(from);
  if (from == to) {
    addLine("REM \n");
    return;
  }
  flushLineMarker();
  std::string_view bytes = sourceBytes(from, to);
  while (!bytes.empty() && isBlank(bytes.back())) bytes.remove_suffix(1);
  std::string echo = "REM ";
  for (const char c : bytes) {
    echo.push_back(c);
    if (c == '\n') echo += "REM ";
  }
  echo.push_back('\n');
  appendGenerated(echo);
}

}  // namespace pelc
