// The explanation of a message, from the message reference built into the program.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelc {

/// The explanation of the message numbered `argument` ("255", "-255") or of
/// the warning named by it ("unknown-directive", "-Wunknown-directive"): its
/// sections of docs/messages.md as plain text. Nothing for a number or name
/// that no message has.
std::optional<std::string> explainMessage(std::string_view argument);

}  // namespace pelc
