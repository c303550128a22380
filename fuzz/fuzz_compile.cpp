// Fuzz target: arbitrary bytes compiled as a source file, with include and CHAIN targets in memory.
//
// The input is split at the line "====": the first part is the compiled file /fz/main.pmp,
// the second (if any) replaces /fz/inc.pmp and the third /fz/next.pmp, so that mutations also
// reach included and chained files. The input's size modulo 8 picks the options -M, -X, -L.
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

constexpr std::string_view kPartSeparator = "\n====\n";
constexpr std::size_t kMaxParts = 3;

constexpr std::string_view kDefaultInclude =
    "#DEFINE N 10\n#IFDEF FUZZ\nx = N /* ten */\n#ELSE\nx = 0\n#ENDIF\nIF (x == N)\n  y = 'A'\n";
constexpr std::string_view kDefaultChained =
    "SWITCH (k)\n{\nCASE 1\n  a = 1\n  BREAK\nCASE 2:5\nDEFAULT\n}\nEXIT\n";

struct Part {
  std::string path;
  std::string_view fallback;
};

const Part kParts[kMaxParts] = {
    {"/fz/main.pmp", ""}, {"/fz/inc.pmp", kDefaultInclude}, {"/fz/next.pmp", kDefaultChained}};

std::vector<std::string_view> splitParts(std::string_view data) {
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < kMaxParts) {
    const std::size_t cut = data.find(kPartSeparator);
    if (cut == std::string_view::npos) break;
    parts.push_back(data.substr(0, cut));
    data.remove_prefix(cut + kPartSeparator.size());
  }
  parts.push_back(data);
  return parts;
}

void addFixedFiles(pelc::MemoryFileSystem& fs) {
  fs.addFile("/fz/defs.pmp", "#DEFINE ONE 1\n#DEFINE TWO ONE+ONE\n#UNDEF ONE\n#DEFINE E\n");
  fs.addFile("/fz/self.pmp", "x = 1\n#INCLUDE self.pmp\n");
  fs.addFile("/fz/open.pmp", "#IFDEF FUZZ\nWHILE (a)\n{\n");
  fs.addFile("/fz/sub/deep.pmp", "#INCLUDE defs.pmp\nDO\n  CONTINUE\nWHILE (b)\n");
  fs.addFile("/fz/loop.pmp", "CHAIN main\nDOSUB ./next.pmp\nCHAIN sub/deep\n");
  fs.addFile("/fz/empty.pmp", "");
  fs.addDirectory("/fz/dir.pmp");
}

std::vector<std::string> argumentsFor(std::size_t size) {
  std::vector<std::string> args;
  if ((size & 1u) != 0) args.emplace_back("-M");
  if ((size & 2u) != 0) args.emplace_back("-X");
  if ((size & 4u) != 0) args.emplace_back("-L");
  args.emplace_back("-DFUZZ=1");
  args.emplace_back("-B/fz");
  args.emplace_back("/fz/main.pmp");
  return args;
}

bool endsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// The compiler may only add .pml files; the sources it read must stay as they were.
void checkTree(const pelc::MemoryFileSystem& before, const pelc::MemoryFileSystem& after) {
  for (const auto& [path, bytes] : after.files()) {
    const auto original = before.files().find(path);
    if (original == before.files().end()) {
      if (!endsWith(path, ".pml")) std::abort();
    } else if (original->second != bytes && !endsWith(path, ".pml")) {
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  pelc::MemoryFileSystem fs;
  addFixedFiles(fs);
  const std::vector<std::string_view> parts = splitParts(input);
  for (std::size_t i = 0; i < kMaxParts; ++i) {
    fs.addFile(kParts[i].path, std::string(i < parts.size() ? parts[i] : kParts[i].fallback));
  }
  const pelc::MemoryFileSystem before = fs;
  std::ostringstream out;
  const std::vector<std::string> args = argumentsFor(size);
  const int status = pelc::runPelc(args, out, fs);
  checkTree(before, fs);
  // The command line is always valid: status 1 exactly when an error or a file error was
  // printed, and a clean run has written the compiled file's output.
  const pelc::fuzz::PrintedReport report = pelc::fuzz::classifyPrinted(out.str());
  if (report.internalError) std::abort();
  if (status != (report.error || report.fileError ? 1 : 0)) std::abort();
  if (status == 0 && fs.files().count("/fz/main.pml") == 0) std::abort();
  return 0;
}
