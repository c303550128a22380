// The message format and its colour, taken from the options before anything else is read.
#include "driver/long_options.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>
#include <vector>

namespace pelc {
namespace {

/// Sets an environment variable for one scope and puts the old value back.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;
  ~ScopedVariable() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(LongOptionsTest, FormatAndColourComeFromTheOptionsTheTerminalAndNoColor) {
  using F = DiagnosticFormat;
  struct Case {
    const char* label;
    std::vector<std::string> args;
    bool terminal;
    const char* noColor;  // nullptr: not set
    F format;
    bool color;
  };
  const Case cases[] = {
      {"default", {"prog"}, true, nullptr, F::Numbers, false},
      {"text on a terminal", {"--diagnostics=text", "prog"}, true, nullptr, F::Text, true},
      {"text into a pipe", {"--diagnostics=text", "prog"}, false, nullptr, F::Text, false},
      {"NO_COLOR set", {"--diagnostics=text", "prog"}, true, "1", F::Text, false},
      {"NO_COLOR empty counts as unset", {"--diagnostics=text", "prog"}, true, "", F::Text, true},
      {"always wins over a pipe and NO_COLOR",
       {"--diagnostics=text", "--color=always", "prog"}, false, "1", F::Text, true},
      {"never on a terminal", {"--color=never", "--diagnostics=text", "prog"}, true, nullptr,
       F::Text, false},
      {"JSON is never coloured", {"--diagnostics=json", "--color=always", "prog"}, true, nullptr,
       F::Json, false},
      {"the last one wins", {"--diagnostics=json", "-L", "--diagnostics", "text", "prog"}, false,
       nullptr, F::Text, false},
      {"after the input it is positional", {"prog", "--diagnostics=text"}, true, nullptr,
       F::Numbers, false},
      {"an invalid value is left to the reader", {"--diagnostics=xml", "prog"}, true, nullptr,
       F::Numbers, false},
  };
  const ScopedVariable term("TERM", "xterm");
  for (const Case& c : cases) {
    const ScopedVariable noColor("NO_COLOR", c.noColor);
    const DiagnosticStyle style = readDiagnosticStyle(c.args, c.terminal);
    EXPECT_EQ(style.format, c.format) << c.label;
    EXPECT_EQ(style.color, c.color) << c.label;
  }
}

}  // namespace
}  // namespace pelc
