// The per-file driver and the two-pass compile pass.
#include "driver/compile_file.h"

#include <limits>
#include <new>
#include <optional>
#include <sstream>
#include <system_error>
#include <utility>

#include "codegen/body_buffer.h"
#include "codegen/emitter.h"
#include "driver/dependencies.h"
#include "driver/emission_thread.h"
#include "parser/parser.h"
#include "parser/temporary_names.h"
#include "paths/paths.h"
#include "preproc/define_directive.h"

namespace pelc {
namespace {

std::string outputPathOf(const std::string& path) {
  std::string output = path;
  replaceExtension(".pml", output, std::numeric_limits<std::size_t>::max());
  return output;
}

const SourceFile& readSource(FileContext& file, const std::string& path) {
  SourceBytes bytes = file.run.fileSystem.readFile(path);
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw FileError(FileError::Operation::Read, path, "File too large");
  }
  file.sources.push_back(std::make_unique<SourceFile>(SourceFile{path, std::move(bytes)}));
  return *file.sources.back();
}

/// The emitter of one compile pass, started when the first nodes are ready.
/// Nodes of finished constructs handed over during the parse are emitted on
/// a second thread; the thread's messages are collected and printed when the
/// emission ends, since the parse may print meanwhile.
class Emission final : public NodeConsumer {
 public:
  Emission(FileContext& file, const DriverState& state, const std::string& outputPath)
      : file_(file), state_(state), body_(file.run.fileSystem, outputPath) {
    threadDiag_.setCurrentFileName(file.run.diag.currentFileName());
  }
  Emission(const Emission&) = delete;
  Emission& operator=(const Emission&) = delete;
  ~Emission() {
    thread_.reset();
    publishThreadMessages();
  }

  void consumeNodes(NodeList& nodes, std::int32_t settled) override {
    if (!emitter_) {
      start(threadDiag_);
      file_.run.fileSystem.expectLongWrite();
      try {
        if (file_.run.settings.emissionThread) thread_.emplace(*emitter_);
      } catch (const std::system_error&) {
        // No thread to be had: the nodes are emitted here, between lines.
      }
    }
    if (thread_) {
      thread_->hand(nodes, settled, file_.maxSwitchDepth);
    } else {
      emitHandedOver(*emitter_, nodes.nodes(), settled, file_.maxSwitchDepth);
      nodes.clear();
    }
  }

  void openOutput() { body_.openOutput(); }

  /// The emitter of the remaining nodes, once everything handed over is emitted.
  Emitter& emitter() {
    if (thread_) {
      thread_->drain();
    } else if (!emitter_) {
      start(file_.run.diag);
    }
    return *emitter_;
  }

 private:
  void start(Diagnostics& diag) {
    const EmittedFile emitted{*file_.sources.front(), file_.queuedFilePath, file_.run.settings};
    emitter_.emplace(emitted, diag, state_.definitions, file_.reader.currentLine(), body_);
  }

  void publishThreadMessages() {
    Diagnostics& diag = file_.run.diag;
    threadMessages_.replayInto(diag.sink());
    if (threadDiag_.anyError()) diag.markError();
  }

  FileContext& file_;
  const DriverState& state_;
  BodyBuffer body_;
  RecordingSink threadMessages_;
  Diagnostics threadDiag_{threadMessages_};
  std::optional<Emitter> emitter_;
  std::optional<EmissionThread> thread_;
};

/// Drops finished constructs at once: a check alone emits nothing, and
/// without this its nodes would pile up for the whole file.
class NodeDiscarder final : public NodeConsumer {
 public:
  void consumeNodes(NodeList& nodes, std::int32_t) override { nodes.clear(); }
};

/// Records an output of the run, and the files it comes from, for the build.
void recordOutput(const FileContext& file, DriverState& state, const std::string& outputPath) {
  DependencyRule& rule = state.outputs.emplace_back(DependencyRule{outputPath, {}});
  for (const std::unique_ptr<SourceFile>& source : file.sources) rule.sources.push_back(source->path);
}

/// Parse, then emit; the output replaces the old file only when the whole
/// pass succeeded, and not when it is up to date under -u. Returns whether
/// the pass succeeded.
bool compilePass(FileContext& file, DriverState& state, const std::string& outputPath) {
  Diagnostics& diag = file.run.diag;
  const Settings& settings = file.run.settings;
  // --check writes nothing; -d writes an empty output unless -L is given too.
  const bool emits = !settings.checkWithoutOutput && (!settings.checkOnly || settings.listing);
  Emission emission(file, state, outputPath);
  file.reader.attach(file.sources.front()->bytes);
  Parser parser(file);
  // Emitting while parsing keeps memory flat on large files. It is only done
  // where the messages come out as they would after the parse: an echo can
  // report a long line, and the -D texts are entered again for the emitter.
  NodeDiscarder discarder;
  if (!emits) {
    parser.setNodeConsumer(&discarder);
  } else if (state.definitionsSilent && !settings.echoSource) {
    parser.setNodeConsumer(&emission);
  }
  parser.parseFile();
  if (diag.anyError()) return false;
  // Nothing written, nothing for a build to depend on.
  if (settings.checkWithoutOutput) return true;
  // Every message is still reported and every CHAIN target queued; only the
  // file stays as it is.
  const bool keep =
      settings.checkInput && outputIsUpToDate(file.run.fileSystem, outputPath, file.sources);
  if (!emits) {
    if (!keep) file.run.fileSystem.createReplacement(outputPath)->commit();
    recordOutput(file, state, outputPath);
    return true;
  }
  // Only once the emission thread is done may the output file be asked for:
  // that thread makes it for the first bytes it writes.
  Emitter& emitter = emission.emitter();
  if (!keep) emission.openOutput();
  const ParsedFileEnd end{file.maxSwitchDepth, file.exitSeen, file.labels.next()};
  if (emitter.finish(file.nodes.nodes(), end) != 0) return false;
  if (!keep) emitter.takeOutput()->commit();
  recordOutput(file, state, outputPath);
  return true;
}

void printListing(FileContext& file) {
  Diagnostics& diag = file.run.diag;
  diag.reportInformation(Msg::ListingLabels, {{"labels", file.labels.next() - 1}});
  if (file.maxSwitchDepth == 0) return;
  std::vector<std::string> names;
  for (int n = 1; n <= file.maxSwitchDepth; ++n) {
    names.push_back(temporaryName(file.queuedFilePath, n));
  }
  diag.reportInformation(Msg::ListingNames, {{"count", file.maxSwitchDepth}, {"names", names}},
                         names);
}

/// The physical lines of the file's sources, for messages that show them.
class FileSourceLines final : public SourceLines {
 public:
  explicit FileSourceLines(const FileContext& file) : file_(file) {}

  std::optional<std::string_view> lineOf(std::string_view path, int line) const override {
    for (const std::unique_ptr<SourceFile>& source : file_.sources) {
      if (source->path == path) return physicalLine(source->bytes.view(), line);
    }
    return std::nullopt;
  }

 private:
  static std::optional<std::string_view> physicalLine(std::string_view bytes, int line) {
    std::size_t start = 0;
    for (int n = 1; n < line; ++n) {
      start = bytes.find('\n', start);
      if (start == std::string_view::npos) return std::nullopt;
      ++start;
    }
    if (start >= bytes.size()) return std::nullopt;
    std::string_view text = bytes.substr(start, bytes.find('\n', start) - start);
    if (text.ends_with('\r')) text.remove_suffix(1);
    return text;
  }

  const FileContext& file_;
};

/// Shows the file's lines to the messages while the file is compiled.
class SourceLinesInstalled {
 public:
  SourceLinesInstalled(Diagnostics& diag, const FileContext& file) : diag_(diag), lines_(file) {
    diag_.setSourceLines(&lines_);
  }
  SourceLinesInstalled(const SourceLinesInstalled&) = delete;
  SourceLinesInstalled& operator=(const SourceLinesInstalled&) = delete;
  ~SourceLinesInstalled() { diag_.setSourceLines(nullptr); }

 private:
  Diagnostics& diag_;
  FileSourceLines lines_;
};

void reportOutOfMemory(Diagnostics& diag, int line) {
  try {
    diag.reportMessage(Msg::OutOfMemory, line);
  } catch (const AbortFile&) {
  }
}

}  // namespace

void reportFileError(Diagnostics& diag, const FileError& error) {
  diag.fileError(error.path(), describeFileError(error));
}

void compileFile(RunContext& run, DriverState& state, const std::string& path) {
  Diagnostics& diag = run.diag;
  QueuedChainTargets chainTargets(run.queue, run.settings, diag, path);
  FileContext file(run, chainTargets, path);
  enterCommandLineDefinitions(file.macros, diag, state.lastLine, state.definitions);
  if (diag.anyError()) throw RunStopped{};
  diag.fileStarted(path);
  std::string outputPath = outputPathOf(path);
  if (state.nextOutputPath) outputPath = *std::exchange(state.nextOutputPath, std::nullopt);
  diag.setCurrentFileName(path);
  if (run.settings.checkInput && !run.fileSystem.canReadStatus(path)) {
    diag.throwMessage(Msg::InputStatus, kNoLine, {{"file", path}});
  }
  const SourceLinesInstalled sourceLines(diag, file);
  // A pass that failed with errors that let it go on skips the listing; a
  // thrown message or a file error does not.
  bool passFailed = false;
  try {
    readSource(file, path);
    passFailed = !compilePass(file, state, outputPath);
  } catch (const FileError& error) {
    reportFileError(diag, error);
    state.fileErrorSeen = true;
  } catch (const AbortFile&) {
  } catch (const std::bad_alloc&) {
    reportOutOfMemory(diag, file.reader.currentLine());
  }
  // The block stack that syntax errors consult goes with the file.
  diag.setSyntaxContext(nullptr);
  state.lastLine = file.reader.currentLine();
  if (run.settings.listing && !passFailed) printListing(file);
}

}  // namespace pelc
