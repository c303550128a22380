// A whole-file parse the way the file driver does it, over an in-memory tree, with the run
// context it needs; the construct and directive test harnesses build on it.
#pragma once

#include <memory>
#include <span>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "driver/compile_queue.h"
#include "ir/node_list.h"
#include "parser/file_context.h"
#include "parser/parser.h"
#include "source/file_system.h"

namespace pelc::test {

class WholeFileParse {
 public:
  WholeFileParse(const WholeFileParse&) = delete;
  WholeFileParse& operator=(const WholeFileParse&) = delete;

  FileContext& file() { return *file_; }
  const Diagnostics& diag() const { return diag_; }
  std::span<const Node> nodes() const { return file_->nodes.nodes(); }
  bool aborted() const { return aborted_; }
  std::string printed() const { return out_.str(); }
  std::string_view bytes() const { return file_->sources.front()->bytes.view(); }

  template <class Record>
  const Record& record(std::size_t index) const {
    return *static_cast<const Record*>(nodes()[index].record);
  }

  /// The numbers of the printed messages, in order, without their signs.
  std::vector<int> messageNumbers() const {
    std::vector<int> numbers;
    const std::string text = out_.str();
    const std::string marker = "pnum = ";
    for (std::size_t at = text.find(marker); at != std::string::npos;
         at = text.find(marker, at + 1)) {
      numbers.push_back(std::stoi(text.substr(at + marker.size())));
    }
    return numbers;
  }

 protected:
  WholeFileParse() = default;
  ~WholeFileParse() = default;

  Settings& settings() { return settings_; }
  MemoryFileSystem& fileSystem() { return fileSystem_; }

  /// Parses `text` as the queued file `path`; a thrown message only marks the parse aborted.
  void parse(const std::string& path, std::string text) {
    chainTargets_ = std::make_unique<QueuedChainTargets>(queue_, settings_, diag_, path);
    file_ = std::make_unique<FileContext>(run_, *chainTargets_, path);
    auto source = std::make_unique<SourceFile>(SourceFile{path, SourceBytes(std::move(text))});
    file_->reader.attach(source->bytes);
    file_->sources.push_back(std::move(source));
    try {
      Parser(*file_).parseFile();
    } catch (const AbortFile&) {
      aborted_ = true;
    }
  }

  Diagnostics& mutableDiag() { return diag_; }

 private:
  Settings settings_;
  std::ostringstream out_;
  Diagnostics diag_{out_};
  MemoryFileSystem fileSystem_;
  CompileQueue queue_;
  RunServices run_{settings_, diag_, fileSystem_};
  std::unique_ptr<QueuedChainTargets> chainTargets_;
  std::unique_ptr<FileContext> file_;
  bool aborted_ = false;
};

}  // namespace pelc::test
