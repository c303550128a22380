// Tests of message printing, severities, the error state and syntax errors.
#include "diag/diagnostics.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <set>
#include <sstream>
#include <string>

namespace pelc {
namespace {

/// Reports one message; true when it was thrown.
bool thrown(Diagnostics& diag, Msg msg, int line) {
  try {
    diag.reportMessage(msg, line);
  } catch (const AbortFile&) {
    return true;
  }
  return false;
}

TEST(DiagnosticsTest, PrintedLine) {
  struct Case {
    const char* label;
    std::optional<std::string> fileName;
    Msg msg;
    int line;
    std::string expected;
  };
  const std::string longName = std::string(200, 'd') + "/prog.pmp";
  const Case cases[] = {
      {"file and line", "prog.pmp", Msg::NoJumpTarget, 12,
       "prog.pmp (12): Prompt not found: pnum = 242\n"},
      {"file only for line 0", "prog.pmp", Msg::InputStatus, kNoLine,
       "prog.pmp: Prompt not found: pnum = 251\n"},
      {"no prefix although a file is current", "prog.pmp", Msg::Usage, kNoPrefix,
       "Prompt not found: pnum = 1\n"},
      {"no prefix without a file", std::nullopt, Msg::ListingLabels, kNoPrefix,
       "Prompt not found: pnum = 33\n"},
      {"pelc without a file, line given", std::nullopt, Msg::TooManyBlocks, 12,
       "pelc: Prompt not found: pnum = 238\n"},
      {"pelc without a file, line 0", std::nullopt, Msg::TooManyOptions, kNoLine,
       "pelc: Prompt not found: pnum = 257\n"},
      {"number without sign", "a.pmp", Msg::OutOfMemory, 3,
       "a.pmp (3): Prompt not found: pnum = 203\n"},
      {"warning keeps its number", "a.pmp", Msg::MacroRedefined, 4,
       "a.pmp (4): Prompt not found: pnum = 121\n"},
      {"prefix longer than 127 characters printed whole", longName, Msg::SyntaxAtTopLevel, 7,
       longName + " (7): Prompt not found: pnum = 236\n"},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    Diagnostics diag(out);
    diag.setCurrentFileName(c.fileName);
    thrown(diag, c.msg, c.line);
    EXPECT_EQ(out.str(), c.expected) << c.label;
  }
}

TEST(DiagnosticsTest, EveryMessageNumberHasItsSeverity) {
  // The complete list of numbers the compiler uses, and the errors that return.
  const std::set<int> allCodes = {-1,   -201, -203, -211, -223, -236, -238, -239, -241, -242, -243,
                                  -244, -245, -246, -247, -248, -250, -251, -252, -253, -254, -255,
                                  -256, -257, -260, 1,    21,   33,   34,   121,  122,  123};
  const std::set<int> returning = {-255, -254, -246, -245, -244, -243, -242, -236};

  std::set<int> tableCodes;
  for (const MessageInfo& info : kMessageTable) tableCodes.insert(codeOf(info.msg));
  EXPECT_EQ(tableCodes, allCodes);

  for (const MessageInfo& info : kMessageTable) {
    const int code = codeOf(info.msg);
    std::ostringstream out;
    Diagnostics diag(out);
    diag.setCurrentFileName("f.pmp");
    const bool wasThrown = thrown(diag, info.msg, 5);
    if (code > 0) {
      EXPECT_FALSE(wasThrown) << code;
      EXPECT_EQ(diag.errorState(), ErrorState::None)
          << "warnings and information leave no error: " << code;
    } else {
      EXPECT_EQ(wasThrown, returning.count(code) == 0) << code;
      EXPECT_EQ(diag.errorState(), ErrorState::Error) << code;
    }
  }
}

TEST(DiagnosticsTest, FatalModeThrowsEveryError) {
  struct Case {
    const char* label;
    Msg msg;
    bool expectThrown;
  };
  const Case cases[] = {
      {"returning error", Msg::NoJumpTarget, true},
      {"syntax error", Msg::SyntaxAtTopLevel, true},
      {"thrown error", Msg::MisplacedDirective, true},
      {"warning", Msg::ExtraText, false},
      {"information", Msg::ListingLabels, false},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    Diagnostics diag(out);
    diag.enterFatalMode();
    EXPECT_EQ(thrown(diag, c.msg, 1), c.expectThrown) << c.label;
    EXPECT_EQ(diag.errorState(), ErrorState::Fatal) << c.label << ": fatal mode is never left";
    EXPECT_NE(out.str().find("pnum = " + std::to_string(std::abs(codeOf(c.msg)))),
              std::string::npos)
        << c.label << ": the message is still printed";
  }
}

// Callers that cannot go on use throwMessage; it must print and record exactly what
// reportMessage does for the same message, and always throw.
TEST(DiagnosticsTest, ThrowMessageMatchesTheReportOfAThrownMessage) {
  for (const bool fatal : {false, true}) {
    for (const MessageInfo& info : kMessageTable) {
      const bool throwable = info.severity == Severity::Thrown || (fatal && codeOf(info.msg) < 0);
      if (!throwable) continue;
      std::ostringstream reported;
      std::ostringstream raised;
      Diagnostics reportDiag(reported);
      Diagnostics throwDiag(raised);
      for (Diagnostics* diag : {&reportDiag, &throwDiag}) {
        diag->setCurrentFileName("f.pmp");
        if (fatal) diag->enterFatalMode();
      }
      EXPECT_TRUE(thrown(reportDiag, info.msg, 9)) << codeOf(info.msg);
      EXPECT_THROW(throwDiag.throwMessage(info.msg, 9), AbortFile) << codeOf(info.msg);
      EXPECT_EQ(raised.str(), reported.str()) << codeOf(info.msg);
      EXPECT_EQ(throwDiag.errorState(), reportDiag.errorState()) << codeOf(info.msg);
    }
  }
}

TEST(DiagnosticsTest, ErrorStateOnlyRises) {
  std::ostringstream out;
  Diagnostics diag(out);
  EXPECT_EQ(diag.errorState(), ErrorState::None);
  EXPECT_FALSE(thrown(diag, Msg::MissingArgument, 1));
  EXPECT_EQ(diag.errorState(), ErrorState::None);
  EXPECT_FALSE(thrown(diag, Msg::NoJumpTarget, 2));
  EXPECT_EQ(diag.errorState(), ErrorState::Error);
  EXPECT_FALSE(thrown(diag, Msg::ExtraText, 3));
  EXPECT_FALSE(thrown(diag, Msg::ExpansionTooLong, 4))
      << "an earlier error does not make later ones fatal";
  EXPECT_EQ(diag.errorState(), ErrorState::Error);
  diag.enterFatalMode();
  diag.markError();
  EXPECT_EQ(diag.errorState(), ErrorState::Fatal) << "marking an error does not lower fatal mode";
}

class FakeBlocks final : public SyntaxContext {
 public:
  explicit FakeBlocks(bool open) : open_(open) {}
  bool anyBlockOpen() const override { return open_; }

 private:
  bool open_;
};

TEST(DiagnosticsTest, SyntaxErrorDependsOnOpenBlocks) {
  struct Case {
    const char* label;
    std::optional<bool> blockOpen;  // none: no context installed
    bool fatal;
    std::string expected;
    bool expectThrown;
  };
  const Case cases[] = {
      {"top level", false, false, "s.pmp (9): Prompt not found: pnum = 236\n", false},
      {"inside a block", true, false, "s.pmp (9): Prompt not found: pnum = 255\n", false},
      {"no context counts as top level", std::nullopt, false,
       "s.pmp (9): Prompt not found: pnum = 236\n", false},
      {"fatal mode throws", true, true, "s.pmp (9): Prompt not found: pnum = 255\n", true},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    Diagnostics diag(out);
    diag.setCurrentFileName("s.pmp");
    std::optional<FakeBlocks> blocks;
    if (c.blockOpen) {
      blocks.emplace(*c.blockOpen);
      diag.setSyntaxContext(&*blocks);
    }
    if (c.fatal) diag.enterFatalMode();
    bool wasThrown = false;
    try {
      diag.reportSyntaxError(9);
    } catch (const AbortFile&) {
      wasThrown = true;
    }
    EXPECT_EQ(out.str(), c.expected) << c.label;
    EXPECT_EQ(wasThrown, c.expectThrown) << c.label;
    EXPECT_EQ(diag.errorState(), c.fatal ? ErrorState::Fatal : ErrorState::Error) << c.label;
  }
}

}  // namespace
}  // namespace pelc
