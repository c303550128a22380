// The per-file driver and the two-pass compile pass.
#include "driver/compile_file.h"

#include <limits>
#include <new>

#include "codegen/emitter.h"
#include "codegen/temporary_names.h"
#include "parser/parser.h"
#include "paths/paths.h"
#include "preproc/define_directive.h"

namespace pelc {
namespace {

void enterDefinitions(FileContext& file, const DriverState& state, int line) {
  for (const std::string& text : state.definitions) {
    defineDirective(file.macros, file.run.diag, line, "-D", text, false);
  }
}

std::string outputPathOf(const std::string& path) {
  std::string output = path;
  replaceExtension(".pml", output, std::numeric_limits<std::size_t>::max());
  return output;
}

const SourceFile& readSource(FileContext& file, const std::string& path) {
  std::string bytes = file.run.fileSystem.readFile(path);
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw FileError(FileError::Operation::Read, path, "File too large");
  }
  file.sources.push_back(std::make_unique<SourceFile>(SourceFile{path, std::move(bytes)}));
  return *file.sources.back();
}

/// Parse, then emit into a replacement of the output file; the output only
/// replaces the old file when the whole pass succeeded. Returns whether it did.
bool compilePass(FileContext& file, const DriverState& state, const std::string& outputPath) {
  Diagnostics& diag = file.run.diag;
  file.reader.attach(file.sources.front()->bytes);
  Parser(file).parseFile();
  if (diag.errorState() != 0) return false;
  const Settings& settings = file.run.settings;
  std::unique_ptr<OutputFile> output = file.run.fileSystem.createReplacement(outputPath);
  if (!settings.checkOnly || settings.listing) {
    file.reader.attach(file.sources.front()->bytes);
    file.macros.clearMacros();
    enterDefinitions(file, state, file.reader.currentLine());
    OutputSink sink(*output);
    Emitter emitter(file, sink);
    if (emitter.emitFile() != 0) return false;
    sink.flush();
  }
  output->commit();
  return true;
}

void printListing(FileContext& file) {
  Diagnostics& diag = file.run.diag;
  diag.reportMessage(Msg::ListingLabels, kNoPrefix);
  if (file.maxSwitchDepth == 0) return;
  diag.reportMessage(Msg::ListingNames, kNoPrefix);
  for (int n = 1; n <= file.maxSwitchDepth; ++n) {
    diag.out() << "        " << temporaryName(file.queuedFilePath, n) << '\n';
  }
}

void reportOutOfMemory(Diagnostics& diag, int line) {
  try {
    diag.reportMessage(Msg::OutOfMemory, line);
  } catch (const AbortFile&) {
  }
}

}  // namespace

void compileFile(RunContext& run, DriverState& state, const std::string& path) {
  Diagnostics& diag = run.diag;
  FileContext file(run, path);
  enterDefinitions(file, state, state.lastLine);
  if (diag.errorState() != 0) throw RunStopped{};
  diag.out() << path << ":\n";
  const std::string outputPath = outputPathOf(path);
  diag.setCurrentFileName(path);
  if (run.settings.checkInput && !run.fileSystem.canReadStatus(path)) {
    diag.reportMessage(Msg::InputStatus, kNoLine);
  }
  // A pass that failed with errors that let it go on skips the listing; a
  // thrown message or a file error does not.
  bool passFailed = false;
  try {
    readSource(file, path);
    passFailed = !compilePass(file, state, outputPath);
  } catch (const FileError& error) {
    diag.out() << describeFileError(error) << '\n';
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
