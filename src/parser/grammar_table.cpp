// The transition table of the block grammar.
#include "parser/grammar_table.h"

namespace pelc {
namespace {

using enum BlockAction;

constexpr GrammarCell x{NotAllowed, kStay};  // token not allowed
constexpr GrammarCell s{None, kStay};        // nothing happens
constexpr GrammarCell e(BlockAction action, int next) {
  return GrammarCell{action, static_cast<std::int8_t>(next)};
}
constexpr GrammarCell go(int next) { return e(None, next); }
constexpr GrammarCell redo(BlockAction action) { return e(action, kRedo); }

// Columns: BREAK CASE CONTINUE DEFAULT ELSE EXITLOOP WHILE { } other end (unused)
// clang-format off
constexpr std::array<GrammarRow, kGrammarRows> kTransitions = {{
    /* 1 TopLevel */ {x, x, x, x, x, x, s, x, x, s, s, s},
    /* 2 DoHead */
    {e(SwitchJump, 5), x, e(Continue, 5), x, x, e(Exit, 5), e(WhileClosesDo, 0), e(Brace, 3), x,
     go(5), x, s},
    /* 3 DoBraceOpen */
    {e(SwitchJump, 4), x, e(Continue, 4), x, x, e(Exit, 4), go(4), x, x, go(4), x, s},
    /* 4 DoBraceBody */
    {e(SwitchJump, 0), x, e(Continue, 0), x, x, e(Exit, 0), s, x, e(Brace, 5), s, x, s},
    /* 5 DoAwaitWhile */ {x, x, x, x, x, x, e(WhileClosesDo, 0), x, x, x, x, s},
    /* 6 ForHead */
    {e(SwitchJumpEnds, 0), x, e(ContinueEnds, 0), x, x, e(ExitEnds, 0), go(9), e(Brace, 7), x,
     go(9), x, s},
    /* 7 ForBraceOpen */
    {e(SwitchJump, 8), x, e(Continue, 8), x, x, e(Exit, 8), go(8), x, x, go(8), x, s},
    /* 8 ForBraceBody */
    {e(SwitchJump, 0), x, e(Continue, 0), x, x, e(Exit, 0), s, x, e(CloseBrace, 0), s, x, s},
    /* 9 ForDone */
    {redo(EndBefore), redo(EndBefore), redo(EndBefore), redo(EndBefore), redo(EndBefore),
     redo(EndBefore), redo(EndBefore), x, redo(EndBefore), redo(EndBefore), redo(EndBefore), s},
    /* 10 IfHead */
    {e(SwitchJump, 14), x, e(LoopJump, 14), x, x, e(LoopJump, 14), e(IfBody, 14), e(Brace, 11), x,
     e(IfBody, 14), x, s},
    /* 11 IfBraceOpen */
    {e(SwitchJump, 13), x, e(LoopJump, 13), x, x, e(LoopJump, 13), go(12), x, x, go(12), x, s},
    /* 12 IfBraceBody */
    {e(SwitchJump, 13), x, e(LoopJump, 13), x, x, e(LoopJump, 13), s, x, e(CloseIfBody, 14), s, x,
     s},
    /* 13 IfBraceClosing */ {x, x, x, x, x, x, x, x, e(CloseIfBody, 14), x, x, s},
    /* 14 IfDone */
    {redo(EndWithoutElse), redo(EndWithoutElse), redo(EndWithoutElse), redo(EndWithoutElse),
     e(Else, 15), redo(EndWithoutElse), redo(EndWithoutElse), x, redo(EndWithoutElse),
     redo(EndWithoutElse), redo(EndWithoutElse), s},
    /* 15 ElseHead */
    {e(SwitchJumpEnds, 0), x, e(LoopJumpEnds, 0), x, x, e(LoopJumpEnds, 0), go(19), e(Brace, 16), x,
     go(19), x, s},
    /* 16 ElseBraceOpen */
    {e(SwitchJump, 18), x, e(LoopJump, 18), x, x, e(LoopJump, 18), go(17), x, x, go(17), x, s},
    /* 17 ElseBraceBody */
    {e(SwitchJump, 18), x, e(LoopJump, 18), x, x, e(LoopJump, 18), s, x, e(CloseBrace, 0), s, x, s},
    /* 18 ElseBraceClosing */ {x, x, x, x, x, x, x, x, e(CloseBrace, 0), x, x, s},
    /* 19 ElseDone */
    {redo(EndBefore), redo(EndBefore), redo(EndBefore), redo(EndBefore), redo(EndBefore),
     redo(EndBefore), redo(EndBefore), x, redo(EndBefore), redo(EndBefore), redo(EndBefore), s},
    /* 20 SwitchHead */ {x, x, x, x, x, x, x, e(Brace, 21), x, x, x, s},
    /* 21 SwitchBraceOpen */ {x, e(Case, 22), x, e(Default, 24), x, x, x, x, x, x, x, s},
    /* 22 CaseBody */
    {e(Break, 23), e(FallThroughCase, 0), e(LoopJump, 0), e(Default, 24), x, e(LoopJump, 0), s, x,
     e(CloseBrace, 0), s, x, s},
    /* 23 CaseClosing */
    {x, e(Case, 22), x, e(Default, 24), x, x, x, x, e(CloseBrace, 0), x, x, s},
    /* 24 DefaultBody */
    {e(Break, 25), x, e(LoopJump, 0), x, x, e(LoopJump, 0), s, x, e(CloseBrace, 0), s, x, s},
    /* 25 DefaultClosing */ {x, x, x, x, x, x, x, x, e(CloseBrace, 0), x, x, s},
    /* 26 WhileHead */
    {e(SwitchJumpEnds, 0), x, e(ContinueEnds, 0), x, x, e(ExitEnds, 0), go(29), e(Brace, 27), x,
     go(29), x, s},
    /* 27 WhileBraceOpen */
    {e(SwitchJump, 28), x, e(Continue, 28), x, x, e(Exit, 28), go(28), x, x, go(28), x, s},
    /* 28 WhileBraceBody */
    {e(SwitchJump, 0), x, e(Continue, 0), x, x, e(Exit, 0), s, x, e(CloseBrace, 0), s, x, s},
    /* 29 WhileDone */
    {redo(EndBefore), redo(EndBefore), redo(EndBefore), redo(EndBefore), redo(EndBefore),
     redo(EndBefore), redo(EndBefore), x, redo(EndBefore), redo(EndBefore), redo(EndBefore), s},
}};
// clang-format on

}  // namespace

const GrammarRow& grammarRow(int state) { return kTransitions[static_cast<std::size_t>(state - 1)]; }

}  // namespace pelc
