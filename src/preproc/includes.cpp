// #INCLUDE: finding, opening and entering an included file, and leaving it.
#include <algorithm>

#include "base/settings.h"
#include "base/text.h"
#include "paths/paths.h"
#include "preproc/directives.h"

namespace pelc {
namespace {

inline constexpr std::size_t kIncludePathCapacity = 2048;

/// The name from its first to its last non-blank character, slashes only.
std::string includeName(std::string_view rest) {
  std::size_t first = 0;
  while (first < rest.size() && isBlank(static_cast<unsigned char>(rest[first]))) ++first;
  std::size_t last = rest.size();
  while (last > first && isBlank(static_cast<unsigned char>(rest[last - 1]))) --last;
  std::string name(rest.substr(first, last - first));
  std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}

/// The directory of the queued file first, then the -I directories.
std::vector<std::string> includeSearchList(const PreprocContext& file) {
  std::string first = directoryOf(file.queuedFilePath, kIncludePathCapacity);
  std::vector<std::string> list{first.empty() ? std::string(".") : first};
  for (std::string& directory : includeSearchDirectories(file.run.settings)) {
    list.push_back(std::move(directory));
  }
  return list;
}

/// The first candidate that opens. Each file is read once per compiled file,
/// however often it is included.
const SourceFile* searchIncludeFile(PreprocContext& file, std::string_view name) {
  for (const std::string& directory : includeSearchList(file)) {
    std::string path = joinPath(directory, nullptr, name, kIncludePathCapacity);
    if (const auto known = file.includedFiles.find(path); known != file.includedFiles.end()) {
      return known->second;
    }
    if (std::optional<SourceBytes> bytes = file.run.fileSystem.tryReadFile(path)) {
      file.sources.push_back(std::make_unique<SourceFile>(SourceFile{path, std::move(*bytes)}));
      file.includedFiles.emplace(std::move(path), file.sources.back().get());
      return file.sources.back().get();
    }
  }
  return nullptr;
}

/// The file that `name` includes. The search list is the same for every
/// #INCLUDE of a compiled file, so a name is searched for once: a file included
/// in a loop of thousands of lines would otherwise pay the search each time.
const SourceFile* openIncludeFile(PreprocContext& file, const std::string& name) {
  if (const auto known = file.includesByName.find(name); known != file.includesByName.end()) {
    return known->second;
  }
  const SourceFile* source = searchIncludeFile(file, name);
  if (source != nullptr) file.includesByName.emplace(name, source);
  return source;
}

}  // namespace

void includeDirective(DirectiveLine& at, std::string_view, std::string_view rest) {
  PreprocContext& file = at.file();
  Diagnostics& diag = at.diag();
  const int line = at.line().startLine;
  if (isAllBlank(rest)) {
    diag.reportMessage(Msg::MissingArgument, line, {{"directive", "#INCLUDE"}});
    at.appendSilentNode();
    return;
  }
  if (static_cast<int>(file.includeStack.size()) + 1 > kMaxIncludeDepth) {
    diag.throwMessage(Msg::NestingTooDeep, line, {{"directive", "#INCLUDE"}});
  }
  const std::string name = includeName(rest);
  const SourceFile* source = openIncludeFile(file, name);
  if (source == nullptr) {
    diag.throwMessage(Msg::IncludeNotFound, line,
                      {{"name", name}, {"searched", includeSearchList(file)}});
  }

  at.appendIncludeNode(*source, name);

  file.includeStack.push_back(IncludeEntry{diag.currentFileName(), file.reader.saveState(),
                                           file.conditionals.fileConditionalBase});
  diag.setCurrentFileName(source->path);
  file.conditionals.fileConditionalBase = file.conditionals.depth();
  file.reader.attach(source->bytes);
  file.reader.setCurrentLine(1);
}

void endInclude(DirectiveLine& at) {
  PreprocContext& file = at.file();
  at.appendIncludeEndNode(file.reader.eofPosition());
  IncludeEntry entry = std::move(file.includeStack.back());
  file.includeStack.pop_back();
  at.diag().setCurrentFileName(std::move(entry.fileName));
  file.reader.restoreState(entry.reader);
  file.conditionals.fileConditionalBase = entry.conditionalBase;
}

}  // namespace pelc
