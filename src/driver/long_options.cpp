// Long options: the table, the format of messages, and the texts of --help
// and --version.
#include "driver/long_options.h"

#include <array>
#include <cstdlib>
#include <string_view>

#include "diag/explanations.h"
#include "driver/options.h"

namespace pelc {
namespace {

/// What an option does with its value; the result ends the run when set.
using ApplyOption = std::optional<int> (*)(std::string_view value, Settings& settings,
                                           Diagnostics& diag);

struct LongOption {
  std::string_view name;
  std::string_view value;  // shown in --help; empty when the option takes none
  std::string_view help;
  ApplyOption apply;
};

std::optional<DiagnosticFormat> formatNamed(std::string_view name) {
  if (name == "numbers") return DiagnosticFormat::Numbers;
  if (name == "text") return DiagnosticFormat::Text;
  if (name == "json") return DiagnosticFormat::Json;
  return std::nullopt;
}

enum class ColorChoice { Auto, Always, Never };

std::optional<ColorChoice> colorNamed(std::string_view name) {
  if (name == "auto") return ColorChoice::Auto;
  if (name == "always") return ColorChoice::Always;
  if (name == "never") return ColorChoice::Never;
  return std::nullopt;
}

std::optional<int> applyOutput(std::string_view value, Settings& settings, Diagnostics& diag) {
  if (value.empty()) usageError(diag, "option '--output' needs a file name");
  settings.outputPath = std::string(value);
  return std::nullopt;
}

std::optional<int> applyDepfile(std::string_view value, Settings& settings, Diagnostics& diag) {
  if (value.empty()) usageError(diag, "option '--depfile' needs a file name");
  settings.dependencyFile = std::string(value);
  return std::nullopt;
}

std::optional<int> applyCheck(std::string_view, Settings& settings, Diagnostics&) {
  settings.checkWithoutOutput = true;
  return std::nullopt;
}

// The format itself was taken before any option was read.
std::optional<int> applyDiagnostics(std::string_view value, Settings&, Diagnostics& diag) {
  if (!formatNamed(value)) {
    usageError(diag,
               "'--diagnostics' takes numbers, text or json, not '" + std::string(value) + "'");
  }
  return std::nullopt;
}

std::optional<int> applyColor(std::string_view value, Settings&, Diagnostics& diag) {
  if (!colorNamed(value)) {
    usageError(diag, "'--color' takes auto, always or never, not '" + std::string(value) + "'");
  }
  return std::nullopt;
}

std::optional<int> applyExplain(std::string_view value, Settings&, Diagnostics& diag) {
  const std::optional<std::string> text = explainMessage(value);
  if (!text) usageError(diag, "no message is numbered or named '" + std::string(value) + "'");
  diag.helpText(*text);
  return 0;
}

std::optional<int> applyHelp(std::string_view, Settings&, Diagnostics& diag) {
  diag.helpText(helpText());
  return 0;
}

std::optional<int> applyVersion(std::string_view, Settings&, Diagnostics& diag) {
  diag.helpText("pelc " PELC_VERSION "\n");
  return 0;
}

constexpr std::array kLongOptions = {
    LongOption{"output", "FILE", "write the input's output to FILE", applyOutput},
    LongOption{"depfile", "FILE", "after a good run, write what each output reads", applyDepfile},
    LongOption{"check", "", "parse and report every file, write no file at all", applyCheck},
    LongOption{"diagnostics", "FORMAT", "messages as numbers (the default), text or json",
               applyDiagnostics},
    LongOption{"color", "WHEN", "colour text messages: auto, always or never", applyColor},
    LongOption{"explain", "N", "explain message N and exit", applyExplain},
    LongOption{"help", "", "show this help and exit", applyHelp},
    LongOption{"version", "", "print the version and exit", applyVersion},
};

const LongOption* findLongOption(std::string_view name) {
  for (const LongOption& option : kLongOptions) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

/// The name and, after '=', the value of "--name=value".
struct SplitOption {
  std::string_view name;
  std::optional<std::string_view> value;
};

SplitOption splitOption(std::string_view argument) {
  argument.remove_prefix(2);
  const std::size_t equals = argument.find('=');
  if (equals == std::string_view::npos) return {argument, std::nullopt};
  return {argument.substr(0, equals), argument.substr(equals + 1)};
}

bool colorWanted(ColorChoice choice, bool outputIsTerminal) {
  if (choice != ColorChoice::Auto) return choice == ColorChoice::Always;
  const char* noColor = std::getenv("NO_COLOR");
  const char* term = std::getenv("TERM");
  return outputIsTerminal && (noColor == nullptr || *noColor == '\0') &&
         !(term != nullptr && std::string_view(term) == "dumb");
}

}  // namespace

std::optional<int> readLongOption(std::span<const std::string> args, std::size_t& index,
                                  Settings& settings, Diagnostics& diag) {
  const std::string& argument = args[index];
  const auto [name, attached] = splitOption(argument);
  const LongOption* option = findLongOption(name);
  if (option == nullptr) usageError(diag, "unknown option '" + argument + "'");
  std::string_view value;
  if (option->value.empty()) {
    if (attached) usageError(diag, "option '--" + std::string(name) + "' takes no value");
  } else if (attached) {
    value = *attached;
  } else if (index + 1 < args.size()) {
    value = args[++index];
  } else {
    usageError(diag, "option '--" + std::string(name) + "' needs a value");
  }
  return option->apply(value, settings, diag);
}

DiagnosticStyle readDiagnosticStyle(std::span<const std::string> args, bool outputIsTerminal) {
  DiagnosticStyle style;
  ColorChoice color = ColorChoice::Auto;
  for (std::size_t index = 0; index < args.size(); ++index) {
    const std::string_view argument = args[index];
    if (argument.empty() || argument[0] != '-') break;
    if (!argument.starts_with("--")) continue;
    const auto [name, attached] = splitOption(argument);
    const LongOption* option = findLongOption(name);
    if (option == nullptr) break;  // a usage error: nothing after it is read
    std::string_view value = attached.value_or("");
    if (!option->value.empty() && !attached && index + 1 < args.size()) value = args[++index];
    if (name == "diagnostics") style.format = formatNamed(value).value_or(style.format);
    if (name == "color") color = colorNamed(value).value_or(color);
  }
  style.color = style.format == DiagnosticFormat::Text && colorWanted(color, outputIsTerminal);
  return style;
}

std::string helpText() {
  struct Row {
    std::string_view usage, help;
  };
  static constexpr Row kLetters[] = {
      {"-Bdir", "base folder of CHAIN and DOSUB names (default: input's)"},
      {"-DNAME[=text]", "define a macro for every file (at most 30)"},
      {"-Idir", "also look for #INCLUDE files in dir (at most 11)"},
      {"-L", "after each file, list its labels and generated names"},
      {"-M", "echo every translated statement as a REM line"},
      {"-N", "do not compile the files named by CHAIN and DOSUB"},
      {"-X", "write no #line markers"},
      {"-d", "check only; write an empty output file (unless -L)"},
      {"-s", "accepted; not together with -d"},
      {"-u", "keep up-to-date outputs; stop at a missing file (251)"},
      {"-P, -S", "accepted, no effect"},
      {"-V, -v", "print the version banner, then the usage error"},
      {"-??", "print the two help messages"},
  };
  std::string text =
      "usage: pelc [options] input [second]\n"
      "\n"
      "Compiles input.pmp (whatever extension is given) into input.pml beside it, and\n"
      "every file it names in CHAIN or DOSUB. Options come before the input; letters\n"
      "may share one argument (-LMX).\n"
      "\n";
  const auto addRow = [&text](std::string usage, std::string_view help) {
    usage.resize(std::max<std::size_t>(usage.size(), 21), ' ');
    text.append("  ").append(usage).append(" ").append(help).append("\n");
  };
  for (const Row& row : kLetters) addRow(std::string(row.usage), row.help);
  for (const LongOption& option : kLongOptions) {
    std::string usage = "--" + std::string(option.name);
    if (!option.value.empty()) usage.append("=").append(option.value);
    addRow(usage, option.help);
  }
  text +=
      "\n"
      "Exit status: 0 every file compiled and written (or checked); 1 an error was\n"
      "reported, a file could not be read or written, or -?? was given; 255 the\n"
      "command line was not accepted.\n"
      "\n"
      "Manual: man pelc. Messages: pelc --explain N.\n";
  return text;
}

}  // namespace pelc
