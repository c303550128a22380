// Micro-benchmarks of the compiler's hot paths.
//
// The source reader, the logical line reader, macro reference scanning and expansion, the
// copy of source bytes into the output and rewritten lines written to it, each on 4 MB of
// generated source of either kind.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <string_view>

#include "base/settings.h"
#include "codegen/output_assembly.h"
#include "codegen/output_sink.h"
#include "diag/diagnostics.h"
#include "preproc/macro_expander.h"
#include "preproc/macro_table.h"
#include "source/line_reader.h"
#include "source/source_reader.h"
#include "source_generator.h"

namespace {

constexpr std::size_t kSourceBytes = 4 << 20;

const std::string& source(pelc::bench::SourceKind kind) {
  static const auto make = [](pelc::bench::SourceKind k) {
    std::ostringstream out;
    pelc::bench::writeSource(k, kSourceBytes, out);
    return out.str();
  };
  static const std::string all = make(pelc::bench::SourceKind::AllConstructs);
  static const std::string plain = make(pelc::bench::SourceKind::PlainStatements);
  return kind == pelc::bench::SourceKind::AllConstructs ? all : plain;
}

pelc::bench::SourceKind kindOf(const benchmark::State& state) {
  return state.range(0) == 0 ? pelc::bench::SourceKind::AllConstructs
                             : pelc::bench::SourceKind::PlainStatements;
}

void setLabel(benchmark::State& state, std::size_t bytesPerIteration) {
  state.SetLabel(state.range(0) == 0 ? "all constructs" : "plain statements");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytesPerIteration));
}

void BM_SourceReader(benchmark::State& state) {
  const std::string& bytes = source(kindOf(state));
  pelc::SourceReader reader;
  for (auto _ : state) {
    reader.attach(bytes);
    long sum = 0;
    for (int ch = reader.getSourceChar(false); ch != pelc::END_OF_SOURCE;
         ch = reader.getSourceChar(false)) {
      sum += ch;
    }
    benchmark::DoNotOptimize(sum);
  }
  setLabel(state, bytes.size());
}
BENCHMARK(BM_SourceReader)->Arg(0)->Arg(1);

void BM_LineReader(benchmark::State& state) {
  const std::string& bytes = source(kindOf(state));
  std::ostringstream messages;
  pelc::Diagnostics diag(messages);
  pelc::SourceReader reader;
  std::string text;
  pelc::LineInfo info;
  for (auto _ : state) {
    reader.attach(bytes);
    bool comment = false;
    std::size_t lines = 0;
    while (pelc::readLogicalLine(reader, diag, text, true, info, &comment) != 0) ++lines;
    benchmark::DoNotOptimize(lines);
  }
  setLabel(state, bytes.size());
}
BENCHMARK(BM_LineReader)->Arg(0)->Arg(1);

/// The table of the generated sources: K0 .. K199.
pelc::MacroTable generatedMacros() {
  pelc::MacroTable table;
  for (int i = 0; i < 200; ++i) {
    std::string name = std::to_string(i);
    name.insert(name.begin(), 'K');
    std::size_t index = 0;
    const int order = table.findMacro(name, index);
    table.insertAt(order > 0 ? index + 1 : index, {name, std::to_string(i * 7 + 1)});
  }
  return table;
}

/// Every line of the source, as the statement loop would hand them over.
std::vector<std::string> linesOf(const std::string& bytes) {
  std::vector<std::string> lines;
  std::istringstream in(bytes);
  for (std::string line; std::getline(in, line);) lines.push_back(line + "\n");
  return lines;
}

void BM_MacroReferenceScan(benchmark::State& state) {
  const std::string& bytes = source(kindOf(state));
  const std::vector<std::string> lines = linesOf(bytes);
  const pelc::MacroTable table = generatedMacros();
  std::ostringstream messages;
  pelc::Diagnostics diag(messages);
  pelc::MacroExpander expander(table, diag);
  for (auto _ : state) {
    std::size_t found = 0;
    for (const std::string& line : lines) {
      std::size_t ref = 0;
      found += expander.findMacroReference(line, ref) != pelc::MacroExpander::NO_REFERENCE;
    }
    benchmark::DoNotOptimize(found);
  }
  setLabel(state, bytes.size());
}
BENCHMARK(BM_MacroReferenceScan)->Arg(0)->Arg(1);

void BM_ExpandMacros(benchmark::State& state) {
  const std::string& bytes = source(kindOf(state));
  const std::vector<std::string> lines = linesOf(bytes);
  const pelc::MacroTable table = generatedMacros();
  std::ostringstream messages;
  pelc::Diagnostics diag(messages);
  pelc::MacroExpander expander(table, diag);
  std::string line;
  for (auto _ : state) {
    int changed = 0;
    for (const std::string& original : lines) {
      if (original[0] == '#') continue;  // directives are never expanded
      line = original;
      changed += expander.expandMacros(line, 1);
    }
    benchmark::DoNotOptimize(changed);
  }
  setLabel(state, bytes.size());
}
BENCHMARK(BM_ExpandMacros)->Arg(0)->Arg(1);

/// #UNDEF and #DEFINE of one macro after another in the table of the generated sources, as
/// their frequent pairs do; both keep the name index in step.
void BM_MacroUndefDefine(benchmark::State& state) {
  pelc::MacroTable table = generatedMacros();
  int next = 0;
  for (auto _ : state) {
    std::string name = "K";
    name += std::to_string(next);
    next = (next + 37) % 200;
    const auto erased = table.findIgnoringCase(name);
    const std::string value = table.at(*erased).value;
    table.eraseAt(*erased);
    std::size_t index = 0;
    const int order = table.findMacro(name, index);
    table.insertAt(order > 0 ? index + 1 : index, {name, value});
  }
}
BENCHMARK(BM_MacroUndefDefine);

/// Counts the bytes that reach the output file and keeps none of them.
class DiscardingOutput final : public pelc::ByteSink {
 public:
  void write(std::string_view bytes) override { written += bytes.size(); }
  std::size_t written = 0;
};

void BM_SourceCopy(benchmark::State& state) {
  const std::string& bytes = source(kindOf(state));
  std::ostringstream messages;
  pelc::Diagnostics diag(messages);
  pelc::Settings settings;
  settings.suppressLineMarkers = true;
  pelc::SourceReader reader;
  reader.attach(bytes);
  const auto size = static_cast<std::int32_t>(bytes.size());
  // Copies in pieces of one line's typical length, as between the nodes of a real file.
  const std::int32_t step = static_cast<std::int32_t>(state.range(1));
  for (auto _ : state) {
    DiscardingOutput file;
    pelc::OutputSink sink(file);
    pelc::OutputAssembly out(sink, reader, settings, diag);
    for (std::int32_t from = 0; from < size; from += step) {
      out.copySource(from, std::min(size, from + step));
    }
    sink.flush();
    benchmark::DoNotOptimize(file.written);
  }
  setLabel(state, bytes.size());
}
BENCHMARK(BM_SourceCopy)->Args({1, 1 << 30})->Args({1, 40})->Args({0, 40});

// Every line written again as a rewritten statement: blanks normalised on the
// way into the output buffer.
void BM_RewrittenLines(benchmark::State& state) {
  const std::string& bytes = source(kindOf(state));
  const std::vector<std::string> lines = linesOf(bytes);
  std::ostringstream messages;
  pelc::Diagnostics diag(messages);
  pelc::Settings settings;
  settings.suppressLineMarkers = true;
  pelc::SourceReader reader;
  for (auto _ : state) {
    DiscardingOutput file;
    pelc::OutputSink sink(file);
    pelc::OutputAssembly out(sink, reader, settings, diag);
    for (const std::string& line : lines) {
      if (line.find_first_not_of(" \t\n\v\f\r") != std::string::npos) out.addNormalizedLine(line);
    }
    sink.flush();
    benchmark::DoNotOptimize(file.written);
  }
  setLabel(state, bytes.size());
}
BENCHMARK(BM_RewrittenLines)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
