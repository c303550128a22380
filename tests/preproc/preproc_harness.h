// A whole-file parse over an in-memory tree, for directive and jump target tests.
#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "ir/node_list.h"
#include "parser/file_context.h"
#include "parser/parser.h"
#include "source/file_system.h"
#include "whole_file_parse.h"

namespace pelc::preproc_test {

struct TreeFile {
  std::string path;
  std::string bytes;
};

/// Parses `text` as the queued file `queuedPath`, the way the file driver
/// does, with `tree` as the rest of the disk.
class TreeParse : public test::WholeFileParse {
 public:
  TreeParse(std::string queuedPath, std::string text, const std::vector<TreeFile>& tree = {},
            std::vector<std::string> includeOptions = {}) {
    settings().includeOptionList = std::move(includeOptions);
    for (const TreeFile& file : tree) fileSystem().addFile(file.path, file.bytes);
    mutableDiag().setCurrentFileName(queuedPath);
    parse(queuedPath, std::move(text));
  }

  /// The message numbers printed, in order, with their signs.
  std::vector<int> messages() const {
    std::vector<int> codes = messageNumbers();
    // The parse raises no message numbered 1 to 200 that is an error.
    for (int& code : codes) code = code > 200 ? -code : code;
    return codes;
  }
};

}  // namespace pelc::preproc_test
