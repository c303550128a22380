// The benchmark source generator.
#include "source_generator.h"

#include <random>
#include <string_view>

namespace pelc::bench {
namespace {

constexpr int kMacroCount = 200;
constexpr int kFeatureCount = 8;
constexpr int kIncludeCount = 6;
constexpr int kMaxDepth = 6;
// Output is handed to the stream in pieces of about this size.
constexpr std::size_t kFlushBytes = 1 << 20;

/// Buffers text and counts what was written.
class Sink {
 public:
  explicit Sink(std::ostream& out) : out_(out) { buffer_.reserve(kFlushBytes + 4096); }
  ~Sink() { flush(); }
  Sink(const Sink&) = delete;
  Sink& operator=(const Sink&) = delete;

  void line(int indent, std::string_view text) {
    buffer_.append(static_cast<std::size_t>(indent) * 2, ' ');
    buffer_.append(text);
    buffer_.push_back('\n');
    if (buffer_.size() >= kFlushBytes) flush();
  }
  std::size_t written() const { return flushed_ + buffer_.size(); }

 private:
  void flush() {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    flushed_ += buffer_.size();
    buffer_.clear();
  }

  std::ostream& out_;
  std::string buffer_;
  std::size_t flushed_ = 0;
};

/// Random choices from a fixed generator; only raw draws are used, so the bytes are the same
/// with every standard library.
class Dice {
 public:
  explicit Dice(std::uint32_t seed) : engine_(seed) {}
  int below(int n) { return static_cast<int>(engine_() % static_cast<std::uint32_t>(n)); }
  bool chance(int percent) { return below(100) < percent; }
  std::string number(int n) { return std::to_string(below(n)); }

 private:
  std::mt19937 engine_;
};

/// What the statement being written is nested in.
struct Context {
  int depth = 0;
  bool inLoop = false;
};

class ProgramWriter {
 public:
  ProgramWriter(Sink& sink, std::uint32_t seed) : sink_(sink), dice_(seed) {}

  void prologue();
  void unit();
  void epilogue();

 private:
  void statement(Context context);
  void simpleStatement(int indent);
  void braceBody(Context context);
  void body(Context context);
  void ifStatement(Context context);
  void whileLoop(Context context);
  void doLoop(Context context);
  void forLoop(Context context);
  void switchStatement(Context context);
  void caseSection(Context context, std::string_view label, bool withBreak);
  void loopJump(Context context);
  void arrayInitialiser(int indent);
  void conditionalGroup(Context context);
  void includeLine(int indent);
  void commentBlock(int indent);
  void remLine(int indent);
  void redefine(int indent);

  // Appended rather than added to a literal, which GCC 12 misreads as an overlapping copy.
  std::string variable() { return std::string("v").append(dice_.number(100)); }
  std::string macro() { return std::string("K").append(dice_.number(kMacroCount)); }
  std::string operand();
  std::string expression();
  std::string condition();

  Sink& sink_;
  Dice dice_;
};

std::string ProgramWriter::operand() {
  switch (dice_.below(6)) {
    case 0: return macro();
    case 1: return dice_.number(1000);
    case 2: return "'" + std::string(1, static_cast<char>('A' + dice_.below(26))) + "'";
    default: return variable();
  }
}

std::string ProgramWriter::expression() {
  static constexpr std::string_view kOperators[] = {" + ", " - ", " * ", " / "};
  std::string text = operand();
  for (int terms = dice_.below(4); terms > 0; --terms) {
    text += kOperators[dice_.below(4)];
    text += operand();
  }
  return text;
}

std::string ProgramWriter::condition() {
  static constexpr std::string_view kComparisons[] = {" < ", " > ", " == ", " != ", " <= ", " >= "};
  std::string text = "(" + variable() + std::string(kComparisons[dice_.below(6)]) + operand();
  if (dice_.chance(30)) {
    text += dice_.chance(50) ? " && " : " || ";
    text += variable() + std::string(kComparisons[dice_.below(6)]) + operand();
  }
  if (dice_.chance(10)) text = "(" + text + ")";
  return text + ")";
}

void ProgramWriter::prologue() {
  sink_.line(0, "REM generated benchmark source: every construct, nested");
  for (int i = 0; i < kMacroCount; ++i) {
    // Some macros are built from others, so expansion nests.
    const std::string value = i > 10 && i % 3 == 0
                                  ? "(K" + std::to_string(i / 3) + " + " + std::to_string(i) + ")"
                                  : std::to_string(i * 7 + 1);
    sink_.line(0, "#define K" + std::to_string(i) + " " + value);
  }
  for (int i = 0; i < kFeatureCount; i += 2) sink_.line(0, "#define FEATURE" + std::to_string(i));
  sink_.line(0, "total = 0");
}

void ProgramWriter::epilogue() { sink_.line(0, "EXIT"); }

void ProgramWriter::unit() {
  sink_.line(0, "");
  if (dice_.chance(20)) commentBlock(0);
  if (dice_.chance(15)) includeLine(0);
  for (int count = 1 + dice_.below(4); count > 0; --count) statement(Context{});
}

void ProgramWriter::simpleStatement(int indent) {
  std::string text = variable() + " = " + expression();
  switch (dice_.below(12)) {
    case 0: text += " /* " + macro() + " note */"; break;
    case 1: text = "msg = \"text with " + macro() + " kept /* as it is */\""; break;
    case 2: text = "CALL report(" + variable() + ", " + operand() + ")"; break;
    case 3: text += " + \\"; sink_.line(indent, text); text = "    " + operand(); break;
    default: break;
  }
  sink_.line(indent, text);
}

void ProgramWriter::statement(Context context) {
  const int indent = context.depth;
  const int pick = context.depth >= kMaxDepth ? 10 + dice_.below(10) : dice_.below(26);
  switch (pick) {
    case 0: case 1: case 2: return ifStatement(context);
    case 3: return whileLoop(context);
    case 4: return doLoop(context);
    case 5: return forLoop(context);
    case 6: return switchStatement(context);
    case 7: return arrayInitialiser(indent);
    case 8: return conditionalGroup(context);
    case 9: return loopJump(context);
    case 10: return remLine(indent);
    case 11: return redefine(indent);
    default: return simpleStatement(indent);
  }
}

void ProgramWriter::braceBody(Context context) {
  sink_.line(context.depth, "{");
  ++context.depth;
  simpleStatement(context.depth);
  for (int count = dice_.below(4); count > 0; --count) statement(context);
  sink_.line(context.depth - 1, "}");
}

void ProgramWriter::body(Context context) {
  if (dice_.chance(35)) {
    ++context.depth;
    simpleStatement(context.depth);
  } else {
    braceBody(context);
  }
}

void ProgramWriter::ifStatement(Context context) {
  sink_.line(context.depth, "IF " + condition());
  body(context);
  if (dice_.chance(25)) {
    sink_.line(context.depth, "ELSE IF " + condition());
    body(context);
  }
  if (dice_.chance(40)) {
    sink_.line(context.depth, "ELSE");
    body(context);
  }
}

void ProgramWriter::loopJump(Context context) {
  if (!context.inLoop) return simpleStatement(context.depth);
  sink_.line(context.depth, "IF " + condition());
  sink_.line(context.depth + 1, dice_.chance(50) ? "CONTINUE" : "EXITLOOP");
}

void ProgramWriter::whileLoop(Context context) {
  sink_.line(context.depth, "WHILE " + condition());
  context.inLoop = true;
  braceBody(context);
}

void ProgramWriter::doLoop(Context context) {
  sink_.line(context.depth, "DO");
  context.inLoop = true;
  braceBody(context);
  sink_.line(context.depth, "WHILE " + condition());
}

void ProgramWriter::forLoop(Context context) {
  const std::string counter = "i" + dice_.number(10);
  sink_.line(context.depth, "FOR (" + counter + " = 0; " + counter + " < " + macro() + "; " +
                                counter + " = " + counter + " + 1)");
  context.inLoop = true;
  body(context);
}

void ProgramWriter::caseSection(Context context, std::string_view label, bool withBreak) {
  sink_.line(context.depth, label);
  ++context.depth;
  simpleStatement(context.depth);
  if (dice_.chance(40)) statement(context);
  if (withBreak) sink_.line(context.depth, "BREAK");
}

void ProgramWriter::switchStatement(Context context) {
  sink_.line(context.depth, "SWITCH (" + variable() + ")");
  sink_.line(context.depth, "{");
  for (int value = 1 + dice_.below(4); value > 0; --value) {
    const std::string label = dice_.chance(20) ? "CASE " + std::to_string(value * 10) + ":" +
                                                     std::to_string(value * 10 + 9)
                                               : "CASE " + std::to_string(value);
    caseSection(context, label, dice_.chance(80));
  }
  if (dice_.chance(60)) caseSection(context, "DEFAULT", false);
  sink_.line(context.depth, "}");
}

void ProgramWriter::arrayInitialiser(int indent) {
  sink_.line(indent, "ARRAY table" + dice_.number(50) + "[4] =");
  sink_.line(0, "{ " + dice_.number(100) + ", " + macro() + ",");
  sink_.line(indent + 1, dice_.number(100) + ", " + dice_.number(100) + " }");
}

void ProgramWriter::conditionalGroup(Context context) {
  const std::string feature = "FEATURE" + dice_.number(kFeatureCount);
  sink_.line(0, (dice_.chance(70) ? "#ifdef " : "#ifndef ") + feature);
  statement(context);
  if (dice_.chance(50)) {
    sink_.line(0, "#else");
    statement(context);
  }
  sink_.line(0, "#endif");
}

void ProgramWriter::includeLine(int indent) {
  sink_.line(indent, "#include \"inc_" + dice_.number(kIncludeCount) + ".pmp\"");
}

void ProgramWriter::commentBlock(int indent) {
  sink_.line(indent, "/* " + std::string(dice_.below(40), '-'));
  sink_.line(indent, "   block comment over lines, " + macro() + " is not used here");
  sink_.line(indent, "*/");
}

void ProgramWriter::remLine(int indent) {
  sink_.line(indent, "REM step " + dice_.number(1000) + " of the program { braces stay }");
}

void ProgramWriter::redefine(int indent) {
  const std::string name = "LOCALDEF" + dice_.number(20);
  sink_.line(0, "#define " + name + " " + expression());
  sink_.line(indent, variable() + " = " + name);
  sink_.line(0, "#undef " + name);
}

void writePlainStatements(Sink& sink, std::size_t targetBytes, Dice& dice) {
  while (sink.written() < targetBytes) {
    sink.line(dice.below(3), std::string("v").append(dice.number(100)) + " = v" +
                                 dice.number(100) + " + " + dice.number(100000) + " * w" +
                                 dice.number(50) + " - x" + dice.number(20));
  }
}

}  // namespace

std::vector<IncludedFile> includedFiles() {
  std::vector<IncludedFile> files;
  for (int i = 0; i < kIncludeCount; ++i) {
    std::string bytes = "REM included file " + std::to_string(i) + "\n";
    bytes += "#define INC" + std::to_string(i) + " (K" + std::to_string(i) + " + 1)\n";
    bytes += "shared" + std::to_string(i) + " = INC" + std::to_string(i) + " /* from here */\n";
    bytes += "IF (shared" + std::to_string(i) + " > K1)\n{\n  counter = counter + 1\n}\n";
    files.push_back({"inc_" + std::to_string(i) + ".pmp", std::move(bytes)});
  }
  return files;
}

std::size_t writeSource(SourceKind kind, std::size_t targetBytes, std::ostream& out,
                        std::uint32_t seed) {
  Sink sink(out);
  if (kind == SourceKind::PlainStatements) {
    Dice dice(seed);
    writePlainStatements(sink, targetBytes, dice);
    return sink.written();
  }
  ProgramWriter writer(sink, seed);
  writer.prologue();
  while (sink.written() < targetBytes) writer.unit();
  writer.epilogue();
  return sink.written();
}

}  // namespace pelc::bench
