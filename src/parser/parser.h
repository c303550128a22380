// The statement loop: logical lines into directives, grammar steps and nodes.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "parser/file_context.h"
#include "parser/keyword.h"
#include "parser/statement_tables.h"
#include "preproc/directives.h"
#include "preproc/macro_expander.h"

namespace pelc {

/// Takes the nodes of finished top-level constructs while the parse goes on.
class NodeConsumer {
 public:
  /// Takes every node of `nodes` and leaves the list empty; nothing in the
  /// parse refers to them any more, and every byte of the queued file before
  /// `settled` is final: covered by these nodes or copied through.
  virtual void consumeNodes(NodeList& nodes, std::int32_t settled) = 0;

 protected:
  ~NodeConsumer() = default;
};

/// Parses one queued file with its includes into the file's node list. The
/// constructs reach the services they share through it, the directives too.
class Parser final : public DirectiveLine {
 public:
  explicit Parser(FileContext& file);

  /// Parses the whole file; the node list is left filled.
  void parseFile();

  /// From now on, nodes that nothing later can change are handed to
  /// `consumer` and dropped from the list, as long as no error was reported.
  void setNodeConsumer(NodeConsumer* consumer) { consumer_ = consumer; }

  FileContext& file() override { return file_; }
  Diagnostics& diag() override { return file_.run.diag; }
  NodeList& nodes() { return file_.nodes; }
  BlockStack& blocks() { return file_.blocks; }
  LabelCounter& labels() { return file_.labels; }
  SourceReader& reader() { return file_.reader; }
  MacroExpander& expander() { return expander_; }

  /// The logical line being handled.
  const LineInfo& line() const override { return line_; }
  const std::string& lineText() const { return lineText_; }
  /// The physical line counter after the current line.
  std::int32_t endLine() const { return file_.reader.currentLine(); }
  bool notAtEol() const { return !line_.endedWithNewline; }

  /// Bytes left in the 2048-byte line buffer after the line and its terminator.
  std::size_t lineBufferRoom() const;

  /// Appends a node whose head is the current line.
  template <class Record>
  Record& appendLineNode(NodeKind kind) {
    Record& record = file_.nodes.appendNode<Record>(kind);
    fillHead(record);
    return record;
  }
  void fillHead(LineHead& head) const;
  void appendSilentNode() override;
  void appendDefinitionNode(DirectiveEffect effect) override;
  ConditionalBranch& appendBranchNode(bool elseBranch) override;
  void appendEndifNode(BranchState closedState) override;
  void appendIncludeNode(const SourceFile& source, std::string_view name) override;
  void appendIncludeEndNode(std::int32_t eofPosition) override;
  /// A copy of the current line's text that lives as long as its nodes.
  std::string_view keepLineText() { return file_.nodes.keepText(lineText_); }
  /// A statement node for the current line, whose text is `text`.
  void appendStatementNode(RewriteMark rewriteMark, std::string_view text);
  void appendStatementNode(RewriteMark rewriteMark) { appendStatementNode(rewriteMark, lineText_); }

  /// Syntax error at the current line: -236 at top level, -255 in a block.
  void reportSyntaxError(const SyntaxProblem& problem = {});

  /// The jump of a BREAK, CONTINUE or EXITLOOP that the top block does not
  /// handle itself: searched below the top block.
  void findJumpTarget(int token, JumpClass wanted);

  /// One transition of the grammar; 1 when the token was not allowed.
  int stepGrammar(int& token, std::string_view keyword, std::string_view rest);

  /// Reads the next logical line into `text` and the current line record
  /// (used by ARRAY initialisers); 0 at the end of the source.
  std::size_t readLine(std::string& text, bool* commentRemoved);
  /// Makes `info` the current line record again and the reading go on after
  /// it, at physical line `lineAfter`: the line read since comes again.
  void readAgainAfter(const LineInfo& info, std::int32_t lineAfter);

 private:
  void dispatchLines();
  void dispatchLine(RewriteMark rewriteMark);
  void dispatchDirective(const DirectiveRow& row, const Keyword& keyword, RewriteMark rewriteMark,
                         bool expanded);
  void dispatchStatement(const KeywordRows& rows, const Keyword& keyword,
                         RewriteMark rewriteMark);
  void startBlockOrTransfer(const KeywordRows& rows, std::string_view rest,
                            RewriteMark rewriteMark);
  void closeOpenBlocks();
  void reportUnexpected(int token, std::string_view keyword);
  // Asked after every line, so the cheap size test is inline.
  bool handOverDue() const {
    constexpr std::size_t kHandOverNodes = 16384;
    constexpr std::int32_t kHandOverBytes = 1 << 22;
    if (file_.nodes.size() < kHandOverNodes &&
        file_.reader.sourcePosition() - handedOverTo_ < kHandOverBytes) {
      return false;
    }
    return nothingRefersBack();
  }
  bool nothingRefersBack() const;

  FileContext& file_;
  MacroExpander expander_;
  NodeConsumer* consumer_ = nullptr;
  std::int32_t handedOverTo_ = 0;
  LineInfo line_;
  std::string lineText_;
};

}  // namespace pelc
