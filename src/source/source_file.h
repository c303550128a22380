// A source file: its path and its bytes, read once.
#pragma once

#include <string>

#include "source/source_bytes.h"

namespace pelc {

struct SourceFile {
  std::string path;
  SourceBytes bytes;
};

}  // namespace pelc
