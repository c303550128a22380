// Conditional compilation: #IFDEF, #IFNDEF, #ELSE, #ENDIF and the end-of-file check.
#include "base/text.h"
#include "parser/constructs.h"
#include "parser/parser.h"
#include "preproc/macro_table.h"

namespace pelc {
namespace {

void warnExtraText(Parser& parser, std::string_view keyword, std::string_view text) {
  if (!isAllBlank(text)) {
    parser.diag().reportMessage(Msg::ExtraText, parser.line().startLine,
                                {{"keyword", std::string(keyword)}});
  }
}

bool groupOfThisFileOpen(const ConditionalState& state) {
  return state.depth() > state.fileConditionalBase;
}

/// A skipped branch ends at this line: the emitter jumps to it.
void closeSkippedBranch(Parser& parser, BranchRecord& branch) {
  if (branch.state != 1) return;
  branch.skippedEndPos = parser.line().startPos;
  branch.state = parser.line().startLine;
}

}  // namespace

void ifdefDirective(Parser& parser, std::string_view name, std::string_view rest) {
  Diagnostics& diag = parser.diag();
  const int line = parser.line().startLine;
  std::string macroName;
  const std::optional<std::size_t> stop = scanWord(rest, macroName);
  if (!stop || isMacroName(macroName) != macroName.size()) {
    diag.enterFatalMode();
    diag.reportMessage(Msg::BadMacroName, line, {{"directive", std::string(name)}});
    return;
  }
  warnExtraText(parser, std::string(name) + " " + macroName, rest.substr(*stop));
  ConditionalState& state = parser.file().conditionals;
  if (state.depth() + 1 > kMaxConditionalDepth) {
    diag.throwMessage(Msg::NestingTooDeep, line, {{"directive", std::string(name)}});
  }
  auto& branch = parser.appendLineNode<BranchRecord>(NodeKind::Ifdef);
  if (state.skipping) {
    branch.state = -1;
  } else {
    std::size_t index = 0;
    const bool defined = parser.file().macros.findMacro(macroName, index) == 0;
    const bool wantDefined = compareKeywords(name, "#IFNDEF") != 0;
    branch.state = defined == wantDefined ? 0 : 1;
  }
  state.skipping = branch.state != 0;
  state.groups.push_back(ConditionalGroup{&branch, nullptr});
}

void elseDirective(Parser& parser, std::string_view name, std::string_view rest) {
  warnExtraText(parser, name, rest);
  ConditionalState& state = parser.file().conditionals;
  if (!groupOfThisFileOpen(state) || state.groups.back().elseBranch != nullptr) {
    parser.diag().throwMessage(Msg::MisplacedDirective, parser.line().startLine,
                               {{"directive", std::string(name)}});
  }
  auto& branch = parser.appendLineNode<BranchRecord>(NodeKind::IfdefElse);
  ConditionalGroup& group = state.groups.back();
  const int ifdefState = group.ifdefBranch->state;
  closeSkippedBranch(parser, *group.ifdefBranch);
  branch.state = ifdefState == -1 ? -1 : (ifdefState == 0 ? 1 : 0);
  group.elseBranch = &branch;
  state.skipping = branch.state != 0;
}

void endifDirective(Parser& parser, std::string_view name, std::string_view rest) {
  warnExtraText(parser, name, rest);
  ConditionalState& state = parser.file().conditionals;
  if (!groupOfThisFileOpen(state)) {
    parser.diag().throwMessage(Msg::MisplacedDirective, parser.line().startLine,
                               {{"directive", std::string(name)}});
  }
  const ConditionalGroup group = state.groups.back();
  state.groups.pop_back();
  auto& end = parser.appendLineNode<EndifRecord>(NodeKind::IfdefEnd);
  BranchRecord& last = group.elseBranch != nullptr ? *group.elseBranch : *group.ifdefBranch;
  const int lastState = last.state;
  closeSkippedBranch(parser, last);
  end.closedState = lastState;
  state.skipping = lastState == -1;
}

void endOfFileCheck(Parser& parser) {
  const ConditionalState& state = parser.file().conditionals;
  if (state.depth() != state.fileConditionalBase) {
    Diagnostics& diag = parser.diag();
    std::vector<Note> notes;
    for (int i = state.depth(); i-- > state.fileConditionalBase;) {
      const BranchRecord& head = *state.groups[static_cast<std::size_t>(i)].ifdefBranch;
      notes.push_back({diag.currentFileName(), head.startLine, "the group opened here"});
    }
    diag.throwMessage(Msg::OpenConditional, parser.line().startLine, {}, std::move(notes));
  }
}

}  // namespace pelc
