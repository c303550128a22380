// The code emitter.
#include "codegen/emitter.h"

#include <cstdio>

#include "base/text.h"
#include "parser/temporary_names.h"
#include "preproc/define_directive.h"
#include "source/line_reader.h"

namespace pelc {
namespace {

/// The part of a path after its last '/', '\' or ':'.
std::string displayNameOf(const std::string& path) {
  const std::size_t cut = path.find_last_of("/\\:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

template <class Record>
const Record& recordOf(const Node& node) {
  return *static_cast<const Record*>(node.record);
}

}  // namespace

Emitter::Emitter(const EmittedFile& file, Diagnostics& diag,
                 std::span<const std::string> definitions, int definitionLine, BodyBuffer& body)
    : source_(file.source),
      path_(file.path),
      diag_(diag),
      settings_(file.settings),
      body_(body),
      sink_(body),
      out_(sink_, reader_, file.settings, diag) {
  // The -D texts are entered once more, as for every emission: their messages
  // come out again here. The lines come from the parse already expanded, so
  // the table itself is not needed.
  MacroTable definitionTable;
  enterCommandLineDefinitions(definitionTable, diag_, definitionLine, definitions);
  reader_.attach(source_.bytes);
  displayName_ = displayNameOf(path_);
  out_.setInitialMarker(1, displayName_);
}

void Emitter::emitNodes(std::span<const Node> nodes) {
  for (const Node& node : nodes) emitNode(node);
}

void Emitter::emitSettled(std::span<const Node> nodes, std::int32_t settled) {
  emitNodes(nodes);
  if (settled <= copyCursor_) return;
  out_.copySource(copyCursor_, settled);
  copyCursor_ = settled;
}

int Emitter::finish(std::span<const Node> nodes, const ParsedFileEnd& end) {
  end_ = end;
  expectSwitchDepth(end_.maxSwitchDepth);
  if (end_.maxSwitchDepth > 0 && end_.exitSeen) epilogueLabel_ = end_.nextLabel;
  emitNodes(nodes);
  out_.copySource(copyCursor_, static_cast<std::int32_t>(source_.bytes.size()));
  emitEpilogue();
  sink_.flush();
  return diag_.anyError() ? 29 : 0;
}

std::string Emitter::composeHead(int switchDepth) const {
  std::string head;
  const bool markers = !settings_.suppressLineMarkers;
  if (switchDepth > 0) {
    if (markers) head += "#line 0 \"" + displayName_ + "\"\n";
    for (int n = 1; n <= switchDepth; ++n) {
      head += "LOCAL " + temporaryName(path_, n) + "\n";
    }
    head += "\n";
  }
  // The first marker names the file unless the head already did.
  if (const std::optional<std::int32_t> line = out_.heldInitialMarker()) {
    head += "#line " + std::to_string(*line);
    if (switchDepth == 0) head += " \"" + displayName_ + "\"";
    head += "\n";
  }
  // As every other output line, the head leaves with CR LF line ends.
  std::string crlf;
  crlf.reserve(head.size() * 2);
  for (const char c : head) {
    if (c == '\n') crlf.push_back('\r');
    crlf.push_back(c);
  }
  return crlf;
}

void Emitter::expectSwitchDepth(int switchDepth) {
  body_.expectHead(composeHead(switchDepth).size());
}

std::unique_ptr<OutputFile> Emitter::takeOutput() {
  return body_.takeOutput(composeHead(end_.maxSwitchDepth));
}

void Emitter::emitEpilogue() {
  const int depth = end_.maxSwitchDepth;
  if (depth == 0) return;
  if (end_.exitSeen) labelLine(epilogueLabel_);
  out_.addLine("\n");
  for (int n = 1; n <= depth; ++n) {
    out_.addLine("CLEAR " + temporaryName(path_, n) + "\n");
  }
}

void Emitter::emitNode(const Node& node) {
  switch (node.kind) {
    case NodeKind::Silent:
      return emitSilent(recordOf<SilentRecord>(node));
    case NodeKind::Goto:
      return emitGoto(recordOf<GotoRecord>(node));
    case NodeKind::Statement:
      return emitStatement(recordOf<StatementRecord>(node));
    case NodeKind::Exit:
      return emitExit(recordOf<ExitRecord>(node));
    case NodeKind::Do:
      return emitDo(recordOf<DoRecord>(node));
    case NodeKind::DoEnd:
      return emitDoEnd(recordOf<DoEndRecord>(node));
    case NodeKind::For:
      return emitFor(recordOf<ForRecord>(node));
    case NodeKind::ForEnd:
      return emitForEnd(recordOf<ForEndRecord>(node));
    case NodeKind::If:
      return emitIf(recordOf<IfRecord>(node));
    case NodeKind::Else:
      return emitElse(recordOf<ElseRecord>(node));
    case NodeKind::IfEnd:
      return emitIfEnd(recordOf<IfEndRecord>(node));
    case NodeKind::Switch:
      return emitSwitch(recordOf<SwitchRecord>(node));
    case NodeKind::Case:
      return emitCase(recordOf<CaseRecord>(node));
    case NodeKind::Default:
      return emitDefault(recordOf<DefaultRecord>(node));
    case NodeKind::SwitchBreak:
      return emitSwitchBreak(recordOf<SwitchBreakRecord>(node));
    case NodeKind::SwitchEnd:
      return emitSwitchEnd(recordOf<SwitchEndRecord>(node));
    case NodeKind::While:
      return emitWhile(recordOf<WhileRecord>(node));
    case NodeKind::WhileEnd:
      return emitWhileEnd(recordOf<WhileEndRecord>(node));
    case NodeKind::Include:
      return emitInclude(recordOf<IncludeRecord>(node));
    case NodeKind::IncludeEnd:
      return emitIncludeEnd(recordOf<IncludeEndRecord>(node));
    case NodeKind::Define:
    case NodeKind::Undef:
      return emitDirective(recordOf<DirectiveRecord>(node));
    case NodeKind::Ifdef:
    case NodeKind::IfdefElse:
      return emitBranch(recordOf<BranchRecord>(node));
    case NodeKind::IfdefEnd:
      return emitEndif(recordOf<EndifRecord>(node));
  }
  diag_.throwMessage(Msg::BadNodeKind, kNoLine);
}

// ---- the recurring steps -------------------------------------------------

void Emitter::leadIn(const LineHead& head) {
  out_.copySource(copyCursor_, head.startPos);
  out_.setLineMarker(head.startLine);
}

void Emitter::echo(const LineHead& head, bool notAtEol) {
  if (settings_.echoSource) out_.echoCopy(head.startPos, head.endPos, notAtEol);
}

void Emitter::echoWithoutFlag(const LineHead& head) {
  if (!settings_.echoSource) return;
  out_.echoCopy(head.startPos, head.endPos, !out_.endsWithLineFeed(head.startPos, head.endPos));
}

void Emitter::leadOut(const LineHead& head) {
  copyCursor_ = head.endPos;
  out_.setLineMarker(head.endLine);
}

void Emitter::endAt(const EndHead& head) {
  out_.copySource(copyCursor_, head.position);
  out_.setLineMarker(head.headLine);
}

void Emitter::resumeAfterEnd(const EndHead& head) {
  copyCursor_ = head.position;
  out_.setLineMarker(head.line);
}

/// A line that passes into the output as it stands, without markers.
void Emitter::passThrough(const LineHead& head, bool notAtEol) {
  out_.copySource(copyCursor_, head.startPos);
  out_.copySource(head.startPos, head.endPos);
  if (notAtEol) out_.completeLine();
  copyCursor_ = head.endPos;
}

void Emitter::gotoLine(std::int32_t label) { out_.addLabel("GOTO PML", label); }
void Emitter::indentedGoto(std::int32_t label) { out_.addLabel("    GOTO PML", label); }
void Emitter::labelLine(std::int32_t label) { out_.addLabel(":PML", label); }
void Emitter::labelLineIfSet(std::int32_t label) {
  if (label != 0) labelLine(label);
}

void Emitter::conditionLine(std::string_view format, std::string_view condition) {
  const std::size_t at = format.find("%s");
  addComposedLine({format.substr(0, at), condition, format.substr(at + 2)});
}

void Emitter::addComposedLine(std::initializer_list<std::string_view> pieces) {
  composedLine_.clear();
  for (const std::string_view piece : pieces) composedLine_.append(piece);
  out_.addLine(composedLine_);
}

// ---- lines as the parse left them ----------------------------------------

// The parse keeps the final text of every line that is written as it stands
// but changed (macros expanded, comments removed), so the emitter needs no
// macro table and reads no line again.
void Emitter::rewriteLine(const LineHead& head, std::string_view text) {
  echoLineIfAsked(head);
  // Normalised, a line of blanks would be empty, and an empty line is not written.
  if (isAllBlank(text)) return;
  out_.addNormalizedLine(text);
}

void Emitter::emitStatement(const StatementRecord& record) {
  leadIn(record);
  rewriteLine(record, record.text);
  leadOut(record);
}

void Emitter::emitDirective(const DirectiveRecord& record) {
  leadIn(record);
  echoLineIfAsked(record);
  leadOut(record);
}

void Emitter::echoLineIfAsked(const LineHead& head) {
  if (!settings_.echoSource) return;
  out_.flushLineMarker();
  out_.echoLine(head.startPos, head.endPos);
}

// ---- node kinds ------------------------------------------------------------

void Emitter::emitSilent(const SilentRecord& record) {
  leadIn(record);
  echo(record, record.notAtEol);
  leadOut(record);
}

void Emitter::emitGoto(const GotoRecord& record) {
  leadIn(record);
  echoWithoutFlag(record);
  gotoLine(record.targetLabel);
  leadOut(record);
}

void Emitter::emitExit(const ExitRecord& record) {
  if (end_.maxSwitchDepth == 0) {
    if (!record.rewriteMark.any()) return passThrough(record, record.notAtEol);
    leadIn(record);
    rewriteLine(record, record.text);
    return leadOut(record);
  }
  leadIn(record);
  echo(record, record.notAtEol);
  gotoLine(epilogueLabel_);
  leadOut(record);
}

void Emitter::emitDo(const DoRecord& record) {
  leadIn(record);
  echo(record, record.notAtEol);
  labelLine(record.topLabel);
  leadOut(record);
}

void Emitter::emitDoEnd(const DoEndRecord& record) {
  leadIn(record);
  echoWithoutFlag(record);
  const DoRecord& loop = *record.loop;
  labelLineIfSet(loop.continueLabel);
  conditionLine("IF %s\n", record.condition);
  indentedGoto(loop.topLabel);
  labelLineIfSet(loop.exitLabel);
  leadOut(record);
}

void Emitter::emitFor(const ForRecord& record) {
  leadIn(record);
  echo(record, record.notAtEol);
  if (record.init) out_.addLine(*record.init + "\n");
  if (record.condition) gotoLine(record.testLabel);
  labelLine(record.topLabel);
  leadOut(record);
}

void Emitter::emitForEnd(const ForEndRecord& record) {
  endAt(record);
  const ForRecord& loop = *record.loop;
  labelLineIfSet(loop.continueLabel);
  if (loop.step) out_.addLine(*loop.step + "\n");
  if (loop.condition) {
    labelLine(loop.testLabel);
    conditionLine("IF (%s)\n", *loop.condition);
    indentedGoto(loop.topLabel);
  } else {
    gotoLine(loop.topLabel);
  }
  labelLineIfSet(loop.exitLabel);
  resumeAfterEnd(record);
}

void Emitter::emitIf(const IfRecord& record) {
  switch (record.form) {
    case IfForm::PassThrough:
      if (!record.rewriteMark.any()) return passThrough(record, record.notAtEol);
      leadIn(record);
      rewriteLine(record, record.text);
      return leadOut(record);
    case IfForm::Plain:
      leadIn(record);
      echo(record, record.notAtEol);
      conditionLine("IF %s\n", record.condition);
      return leadOut(record);
    default:
      leadIn(record);
      echo(record, record.notAtEol);
      conditionLine("IF %s\n", record.condition);
      indentedGoto(record.elseLabel);
      return leadOut(record);
  }
}

void Emitter::emitElse(const ElseRecord& record) {
  leadIn(record);
  if (record.startPos != record.endPos) echo(record, record.notAtEol);
  gotoLine(record.ownLabel);
  labelLine(record.ifElseLabel);
  leadOut(record);
}

void Emitter::emitIfEnd(const IfEndRecord& record) {
  endAt(record);
  labelLine(record.endLabel);
  resumeAfterEnd(record);
}

void Emitter::emitSwitch(const SwitchRecord& record) {
  leadIn(record);
  echo(record, record.notAtEol);
  addComposedLine({record.temporaryName, " = ", record.expression, "\n"});
  leadOut(record);
}

void Emitter::emitCase(const CaseRecord& record) {
  leadIn(record);
  echo(record, record.notAtEol);
  if (record.fallThroughLabel != 0) gotoLine(record.fallThroughLabel);
  labelLineIfSet(record.previousNextLabel);
  const std::string& temporary = record.owner->temporaryName;
  if (!record.high) {
    addComposedLine({"IF (", temporary, "!=(", record.low, "))\n"});
  } else {
    addComposedLine(
        {"IF ((", temporary, "<(", record.low, "))||(", temporary, ">(", *record.high, ")))\n"});
  }
  indentedGoto(record.nextLabel);
  labelLineIfSet(record.fallThroughLabel);
  leadOut(record);
}

void Emitter::emitDefault(const DefaultRecord& record) {
  leadIn(record);
  echo(record, record.notAtEol);
  labelLineIfSet(record.nextLabel);
  leadOut(record);
}

void Emitter::emitSwitchBreak(const SwitchBreakRecord& record) {
  leadIn(record);
  echo(record, record.notAtEol);
  gotoLine(record.breakLabel);
  leadOut(record);
}

void Emitter::emitSwitchEnd(const SwitchEndRecord& record) {
  endAt(record);
  labelLineIfSet(record.nextLabel);
  labelLineIfSet(record.breakLabel);
  resumeAfterEnd(record);
}

void Emitter::emitWhile(const WhileRecord& record) {
  leadIn(record);
  echo(record, record.notAtEol);
  gotoLine(record.testLabel);
  labelLine(record.topLabel);
  leadOut(record);
}

void Emitter::emitWhileEnd(const WhileEndRecord& record) {
  endAt(record);
  const WhileRecord& loop = *record.loop;
  labelLine(loop.testLabel);
  conditionLine("IF %s\n", loop.condition);
  indentedGoto(loop.topLabel);
  labelLineIfSet(loop.exitLabel);
  resumeAfterEnd(record);
}

void Emitter::emitInclude(const IncludeRecord& record) {
  leadIn(record);
  echoWithoutFlag(record);
  includeStack_.push_back(IncludeFrame{diag_.currentFileName(), displayName_, reader_.saveState(),
                                       record.endLine, record.endPos});
  diag_.setCurrentFileName(record.foundPath);
  displayName_ = record.displayText;
  reader_.attach(record.source->bytes);
  copyCursor_ = 0;
  out_.setLineMarker(1, displayName_);
}

void Emitter::emitIncludeEnd(const IncludeEndRecord& record) {
  out_.copySource(copyCursor_, record.eofPosition);
  IncludeFrame frame = std::move(includeStack_.back());
  includeStack_.pop_back();
  diag_.setCurrentFileName(std::move(frame.fileName));
  displayName_ = std::move(frame.displayName);
  reader_.restoreState(frame.reader);
  copyCursor_ = frame.endPosition;
  out_.setLineMarker(frame.line, displayName_);
}

void Emitter::emitBranch(const BranchRecord& record) {
  if (record.state == BranchState::InSkippedText) return;
  leadIn(record);
  if (settings_.echoSource) out_.echoLine(record.startPos, record.endPos);
  if (record.state == BranchState::Skipped) {
    copyCursor_ = record.skippedEndPos;
    out_.setLineMarker(record.skippedEndLine);
    return;
  }
  leadOut(record);
}

void Emitter::emitEndif(const EndifRecord& record) {
  if (record.closedState == BranchState::InSkippedText) return;
  leadIn(record);
  if (settings_.echoSource) out_.echoLine(record.startPos, record.endPos);
  leadOut(record);
}

}  // namespace pelc
