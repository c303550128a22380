// The message numbers of the compiler and the severity of each.
#pragma once

#include <array>

namespace pelc {

enum class Msg : int {
#define PELC_MESSAGE(name, code, severity) name = (code),
#include "diag/messages.def"
#undef PELC_MESSAGE
};

enum class Severity { Thrown, Returns, Info };

struct MessageInfo {
  Msg msg;
  Severity severity;
};

inline constexpr std::array kMessageTable = {
#define PELC_MESSAGE(name, code, severity) MessageInfo{Msg::name, Severity::severity},
#include "diag/messages.def"
#undef PELC_MESSAGE
};

constexpr int codeOf(Msg msg) { return static_cast<int>(msg); }

/// The severity of a message; a number missing from the table is treated
/// like every unlisted negative number: it is thrown.
constexpr Severity severityOf(Msg msg) {
  for (const MessageInfo& info : kMessageTable) {
    if (info.msg == msg) return info.severity;
  }
  return codeOf(msg) > 0 ? Severity::Info : Severity::Thrown;
}

}  // namespace pelc
