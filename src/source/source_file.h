// A source file: its path and its bytes, read once.
#pragma once

#include <string>

namespace pelc {

struct SourceFile {
  std::string path;
  std::string bytes;
};

}  // namespace pelc
