// The message numbers of the compiler, the severity and the text of each.
#pragma once

#include <array>
#include <string_view>

namespace pelc {

enum class Msg : int {
#define PELC_MESSAGE(name, code, severity, text) name = (code),
#include "diag/messages.def"
#undef PELC_MESSAGE
};

/// Warning and Info differ only in how they are shown: neither stops nor
/// counts as an error.
enum class Severity { Thrown, Returns, Warning, Info };

struct MessageInfo {
  Msg msg;
  Severity severity;
  std::string_view name;
  std::string_view text;
};

inline constexpr std::array kMessageTable = {
#define PELC_MESSAGE(name, code, severity, text) \
  MessageInfo{Msg::name, Severity::severity, #name, text},
#include "diag/messages.def"
#undef PELC_MESSAGE
};

/// The warnings that carry no number.
enum class Warning {
#define PELC_MESSAGE(name, code, severity, text)
#define PELC_WARNING(name, option, text) name,
#include "diag/messages.def"
#undef PELC_WARNING
#undef PELC_MESSAGE
};

struct WarningInfo {
  Warning warning;
  std::string_view option;  // without the "-W"
  std::string_view text;
};

inline constexpr std::array kWarningTable = {
#define PELC_MESSAGE(name, code, severity, text)
#define PELC_WARNING(name, option, text) WarningInfo{Warning::name, option, text},
#include "diag/messages.def"
#undef PELC_WARNING
#undef PELC_MESSAGE
};

constexpr int codeOf(Msg msg) { return static_cast<int>(msg); }

/// The table row of a message; nothing for a number missing from the table.
constexpr const MessageInfo* findMessage(Msg msg) {
  for (const MessageInfo& info : kMessageTable) {
    if (info.msg == msg) return &info;
  }
  return nullptr;
}

/// The severity of a message; a number missing from the table is treated
/// like every unlisted negative number: it is thrown.
constexpr Severity severityOf(Msg msg) {
  if (const MessageInfo* info = findMessage(msg)) return info->severity;
  return codeOf(msg) > 0 ? Severity::Info : Severity::Thrown;
}

constexpr const WarningInfo& warningInfo(Warning warning) {
  return kWarningTable[static_cast<std::size_t>(warning)];
}

}  // namespace pelc
