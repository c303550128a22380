// The logical line reader: statements and directives built from source characters,
// with comments removed, quoted sections kept whole and braces split off.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "diag/diagnostics.h"
#include "source/source_reader.h"

namespace pelc {

/// Where the logical line just read lies in the source.
struct LineInfo {
  /// Source position before the line's first character.
  int32_t startPos = 0;
  /// Source position after the line: after its newline, or before a character given
  /// back because it starts the next logical line.
  int32_t endPos = 0;
  /// The physical line on which the read began; messages about the line use it.
  int32_t startLine = 0;
  /// True only when the line ended at a newline outside quotes and comments.
  bool endedWithNewline = false;
};

/// The line buffer every caller provides; a logical line holds at most two less.
inline constexpr std::size_t kLineBufferSize = 2048;
inline constexpr std::size_t kMaxLogicalLine = kLineBufferSize - 2;

/// Reads one logical line into `text` (cleared first; its capacity is reused), with
/// its newline when it ended at one. Returns the number of characters stored; 0 means
/// the source is exhausted. With `splitBraces` a `{` or `}` gets a logical line of its
/// own, except on REM lines. `commentRemoved`, when given, tells whether a comment
/// was removed. A line that would grow past kMaxLogicalLine reports
/// Msg::LineTooLong at the current physical line, which throws AbortFile.
std::size_t readLogicalLine(SourceReader& reader, Diagnostics& diag, std::string& text,
                            bool splitBraces, LineInfo& info, bool* commentRemoved);

/// True when `text`, after leading blanks, starts with REM in any letter case followed
/// by a blank or the end of the text.
bool isRemLine(std::string_view text);

}  // namespace pelc
