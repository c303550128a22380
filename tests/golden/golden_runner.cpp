// Runs one golden case (arguments, input tree, expected output and files) against the compiler.
//
// Usage: golden_runner [--formats] <path-to-pelc> <case-dir>. Exit 0 when the case passes, 1
// when it does not, 2 when the case directory itself is malformed. tests/golden/README.md
// describes the case layout and --formats.
// PELC_RUN_PREFIX, when set, holds words run before the program (e.g. "wine" for a pelc.exe).

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

namespace pelc::golden {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Only a hung program should meet it: a loaded machine, or a program started
// through an emulator, can take seconds for a case that is otherwise instant.
constexpr auto kTimeout = std::chrono::seconds(60);
// Lines of context shown around the first difference; outputs can be long.
constexpr int kContextBefore = 3;
constexpr int kContextAfter = 8;

/// A problem with the case directory itself, not with the program under test.
struct CaseError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct RunResult {
  std::string out;
  std::string err;
  int exitStatus = -1;  // valid when neither timedOut nor termSignal
  int termSignal = 0;
  bool timedOut = false;
};

// ---------------------------------------------------------------------------
// Files

std::optional<std::string> readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// Splits on LF; a final LF ends the last line rather than starting an empty one.
std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

/// The args file is taken byte for byte: a CR in it would be part of an argument.
std::vector<std::string> readArgs(const fs::path& caseDir) {
  return splitLines(readFile(caseDir / "args").value_or(""));
}

int readExpectedStatus(const fs::path& caseDir) {
  auto text = readFile(caseDir / "status");
  if (!text) throw CaseError("no status file");
  std::string_view digits(*text);
  while (!digits.empty() && std::isspace(static_cast<unsigned char>(digits.back()))) {
    digits.remove_suffix(1);
  }
  int value = -1;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (ec != std::errc() || end != digits.data() + digits.size() || value < 0 || value > 255) {
    throw CaseError("status must be a decimal number from 0 to 255");
  }
  return value;
}

// ---------------------------------------------------------------------------
// Scratch directory

class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "pelc-golden-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      throw CaseError(std::string("cannot create scratch directory: ") + std::strerror(errno));
    }
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

/// Relative path (with '/') of every entry below root, with its type; links are not followed.
using Tree = std::map<std::string, fs::file_type>;

Tree scanTree(const fs::path& root) {
  Tree tree;
  if (!fs::is_directory(root)) return tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    tree[entry.path().lexically_relative(root).generic_string()] = entry.symlink_status().type();
  }
  return tree;
}

void runSetup(const fs::path& caseDir, const fs::path& scratch) {
  auto text = readFile(caseDir / "setup");
  if (!text) return;
  for (const std::string& line : splitLines(*text)) {
    if (line.empty()) continue;
    // "age <seconds> <path>": the file was last changed that long ago.
    if (std::istringstream words(line); line.starts_with("age ")) {
      std::string word, path;
      long seconds = 0;
      words >> word >> seconds >> path;
      if (path.empty() || fs::path(path).is_absolute()) {
        throw CaseError("setup line not understood: " + line);
      }
      fs::last_write_time(scratch / path,
                          fs::file_time_type::clock::now() - std::chrono::seconds(seconds));
      continue;
    }
    constexpr std::string_view kMkdir = "mkdir ";
    fs::path target = line.starts_with(kMkdir) ? fs::path(line.substr(kMkdir.size())) : fs::path();
    if (target.empty() || target.is_absolute()) {
      throw CaseError("setup line not understood: " + line);
    }
    fs::create_directories(scratch / target);
  }
}

void prepareScratch(const fs::path& caseDir, const fs::path& scratch) {
  if (fs::is_directory(caseDir / "input")) {
    fs::copy(caseDir / "input", scratch,
             fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  }
  runSetup(caseDir, scratch);
}

// ---------------------------------------------------------------------------
// Running the program

/// Only async-signal-safe calls between fork and exec. The child leads its own process group
/// so that a timeout also kills whatever it started.
[[noreturn]] void execChild(const char* exe, char* const argv[], const char* cwd, int outFd,
                            int errFd) {
  setpgid(0, 0);
  int nullFd = open("/dev/null", O_RDONLY);
  if (nullFd < 0 || dup2(nullFd, STDIN_FILENO) < 0 || dup2(outFd, STDOUT_FILENO) < 0 ||
      dup2(errFd, STDERR_FILENO) < 0 || chdir(cwd) != 0) {
    _exit(127);
  }
  execv(exe, argv);
  constexpr char kMessage[] = "golden_runner: exec failed\n";
  [[maybe_unused]] ssize_t ignored = write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
  _exit(127);
}

/// Reads both pipes until they close or the deadline passes; false on timeout.
bool drainPipes(int outFd, int errFd, RunResult& result, Clock::time_point deadline) {
  pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int openCount = 2;
  while (openCount > 0) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    int ready = poll(fds, 2, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) throw std::runtime_error("poll failed");
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        fds[i].fd = -1;
        --openCount;
      }
    }
  }
  return true;
}

/// Waits for the child until the deadline, then kills it.
void reapChild(pid_t pid, RunResult& result, Clock::time_point deadline) {
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (result.timedOut || Clock::now() >= deadline) {
      result.timedOut = true;
      kill(-pid, SIGKILL);
      waitpid(pid, &status, 0);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.termSignal = WTERMSIG(status);
}

/// The program named by `word`: as given when it holds a '/', else the first one found
/// along PATH; looked up here, since the child may only call what is safe after fork.
std::string findProgram(const std::string& word) {
  if (word.find('/') != std::string::npos) return word;
  const char* path = std::getenv("PATH");
  std::istringstream folders(path == nullptr ? "" : path);
  for (std::string folder; std::getline(folders, folder, ':');) {
    const fs::path candidate = fs::path(folder.empty() ? "." : folder) / word;
    if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  return word;
}

/// The words of PELC_RUN_PREFIX, put before the program: "wine" runs a pelc.exe.
std::vector<std::string> runPrefix() {
  const char* prefix = std::getenv("PELC_RUN_PREFIX");
  std::istringstream words(prefix == nullptr ? "" : prefix);
  std::vector<std::string> found;
  for (std::string word; words >> word;) found.push_back(found.empty() ? findProgram(word) : word);
  return found;
}

RunResult runProgram(const fs::path& exe, const std::vector<std::string>& args,
                     const fs::path& cwd) {
  std::vector<std::string> owned = runPrefix();
  owned.push_back(exe.string());
  const std::string exeText = owned.front();
  std::string cwdText = cwd.string();
  owned.insert(owned.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : owned) argv.push_back(arg.data());
  argv.push_back(nullptr);

  int outPipe[2];
  int errPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe failed");
  }
  std::cout.flush();
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) execChild(exeText.c_str(), argv.data(), cwdText.c_str(), outPipe[1], errPipe[1]);
  close(outPipe[1]);
  close(errPipe[1]);

  RunResult result;
  Clock::time_point deadline = Clock::now() + kTimeout;
  result.timedOut = !drainPipes(outPipe[0], errPipe[0], result, deadline);
  close(outPipe[0]);
  close(errPipe[0]);
  reapChild(pid, result, deadline);
  return result;
}

// ---------------------------------------------------------------------------
// Reporting

std::string escape(std::string_view line) {
  std::string shown;
  for (char c : line) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '\r') {
      shown += "\\r";
    } else if (c == '\t') {
      shown += "\\t";
    } else if (c == '\\') {
      shown += "\\\\";
    } else if (byte < 0x20 || byte >= 0x7f) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", byte);
      shown += hex;
    } else {
      shown += c;
    }
  }
  return shown;
}

/// Lines with their LF kept, so that a missing final line end is visible.
std::vector<std::string_view> linesWithEnds(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
    lines.push_back(text.substr(0, length));
    text.remove_prefix(length);
  }
  return lines;
}

void showLines(std::ostream& report, std::string_view label, std::string_view text,
               int markedLine) {
  auto lines = linesWithEnds(text);
  report << "  " << label << " (" << text.size() << " bytes):\n";
  if (lines.empty()) report << "        (empty)\n";
  int first = std::max(0, markedLine - kContextBefore);
  int last = std::min(static_cast<int>(lines.size()), markedLine + kContextAfter + 1);
  if (first > 0) report << "        ...\n";
  for (int i = first; i < last; ++i) {
    std::string_view line = lines[static_cast<std::size_t>(i)];
    bool hasEnd = line.ends_with('\n');
    if (hasEnd) line.remove_suffix(1);
    char number[16];
    std::snprintf(number, sizeof number, "%5d", i + 1);
    report << (i == markedLine ? "    > " : "      ") << number << " | " << escape(line)
           << (hasEnd ? "\\n" : "") << '\n';
  }
  if (last < static_cast<int>(lines.size())) report << "        ...\n";
}

/// Reports whether the two texts are equal; if not, describes where they part.
bool compareText(std::ostream& report, std::string_view what, std::string_view expected,
                 std::string_view actual) {
  if (expected == actual) return true;
  auto mismatch = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
  auto offset = static_cast<std::size_t>(mismatch.first - expected.begin());
  int line = static_cast<int>(std::count(expected.begin(), mismatch.first, '\n'));
  report << what << " differs at byte " << offset << " (line " << line + 1 << "):\n";
  showLines(report, "expected", expected, line);
  showLines(report, "actual", actual, line);
  return false;
}

// ---------------------------------------------------------------------------
// Checks

bool checkRun(std::ostream& report, const RunResult& run, int expectedStatus,
              const std::string& expectedOut) {
  bool ok = true;
  if (run.timedOut) {
    report << "program did not finish within " << kTimeout.count() << " s and was killed\n";
    ok = false;
  } else if (run.termSignal != 0) {
    report << "program was killed by signal " << run.termSignal << '\n';
    ok = false;
  } else if (run.exitStatus != expectedStatus) {
    report << "exit status: expected " << expectedStatus << ", actual " << run.exitStatus << '\n';
    ok = false;
  }
  ok = compareText(report, "stdout", expectedOut, run.out) && ok;
  if (!run.err.empty()) {
    report << "the program wrote to stderr, which it must never do:\n";
    showLines(report, "stderr", run.err, 0);
    ok = false;
  }
  return ok;
}

std::string_view typeName(fs::file_type type) {
  switch (type) {
    case fs::file_type::regular:
      return "file";
    case fs::file_type::directory:
      return "directory";
    case fs::file_type::symlink:
      return "symbolic link";
    default:
      return "special file";
  }
}

bool checkExpectedEntry(std::ostream& report, const std::string& name, fs::file_type type,
                        const Tree& after, const fs::path& expectedRoot, const fs::path& scratch) {
  auto found = after.find(name);
  if (found == after.end()) {
    report << "expected " << typeName(type) << " " << name << " was not created\n";
    return false;
  }
  if (found->second != type) {
    report << name << ": expected a " << typeName(type) << ", found a "
           << typeName(found->second) << '\n';
    return false;
  }
  if (type != fs::file_type::regular) return true;
  return compareText(report, "file " + name, readFile(expectedRoot / name).value_or(""),
                     readFile(scratch / name).value_or(""));
}

/// An entry not named in output/ must be an input (or setup) entry left as it was.
bool checkOtherEntry(std::ostream& report, const std::string& name, fs::file_type type,
                     const Tree& before, const fs::path& inputRoot, const fs::path& scratch) {
  auto found = before.find(name);
  if (found == before.end()) {
    report << "unexpected " << typeName(type) << " " << name << " left in the directory\n";
    if (type == fs::file_type::regular) {
      showLines(report, "its content", readFile(scratch / name).value_or(""), 0);
    }
    return false;
  }
  if (found->second != type) {
    report << name << " was a " << typeName(found->second) << " and is now a " << typeName(type)
           << '\n';
    return false;
  }
  if (type != fs::file_type::regular) return true;
  return compareText(report, "input file " + name + " (it must stay unchanged)",
                     readFile(inputRoot / name).value_or(""),
                     readFile(scratch / name).value_or(""));
}

bool checkFiles(std::ostream& report, const fs::path& caseDir, const fs::path& scratch,
                const Tree& before) {
  Tree after = scanTree(scratch);
  Tree expected = scanTree(caseDir / "output");
  bool ok = true;
  for (const auto& [name, type] : expected) {
    ok = checkExpectedEntry(report, name, type, after, caseDir / "output", scratch) && ok;
  }
  for (const auto& [name, type] : after) {
    if (expected.contains(name)) continue;
    ok = checkOtherEntry(report, name, type, before, caseDir / "input", scratch) && ok;
  }
  for (const auto& [name, type] : before) {
    if (!after.contains(name) && !expected.contains(name)) {
      report << "input " << typeName(type) << " " << name << " was removed\n";
      ok = false;
    }
  }
  return ok;
}

bool runCase(std::ostream& report, const fs::path& exe, const fs::path& caseDir) {
  int expectedStatus = readExpectedStatus(caseDir);
  std::string expectedOut = readFile(caseDir / "stdout").value_or("");
  std::vector<std::string> args = readArgs(caseDir);

  ScratchDir scratch;
  prepareScratch(caseDir, scratch.path());
  Tree before = scanTree(scratch.path());
  RunResult run = runProgram(exe, args, scratch.path());
  bool ok = checkRun(report, run, expectedStatus, expectedOut);
  return checkFiles(report, caseDir, scratch.path(), before) && ok;
}

// ---------------------------------------------------------------------------
// The same case in the readable and the JSON message format

/// A numbered message as each format shows it: its file and line (empty where
/// none is shown) and its number. Help and listing messages have no place in
/// the numbered format, so none is kept for them in any format.
struct Numbered {
  std::string file, line;
  long number = 0;
  bool operator==(const Numbered&) const = default;
};

Numbered placed(std::string file, std::string line, long number) {
  if (number == 1 || number == 21 || number == 33 || number == 34) file = line = "";
  return {file == "pelc" ? "" : std::move(file), std::move(line), number};
}

/// "file (12): Prompt not found: pnum = 242", "file: ...", "pelc: ...", or no prefix.
std::vector<Numbered> fromNumbers(const std::string& out) {
  constexpr std::string_view kText = "Prompt not found: pnum = ";
  std::vector<Numbered> found;
  for (const std::string& text : splitLines(out)) {
    const std::size_t at = text.find(kText);
    if (at == std::string::npos) continue;
    const long number = std::stol(text.substr(at + kText.size()));
    const std::string prefix = text.substr(0, at);
    const std::size_t open = prefix.rfind(" (");
    if (prefix.ends_with("): ") && open != std::string::npos) {
      found.push_back(placed(prefix.substr(0, open),
                             prefix.substr(open + 2, prefix.size() - open - 5), number));
    } else if (prefix.ends_with(": ")) {
      found.push_back(placed(prefix.substr(0, prefix.size() - 2), "", number));
    } else {
      found.push_back(placed("", "", number));  // no prefix, or after the -V banner
    }
  }
  return found;
}

/// "file:12: error: text [242]"; source lines ("   12 | ...") and notes are skipped.
std::vector<Numbered> fromText(const std::string& out) {
  std::vector<Numbered> found;
  for (const std::string& text : splitLines(out)) {
    const std::size_t bar = text.find(" | ");
    if (bar != std::string::npos && text.find_first_not_of(" 0123456789") == bar) continue;
    const std::size_t open = text.rfind(" [");
    if (!text.ends_with("]") || open == std::string::npos) continue;
    const std::string digits = text.substr(open + 2, text.size() - open - 3);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) continue;
    std::size_t level = std::string::npos;
    for (const char* word : {": error: ", ": warning: ", ": note: "}) {
      level = std::min(level, text.find(word));
    }
    if (level == std::string::npos) continue;
    std::string file = text.substr(0, level);
    std::string line;
    const std::size_t colon = file.rfind(':');
    if (colon != std::string::npos && colon + 1 < file.size() &&
        file.find_first_not_of("0123456789", colon + 1) == std::string::npos) {
      line = file.substr(colon + 1);
      file.resize(colon);
    }
    found.push_back(placed(file, line, std::stol(digits)));
  }
  return found;
}

/// One JSON object per line; every line must parse.
std::vector<Numbered> fromJson(const std::string& out, std::ostream& report, bool& ok) {
  std::vector<Numbered> found;
  for (const std::string& text : splitLines(out)) {
    const nlohmann::json object = nlohmann::json::parse(text, nullptr, false);
    if (object.is_discarded() || !object.is_object()) {
      report << "not a JSON object: " << escape(text) << '\n';
      ok = false;
      continue;
    }
    if (!object.contains("number") || object["number"].is_null()) continue;
    const auto field = [&](const char* key) {
      const nlohmann::json& value = object[key];
      return value.is_null() ? std::string() : value.is_string() ? value.get<std::string>()
                                                                  : value.dump();
    };
    found.push_back(placed(field("file"), field("line"), object["number"].get<long>()));
  }
  return found;
}

std::string describe(const std::vector<Numbered>& messages) {
  std::string text;
  for (const Numbered& m : messages) {
    text += "  " + (m.file.empty() ? "-" : m.file) + " " + (m.line.empty() ? "-" : m.line) + " " +
            std::to_string(m.number) + "\n";
  }
  return text;
}

/// Runs the case with --diagnostics=text and =json: the same status, the same
/// files, and the same messages in the same order as the numbered output.
bool runCaseInFormats(std::ostream& report, const fs::path& exe, const fs::path& caseDir) {
  const int expectedStatus = readExpectedStatus(caseDir);
  const std::vector<Numbered> expected =
      fromNumbers(readFile(caseDir / "stdout").value_or(""));
  bool ok = true;
  for (const std::string format : {"text", "json"}) {
    std::vector<std::string> args{"--diagnostics=" + format};
    for (std::string& arg : readArgs(caseDir)) args.push_back(std::move(arg));
    ScratchDir scratch;
    prepareScratch(caseDir, scratch.path());
    const Tree before = scanTree(scratch.path());
    const RunResult run = runProgram(exe, args, scratch.path());
    std::ostringstream part;
    bool formatOk = checkRun(part, run, expectedStatus, run.out);
    formatOk = checkFiles(part, caseDir, scratch.path(), before) && formatOk;
    const std::vector<Numbered> actual =
        format == "text" ? fromText(run.out) : fromJson(run.out, part, formatOk);
    if (actual != expected) {
      part << "messages differ from the numbered output:\n  expected:\n"
           << describe(expected) << "  actual:\n" << describe(actual);
      formatOk = false;
    }
    if (!formatOk) report << "with --diagnostics=" << format << ":\n" << part.str();
    ok = ok && formatOk;
  }
  return ok;
}

/// Exit status of a case that --formats leaves out; CTest and run_all.sh count it as skipped.
constexpr int kSkipped = 77;

/// A case that selects --diagnostics itself checks that format's bytes in its own stdout.
bool choosesOwnFormat(const fs::path& caseDir) {
  for (const std::string& arg : readArgs(caseDir)) {
    if (arg.starts_with("--diagnostics")) return true;
  }
  return false;
}

int mainImpl(int argc, char** argv) {
  // --formats: compare the other message formats with the case's numbered output.
  const bool formats = argc == 4 && std::string_view(argv[1]) == "--formats";
  if (formats) {
    ++argv;
    --argc;
  }
  if (argc != 3) {
    std::cerr << "usage: golden_runner [--formats] <path-to-pelc> <case-dir>\n";
    return 2;
  }
  fs::path exe = fs::absolute(argv[1]);
  fs::path caseDir = fs::absolute(argv[2]).lexically_normal();
  if (!caseDir.has_filename()) caseDir = caseDir.parent_path();  // a trailing slash
  std::string caseName = caseDir.filename().string();
  if (access(exe.c_str(), X_OK) != 0) {
    std::cout << "FAIL " << caseName << ": no executable program at " << exe.string() << '\n';
    return 1;
  }
  try {
    if (formats && choosesOwnFormat(caseDir)) {
      std::cout << "SKIP " << caseName << " (its arguments choose a message format)\n";
      return kSkipped;
    }
    std::ostringstream report;
    if (formats ? runCaseInFormats(report, exe, caseDir) : runCase(report, exe, caseDir)) {
      std::cout << "PASS " << caseName << '\n';
      return 0;
    }
    std::cout << "FAIL " << caseName << "\n" << report.str();
    return 1;
  } catch (const CaseError& error) {
    std::cout << "BROKEN CASE " << caseName << ": " << error.what() << '\n';
    return 2;
  } catch (const std::exception& error) {
    std::cout << "ERROR " << caseName << ": " << error.what() << '\n';
    return 2;
  }
}

}  // namespace
}  // namespace pelc::golden

int main(int argc, char** argv) { return pelc::golden::mainImpl(argc, argv); }
