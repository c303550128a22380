// The machine format: one JSON object per line (JSON Lines). Names and texts
// come from files and sources as bytes; bytes that are not UTF-8 are written
// as U+FFFD so that every line stays valid JSON.
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "diag/diagnostic_format.h"
#include "diag/messages.h"

namespace pelc {
namespace {

using Json = nlohmann::ordered_json;

Json optionalText(const std::optional<std::string>& text) {
  return text ? Json(*text) : Json(nullptr);
}

Json lineValue(int line) { return line > 0 ? Json(line) : Json(nullptr); }

std::string_view severityName(Level level) {
  switch (level) {
    case Level::Error:
      return "error";
    case Level::Warning:
      return "warning";
    case Level::Info:
      break;
  }
  return "info";
}

/// Help texts and the -L listing are information messages of their own kind.
std::string_view kindOf(const Diagnostic& d) {
  if (d.level != Level::Info) return "message";
  const bool listing = d.code == codeOf(Msg::ListingLabels) || d.code == codeOf(Msg::ListingNames);
  return listing ? "listing" : "help";
}

Json insertsObject(const Inserts& inserts) {
  Json object = Json::object();
  for (const Insert& insert : inserts) {
    std::visit([&](const auto& value) { object[insert.key] = value; }, insert.value);
  }
  return object;
}

Json notesArray(const std::vector<Note>& notes) {
  Json array = Json::array();
  for (const Note& note : notes) {
    array.push_back(
        {{"file", optionalText(note.file)}, {"line", lineValue(note.line)}, {"text", note.text}});
  }
  return array;
}

class JsonSink final : public DiagnosticSink {
 public:
  explicit JsonSink(std::ostream& out) : out_(out) {}

  void message(const Diagnostic& d) override {
    Json object = {{"kind", kindOf(d)},
                   {"file", optionalText(d.file)},
                   {"line", lineValue(d.line)},
                   {"number", d.code != 0 ? Json(std::abs(d.code)) : Json(nullptr)},
                   {"code", d.code != 0 ? Json(d.code) : Json(nullptr)},
                   {"severity", severityName(d.level)},
                   {"stops", d.stops},
                   {"text", d.text},
                   {"inserts", insertsObject(d.inserts)},
                   {"notes", notesArray(d.notes)}};
    if (d.code == 0) object["option"] = "-W" + std::string(d.warningOption);
    write(object);
  }

  void fileStarted(const std::string& path) override { write({{"kind", "file"}, {"file", path}}); }

  void fileError(const std::string& path, const std::string& text) override {
    write({{"kind", "file-error"}, {"file", path}, {"severity", "error"}, {"text", text}});
  }

  void helpText(std::string_view text) override {
    while (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    write({{"kind", "help"}, {"text", text}});
  }

  void internalError(std::string_view line) override {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    write({{"kind", "message"},
           {"file", nullptr},
           {"line", nullptr},
           {"number", nullptr},
           {"code", nullptr},
           {"severity", "error"},
           {"stops", false},
           {"text", line},
           {"inserts", Json::object()},
           {"notes", Json::array()}});
  }

 private:
  void write(const Json& object) {
    out_ << object.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
  }

  std::ostream& out_;
};

}  // namespace

std::unique_ptr<DiagnosticSink> makeJsonSink(std::ostream& out) {
  return std::make_unique<JsonSink>(out);
}

}  // namespace pelc
