// The code emitter: a parsed node list and its source into output pieces.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "codegen/node_list.h"
#include "codegen/output_assembly.h"
#include "parser/file_context.h"
#include "preproc/macro_expander.h"

namespace pelc {

/// Walks the node list once, copying the source between nodes and writing
/// each node's lines in place of its bytes. Holds no state between files.
class Emitter {
 public:
  Emitter(FileContext& file, OutputSink& sink);

  /// Emits the whole file; 0 on success, 29 when an error was reported.
  int emitFile();

  /// Generated labels that the output really uses.
  std::int32_t labelsUsed() const { return labelsUsed_; }

 private:
  struct IncludeFrame {
    std::optional<std::string> fileName;
    std::string displayName;
    SourceReader::State reader;
    std::int32_t line = 0;
    std::int32_t endPosition = 0;
  };

  void emitPrologue();
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
  void conditionLine(const char* format, const std::string& condition);

  void reemitLine(const LineHead& head, std::int32_t rewriteMark);
  void replayDirective(const LineHead& head, bool define);
  std::size_t rereadLine(std::string& text, bool splitBraces);

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

  FileContext& file_;
  Diagnostics& diag_;
  const Settings& settings_;
  SourceReader& reader_;
  OutputAssembly out_;
  MacroExpander expander_;

  std::int32_t copyCursor_ = 0;
  std::string displayName_;
  std::vector<IncludeFrame> includeStack_;
  std::int32_t epilogueLabel_ = 0;
  std::int32_t labelsUsed_ = 0;
  std::string rereadText_;
  std::string secondLine_;
};

}  // namespace pelc
