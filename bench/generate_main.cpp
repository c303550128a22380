// Command-line front of the benchmark source generator.
//
//   bench_generate all|plain <megabytes> <directory>
// writes <directory>/main.pmp and the files it includes.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "source_generator.h"

namespace {

namespace fs = std::filesystem;

int usage() {
  std::cerr << "usage: bench_generate all|plain <megabytes> <directory>\n";
  return 2;
}

// The compiler takes an include name as written, quotes included, while the C preprocessor
// strips them; a link named with the quotes lets both find the same file.
void writeIncludes(const fs::path& directory) {
  for (const pelc::bench::IncludedFile& file : pelc::bench::includedFiles()) {
    std::ofstream(directory / file.name, std::ios::binary) << file.bytes;
    const fs::path quoted = directory / ("\"" + file.name + "\"");
    fs::remove(quoted);
    fs::create_symlink(file.name, quoted);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return usage();
  const std::string_view kindName = argv[1];
  if (kindName != "all" && kindName != "plain") return usage();
  const double megabytes = std::strtod(argv[2], nullptr);
  if (megabytes <= 0) return usage();
  const fs::path directory = argv[3];
  fs::create_directories(directory);
  const auto kind = kindName == "all" ? pelc::bench::SourceKind::AllConstructs
                                      : pelc::bench::SourceKind::PlainStatements;
  std::ofstream main(directory / "main.pmp", std::ios::binary);
  const std::size_t written = pelc::bench::writeSource(
      kind, static_cast<std::size_t>(megabytes * 1024 * 1024), main);
  main.close();
  if (!main) {
    std::cerr << "bench_generate: cannot write " << (directory / "main.pmp") << "\n";
    return 1;
  }
  if (kind == pelc::bench::SourceKind::AllConstructs) writeIncludes(directory);
  std::cout << (directory / "main.pmp").string() << ": " << written << " bytes\n";
  return 0;
}
