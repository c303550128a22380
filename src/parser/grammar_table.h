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

inline constexpr std::int8_t kNotAllowed = -1;  // event: the token is not allowed here
inline constexpr std::int8_t kNoEvent = 0;
inline constexpr std::int8_t kStay = 0;         // next: the state does not change
inline constexpr std::int8_t kRedo = -2;        // next: apply the token again to the new top

struct GrammarCell {
  std::int8_t event;
  std::int8_t next;
};

using GrammarRow = std::array<GrammarCell, kGrammarColumns>;

/// The row for a state number (1 to 29).
const GrammarRow& grammarRow(int state);

}  // namespace pelc
