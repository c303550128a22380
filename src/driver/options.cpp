// The option reader: option letters, positional arguments, derived paths.
#include "driver/options.h"

#include <string_view>

#include "driver/long_options.h"
#include "paths/paths.h"

namespace pelc {

namespace {

/// Switches that live only while the command line is read.
struct OptionState {
  Settings settings;
  bool compileRefused = false;    // -C turns compiling off, which no run accepts
  bool checkOnlyRefused = false;  // -s: accepted alone, refused with -d
  /// The run ends once the options are read: -??, --help, --version, --explain.
  std::optional<int> endStatus;
};

void setBaseDirectory(OptionState& state, std::string_view value, Diagnostics& diag) {
  if (value.empty()) usageError(diag, "option '-B' needs a directory");
  if (!state.settings.baseDirectory.empty()) usageError(diag, "option '-B' given twice");
  std::string directory(value.substr(0, kCommandLinePathLimit));
  normalizePath(directory);
  state.settings.baseDirectory = std::move(directory);
}

void addDefine(OptionState& state, std::string_view value, Diagnostics& diag) {
  if (value.empty()) usageError(diag, "option '-D' needs a macro name");
  if (state.settings.defineList.size() == kMaxDefines) {
    diag.throwMessage(Msg::TooManyOptions, kNoLine, {{"option", "-D"}});
  }
  state.settings.defineList.emplace_back(value);
}

void addIncludeDirectory(OptionState& state, std::string_view value, Diagnostics& diag) {
  if (value.empty()) usageError(diag, "option '-I' needs a directory");
  if (state.settings.includeOptionList.size() == kMaxIncludeOptions) {
    diag.throwMessage(Msg::TooManyOptions, kNoLine, {{"option", "-I"}});
  }
  std::string directory(value);
  normalizePath(directory);
  state.settings.includeOptionList.push_back("-I" + directory);
}

/// Applies one flag letter; false when the letter is no option.
bool applyFlag(OptionState& state, char letter) {
  Settings& settings = state.settings;
  switch (letter) {
    case 'C':
      state.compileRefused = true;
      return true;
    case 'L':
      settings.listing = true;
      return true;
    case 'M':
      settings.echoSource = true;
      return true;
    case 'N':
      settings.followChains = false;
      return true;
    case 'P':
    case 'S':
      return true;
    case 'X':
      settings.suppressLineMarkers = true;
      return true;
    case 'd':
      settings.checkOnly = true;
      return true;
    case 's':
      state.checkOnlyRefused = true;
      return true;
    case 'u':
      settings.checkInput = true;
      return true;
    default:
      return false;
  }
}

/// Reads one option argument (without its leading '-').
void readOptionArgument(OptionState& state, std::string_view letters, Diagnostics& diag) {
  for (std::size_t i = 0; i < letters.size(); ++i) {
    const std::string_view rest = letters.substr(i + 1);
    switch (letters[i]) {
      case '?':
        if (rest.empty() || rest[0] != '?') {
          usageError(diag, "option '-?' must be doubled: -?? prints the help");
        }
        diag.reportInformation(Msg::HelpFirst, {});
        diag.reportInformation(Msg::HelpSecond, {});
        state.endStatus = 1;
        return;
      case 'V':
      case 'v':
        diag.helpText(kVersionBanner);
        usageError(diag, "'-V' prints the banner, then this error; 'pelc --version' does not fail");
      case 'B':
        setBaseDirectory(state, rest, diag);
        return;
      case 'D':
        addDefine(state, rest, diag);
        return;
      case 'I':
        addIncludeDirectory(state, rest, diag);
        return;
      default:
        if (!applyFlag(state, letters[i])) {
          usageError(diag, "unknown option letter '" + std::string(1, letters[i]) + "' in '-" +
                               std::string(letters) + "'");
        }
    }
  }
}

void deriveInputPath(Settings& settings, std::string_view argument) {
  std::string path(argument.substr(0, kCommandLinePathLimit));
  normalizePath(path);
  replaceExtension(".pmp", path, kCommandLinePathLimit);
  if (settings.baseDirectory.empty()) {
    settings.baseDirectory = directoryOf(path, kCommandLinePathLimit + 1);
  }
  settings.inputPath = std::move(path);
}

/// The positional arguments and the switches that are checked only once all
/// options are read.
void checkPositionals(const OptionState& state, std::span<const std::string> positionals,
                      Diagnostics& diag) {
  if (positionals.empty()) usageError(diag, "no input file");
  if (positionals.size() > 2) {
    usageError(diag, "more than two arguments after the options ('" + positionals[2] + "')");
  }
  if (state.compileRefused) usageError(diag, "option '-C' turns compiling off");
  if (state.checkOnlyRefused && state.settings.checkOnly) {
    usageError(diag, "options '-s' and '-d' cannot be combined");
  }
  if (positionals.size() == 2) {
    diag.warn(Warning::IgnoredArgument, kNoLine, {{"argument", positionals[1]}});
  }
}

}  // namespace

[[noreturn]] void usageError(Diagnostics& diag, std::string reason) {
  diag.throwMessage(Msg::Usage, kNoPrefix, {{"reason", std::move(reason)}});
}

std::optional<Settings> readCommandLine(std::span<const std::string> args, Diagnostics& diag,
                                        int& statusWithoutRun) {
  OptionState state;
  std::size_t index = 0;
  for (; index < args.size() && !args[index].empty() && args[index][0] == '-'; ++index) {
    const std::string_view argument = args[index];
    if (argument.starts_with("--") && argument.size() > 2) {
      state.endStatus = readLongOption(args, index, state.settings, diag);
    } else {
      readOptionArgument(state, argument.substr(1), diag);
    }
    if (state.endStatus) {
      statusWithoutRun = *state.endStatus;
      return std::nullopt;
    }
  }
  checkPositionals(state, args.subspan(index), diag);
  deriveInputPath(state.settings, args[index]);
  return std::move(state.settings);
}

}  // namespace pelc
