// A whole-file parse over an in-memory tree, for directive and jump target tests.
#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "codegen/node_list.h"
#include "driver/compile_queue.h"
#include "parser/file_context.h"
#include "parser/parser.h"
#include "source/file_system.h"

namespace pelc::preproc_test {

struct TreeFile {
  std::string path;
  std::string bytes;
};

/// Parses `text` as the queued file `queuedPath`, the way the file driver
/// does, with `tree` as the rest of the disk.
class TreeParse {
 public:
  TreeParse(std::string queuedPath, std::string text, const std::vector<TreeFile>& tree = {},
            std::vector<std::string> includeOptions = {}) {
    settings_.includeOptionList = std::move(includeOptions);
    for (const TreeFile& file : tree) fileSystem_.addFile(file.path, file.bytes);
    file_ = std::make_unique<FileContext>(run_, queuedPath);
    auto source = std::make_unique<SourceFile>(SourceFile{queuedPath, SourceBytes(std::move(text))});
    file_->reader.attach(source->bytes);
    file_->sources.push_back(std::move(source));
    diag_.setCurrentFileName(queuedPath);
    try {
      Parser(*file_).parseFile();
    } catch (const AbortFile&) {
      aborted_ = true;
    }
  }

  FileContext& file() { return *file_; }
  const Diagnostics& diag() const { return diag_; }
  std::span<const Node> nodes() const { return file_->nodes.nodes(); }
  bool aborted() const { return aborted_; }
  std::string printed() const { return out_.str(); }

  template <class Record>
  const Record& record(std::size_t index) const {
    return *static_cast<const Record*>(nodes()[index].record);
  }

  /// The message numbers printed, in order, with their signs.
  std::vector<int> messages() const {
    std::vector<int> codes;
    const std::string text = out_.str();
    const std::string marker = "pnum = ";
    for (std::size_t at = text.find(marker); at != std::string::npos;
         at = text.find(marker, at + 1)) {
      const int number = std::stoi(text.substr(at + marker.size()));
      // The parse raises no message numbered 1 to 200 that is an error.
      codes.push_back(number > 200 ? -number : number);
    }
    return codes;
  }

 private:
  Settings settings_;
  std::ostringstream out_;
  Diagnostics diag_{out_};
  MemoryFileSystem fileSystem_;
  CompileQueue queue_;
  RunContext run_{settings_, diag_, fileSystem_, queue_};
  std::unique_ptr<FileContext> file_;
  bool aborted_ = false;
};

}  // namespace pelc::preproc_test
