// One run: options, the compile queue and the exit status.
#include "driver/run.h"

#include <new>
#include <sstream>

#include "driver/compile_file.h"
#include "driver/long_options.h"
#include "driver/options.h"
#include "preproc/define_directive.h"

namespace pelc {
namespace {

constexpr int kStatusSuccess = 0;
constexpr int kStatusFailure = 1;
constexpr int kStatusCommandLine = 255;  // -1 as a process status

std::vector<std::string> preparedDefinitions(const Settings& settings) {
  std::vector<std::string> definitions = settings.defineList;
  for (std::string& text : definitions) prepareCommandLineDefinition(text);
  return definitions;
}

/// Whether entering the texts prints no message at all.
bool definitionsAreSilent(const std::vector<std::string>& definitions) {
  std::ostringstream printed;
  Diagnostics quiet(printed);
  MacroTable table;
  try {
    enterCommandLineDefinitions(table, quiet, kNoLine, definitions);
  } catch (const AbortFile&) {
    return false;
  }
  return printed.str().empty();
}

/// The dependency file of a run that succeeded, replaced as a whole like an
/// output; a failed run leaves the one of the last good run.
int writeDependencyFile(const Settings& settings, Diagnostics& diag, FileSystem& fileSystem,
                        const std::vector<DependencyRule>& outputs) {
  if (settings.dependencyFile.empty() || settings.checkWithoutOutput) return kStatusSuccess;
  try {
    std::unique_ptr<OutputFile> file = fileSystem.createReplacement(settings.dependencyFile);
    file->write(dependencyFileText(outputs));
    file->commit();
  } catch (const FileError& error) {
    reportFileError(diag, error);
    return kStatusFailure;
  }
  return kStatusSuccess;
}

/// Compiles every queued file in order, including files queued meanwhile.
int runCompileQueue(const Settings& settings, Diagnostics& diag, FileSystem& fileSystem) {
  CompileQueue queue;
  RunContext run{settings, diag, fileSystem, queue};
  DriverState state;
  state.nextOutputPath = settings.outputPath;
  state.definitions = preparedDefinitions(settings);
  state.definitionsSilent = definitionsAreSilent(state.definitions);
  queue.start(settings.inputPath.substr(0, 255));
  try {
    for (std::size_t index = 0; index < queue.size(); ++index) {
      // A copy: compiling the file may queue more and move the queue's entries.
      const std::string path = queue.at(index);
      compileFile(run, state, path);
    }
  } catch (const RunStopped&) {
    return kStatusFailure;
  } catch (const AbortFile&) {
    return kStatusFailure;
  }
  // Status 0 means every queued file compiled and was written.
  const bool clean = !diag.anyError() && !state.fileErrorSeen;
  if (!clean) return kStatusFailure;
  return writeDependencyFile(settings, diag, fileSystem, state.outputs);
}

/// Message -203, which is thrown: it ends the run where it is caught.
void reportOutOfMemory(Diagnostics& diag) {
  try {
    diag.reportMessage(Msg::OutOfMemory, kNoLine);
  } catch (const AbortFile&) {
  }
}

}  // namespace

int runPelc(std::span<const std::string> args, std::ostream& out, FileSystem& fileSystem,
            const RunEnvironment& environment) {
  Diagnostics diag(out, readDiagnosticStyle(args, environment.outputIsTerminal));
  std::optional<Settings> settings;
  int statusWithoutRun = kStatusFailure;
  try {
    settings = readCommandLine(args, diag, statusWithoutRun);
  } catch (const AbortFile&) {
    return kStatusCommandLine;
  } catch (const std::bad_alloc&) {
    // Like every other problem of the command line, a thrown message.
    reportOutOfMemory(diag);
    return kStatusCommandLine;
  }
  if (!settings) return statusWithoutRun;
  settings->emissionThread = environment.emissionThread;
  try {
    return runCompileQueue(*settings, diag, fileSystem);
  } catch (const std::bad_alloc&) {
    reportOutOfMemory(diag);
    return kStatusFailure;
  }
}

}  // namespace pelc
