// Output of files large enough that their nodes are emitted while the parse
// goes on: it must be the very output of a file emitted after its parse.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "codegen/body_buffer.h"
#include "driver/run.h"
#include "parser/temporary_names.h"
#include "source/file_system.h"

namespace pelc {
namespace {

constexpr int kLoops = 10000;  // four nodes each: a few hand-overs

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

// The head grows after the body has gone to its file: the body makes room.
TEST(StreamingEmissionTest, HeadDeepensAfterHandOvers) {
  const std::string temporary = temporaryName("p.pmp", 1);
  const int switchLine = 4 * kLoops + 1;
  for (const bool markers : {true, false}) {
    const auto marker = [markers](int line) {
      return markers ? "#line " + std::to_string(line) + "\r\n" : std::string();
    };
    std::string expected = markers ? "#line 0 \"p.pmp\"\r\n" : "";
    expected += "LOCAL " + temporary + "\r\n\r\n";
    for (int i = 0; i < kLoops; ++i) expected += loopOutput(4 * i + 1, 2 * i + 1, markers);
    expected += marker(switchLine) + temporary + " = (k)\r\n";
    for (int i = 0; i < kLoops; ++i) {
      expected += loopOutput(switchLine + 4 + 4 * i, 2 * kLoops + 2 * i + 1, markers);
    }
    expected += marker(switchLine + 4 + 4 * kLoops) + "\r\nCLEAR " + temporary + "\r\n";
    const std::string source = loops() + "SWITCH (k)\n{\nDEFAULT\n}\n" + loops();
    EXPECT_TRUE(compile(source, markers ? std::vector<std::string>{}
                                        : std::vector<std::string>{"-X"}) == expected)
        << markers;
  }
}

/// A memory file system to read from, whose output files a test makes in its
/// own way.
class MemoryBackedFileSystem : public FileSystem {
 public:
  SourceBytes readFile(const std::string& path) override { return files_.readFile(path); }
  std::optional<SourceBytes> tryReadFile(const std::string& path) override {
    return files_.tryReadFile(path);
  }
  bool canReadStatus(const std::string& path) override { return files_.canReadStatus(path); }
  std::optional<FileTime> modificationTime(const std::string& path) override {
    return files_.modificationTime(path);
  }
  MemoryFileSystem files_;
};

/// A memory file system that takes its time to make an output file, as a
/// disk may.
class SlowFileSystem final : public MemoryBackedFileSystem {
 public:
  std::unique_ptr<OutputFile> createReplacement(const std::string& path) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return files_.createReplacement(path);
  }
};

// The parse may end while the emission thread is making the output file for
// its first bytes: the rest must go into that same file.
TEST(StreamingEmissionTest, ParseEndsWhileTheOutputFileIsMade) {
  // Plain lines past the first hand-over by size; the rest takes the parse
  // from a few to some tens of milliseconds, while the emission thread waits
  // for its file.
  for (const std::size_t rest :
       {std::size_t{1} << 19, std::size_t{1} << 20, std::size_t{2} << 20}) {
    std::string source;
    std::string expected;
    for (int i = 0; source.size() < (std::size_t{4} << 20) + rest; ++i) {
      // Appended piece by piece: "v" + std::to_string(...) draws a false -Wrestrict at -O3.
      std::string line = "v";
      line += std::to_string(i % 97);
      line += " = v";
      line += std::to_string(i % 89);
      source += line + "\n";
      expected += line + "\r\n";
    }
    SlowFileSystem fs;
    fs.files_.addFile("p.pmp", source);
    std::ostringstream printed;
    const std::vector<std::string> args = {"-X", "p"};
    EXPECT_EQ(runPelc(args, printed, fs), 0) << printed.str();
    EXPECT_TRUE(fs.files_.files().at("p.pml") == expected) << rest;
  }
}

// A check alone drops finished constructs as it goes; what is still open at
// the end is reported all the same.
TEST(StreamingEmissionTest, CheckOnlyDropsFinishedConstructs) {
  struct Case {
    const char* name;
    std::string tail;
    int status;
    std::string printed;
  };
  const std::string end = std::to_string(4 * kLoops + 4);
  const std::string eof = std::to_string(4 * kLoops + 5);
  const Case cases[] = {
      {"clean", "", 0, "p.pmp:\n"},
      {"open at the end", "IF (a)\n{\n  b = 1\nELSE\n", 1,
       "p.pmp:\np.pmp (" + end + "): Prompt not found: pnum = 255\np.pmp (" + eof +
           "): Prompt not found: pnum = 255\n"},
  };
  for (const Case& c : cases) {
    MemoryFileSystem fs;
    fs.addFile("p.pmp", loops() + c.tail);
    std::ostringstream printed;
    const std::vector<std::string> args = {"-d", "p"};
    EXPECT_EQ(runPelc(args, printed, fs), c.status) << c.name;
    EXPECT_EQ(printed.str(), c.printed) << c.name;
    EXPECT_EQ(fs.files().count("p.pml"), c.status == 0 ? 1u : 0u) << c.name;
    if (c.status == 0) {
      EXPECT_EQ(fs.files().at("p.pml"), "") << c.name;
    }
  }
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

// Stretches of source without nodes are copied through in pieces while the
// parse goes on; the pieces must join into the very copy of the whole.
TEST(StreamingEmissionTest, StretchesWithoutNodesCopiedInPieces) {
  std::string source;
  std::string expected;
  for (int i = 0; source.size() < (3u << 20); ++i) {
    std::string line = std::to_string(i % 97);
    line.insert(line.begin(), 'v');
    line += " = w" + std::to_string(i) + " + 1";
    line.append(static_cast<std::size_t>(i % 13), ' ');
    // Some lines end in CR LF already; some are empty.
    const bool crlf = i % 5 == 0;
    source += line + (crlf ? "\r\n" : "\n");
    expected += line + "\r\n";
    if (i % 7 == 0) {
      source += "\n";
      expected += "\r\n";
    }
  }
  source += "last = 1";  // no line end at the end of the file
  expected += "last = 1";
  EXPECT_TRUE(compile(source, {"-X"}) == expected);
  // A construct now and then; the copies around it are the same.
  EXPECT_TRUE(
      compile(source + "\nWHILE (x < 3)\n{\n    x = x + 1\n}\n", {"-X"}).starts_with(expected));
}

/// Output files that take `room` bytes and then fail as a full disk does.
class FullDiskFileSystem final : public MemoryBackedFileSystem {
 public:
  explicit FullDiskFileSystem(std::size_t room) : room_(room) {}
  std::unique_ptr<OutputFile> createReplacement(const std::string& path) override;

 private:
  class LimitedFile;
  std::size_t room_;
};

class FullDiskFileSystem::LimitedFile final : public OutputFile {
 public:
  LimitedFile(std::unique_ptr<OutputFile> file, std::string path, std::size_t room)
      : file_(std::move(file)), path_(std::move(path)), room_(room) {}
  void write(std::string_view bytes) override {
    if (bytes.size() > room_) {
      throw FileError(FileError::Operation::Write, path_, "No space left on device");
    }
    room_ -= bytes.size();
    file_->write(bytes);
  }
  void reserveFront(std::size_t size) override { file_->reserveFront(size); }
  void fillFront(std::string_view bytes) override { file_->fillFront(bytes); }
  void copyTo(OutputFile& out) override { file_->copyTo(out); }
  void commit() override { file_->commit(); }

 private:
  std::unique_ptr<OutputFile> file_;
  std::string path_;
  std::size_t room_;
};

std::unique_ptr<OutputFile> FullDiskFileSystem::createReplacement(const std::string& path) {
  return std::make_unique<LimitedFile>(files_.createReplacement(path), path, room_);
}

// Failures while nodes are being emitted beside the parse: the file is
// abandoned with its message and nothing is written.
TEST(StreamingEmissionTest, FailuresBesideTheParseAbandonTheFile) {
  struct Case {
    const char* name;
    std::string source;
    std::size_t room;
    std::string message;
  };
  const std::string longLine = "x = \"" + std::string(3000, 'y') + "\"\n";
  const Case cases[] = {
      {"disk full", loops() + loops() + loops(), 1 << 16,
       "pelc: cannot write p.pml: No space left on device\n"},
      {"line too long after hand-overs", loops() + longLine + loops(), std::size_t{1} << 30,
       "p.pmp (" + std::to_string(4 * kLoops + 1) + "): Prompt not found: pnum = 223\n"},
  };
  for (const Case& c : cases) {
    for (const bool thread : {true, false}) {
      FullDiskFileSystem fs(c.room);
      fs.files_.addFile("p.pmp", c.source);
      std::ostringstream printed;
      const std::vector<std::string> args = {"p"};
      EXPECT_NE(runPelc(args, printed, fs, {.emissionThread = thread}), 0) << c.name;
      EXPECT_NE(printed.str().find(c.message), std::string::npos) << c.name << printed.str();
      EXPECT_EQ(fs.files_.files().count("p.pml"), 0u) << c.name;
    }
  }
}

// Where no second thread is had, the parse emits the handed-over nodes itself:
// the same files and the same messages.
TEST(StreamingEmissionTest, WithoutTheSecondThreadTheRunIsTheSame) {
  struct Case {
    const char* name;
    std::string source;
    std::vector<std::string> args;
  };
  const Case cases[] = {
      {"loops", loops(), {"p"}},
      {"deepening switch, exit", loops() + "SWITCH (k)\n{\nCASE 1\n}\nEXIT\n", {"-X", "p"}},
      {"error after hand-overs", loops() + "IF (a) b\n" + loops(), {"p"}},
      {"check only", loops() + "WHILE (a\n" + loops(), {"-d", "p"}},
  };
  for (const Case& c : cases) {
    std::string results[2];
    for (const bool thread : {true, false}) {
      MemoryFileSystem fs;
      fs.addFile("p.pmp", c.source);
      std::ostringstream printed;
      const int status = runPelc(c.args, printed, fs, {.emissionThread = thread});
      std::string& result = results[thread ? 0 : 1];
      result = std::to_string(status) + "\n" + printed.str();
      for (const auto& [path, bytes] : fs.files()) result += path + "\n" + bytes;
    }
    EXPECT_TRUE(results[0] == results[1]) << c.name;
    EXPECT_GT(results[0].size(), 100000u) << c.name;  // the loops reached the output
  }
}

/// Pieces of varied length and content, `size` bytes or a little more.
std::string writeBody(BodyBuffer& body, std::size_t size) {
  std::string written;
  for (int i = 0; written.size() < size; ++i) {
    const std::string piece = std::to_string(i) + std::string(1000 + i % 7, 'a' + i % 26);
    body.write(piece);
    written += piece;
  }
  return written;
}

TEST(BodyBufferTest, TheHeadGoesInFrontOfBodiesOfEverySize) {
  for (const std::size_t size : {std::size_t{0}, std::size_t{5000}, std::size_t{9} << 20}) {
    for (const std::string_view head : {"", "LOCAL T\r\n\r\n"}) {
      MemoryFileSystem fs;
      BodyBuffer body(fs, "p.pml");
      const std::string written = writeBody(body, size);
      body.takeOutput(head)->commit();
      EXPECT_TRUE(fs.files().at("p.pml") == std::string(head) + written)
          << size << " bytes, head " << head.size();
      EXPECT_EQ(fs.files().size(), 1u);
    }
  }
}

/// A memory file system that counts the output files it makes.
class CountingFileSystem final : public MemoryBackedFileSystem {
 public:
  std::unique_ptr<OutputFile> createReplacement(const std::string& path) override {
    ++made;
    return files_.createReplacement(path);
  }
  int made = 0;
};

// The body's file leaves room for the head expected while it is written; the
// body moves to a second file only when the room turned out wrong, and stops
// moving after a few moves, whatever the expectations.
TEST(BodyBufferTest, RoomForTheExpectedHead) {
  struct Case {
    const char* name;
    std::vector<std::size_t> expected;  // before the spill, then one per piece of body
    std::string head;
    int filesMade;
  };
  const std::string head9 = "LOCAL T\r\n";
  const Case cases[] = {
      {"no head, none expected", {0, 0, 0}, "", 1},
      {"expected from the start", {9, 9, 9}, head9, 1},
      {"expected late", {0, 0, 9}, head9, 2},
      {"expected, then none", {9, 9, 9}, "", 2},
      {"growing, then right", {0, 3, 6, 9}, head9, 4},
      {"moves run out", {0, 1, 2, 3, 4, 5, 6}, head9, 5},
  };
  for (const Case& c : cases) {
    CountingFileSystem fs;
    BodyBuffer body(fs, "p.pml");
    body.expectHead(c.expected.front());
    std::string written = writeBody(body, 1 << 19);  // past the spill
    for (std::size_t i = 1; i < c.expected.size(); ++i) {
      body.expectHead(c.expected[i]);
      written += writeBody(body, 5000);
    }
    body.takeOutput(c.head)->commit();
    EXPECT_TRUE(fs.files_.files().at("p.pml") == c.head + written) << c.name;
    EXPECT_EQ(fs.made, c.filesMade) << c.name;
  }
}

/// Records in order what it was asked for and whether on the thread that made it.
class WatchingFileSystem final : public MemoryBackedFileSystem {
 public:
  std::unique_ptr<OutputFile> createReplacement(const std::string& path) override {
    note("create");
    return files_.createReplacement(path);
  }
  void expectLongWrite() override { note("long"); }

  std::vector<std::string> events() {
    const std::lock_guard lock(mutex_);
    return events_;
  }

 private:
  void note(const std::string& what) {
    const std::lock_guard lock(mutex_);
    events_.push_back(what + (std::this_thread::get_id() == main_ ? "" : " elsewhere"));
  }

  const std::thread::id main_ = std::this_thread::get_id();
  std::mutex mutex_;
  std::vector<std::string> events_;
};

// An interrupt cleanup is armed on the main thread before an output can stay
// half-written for long, and only then: a small output is written in an
// instant. After the parse the file is made first, to learn whether it can be,
// and the long write is announced when the first 256 KB go into it.
TEST(StreamingEmissionTest, LongWritesAreAnnouncedOnTheMainThreadFirst) {
  struct Case {
    const char* name;
    std::size_t sourceSize;
    std::vector<std::string> events;  // the first ones
  };
  const Case cases[] = {
      {"small output", 1000, {"create"}},
      {"large output written after the parse", std::size_t{1} << 20, {"create", "long"}},
      {"output written beside the parse",
       std::size_t{5} << 20,
       {"long", "long elsewhere", "create elsewhere"}},
  };
  for (const Case& c : cases) {
    std::string source;
    while (source.size() < c.sourceSize) source += "v1 = v2 + 3\n";
    WatchingFileSystem fs;
    fs.files_.addFile("p.pmp", source);
    std::ostringstream printed;
    EXPECT_EQ(runPelc(std::vector<std::string>{"-X", "p"}, printed, fs), 0) << printed.str();
    const std::vector<std::string> events = fs.events();
    ASSERT_GE(events.size(), c.events.size()) << c.name;
    EXPECT_EQ(std::vector<std::string>(events.begin(), events.begin() + c.events.size()), c.events)
        << c.name;
    EXPECT_EQ(fs.files_.files().at("p.pml").size(), source.size() + source.size() / 12) << c.name;
  }
}

/// A file system that makes no output file while `refusing` holds.
class RefusingFileSystem final : public MemoryBackedFileSystem {
 public:
  std::unique_ptr<OutputFile> createReplacement(const std::string& path) override {
    if (refusing) throw FileError(FileError::Operation::Write, path, "Permission denied");
    return files_.createReplacement(path);
  }
  bool refusing = true;
};

TEST(BodyBufferTest, StaysInMemoryUntilTheOutputFileCanBeMade) {
  RefusingFileSystem fs;
  BodyBuffer body(fs, "p.pml");
  const std::string written = writeBody(body, 3u << 20);
  EXPECT_THROW(body.openOutput(), FileError);
  fs.refusing = false;
  body.takeOutput("H\r\n")->commit();
  EXPECT_TRUE(fs.files_.files().at("p.pml") == "H\r\n" + written);
}

}  // namespace
}  // namespace pelc
