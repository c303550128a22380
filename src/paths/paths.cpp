// Path text operations: slash normalisation, extensions, directories, joining and dot segments.
#include "paths/paths.h"

#include <algorithm>
#include <optional>

#include "base/char_class.h"

namespace pelc {
namespace {

/// Characters a buffer of `size` bytes holds besides its terminator.
std::size_t capacityOf(std::size_t size) { return size == 0 ? 0 : size - 1; }

std::string cutTo(std::string_view text, std::size_t size) {
  return std::string(text.substr(0, capacityOf(size)));
}

/// Position of the last '/' in [from, to), or npos.
std::size_t lastSlashIn(std::string_view path, std::size_t from, std::size_t to) {
  if (to <= from) return std::string_view::npos;
  const std::size_t found = path.substr(from, to - from).rfind('/');
  return found == std::string_view::npos ? found : from + found;
}

// ---- collapseDots ----

enum class DotState { Plain, AfterSlash, SlashDot, SlashDotDot };

struct DotScan {
  std::size_t pos;  // next character to read
  DotState state;
};

/// The segment that a "/.." beginning at `slash` would remove: it starts after `previous`
/// (a slash, or npos for the start of the path part).
std::string_view segmentBefore(std::string_view path, std::size_t start, std::size_t previous,
                               std::size_t slash) {
  const std::size_t from = previous == std::string_view::npos ? start : previous + 1;
  return path.substr(from, slash - from);
}

/// Handles "/../" whose first slash is at `slash` and whose last slash is at `current`.
DotScan resolveDotDot(std::string& path, std::size_t start, std::size_t slash,
                      std::size_t current) {
  const std::size_t previous = lastSlashIn(path, start, slash);
  const bool absolute = path[start] == '/';
  // Dot segments stay: "../.." must not cancel to nothing, nor "./.." lose its "..".
  if ((previous == std::string_view::npos && absolute) ||
      isDotSegment(segmentBefore(path, start, previous, slash))) {
    return {current + 1, DotState::AfterSlash};
  }
  if (previous != std::string_view::npos) {
    path.erase(previous, current - previous);
    return {previous + 1, DotState::AfterSlash};
  }
  path.erase(start, current + 1 - start);
  return {start, DotState::Plain};
}

DotScan stepDots(std::string& path, std::size_t start, DotScan scan) {
  const char c = path[scan.pos];
  const std::size_t next = scan.pos + 1;
  switch (scan.state) {
    case DotState::Plain:
      return {next, c == '/' ? DotState::AfterSlash : DotState::Plain};
    case DotState::AfterSlash:
      if (c == '.') return {next, DotState::SlashDot};
      return {next, c == '/' ? DotState::AfterSlash : DotState::Plain};
    case DotState::SlashDot:
      if (c == '/') {
        path.erase(scan.pos - 2, 2);
        return {scan.pos - 1, DotState::AfterSlash};
      }
      return {next, c == '.' ? DotState::SlashDotDot : DotState::Plain};
    case DotState::SlashDotDot:
      if (c == '/') return resolveDotDot(path, start, scan.pos - 3, scan.pos);
      return {next, DotState::Plain};
  }
  return {next, DotState::Plain};
}

/// Text ending in "/..", whose slash is at `slash`.
void finishDotDot(std::string& path, std::size_t start, std::size_t slash) {
  const std::size_t previous = lastSlashIn(path, start, slash);
  if (isDotSegment(segmentBefore(path, start, previous, slash))) return;
  if (previous == std::string_view::npos) {
    if (path[start] != '/') path.resize(start);
  } else {
    path.resize(previous == start ? previous + 1 : previous);
  }
}

void finishDots(std::string& path, std::size_t start, DotState state) {
  if (state == DotState::SlashDot) {
    const std::size_t slash = path.size() - 2;
    if (slash != start) path.resize(slash);
  } else if (state == DotState::SlashDotDot) {
    finishDotDot(path, start, path.size() - 3);
  }
}

// ---- joinPath ----

/// Drive of a join destination; nullopt matches no drive letter.
std::optional<int> destinationDrive(std::string_view destination) {
  if (destination.empty()) return std::nullopt;
  if (hasDrivePrefix(destination)) return driveIndex(destination[0]);
  const int current = currentDrive();
  if (current == kNoCurrentDrive) return std::nullopt;
  return current;
}

/// Appends a relative name to the destination, with one separating slash where needed.
void appendRelative(std::string& destination, std::string_view name, std::size_t size) {
  const std::string_view part = std::string_view(destination).substr(pathPartStart(destination));
  const std::size_t capacity = capacityOf(size);
  if (!part.empty() && part != "/" && destination.size() < capacity) destination += '/';
  const std::size_t room = capacity - std::min(capacity, destination.size());
  destination += name.substr(0, room);
}

}  // namespace

bool hasDrivePrefix(std::string_view path) { return path.size() >= 2 && path[1] == ':'; }

std::size_t pathPartStart(std::string_view path) { return hasDrivePrefix(path) ? 2 : 0; }

int driveIndex(char driveCharacter) {
  return upperCase(driveCharacter) - 'A';
}

bool isDotSegment(std::string_view segment) { return segment == "." || segment == ".."; }

void normalizePath(std::string& path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  if (path.size() - pathPartStart(path) >= 2 && path.back() == '/') path.pop_back();
}

void replaceExtension(std::string_view extension, std::string& path, std::size_t limit) {
  const std::size_t start = pathPartStart(path);
  const std::size_t found = std::string_view(path).substr(start).find_last_of("./");
  if (found != std::string_view::npos && path[start + found] == '.') path.resize(start + found);
  if (path.size() + extension.size() <= limit) path += extension;
}

std::string directoryOf(std::string_view source, std::size_t size) {
  std::string destination = cutTo(source, size);
  const std::size_t start = pathPartStart(destination);
  const std::size_t slash = lastSlashIn(destination, start, destination.size());
  if (slash == std::string::npos) {
    destination.resize(start);
  } else {
    destination.resize(slash == start ? slash + 1 : slash);
  }
  return destination;
}

bool startsWithDotSegment(std::string_view name) {
  const std::string_view part = name.substr(pathPartStart(name));
  return !part.empty() && isDotSegment(part.substr(0, part.find('/')));
}

std::string joinPath(std::string_view base, const std::string* currentFile,
                     std::string_view name, std::size_t size) {
  const bool fromCurrentFile = currentFile != nullptr && startsWithDotSegment(name);
  std::string result = fromCurrentFile ? directoryOf(*currentFile, size) : cutTo(base, size);
  std::string_view rest = name;
  if (hasDrivePrefix(name)) {
    if (destinationDrive(result) != driveIndex(name[0])) {
      result = cutTo(name, size);
      collapseDots(result);
      return result;
    }
    rest.remove_prefix(2);
  }
  if (!rest.empty() && rest.front() == '/') {
    result = cutTo(name, size);
  } else {
    appendRelative(result, rest, size);
  }
  collapseDots(result);
  return result;
}

void collapseDots(std::string& path) {
  const std::size_t start = pathPartStart(path);
  DotScan scan{start, DotState::Plain};
  while (scan.pos < path.size()) scan = stepDots(path, start, scan);
  finishDots(path, start, scan.state);
}

}  // namespace pelc
