// Standard output as the run writes it: bytes as they are.
#pragma once

namespace pelc {

/// Makes standard output take every byte unchanged: messages and banners end
/// their lines with what the run writes, the same on every system. Called
/// before anything is written.
void useBinaryStandardOutput();

}  // namespace pelc
