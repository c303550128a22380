// The code emitter: a parsed node list and its source into output pieces.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/settings.h"
#include "codegen/body_buffer.h"
#include "codegen/output_assembly.h"
#include "ir/node_list.h"
#include "source/source_file.h"

namespace pelc {

/// What the emitter is told of the file it writes when it starts.
struct EmittedFile {
  const SourceFile& source;  // the queued file; included ones come with their nodes
  std::string path;          // as queued: the markers' file name, the temporaries' seed
  const Settings& settings;
};

/// What only the end of the parse knows. No node that depends on it is emitted
/// before: an EXIT keeps every later node in the parse until the end.
struct ParsedFileEnd {
  int maxSwitchDepth = 0;      // the SWITCH temporaries to declare and release
  bool exitSeen = false;       // an EXIT jumps to the release, which then needs a label
  std::int32_t nextLabel = 1;  // the first label number the parse left unused
};

/// Walks the node list once, copying the source between nodes and writing
/// each node's lines in place of its bytes. The nodes may arrive in pieces
/// while the parse goes on: every piece ends where no construct is open, so
/// no later node refers back into it. The output's head (the temporaries of
/// SWITCH statements) depends on the whole file and is written last, in
/// front of the body collected meanwhile. Holds no state between files.
class Emitter {
 public:
  /// Starts the output of `file`; the prepared -D texts are entered once more
  /// for their messages (which carry `definitionLine`). Its messages go to
  /// `diag`.
  Emitter(const EmittedFile& file, Diagnostics& diag, std::span<const std::string> definitions,
          int definitionLine, BodyBuffer& body);

  /// Emits nodes of finished constructs.
  void emitNodes(std::span<const Node> nodes);
  /// Emits nodes of finished constructs, then copies the source through up
  /// to `settled`, before which no later node begins.
  void emitSettled(std::span<const Node> nodes, std::int32_t settled);

  /// Emits the last nodes, the rest of the source and the file's end;
  /// 0 on success, 29 when an error was reported.
  int finish(std::span<const Node> nodes, const ParsedFileEnd& end);

  /// The deepest SWITCH nesting seen so far, for the room that the body's
  /// file leaves for the head.
  void expectSwitchDepth(int switchDepth);

  /// The output file with the head followed by the body, ready to commit.
  std::unique_ptr<OutputFile> takeOutput();

 private:
  struct IncludeFrame {
    std::optional<std::string> fileName;
    std::string displayName;
    SourceReader::State reader;
    std::int32_t line = 0;
    std::int32_t endPosition = 0;
  };

  /// The head in front of the body when `switchDepth` is the file's deepest
  /// SWITCH nesting, with CR LF line ends.
  std::string composeHead(int switchDepth) const;
  void emitEpilogue();
  void emitNode(const Node& node);

  void leadIn(const LineHead& head);
  void echo(const LineHead& head, bool notAtEol);
  void echoWithoutFlag(const LineHead& head);
  void leadOut(const LineHead& head);
  void endAt(const EndHead& head);
  void resumeAfterEnd(const EndHead& head);
  void passThrough(const LineHead& head, bool notAtEol);

  void gotoLine(std::int32_t label);
  void indentedGoto(std::int32_t label);
  void labelLine(std::int32_t label);
  void labelLineIfSet(std::int32_t label);
  void conditionLine(std::string_view format, std::string_view condition);
  void addComposedLine(std::initializer_list<std::string_view> pieces);

  void rewriteLine(const LineHead& head, std::string_view text);
  /// With -M, the source line of `head` as a REM line.
  void echoLineIfAsked(const LineHead& head);
  void emitStatement(const StatementRecord& record);
  void emitDirective(const DirectiveRecord& record);

  void emitSilent(const SilentRecord& record);
  void emitGoto(const GotoRecord& record);
  void emitExit(const ExitRecord& record);
  void emitDo(const DoRecord& record);
  void emitDoEnd(const DoEndRecord& record);
  void emitFor(const ForRecord& record);
  void emitForEnd(const ForEndRecord& record);
  void emitIf(const IfRecord& record);
  void emitElse(const ElseRecord& record);
  void emitIfEnd(const IfEndRecord& record);
  void emitSwitch(const SwitchRecord& record);
  void emitCase(const CaseRecord& record);
  void emitDefault(const DefaultRecord& record);
  void emitSwitchBreak(const SwitchBreakRecord& record);
  void emitSwitchEnd(const SwitchEndRecord& record);
  void emitWhile(const WhileRecord& record);
  void emitWhileEnd(const WhileEndRecord& record);
  void emitInclude(const IncludeRecord& record);
  void emitIncludeEnd(const IncludeEndRecord& record);
  void emitBranch(const BranchRecord& record);
  void emitEndif(const EndifRecord& record);

  const SourceFile& source_;
  const std::string path_;
  ParsedFileEnd end_;
  Diagnostics& diag_;
  const Settings& settings_;
  SourceReader reader_;
  BodyBuffer& body_;
  OutputSink sink_;
  OutputAssembly out_;

  std::int32_t copyCursor_ = 0;
  std::string displayName_;
  std::vector<IncludeFrame> includeStack_;
  std::int32_t epilogueLabel_ = 0;
  // Generated lines are put together here: several per construct, and a fresh
  // string for each would cost more than writing the text.
  std::string composedLine_;
};

}  // namespace pelc
