// Fuzz target: arbitrary bytes as the command line, one argument per line, over a small tree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "driver/run.h"
#include "printed_report.h"
#include "source/file_system.h"

namespace {

// Enough for every option limit (30 -D, 11 -I) to be crossed.
constexpr std::size_t kMaxArguments = 64;

std::vector<std::string> splitArguments(std::string_view data) {
  std::vector<std::string> args;
  while (!data.empty() && args.size() < kMaxArguments) {
    const std::size_t cut = data.find('\n');
    args.emplace_back(data.substr(0, cut));
    if (cut == std::string_view::npos) break;
    data.remove_prefix(cut + 1);
  }
  return args;
}

// Relative names resolve against "." for includes and against the input's directory for
// CHAIN targets, so both spellings are present.
void addTree(pelc::MemoryFileSystem& fs) {
  const std::string main =
      "#INCLUDE inc.pmp\nIF (A == 1)\n{\n  CHAIN y\n}\nSWITCH (k)\n{\nCASE 1\n  BREAK\n}\n"
      "#IFDEF NAME\nx = NAME\n#ENDIF\nEXIT\n";
  fs.addFile("x.pmp", main);
  fs.addFile("./x.pmp", main);
  fs.addFile("y.pmp", "DOSUB dir/w\nWHILE (b)\n  b = b - 1\n");
  fs.addFile("inc.pmp", "#DEFINE A 1\n");
  fs.addFile("./inc.pmp", "#DEFINE A 1\n");
  fs.addFile("dir/w.pmp", "FOR (i = 0; i < 3; i = i + 1)\n  s = s + i\n");
  fs.addFile("dir/inc.pmp", "#DEFINE A 2\n");
  fs.addFile("/abs/z.pmp", "#INCLUDE inc.pmp\nDO\n  z = A\nWHILE (z)\n");
  fs.addFile("/abs/inc.pmp", "#DEFINE A 3\n");
  fs.addDirectory("dir");
  fs.addDirectory("d.pmp");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> args =
      splitArguments(std::string_view(reinterpret_cast<const char*>(data), size));
  pelc::MemoryFileSystem fs;
  addTree(fs);
  std::ostringstream out;
  const int status = pelc::runPelc(args, out, fs);
  if (status != 0 && status != 1 && status != 255) std::abort();
  const pelc::fuzz::PrintedReport report = pelc::fuzz::classifyPrinted(out.str());
  if (report.internalError) std::abort();
  if (status == 0 && (report.error || report.fileError)) std::abort();
  return 0;
}
