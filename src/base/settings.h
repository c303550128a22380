// The run settings: filled once from the command line, then read-only.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pelc {

inline constexpr std::size_t kMaxDefines = 30;
inline constexpr std::size_t kMaxIncludeOptions = 11;
inline constexpr std::size_t kCommandLinePathLimit = 256;

struct Settings {
  bool checkOnly = false;                      // -d
  bool listing = false;                        // -L
  bool echoSource = false;                     // -M
  bool followChains = true;                    // -N turns it off
  bool suppressLineMarkers = false;            // -X
  bool checkInput = false;                     // -u
  bool checkWithoutOutput = false;             // --check: parse and report, write nothing
  std::string baseDirectory;                   // -B, else the input's directory
  std::vector<std::string> defineList;         // -D texts, in command-line order
  std::vector<std::string> includeOptionList;  // "-I" + normalised directory
  std::string inputPath;                       // derived from the first positional argument
  std::optional<std::string> outputPath;       // --output: the input's output, else beside it
  std::string dependencyFile;                  // --depfile, none when empty
  // Not from the command line: large files are emitted on a second thread
  // while the parse goes on; without it the parse emits them between lines.
  bool emissionThread = true;
};

/// The -I directories without their "-I", in command-line order.
std::vector<std::string> includeSearchDirectories(const Settings& settings);

}  // namespace pelc
