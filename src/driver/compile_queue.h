// The queue of files to compile in one run.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/settings.h"
#include "diag/diagnostics.h"
#include "parser/chain_targets.h"

namespace pelc {

inline constexpr std::size_t kMaxQueuedFiles = 1000;
inline constexpr std::size_t kQueuedNameCapacity = 2048;  // names of at most 2047 characters

/// The paths to compile, in the order they were added. Entries are never
/// removed or reordered, so an index stays valid while files are appended.
class CompileQueue {
 public:
  /// Entry 0: the command-line input, normalised, with the ".pmp" extension.
  void start(std::string_view inputPath);

  std::size_t size() const { return paths_.size(); }
  const std::string& at(std::size_t index) const { return paths_[index]; }

  /// Queues the file a CHAIN or DOSUB names, once (names compare ignoring
  /// case). Does nothing when chains are not followed.
  void registerChainTarget(std::string_view argument, const Settings& settings,
                           const std::string& queuedFilePath, Diagnostics& diag, int line);

 private:
  bool contains(std::string_view path) const;

  std::vector<std::string> paths_;
};

/// The CHAIN and DOSUB targets of one compiled file, queued as the parse meets them.
class QueuedChainTargets final : public ChainTargets {
 public:
  QueuedChainTargets(CompileQueue& queue, const Settings& settings, Diagnostics& diag,
                     std::string queuedFilePath)
      : queue_(queue),
        settings_(settings),
        diag_(diag),
        queuedFilePath_(std::move(queuedFilePath)) {}

  void addChainTarget(std::string_view argument, int line) override {
    queue_.registerChainTarget(argument, settings_, queuedFilePath_, diag_, line);
  }

 private:
  CompileQueue& queue_;
  const Settings& settings_;
  Diagnostics& diag_;
  std::string queuedFilePath_;
};

}  // namespace pelc
