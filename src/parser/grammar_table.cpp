// The transition table of the block grammar.
#include "parser/grammar_table.h"

namespace pelc {
namespace {

constexpr GrammarCell x{kNotAllowed, kStay};   // token not allowed
constexpr GrammarCell s{kNoEvent, kStay};      // no event, stay
constexpr GrammarCell e(int event, int next) {
  return GrammarCell{static_cast<std::int8_t>(event), static_cast<std::int8_t>(next)};
}
constexpr GrammarCell go(int next) { return e(kNoEvent, next); }
constexpr GrammarCell redo(int event) { return e(event, kRedo); }

// Columns: BREAK CASE CONTINUE DEFAULT ELSE EXITLOOP WHILE { } other end (unused)
constexpr std::array<GrammarRow, kGrammarRows> kTransitions = {{
    /* 1 TopLevel */ {x, x, x, x, x, x, s, x, x, s, s, s},
    /* 2 DoHead */ {e(1, 5), x, e(2, 5), x, x, e(3, 5), e(4, 0), e(5, 3), x, go(5), x, s},
    /* 3 DoBraceOpen */ {e(6, 4), x, e(7, 4), x, x, e(8, 4), go(4), x, x, go(4), x, s},
    /* 4 DoBraceBody */ {e(9, 0), x, e(10, 0), x, x, e(11, 0), s, x, e(12, 5), s, x, s},
    /* 5 DoAwaitWhile */ {x, x, x, x, x, x, e(13, 0), x, x, x, x, s},
    /* 6 ForHead */ {e(14, 0), x, e(15, 0), x, x, e(16, 0), go(9), e(17, 7), x, go(9), x, s},
    /* 7 ForBraceOpen */ {e(18, 8), x, e(19, 8), x, x, e(20, 8), go(8), x, x, go(8), x, s},
    /* 8 ForBraceBody */ {e(21, 0), x, e(22, 0), x, x, e(23, 0), s, x, e(24, 0), s, x, s},
    /* 9 ForDone */
    {redo(25), redo(26), redo(27), redo(28), redo(29), redo(30), redo(31), x, redo(32), redo(33),
     redo(34), s},
    /* 10 IfHead */ {e(35, 14), x, e(36, 14), x, x, e(37, 14), e(39, 14), e(38, 11), x, e(39, 14), x, s},
    /* 11 IfBraceOpen */ {e(40, 13), x, e(41, 13), x, x, e(42, 13), go(12), x, x, go(12), x, s},
    /* 12 IfBraceBody */ {e(43, 13), x, e(44, 13), x, x, e(45, 13), s, x, e(46, 14), s, x, s},
    /* 13 IfBraceClosing */ {x, x, x, x, x, x, x, x, e(47, 14), x, x, s},
    /* 14 IfDone */
    {redo(48), redo(49), redo(50), redo(51), e(52, 15), redo(53), redo(54), x, redo(55), redo(56),
     redo(57), s},
    /* 15 ElseHead */ {e(58, 0), x, e(59, 0), x, x, e(60, 0), go(19), e(61, 16), x, go(19), x, s},
    /* 16 ElseBraceOpen */ {e(62, 18), x, e(63, 18), x, x, e(64, 18), go(17), x, x, go(17), x, s},
    /* 17 ElseBraceBody */ {e(65, 18), x, e(66, 18), x, x, e(67, 18), s, x, e(68, 0), s, x, s},
    /* 18 ElseBraceClosing */ {x, x, x, x, x, x, x, x, e(69, 0), x, x, s},
    /* 19 ElseDone */
    {redo(70), redo(71), redo(72), redo(73), redo(74), redo(75), redo(76), x, redo(77), redo(78),
     redo(79), s},
    /* 20 SwitchHead */ {x, x, x, x, x, x, x, e(80, 21), x, x, x, s},
    /* 21 SwitchBraceOpen */ {x, e(81, 22), x, e(82, 24), x, x, x, x, x, x, x, s},
    /* 22 CaseBody */ {e(83, 23), e(84, 0), e(85, 0), e(86, 24), x, e(87, 0), s, x, e(88, 0), s, x, s},
    /* 23 CaseClosing */ {x, e(89, 22), x, e(90, 24), x, x, x, x, e(91, 0), x, x, s},
    /* 24 DefaultBody */ {e(92, 25), x, e(93, 0), x, x, e(94, 0), s, x, e(95, 0), s, x, s},
    /* 25 DefaultClosing */ {x, x, x, x, x, x, x, x, e(96, 0), x, x, s},
    /* 26 WhileHead */ {e(97, 0), x, e(98, 0), x, x, e(99, 0), go(29), e(100, 27), x, go(29), x, s},
    /* 27 WhileBraceOpen */ {e(101, 28), x, e(102, 28), x, x, e(103, 28), go(28), x, x, go(28), x, s},
    /* 28 WhileBraceBody */ {e(104, 0), x, e(105, 0), x, x, e(106, 0), s, x, e(107, 0), s, x, s},
    /* 29 WhileDone */
    {redo(108), redo(109), redo(110), redo(111), redo(112), redo(113), redo(114), x, redo(115),
     redo(116), redo(117), s},
}};

}  // namespace

const GrammarRow& grammarRow(int state) { return kTransitions[static_cast<std::size_t>(state - 1)]; }

}  // namespace pelc
