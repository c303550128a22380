// Output line assembly: generated lines, source copies, echoes and line markers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/settings.h"
#include "codegen/output_sink.h"
#include "diag/diagnostics.h"
#include "source/source_reader.h"

namespace pelc {

/// Appends the pieces of one output file. Source bytes are taken from the
/// buffer the reader is attached to, and the reader is left positioned where
/// each copy ended, so a statement can be re-read from there.
///
/// Generated output never continues a copied line: when copied bytes end
/// without a line feed and anything other than the continuation of that very
/// copy follows, a line feed is written first.
class OutputAssembly {
 public:
  OutputAssembly(OutputSink& sink, SourceReader& reader, const Settings& settings,
                 Diagnostics& diag)
      : sink_(sink), reader_(reader), settings_(settings), diag_(diag) {}

  /// A generated piece; every CR LF in it becomes a line feed.
  void addLine(std::string_view text);
  /// A generated line of `prefix` and a label number, e.g. "GOTO PML" and 3.
  void addLabel(std::string_view prefix, std::int32_t label);
  /// A line of `text` with its blanks normalised, which must leave some text.
  void addNormalizedLine(std::string_view text);

  void setLineMarker(std::int32_t line, std::optional<std::string_view> name = std::nullopt);
  /// The marker the output starts under. While its name is still the pending
  /// one, the flush that would write it is held back instead: whether it
  /// names the file depends on the output's head, written last.
  void setInitialMarker(std::int32_t line, std::string_view name);
  /// The line of the held-back first marker, when one was flushed.
  std::optional<std::int32_t> heldInitialMarker() const { return heldMarkerLine_; }
  void flushLineMarker();

  void copySource(std::int32_t from, std::int32_t to);
  /// Ends the line that the last copy left open, as part of that line.
  void completeLine();
  /// "REM " followed by the copied bytes of [from, to): the emitter's echo of
  /// a replaced line; `lineEnd` adds the line end the bytes lack.
  void echoCopy(std::int32_t from, std::int32_t to, bool lineEnd);
  /// The "REM " form with one "REM " per physical line.
  void echoLine(std::int32_t from, std::int32_t to);

  /// Whether the bytes of [from, to) of the current source end with a line feed.
  bool endsWithLineFeed(std::int32_t from, std::int32_t to) const;

 private:
  /// Whether [from, to) is no range of the source: then reported, and written as an
  /// internal error. Asked for every copy, so the test itself is inline.
  bool positionsOutOfOrder(std::int32_t from, std::int32_t to) {
    if (from >= 0 && to >= 0 && from <= to) return false;
    reportPositions(from, to);
    return true;
  }
  void reportPositions(std::int32_t from, std::int32_t to);
  std::string_view sourceBytes(std::int32_t from, std::int32_t to);
  void appendCopy(std::string_view bytes, std::int32_t to);
  void breakOpenCopy();
  void appendGenerated(std::string_view text);

  OutputSink& sink_;
  SourceReader& reader_;
  const Settings& settings_;
  Diagnostics& diag_;

  bool markerPending_ = false;
  std::int32_t markerLine_ = 0;
  std::optional<std::string> markerName_;
  bool nameIsInitial_ = false;
  std::optional<std::int32_t> heldMarkerLine_;

  // Where the last copy stopped without a line feed: the buffer and position.
  const char* openCopySource_ = nullptr;
  std::int32_t openCopyEnd_ = 0;
  // Reused for the text of markers.
  std::string scratchMarker_;
};

}  // namespace pelc
