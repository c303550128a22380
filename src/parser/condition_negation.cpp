// Negation of IF conditions, for the test that jumps around a block.
#include "parser/condition_negation.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <utility>

#include "base/char_class.h"
#include "parser/condition_scanner.h"
#include "source/line_reader.h"

namespace pelc {
namespace {

struct OperatorInverse {
  char first;
  char second;  // '\0' for a one-character operator
  std::string_view replacement;
};

// Searched in order, so that `<=` and `>=` are found before `<` and `>`.
constexpr std::array<OperatorInverse, 8> kOperatorInverses = {{
    {'|', '|', "&&"},
    {'&', '&', "||"},
    {'=', '=', "!="},
    {'!', '=', "=="},
    {'<', '=', ">"},
    {'>', '=', "<"},
    {'<', '\0', ">="},
    {'>', '\0', "<="},
}};

// An operator that may be inverted needs a step of its own.
constexpr std::array<ByteRole, 256> kByteRoles = [] {
  std::array<ByteRole, 256> roles = conditionByteRoles({});
  for (const OperatorInverse& op : kOperatorInverses) {
    roles[static_cast<unsigned char>(op.first)] = ByteRole::Stepped;
  }
  return roles;
}();

constexpr std::size_t kDepthMarks = 256;

std::size_t skipBlanks(std::string_view text, std::size_t pos) {
  while (pos < text.size() && isBlank(text[pos])) ++pos;
  return pos;
}

enum class Outcome { Scanning, Negated, Fallback, SyntaxError, NoRoom };

// Room is what the line buffer leaves, so the rewritten condition always fits a buffer of
// that size.
constexpr std::size_t kNegatedCapacity = kLineBufferSize;

/// Rewrites a condition operator by operator into a buffer of `capacity` characters, starting
/// at its opening parenthesis. The buffer is on the stack and left uninitialised: a string
/// grown character by character cost more than the scan itself.
class Negator {
 public:
  Negator(std::string_view text, std::size_t open, std::size_t capacity)
      : text_(text),
        pos_(open),
        capacity_(capacity < kNegatedCapacity ? capacity : kNegatedCapacity) {}

  Outcome run() {
    Outcome outcome = Outcome::Scanning;
    while (outcome == Outcome::Scanning && pos_ < text_.size()) {
      if (quote_ == '\0') {
        copyPlainRun();
        if (pos_ == text_.size()) break;
      }
      if (full()) return Outcome::NoRoom;
      outcome = quote_ != '\0' ? stepQuoted() : stepPlain();
    }
    if (outcome != Outcome::Scanning) return outcome;
    return full() ? Outcome::NoRoom : Outcome::SyntaxError;
  }

  std::string result() const { return std::string(out_.data(), size_); }

 private:
  bool full() const { return size_ >= capacity_; }

  // False, writing nothing, when the piece does not fit.
  bool emit(std::string_view piece) {
    if (capacity_ - size_ < piece.size()) return false;
    for (const char c : piece) out_[size_++] = c;
    return true;
  }

  Outcome emitOrFail(std::string_view piece) {
    return emit(piece) ? Outcome::Scanning : Outcome::NoRoom;
  }

  Outcome emitOrFail(char c) {
    if (full()) return Outcome::NoRoom;
    out_[size_++] = c;
    return Outcome::Scanning;
  }

  // Takes the bytes outside quotes up to the next one that needs a step, while there is room.
  void copyPlainRun() {
    while (pos_ < text_.size() && !full()) {
      const char c = text_[pos_];
      const ByteRole role = kByteRoles[static_cast<unsigned char>(c)];
      if (role == ByteRole::Stepped) return;
      if (role == ByteRole::Copied) out_[size_++] = c;
      ++pos_;
    }
  }

  Outcome stepQuoted() {
    const char c = text_[pos_++];
    if (c == '\\') {
      if (pos_ == text_.size()) return Outcome::SyntaxError;
      const char pair[] = {c, text_[pos_++]};
      return emitOrFail({pair, 2});
    }
    if (c == quote_) quote_ = '\0';
    return emitOrFail(c);
  }

  Outcome stepPlain() {
    const char c = text_[pos_++];
    if (isBlank(c)) return Outcome::Scanning;
    switch (c) {
      case '(':
        return openGroup();
      case ')':
        return closeGroup();
      case '[':
        ++brackets_;
        break;
      case ']':
        if (brackets_ == 0) return Outcome::SyntaxError;
        --brackets_;
        break;
      default:
        if (isQuote(c)) {
          quote_ = c;
        } else if (const OperatorInverse* op = findOperator(c)) {
          return invert(*op);
        }
    }
    return emitOrFail(c);
  }

  Outcome openGroup() {
    // A group deeper than the marks reach cannot be tracked; the comparison with zero
    // negates any condition, so it stays correct there.
    if (depth_ + 1 >= kDepthMarks) return Outcome::Fallback;
    marks_.reset(++depth_);
    return emitOrFail('(');
  }

  Outcome closeGroup() {
    if (!marks_.test(depth_)) return Outcome::Fallback;
    if (depth_ > 1) {
      --depth_;
      return emitOrFail(')');
    }
    if (brackets_ != 0) return Outcome::SyntaxError;
    if (!emit(")")) return Outcome::NoRoom;
    return skipBlanks(text_, pos_) == text_.size() ? Outcome::Negated : Outcome::SyntaxError;
  }

  // `c` has already been consumed; a two-character operator also takes the next character.
  const OperatorInverse* findOperator(char c) const {
    for (const OperatorInverse& op : kOperatorInverses) {
      if (op.first != c) continue;
      if (op.second == '\0' || (pos_ < text_.size() && text_[pos_] == op.second)) return &op;
    }
    return nullptr;
  }

  Outcome invert(const OperatorInverse& op) {
    if (op.second != '\0') ++pos_;
    marks_.set(depth_);
    return emitOrFail(op.replacement);
  }

  std::string_view text_;
  std::size_t pos_;
  std::size_t capacity_;
  std::size_t size_ = 0;
  std::array<char, kNegatedCapacity> out_;
  std::bitset<kDepthMarks> marks_;
  std::size_t depth_ = 0;
  int brackets_ = 0;
  char quote_ = '\0';
};

// The comparison with zero is built where the condition itself stood, so it may use the
// condition's own place as well as the room after it.
std::optional<std::string> comparedWithZero(std::string_view text, std::size_t room,
                                            Diagnostics& diag, int line) {
  std::optional<std::string> condition = scanCondition(text, diag, line);
  if (!condition) return std::nullopt;
  std::string result = "(" + *condition + "==0)";
  if (result.size() > text.size() + room) {
    diag.reportMessage(Msg::TextTooLong, line);
    return std::nullopt;
  }
  return result;
}

}  // namespace

std::optional<std::string> negateCondition(std::string_view text, std::size_t room,
                                           Diagnostics& diag, int line) {
  if (room < 2) {
    diag.reportMessage(Msg::TextTooLong, line);
    return std::nullopt;
  }
  const std::size_t open = skipBlanks(text, 0);
  if (open == text.size() || text[open] != '(') {
    diag.reportSyntaxError(line, {"expected '(' before the condition"});
    return std::nullopt;
  }
  Negator negator(text, open, room - 1);
  switch (negator.run()) {
    case Outcome::Negated:
      return negator.result();
    case Outcome::Fallback:
      return comparedWithZero(text, room, diag, line);
    case Outcome::NoRoom:
      diag.reportMessage(Msg::TextTooLong, line);
      break;
    case Outcome::SyntaxError:
    case Outcome::Scanning:
      diag.reportSyntaxError(line, {"malformed condition"});
      break;
  }
  return std::nullopt;
}

}  // namespace pelc
