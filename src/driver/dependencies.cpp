// Up-to-date checks and dependency files.
#include "driver/dependencies.h"

#include <filesystem>
#include <set>

namespace pelc {

bool outputIsUpToDate(FileSystem& fileSystem, const std::string& outputPath,
                      const std::vector<std::unique_ptr<SourceFile>>& sources) {
  const std::optional<FileTime> output = fileSystem.modificationTime(outputPath);
  if (!output) return false;
  for (const std::unique_ptr<SourceFile>& source : sources) {
    const std::optional<FileTime> read = fileSystem.modificationTime(source->path);
    if (!read || *read >= *output) return false;
  }
  return true;
}

namespace {

/// The path from the root, with "." and ".." folded, escaped as make reads it.
std::string makePath(const std::string& path) {
  const std::string absolute = std::filesystem::absolute(path).lexically_normal().string();
  std::string escaped;
  for (const char c : absolute) {
    if (c == ' ' || c == '#') escaped += '\\';
    if (c == '$') escaped += '$';
    escaped += c;
  }
  return escaped;
}

}  // namespace

std::string dependencyFileText(const std::vector<DependencyRule>& rules) {
  std::string text;
  std::vector<std::string> included;
  std::set<std::string> seen;
  for (const DependencyRule& rule : rules) {
    text += makePath(rule.output) + ":";
    for (std::size_t i = 0; i < rule.sources.size(); ++i) {
      const std::string source = makePath(rule.sources[i]);
      text += " " + source;
      if (i > 0 && seen.insert(source).second) included.push_back(source);
    }
    text += "\n";
  }
  for (const std::string& source : included) text += "\n" + source + ":\n";
  return text;
}

}  // namespace pelc
