// Filling a text's inserts, choosing a format, and keeping reports for later.
#include "diag/diagnostic_format.h"

namespace pelc {
namespace {

std::string insertText(const Insert& insert) {
  if (const auto* text = std::get_if<std::string>(&insert.value)) return *text;
  if (const auto* number = std::get_if<long long>(&insert.value)) return std::to_string(*number);
  std::string joined;
  for (const std::string& item : std::get<std::vector<std::string>>(insert.value)) {
    if (!joined.empty()) joined += ", ";
    joined.append("'").append(item).append("'");
  }
  return joined;
}

const Insert* findInsert(const Inserts& inserts, std::string_view key) {
  for (const Insert& insert : inserts) {
    if (insert.key == key) return &insert;
  }
  return nullptr;
}

}  // namespace

std::string fillInserts(std::string_view text, const Inserts& inserts) {
  std::string filled;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t open = text.find('{', at);
    const std::size_t close = open == std::string_view::npos ? open : text.find('}', open);
    if (close == std::string_view::npos) {
      filled.append(text.substr(at));
      break;
    }
    filled.append(text.substr(at, open - at));
    const Insert* insert = findInsert(inserts, text.substr(open + 1, close - open - 1));
    filled += insert != nullptr ? insertText(*insert) : "?";
    at = close + 1;
  }
  return filled;
}

std::unique_ptr<DiagnosticSink> makeDiagnosticSink(const DiagnosticStyle& style,
                                                   std::ostream& out) {
  if (style.format == DiagnosticFormat::Json) return makeJsonSink(out);
  return makeTextSink(out, style.color);
}

void RecordingSink::message(const Diagnostic& diagnostic) {
  calls_.emplace_back([diagnostic](DiagnosticSink& sink) { sink.message(diagnostic); });
}

void RecordingSink::fileStarted(const std::string& path) {
  calls_.emplace_back([path](DiagnosticSink& sink) { sink.fileStarted(path); });
}

void RecordingSink::fileError(const std::string& path, const std::string& text) {
  calls_.emplace_back([path, text](DiagnosticSink& sink) { sink.fileError(path, text); });
}

void RecordingSink::helpText(std::string_view text) {
  calls_.emplace_back([text = std::string(text)](DiagnosticSink& sink) { sink.helpText(text); });
}

void RecordingSink::internalError(std::string_view line) {
  calls_.emplace_back(
      [line = std::string(line)](DiagnosticSink& sink) { sink.internalError(line); });
}

void RecordingSink::replayInto(DiagnosticSink& sink) {
  std::vector<std::function<void(DiagnosticSink&)>> calls = std::move(calls_);
  calls_.clear();
  for (const auto& call : calls) call(sink);
}

}  // namespace pelc
