// The compile queue and the registration of CHAIN and DOSUB targets.
#include "driver/compile_queue.h"

#include <algorithm>

#include "base/text.h"
#include "paths/paths.h"
#include "preproc/macro_table.h"

namespace pelc {

void CompileQueue::start(std::string_view inputPath) {
  std::string path(inputPath.substr(0, kQueuedNameCapacity - 1));
  normalizePath(path);
  replaceExtension(".pmp", path, kQueuedNameCapacity - 1);
  paths_.clear();
  paths_.push_back(std::move(path));
}

bool CompileQueue::contains(std::string_view path) const {
  return std::any_of(paths_.begin(), paths_.end(),
                     [&](const std::string& queued) { return equalIgnoringCase(queued, path); });
}

void CompileQueue::registerChainTarget(std::string_view argument, const Settings& settings,
                                       const std::string& queuedFilePath, Diagnostics& diag,
                                       int line) {
  if (!settings.followChains) return;
  std::string name;
  if (!scanWord(argument, name, kQueuedNameCapacity)) {
    diag.throwMessage(Msg::ChainWithoutName, line);
  }
  std::replace(name.begin(), name.end(), '\\', '/');
  replaceExtension(".pmp", name, kQueuedNameCapacity - 1);
  std::string path = joinPath(settings.baseDirectory, &queuedFilePath, name, kQueuedNameCapacity);
  if (contains(path)) return;
  if (paths_.size() == kMaxQueuedFiles) diag.throwMessage(Msg::TooManyFiles, line);
  paths_.push_back(std::move(path));
}

}  // namespace pelc
