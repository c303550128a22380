// The option reader: option letters, positional arguments, derived paths.
#include "driver/options.h"

#include <string_view>

#include "paths/paths.h"

namespace pelc {

namespace {

/// Switches that live only while the command line is read.
struct OptionState {
  Settings settings;
  bool compileSwitch = true;
  bool sSwitch = false;
  bool helpShown = false;
};

[[noreturn]] void usageError(Diagnostics& diag) { diag.throwMessage(Msg::Usage, kNoPrefix); }

void setBaseDirectory(OptionState& state, std::string_view value, Diagnostics& diag) {
  if (value.empty() || !state.settings.baseDirectory.empty()) usageError(diag);
  std::string directory(value.substr(0, kCommandLinePathLimit));
  normalizePath(directory);
  state.settings.baseDirectory = std::move(directory);
}

void addDefine(OptionState& state, std::string_view value, Diagnostics& diag) {
  if (value.empty()) usageError(diag);
  if (state.settings.defineList.size() == kMaxDefines) {
    diag.throwMessage(Msg::TooManyOptions, kNoLine);
  }
  state.settings.defineList.emplace_back(value);
}

void addIncludeDirectory(OptionState& state, std::string_view value, Diagnostics& diag) {
  if (value.empty()) usageError(diag);
  if (state.settings.includeOptionList.size() == kMaxIncludeOptions) {
    diag.throwMessage(Msg::TooManyOptions, kNoLine);
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
      state.compileSwitch = false;
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
      state.sSwitch = true;
      return true;
    case 'u':
      settings.checkInput = true;
      return true;
    default:
      return false;
  }
}

/// Options for builds, which take a file: `--name=FILE`.
bool readLongOption(OptionState& state, std::string_view argument, Diagnostics& diag) {
  const auto valueOf = [&](std::string_view name) -> std::optional<std::string> {
    if (!argument.starts_with(name) || argument.substr(name.size(), 1) != "=") return std::nullopt;
    std::string value(argument.substr(name.size() + 1));
    if (value.empty()) usageError(diag);
    return value;
  };
  if (auto file = valueOf("--output")) {
    state.settings.outputPath = std::move(*file);
  } else if (auto file = valueOf("--depfile")) {
    state.settings.dependencyFile = std::move(*file);
  } else {
    return false;
  }
  return true;
}

/// Reads one option argument (without its leading '-').
void readOptionArgument(OptionState& state, std::string_view letters, Diagnostics& diag) {
  for (std::size_t i = 0; i < letters.size(); ++i) {
    const std::string_view rest = letters.substr(i + 1);
    switch (letters[i]) {
      case '?':
        if (rest.empty() || rest[0] != '?') usageError(diag);
        diag.reportMessage(Msg::HelpFirst, kNoPrefix);
        diag.reportMessage(Msg::HelpSecond, kNoPrefix);
        state.helpShown = true;
        return;
      case 'V':
      case 'v':
        diag.out() << kVersionBanner;
        usageError(diag);
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
        if (!applyFlag(state, letters[i])) usageError(diag);
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

}  // namespace

std::optional<Settings> readCommandLine(std::span<const std::string> args, Diagnostics& diag) {
  OptionState state;
  std::size_t index = 0;
  for (; index < args.size() && !args[index].empty() && args[index][0] == '-'; ++index) {
    if (readLongOption(state, args[index], diag)) continue;
    readOptionArgument(state, std::string_view(args[index]).substr(1), diag);
    if (state.helpShown) return std::nullopt;
  }
  const std::size_t positional = args.size() - index;
  if (positional == 0 || positional > 2 || !state.compileSwitch ||
      (state.sSwitch && state.settings.checkOnly)) {
    usageError(diag);
  }
  deriveInputPath(state.settings, args[index]);
  return std::move(state.settings);
}

}  // namespace pelc
