// Output of files large enough that their nodes are emitted while the parse
// goes on: it must be the very output of a file emitted after its parse.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "codegen/body_buffer.h"
#include "codegen/temporary_names.h"
#include "driver/run.h"
#include "source/file_system.h"

namespace pelc {
namespace {

constexpr int kLoops = 3000;  // four nodes each: several hand-overs

std::string loops() {
  std::string source;
  for (int i = 0; i < kLoops; ++i) source += "WHILE (x < 3)\n{\n    x = x + 1\n}\n";
  return source;
}

// The lines one loop of the source above gives at source line `line` with
// labels `test` and `test + 1`.
std::string loopOutput(int line, int test, bool markers) {
  const std::string top = std::to_string(test + 1);
  std::string out;
  if (markers) out += "#line " + std::to_string(line) + "\r\n";
  out += "GOTO PML" + std::to_string(test) + "\r\n:PML" + top + "\r\n";
  if (markers) out += "#line " + std::to_string(line + 2) + "\r\n";
  out += "    x = x + 1\r\n";
  if (markers) out += "#line " + std::to_string(line) + "\r\n";
  out += ":PML" + std::to_string(test) + "\r\nIF (x<3)\r\n    GOTO PML" + top + "\r\n";
  return out;
}

// Compared with == rather than EXPECT_EQ: a diff of megabytes helps no one.
std::string compile(const std::string& source, std::vector<std::string> args) {
  MemoryFileSystem fs;
  fs.addFile("p.pmp", source);
  std::ostringstream printed;
  args.push_back("p");
  EXPECT_EQ(runPelc(args, printed, fs), 0) << printed.str();
  return fs.files().at("p.pml");
}

TEST(StreamingEmissionTest, FirstMarkerNamesTheFileWithoutTemporaries) {
  std::string expected;
  for (int i = 0; i < kLoops; ++i) expected += loopOutput(4 * i + 1, 2 * i + 1, true);
  // The very first marker carries the file's name.
  expected.replace(0, std::string("#line 1").size(), "#line 1 \"p.pmp\"");
  EXPECT_TRUE(compile(loops(), {}) == expected);
}

TEST(StreamingEmissionTest, HeadWrittenLastWhenTheFileEndsWithASwitch) {
  const std::string temporary = temporaryName("p.pmp", 1);
  const int switchLine = 4 * kLoops + 1;
  std::string expected = "#line 0 \"p.pmp\"\r\nLOCAL " + temporary + "\r\n\r\n";
  for (int i = 0; i < kLoops; ++i) expected += loopOutput(4 * i + 1, 2 * i + 1, true);
  expected += "#line " + std::to_string(switchLine) + "\r\n" + temporary + " = (k)\r\n";
  // DEFAULT alone sets no label; the end's empty line comes after the last marker.
  expected += "#line " + std::to_string(switchLine + 4) + "\r\n\r\nCLEAR " + temporary + "\r\n";
  EXPECT_TRUE(compile(loops() + "SWITCH (k)\n{\nDEFAULT\n}\n", {}) == expected);
}

TEST(StreamingEmissionTest, WithoutMarkersAndWithAnExitAtTheEnd) {
  const std::string temporary = temporaryName("p.pmp", 1);
  std::string expected = "LOCAL " + temporary + "\r\n\r\n";
  for (int i = 0; i < kLoops; ++i) expected += loopOutput(0, 2 * i + 1, false);
  const std::string next = std::to_string(2 * kLoops + 1);
  const std::string epilogue = std::to_string(2 * kLoops + 2);
  expected += temporary + " = (k)\r\nIF (" + temporary + "!=(1))\r\n    GOTO PML" + next +
              "\r\n:PML" + next + "\r\n";
  expected += "GOTO PML" + epilogue + "\r\n:PML" + epilogue + "\r\n\r\nCLEAR " + temporary + "\r\n";
  EXPECT_TRUE(compile(loops() + "SWITCH (k)\n{\nCASE 1\n}\nEXIT\n", {"-X"}) == expected);
}

TEST(BodyBufferTest, LargeBodiesMoveToAScratchFileInOrder) {
  MemoryFileSystem fs;
  BodyBuffer body(fs, "p.pml");
  std::string written;
  for (int i = 0; written.size() < (9u << 20); ++i) {
    const std::string piece = std::to_string(i) + std::string(1000 + i % 7, 'a' + i % 26);
    body.write(piece);
    written += piece;
  }
  std::unique_ptr<OutputFile> out = fs.createReplacement("p.pml");
  body.copyTo(*out);
  out->commit();
  EXPECT_TRUE(fs.files().at("p.pml") == written);
}

/// A file system where no scratch file can be made.
class NoScratchFileSystem final : public FileSystem {
 public:
  std::string readFile(const std::string& path) override { return files_.readFile(path); }
  std::optional<std::string> tryReadFile(const std::string& path) override {
    return files_.tryReadFile(path);
  }
  bool canReadStatus(const std::string& path) override { return files_.canReadStatus(path); }
  std::unique_ptr<OutputFile> createReplacement(const std::string& path) override {
    return files_.createReplacement(path);
  }
  std::unique_ptr<ScratchFile> createScratch(const std::string& path) override {
    throw FileError(FileError::Operation::Write, path, "Permission denied");
  }
  MemoryFileSystem files_;
};

TEST(BodyBufferTest, StaysInMemoryWhenNoScratchFileCanBeMade) {
  NoScratchFileSystem fs;
  BodyBuffer body(fs, "p.pml");
  const std::string piece(1 << 20, 'x');
  for (int i = 0; i < 3; ++i) body.write(piece);
  std::unique_ptr<OutputFile> out = fs.createReplacement("p.pml");
  body.copyTo(*out);
  out->commit();
  EXPECT_EQ(fs.files_.files().at("p.pml").size(), 3u << 20);
}

}  // namespace
}  // namespace pelc
