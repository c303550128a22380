// What the preprocessor keeps of one compiled file: its sources, macros,
// conditional groups and include stack.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/settings.h"
#include "diag/diagnostics.h"
#include "preproc/conditional_branch.h"
#include "preproc/macro_table.h"
#include "source/file_system.h"
#include "source/source_file.h"
#include "source/source_reader.h"

namespace pelc {

/// The run-wide objects a file's compilation works with.
struct RunServices {
  const Settings& settings;
  Diagnostics& diag;
  FileSystem& fileSystem;
};

inline constexpr int kMaxConditionalDepth = 30;
inline constexpr int kMaxIncludeDepth = 10;

/// One open #IFDEF group: its branches, which live in the parse's nodes.
struct ConditionalGroup {
  ConditionalBranch* ifdefBranch = nullptr;
  ConditionalBranch* elseBranch = nullptr;
  std::int32_t ifdefLine = 0;
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

/// Built for each queued file and dropped after it, with every source buffer.
struct PreprocContext {
  PreprocContext(RunServices run, std::string queuedFilePath)
      : run(run), queuedFilePath(std::move(queuedFilePath)) {}
  PreprocContext(const PreprocContext&) = delete;
  PreprocContext& operator=(const PreprocContext&) = delete;

  RunServices run;
  std::string queuedFilePath;
  MacroTable macros;
  ConditionalState conditionals;
  std::vector<IncludeEntry> includeStack;
  SourceReader reader;
  /// The queued file first, then every included file in the order read.
  std::vector<std::unique_ptr<SourceFile>> sources;
  /// The included files by the path they were opened under.
  std::map<std::string, const SourceFile*, std::less<>> includedFiles;
  /// The same files by the names that #INCLUDE lines gave them.
  std::map<std::string, const SourceFile*, std::less<>> includesByName;
};

}  // namespace pelc
