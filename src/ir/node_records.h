// The records that the parse leaves for the emitter, one type per node kind.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "preproc/conditional_branch.h"

namespace pelc {

struct SourceFile;

enum class NodeKind : std::uint32_t {
  Silent = 0,
  Goto = 1,
  Statement = 2,
  Exit = 3,
  Do = 4,
  DoEnd = 5,
  For = 6,
  ForEnd = 7,
  If = 8,
  Else = 9,
  IfEnd = 10,
  Switch = 11,
  Case = 12,
  Default = 13,
  SwitchBreak = 14,
  SwitchEnd = 15,
  While = 16,
  WhileEnd = 17,
  Include = 18,
  IncludeEnd = 19,
  Define = 20,
  Undef = 21,
  Ifdef = 22,
  IfdefElse = 23,
  IfdefEnd = 24,
};

/// Why a line is written as the parse left it instead of copied from the
/// source. Only whether there is a reason matters to the output.
struct RewriteMark {
  bool commentRemoved = false;
  bool macrosExpanded = false;
  /// An ARRAY line and its `{` line, written as one.
  bool joinedWithBrace = false;

  bool any() const { return commentRemoved || macrosExpanded || joinedWithBrace; }
};

/// Base of every record, so a node can refer to any of them.
struct NodeRecord {};

/// The span of source bytes a node replaces, and the lines around it.
struct LineHead : NodeRecord {
  std::int32_t startPos = 0;
  std::int32_t endPos = 0;
  std::int32_t startLine = 0;
  std::int32_t endLine = 0;
};

/// Closing code placed at a position without consuming bytes.
struct EndHead : NodeRecord {
  std::int32_t position = 0;
  std::int32_t headLine = 0;
  std::int32_t line = 0;
};

struct SilentRecord : LineHead {
  bool notAtEol = false;
};

struct GotoRecord : LineHead {
  std::int32_t targetLabel = 0;
};

struct StatementRecord : LineHead {
  bool notAtEol = false;
  RewriteMark rewriteMark;
  /// The line as the parse left it (expanded, comments removed), which the
  /// emitter writes; for an ARRAY line with its "{" line, both joined.
  std::string_view text;
};

struct ExitRecord : LineHead {
  RewriteMark rewriteMark;
  bool notAtEol = false;
  /// The line as the parse left it, when rewriteMark is set.
  std::string_view text;
};

struct DoRecord : LineHead {
  std::int32_t topLabel = 0;
  std::int32_t continueLabel = 0;
  std::int32_t exitLabel = 0;
  bool notAtEol = false;
};

struct DoEndRecord : LineHead {
  std::string condition;
  const DoRecord* loop = nullptr;
};

struct ForRecord : LineHead {
  std::optional<std::string> init;
  std::optional<std::string> condition;
  std::optional<std::string> step;
  std::int32_t testLabel = 0;
  std::int32_t continueLabel = 0;
  std::int32_t topLabel = 0;
  std::int32_t exitLabel = 0;
  bool notAtEol = false;
};

struct ForEndRecord : EndHead {
  const ForRecord* loop = nullptr;
};

enum class IfForm : std::int32_t {
  PassThrough = 0,
  Plain = 1,
  NegatedUndecided = 2,
  Labelled = 3,
  LabelledWithElse = 4,
};

struct IfRecord : LineHead {
  std::string condition;
  IfForm form = IfForm::NegatedUndecided;
  RewriteMark rewriteMark;
  /// The line as the parse left it, when rewriteMark is set: a PassThrough
  /// IF is written as it stands.
  std::string_view text;
  std::int32_t elseLabel = 0;
  std::int32_t endLabel = 0;
  bool notAtEol = false;
};

struct ElseRecord : LineHead {
  std::int32_t ownLabel = 0;
  std::int32_t ifElseLabel = 0;
  bool notAtEol = false;
};

struct IfEndRecord : EndHead {
  std::int32_t endLabel = 0;
};

struct SwitchRecord : LineHead {
  std::string expression;
  std::string temporaryName;
  std::int32_t previousNextLabel = 0;
  std::int32_t nextLabel = 0;
  std::int32_t breakLabel = 0;
  bool notAtEol = false;
};

struct CaseRecord : LineHead {
  const SwitchRecord* owner = nullptr;
  std::string low;
  std::optional<std::string> high;
  std::int32_t fallThroughLabel = 0;
  std::int32_t previousNextLabel = 0;
  std::int32_t nextLabel = 0;
  bool notAtEol = false;
};

struct DefaultRecord : LineHead {
  std::int32_t nextLabel = 0;
  bool notAtEol = false;
};

struct SwitchBreakRecord : LineHead {
  std::int32_t breakLabel = 0;
  bool notAtEol = false;
};

struct SwitchEndRecord : EndHead {
  std::int32_t nextLabel = 0;
  std::int32_t breakLabel = 0;
};

struct WhileRecord : LineHead {
  std::string condition;
  std::int32_t testLabel = 0;
  std::int32_t topLabel = 0;
  std::int32_t exitLabel = 0;
  bool notAtEol = false;
};

struct WhileEndRecord : EndHead {
  const WhileRecord* loop = nullptr;
};

struct IncludeRecord : LineHead {
  std::string foundPath;
  std::string displayText;
  /// The bytes read at the parse; the emitter copies the very same bytes.
  const SourceFile* source = nullptr;
};

struct IncludeEndRecord : NodeRecord {
  std::int32_t eofPosition = 0;
};

/// #DEFINE and #UNDEF lines that changed the macro table.
struct DirectiveRecord : LineHead {};

struct BranchRecord : LineHead, ConditionalBranch {};

struct EndifRecord : LineHead {
  BranchState closedState = BranchState::Taken;
};

}  // namespace pelc
