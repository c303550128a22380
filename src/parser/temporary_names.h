// Names of the generated SWITCH temporaries, derived from the path of the compiled file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pelc {

/// The generator seed of a seed text: each byte, taken as signed, folded in as
/// seed * 55 + byte, wrapping in 32 bits.
std::int32_t temporarySeed(std::string_view seedText);

/// The name of the temporary of SWITCH depth n (n >= 1): seven drawn characters, the first a
/// letter, then one character that numbers the depth (`A` for 1 ... `_` for 63). Depths above
/// 63 have no such character and get the decimal n instead, which keeps their names apart from
/// the 8-character ones. The same seed text and n always give the same name.
std::string temporaryName(std::string_view seedText, int n);

}  // namespace pelc
