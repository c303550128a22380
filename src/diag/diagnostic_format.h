// The three output formats of diagnostics, and a sink that keeps reports for later.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

#include "diag/diagnostic.h"

namespace pelc {

enum class DiagnosticFormat {
  Numbers,  // the numbered lines that existing scripts parse
  Text,     // FILE:LINE: error: TEXT [NNN], as compilers print
  Json,     // one JSON object per line
};

struct DiagnosticStyle {
  DiagnosticFormat format = DiagnosticFormat::Numbers;
  bool color = false;  // Text only
};

/// The numbered lines that existing scripts parse. Declared here, unlike the
/// other formats, so that the default can be made without allocating: it
/// must still work when memory has run out.
class NumbersSink final : public DiagnosticSink {
 public:
  explicit NumbersSink(std::ostream& out) : out_(out) {}
  void message(const Diagnostic& d) override;
  void fileStarted(const std::string& path) override;
  void fileError(const std::string& path, const std::string& text) override;
  void helpText(std::string_view text) override;
  void internalError(std::string_view line) override;

 private:
  std::ostream& out_;
};

std::unique_ptr<DiagnosticSink> makeTextSink(std::ostream& out, bool color);
std::unique_ptr<DiagnosticSink> makeJsonSink(std::ostream& out);
/// The sink of the Text or Json format; the numbered one lives in Diagnostics.
std::unique_ptr<DiagnosticSink> makeDiagnosticSink(const DiagnosticStyle& style, std::ostream& out);

/// Keeps what it receives, to be handed on later in the same order: a
/// second thread reports here, and the main thread prints it when the
/// thread's work is published, through the run's own format.
class RecordingSink final : public DiagnosticSink {
 public:
  void message(const Diagnostic& diagnostic) override;
  void fileStarted(const std::string& path) override;
  void fileError(const std::string& path, const std::string& text) override;
  void helpText(std::string_view text) override;
  void internalError(std::string_view line) override;

  /// Hands everything kept so far on to `sink` and forgets it.
  void replayInto(DiagnosticSink& sink);

 private:
  std::vector<std::function<void(DiagnosticSink&)>> calls_;
};

}  // namespace pelc
