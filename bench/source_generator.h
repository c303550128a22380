// Deterministic generator of large, realistic benchmark sources.
//
// For timing the compiler against a C preprocessor: every block statement nested, macros,
// comments, REM lines, ARRAY initialisers, conditional groups and includes, with directives in
// lower case so that both accept the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace pelc::bench {

enum class SourceKind {
  /// Every construct of the language, nested.
  AllConstructs,
  /// Ordinary statements only: nothing for the compiler to change, so it copies them through.
  PlainStatements,
};

struct IncludedFile {
  /// The name as the #include lines write it, without the quotes.
  std::string name;
  std::string bytes;
};

/// The files that the generated main source includes; the same for every size.
std::vector<IncludedFile> includedFiles();

/// Writes about `targetBytes` bytes (never less) of source of the given kind to `out`. The same
/// kind, size and seed always give the same bytes. Returns the number of bytes written.
std::size_t writeSource(SourceKind kind, std::size_t targetBytes, std::ostream& out,
                        std::uint32_t seed = 1);

}  // namespace pelc::bench
