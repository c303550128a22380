// Path text operations: slash normalisation, extensions, directories, joining and dot segments.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pelc {

/// Returned by currentDrive() where the platform has no drive letters.
inline constexpr int kNoCurrentDrive = -1;

/// True when the second character is ':', i.e. the first two characters are a drive prefix.
bool hasDrivePrefix(std::string_view path);

/// Index of the first character after the drive prefix (0 without one).
std::size_t pathPartStart(std::string_view path);

/// Upper-cased drive character minus 'A'; letter case does not matter.
int driveIndex(char driveCharacter);

/// True for the segments "." and "..".
bool isDotSegment(std::string_view segment);

/// Turns backslashes into slashes, then drops one trailing slash unless the path part is
/// just "/".
void normalizePath(std::string& path);

/// Removes the last segment's extension, then appends `extension` only if the result keeps
/// to `limit` characters; otherwise the path is left without extension.
void replaceExtension(std::string_view extension, std::string& path, std::size_t limit);

/// The directory of `source`, taken from its first size-1 characters: the drive prefix
/// alone (or empty) without a slash, the root for a single leading slash, else up to the
/// last slash.
std::string directoryOf(std::string_view source, std::size_t size);

/// True when the path part is non-empty and its first segment is "." or "..".
bool startsWithDotSegment(std::string_view name);

/// The process's current drive index. kNoCurrentDrive where the system has no drive letters
/// (or the current directory is on none), so no drive-prefixed name then counts as being on
/// the current drive.
int currentDrive();

/// Resolves `name` against `currentFile`'s directory (for names starting with a dot
/// segment, when a current file is given) or else against `base`, and collapses dot
/// segments. An absolute name, or one on another drive, is taken as it stands. The result
/// holds at most size-1 characters. `name` must not be empty.
std::string joinPath(std::string_view base, const std::string* currentFile,
                     std::string_view name, std::size_t size);

/// Removes "/." segments and resolves "/.." against the segment before it, in the path
/// part. Dot segments never cancel each other: "../.." and "./.." stay, and leading "./"
/// and "../" of a relative path are kept.
void collapseDots(std::string& path);

}  // namespace pelc
