// The block grammar as data: tokens, states and the transition table.
#pragma once

#include <array>
#include <cstdint>

namespace pelc {

/// Statement tokens; a handler sets the token to Consumed when the line must
/// not be processed further.
enum Token : int {
  kTokenConsumed = -1,
  kTokenBreak = 0,
  kTokenCase = 1,
  kTokenContinue = 2,
  kTokenDefault = 3,
  kTokenElse = 4,
  kTokenExitLoop = 5,
  kTokenWhile = 6,
  kTokenOpenBrace = 7,
  kTokenCloseBrace = 8,
  kTokenOther = 9,
  kTokenEnd = 10,
};

/// Grammar states: rows of the transition table, numbered from 1.
enum GrammarState : int {
  kTopLevel = 1,
  kDoHead, kDoBraceOpen, kDoBraceBody, kDoAwaitWhile,
  kForHead, kForBraceOpen, kForBraceBody, kForDone,
  kIfHead, kIfBraceOpen, kIfBraceBody, kIfBraceClosing, kIfDone,
  kElseHead, kElseBraceOpen, kElseBraceBody, kElseBraceClosing, kElseDone,
  kSwitchHead, kSwitchBraceOpen, kCaseBody, kCaseClosing, kDefaultBody, kDefaultClosing,
  kWhileHead, kWhileBraceOpen, kWhileBraceBody, kWhileDone,
};

inline constexpr int kGrammarRows = 29;
inline constexpr int kGrammarColumns = 12;  // tokens 0 to 10 and one column no token selects

/// What the block on top does with a token. The grammar table names it in
/// each cell; the block's construct acts on it.
enum class BlockAction : std::uint8_t {
  None,        // only the state changes
  NotAllowed,  // the token is a syntax error here
  // A jump, as one statement of the body or inside braces.
  SwitchJump,  // BREAK to the SWITCH around the block
  LoopJump,    // CONTINUE or EXITLOOP to the loop around the block
  Continue,    // CONTINUE of this loop
  Exit,        // EXITLOOP of this loop
  // A jump that is the whole one-statement body: the block ends after the line.
  SwitchJumpEnds,
  LoopJumpEnds,
  ContinueEnds,
  ExitEnds,
  // Braces and the ends of blocks.
  Brace,           // a brace that only stands for itself
  CloseBrace,      // the `}` that ends the block after the line
  CloseIfBody,     // the `}` of an IF body, which may still have an ELSE
  WhileClosesDo,   // the WHILE line that ends a DO loop
  EndBefore,       // the line after a one-statement body ends the block, then goes on
  EndWithoutElse,  // the same for an IF body not followed by ELSE
  // IF and SWITCH.
  IfBody,  // the statement after an IF head without braces
  Else,
  Case,
  FallThroughCase,  // CASE after statements, which run on into it
  Default,
  Break,  // BREAK of this SWITCH
};

/// True for the actions after which the block ends behind the current line.
constexpr bool endsAfterLine(BlockAction action) {
  switch (action) {
    case BlockAction::SwitchJumpEnds:
    case BlockAction::LoopJumpEnds:
    case BlockAction::ContinueEnds:
    case BlockAction::ExitEnds:
    case BlockAction::CloseBrace:
      return true;
    default:
      return false;
  }
}

inline constexpr std::int8_t kStay = 0;   // next: the state does not change
inline constexpr std::int8_t kRedo = -2;  // next: apply the token again to the new top

struct GrammarCell {
  BlockAction action;
  std::int8_t next;
};

using GrammarRow = std::array<GrammarCell, kGrammarColumns>;

/// The row for a state number (1 to 29).
const GrammarRow& grammarRow(int state);

}  // namespace pelc
