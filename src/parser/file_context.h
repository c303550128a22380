// Everything that belongs to the compilation of one queued file.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/settings.h"
#include "diag/diagnostics.h"
#include "ir/node_list.h"
#include "parser/block_stack.h"
#include "preproc/macro_table.h"
#include "source/file_system.h"
#include "source/line_reader.h"
#include "source/source_file.h"
#include "source/source_reader.h"

namespace pelc {

class CompileQueue;

/// The run-wide objects a file's compilation works with.
struct RunContext {
  const Settings& settings;
  Diagnostics& diag;
  FileSystem& fileSystem;
  CompileQueue& queue;
};

inline constexpr int kMaxConditionalDepth = 30;
inline constexpr int kMaxIncludeDepth = 10;

/// One open #IFDEF group: its branch records, owned by the node list.
struct ConditionalGroup {
  BranchRecord* ifdefBranch = nullptr;
  BranchRecord* elseBranch = nullptr;
};

struct ConditionalState {
  bool skipping = false;
  std::vector<ConditionalGroup> groups;  // conditionalDepth == groups.size()
  int fileConditionalBase = 0;
  int depth() const { return static_cast<int>(groups.size()); }
};

/// The reading state of a file interrupted by an #INCLUDE.
struct IncludeEntry {
  std::optional<std::string> fileName;
  SourceReader::State reader;
  int conditionalBase = 0;
};

/// Built for each queued file and dropped after it: dropping it releases the
/// node list, the macro table and every source buffer.
struct FileContext {
  FileContext(RunContext& run, std::string queuedFilePath)
      : run(run), queuedFilePath(std::move(queuedFilePath)) {}
  FileContext(const FileContext&) = delete;
  FileContext& operator=(const FileContext&) = delete;

  RunContext& run;
  std::string queuedFilePath;
  MacroTable macros;
  NodeList nodes;
  BlockStack blocks;
  LabelCounter labels;
  ConditionalState conditionals;
  std::vector<IncludeEntry> includeStack;
  SourceReader reader;
  /// The queued file first, then every included file in the order read.
  std::vector<std::unique_ptr<SourceFile>> sources;
  /// The included files by the path they were opened under.
  std::map<std::string, const SourceFile*, std::less<>> includedFiles;
  /// The same files by the names that #INCLUDE lines gave them.
  std::map<std::string, const SourceFile*, std::less<>> includesByName;
  int maxSwitchDepth = 0;
  bool exitSeen = false;
};

}  // namespace pelc
