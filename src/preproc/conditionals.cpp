// Conditional compilation: #IFDEF, #IFNDEF, #ELSE, #ENDIF and the end-of-file check.
#include "base/text.h"
#include "preproc/directives.h"
#include "preproc/macro_table.h"

namespace pelc {
namespace {

/// Warns of text after a directive, named with its macro name when it has one.
void warnExtraText(DirectiveLine& at, std::string_view text, std::string_view directive,
                   std::string_view macroName = {}) {
  if (isAllBlank(text)) return;
  std::string keyword(directive);
  if (!macroName.empty()) keyword.append(" ").append(macroName);
  at.diag().reportMessage(Msg::ExtraText, at.line().startLine, {{"keyword", std::move(keyword)}});
}

/// An #ELSE takes its group's other way, unless the group is not read at all.
BranchState elseStateOf(BranchState ifdefState) {
  switch (ifdefState) {
    case BranchState::Taken: return BranchState::Skipped;
    case BranchState::Skipped: return BranchState::Taken;
    case BranchState::InSkippedText: break;
  }
  return BranchState::InSkippedText;
}

bool groupOfThisFileOpen(const ConditionalState& state) {
  return state.depth() > state.fileConditionalBase;
}

/// A skipped branch ends at this line: the emitter jumps to it.
void closeSkippedBranch(DirectiveLine& at, ConditionalBranch& branch) {
  if (branch.state != BranchState::Skipped) return;
  branch.skippedEndPos = at.line().startPos;
  branch.skippedEndLine = at.line().startLine;
}

}  // namespace

void ifdefDirective(DirectiveLine& at, std::string_view name, std::string_view rest) {
  Diagnostics& diag = at.diag();
  const int line = at.line().startLine;
  std::string macroName;
  const std::optional<std::size_t> stop = scanWord(rest, macroName);
  if (!stop || isMacroName(macroName) != macroName.size()) {
    diag.enterFatalMode();
    diag.reportMessage(Msg::BadMacroName, line, {{"directive", std::string(name)}});
    return;
  }
  warnExtraText(at, rest.substr(*stop), name, macroName);
  ConditionalState& state = at.file().conditionals;
  if (state.depth() + 1 > kMaxConditionalDepth) {
    diag.throwMessage(Msg::NestingTooDeep, line, {{"directive", std::string(name)}});
  }
  ConditionalBranch& branch = at.appendBranchNode(false);
  if (state.skipping) {
    branch.state = BranchState::InSkippedText;
  } else {
    std::size_t index = 0;
    const bool defined = at.file().macros.findMacro(macroName, index) == 0;
    const bool wantDefined = compareKeywords(name, "#IFNDEF") != 0;
    branch.state = defined == wantDefined ? BranchState::Taken : BranchState::Skipped;
  }
  state.skipping = branch.state != BranchState::Taken;
  state.groups.push_back(ConditionalGroup{&branch, nullptr, line});
}

void elseDirective(DirectiveLine& at, std::string_view name, std::string_view rest) {
  warnExtraText(at, rest, name);
  ConditionalState& state = at.file().conditionals;
  if (!groupOfThisFileOpen(state) || state.groups.back().elseBranch != nullptr) {
    at.diag().throwMessage(Msg::MisplacedDirective, at.line().startLine,
                           {{"directive", std::string(name)}});
  }
  ConditionalBranch& branch = at.appendBranchNode(true);
  ConditionalGroup& group = state.groups.back();
  closeSkippedBranch(at, *group.ifdefBranch);
  branch.state = elseStateOf(group.ifdefBranch->state);
  group.elseBranch = &branch;
  state.skipping = branch.state != BranchState::Taken;
}

void endifDirective(DirectiveLine& at, std::string_view name, std::string_view rest) {
  warnExtraText(at, rest, name);
  ConditionalState& state = at.file().conditionals;
  if (!groupOfThisFileOpen(state)) {
    at.diag().throwMessage(Msg::MisplacedDirective, at.line().startLine,
                           {{"directive", std::string(name)}});
  }
  const ConditionalGroup group = state.groups.back();
  state.groups.pop_back();
  ConditionalBranch& last = group.elseBranch != nullptr ? *group.elseBranch : *group.ifdefBranch;
  at.appendEndifNode(last.state);
  closeSkippedBranch(at, last);
  state.skipping = last.state == BranchState::InSkippedText;
}

void endOfFileCheck(DirectiveLine& at) {
  const ConditionalState& state = at.file().conditionals;
  if (state.depth() != state.fileConditionalBase) {
    Diagnostics& diag = at.diag();
    std::vector<Note> notes;
    for (int i = state.depth(); i-- > state.fileConditionalBase;) {
      const ConditionalGroup& group = state.groups[static_cast<std::size_t>(i)];
      notes.push_back({diag.currentFileName(), group.ifdefLine, "the group opened here"});
    }
    diag.throwMessage(Msg::OpenConditional, at.line().startLine, {}, std::move(notes));
  }
}

}  // namespace pelc
