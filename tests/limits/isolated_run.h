// A whole compiler run in a child process, so that a crash or a hang fails only its case.
//
// The run works on an in-memory tree; the child sends back the status, what was printed and
// the tree as it was left.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "driver/run.h"
#include "source/file_system.h"

namespace pelc::limits {

using Tree = std::map<std::string, std::string>;

struct RunOutcome {
  enum class End { Exited, Crashed, TimedOut };
  End end = End::Crashed;
  /// The child's wait status when it did not exit cleanly.
  int waitStatus = 0;
  int status = -1;
  std::string printed;
  /// Every file of the tree after the run.
  Tree files;
};

namespace detail {

inline void putNumber(std::string& out, std::uint64_t value) {
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

inline void putText(std::string& out, const std::string& text) {
  putNumber(out, text.size());
  out.append(text);
}

// Message layout: status, printed text, file count, then path and bytes of each file.
inline std::string encode(int status, const std::string& printed, const Tree& files) {
  std::string out;
  putNumber(out, static_cast<std::uint64_t>(static_cast<std::uint32_t>(status)));
  putText(out, printed);
  putNumber(out, files.size());
  for (const auto& [path, bytes] : files) {
    putText(out, path);
    putText(out, bytes);
  }
  return out;
}

class Decoder {
 public:
  explicit Decoder(const std::string& bytes) : bytes_(bytes) {}
  bool number(std::uint64_t& value) {
    if (bytes_.size() - at_ < sizeof value) return false;
    std::memcpy(&value, bytes_.data() + at_, sizeof value);
    at_ += sizeof value;
    return true;
  }
  bool text(std::string& value) {
    std::uint64_t size = 0;
    if (!number(size) || bytes_.size() - at_ < size) return false;
    value.assign(bytes_, at_, size);
    at_ += size;
    return true;
  }

 private:
  const std::string& bytes_;
  std::size_t at_ = 0;
};

inline bool decode(const std::string& bytes, RunOutcome& outcome) {
  Decoder in(bytes);
  std::uint64_t status = 0;
  std::uint64_t count = 0;
  if (!in.number(status) || !in.text(outcome.printed) || !in.number(count)) return false;
  outcome.status = static_cast<int>(static_cast<std::uint32_t>(status));
  for (std::uint64_t i = 0; i < count; ++i) {
    std::string path;
    std::string content;
    if (!in.text(path) || !in.text(content)) return false;
    outcome.files.emplace(std::move(path), std::move(content));
  }
  return true;
}

[[noreturn]] inline void runChild(int fd, const Tree& tree, const std::vector<std::string>& args) {
  MemoryFileSystem fs;
  for (const auto& [path, bytes] : tree) fs.addFile(path, bytes);
  std::ostringstream out;
  const int status = runPelc(args, out, fs);
  const std::string message = encode(status, out.str(), fs.files());
  for (std::size_t done = 0; done < message.size();) {
    const ssize_t put = ::write(fd, message.data() + done, message.size() - done);
    if (put <= 0) ::_exit(3);
    done += static_cast<std::size_t>(put);
  }
  ::_exit(0);
}

/// Reads the child's message until it closes the pipe; false when the deadline passed.
inline bool readUntilClosed(int fd, std::string& bytes, std::chrono::steady_clock::time_point end) {
  char chunk[1 << 16];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd ready{fd, POLLIN, 0};
    if (::poll(&ready, 1, static_cast<int>(left.count())) <= 0) continue;
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got == 0) return true;
    if (got > 0) bytes.append(chunk, static_cast<std::size_t>(got));
  }
}

}  // namespace detail

/// Runs the compiler on `args` over a tree holding `files`, in a child process that is
/// killed after `limit`.
inline RunOutcome runIsolated(const Tree& files, const std::vector<std::string>& args,
                              std::chrono::seconds limit = std::chrono::seconds(20)) {
  RunOutcome outcome;
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) return outcome;
  const pid_t child = ::fork();
  if (child < 0) return outcome;
  if (child == 0) {
    ::close(pipeEnds[0]);
    detail::runChild(pipeEnds[1], files, args);
  }
  ::close(pipeEnds[1]);
  std::string bytes;
  const bool closed =
      detail::readUntilClosed(pipeEnds[0], bytes, std::chrono::steady_clock::now() + limit);
  ::close(pipeEnds[0]);
  if (!closed) ::kill(child, SIGKILL);
  ::waitpid(child, &outcome.waitStatus, 0);
  if (!closed) {
    outcome.end = RunOutcome::End::TimedOut;
  } else if (WIFEXITED(outcome.waitStatus) && WEXITSTATUS(outcome.waitStatus) == 0 &&
             detail::decode(bytes, outcome)) {
    outcome.end = RunOutcome::End::Exited;
  }
  return outcome;
}

/// How a run ended, for failure messages.
inline std::string describeEnd(const RunOutcome& outcome) {
  switch (outcome.end) {
    case RunOutcome::End::Exited:
      return "exited with status " + std::to_string(outcome.status);
    case RunOutcome::End::TimedOut:
      return "did not finish in time (hang)";
    case RunOutcome::End::Crashed:
      break;
  }
  if (WIFSIGNALED(outcome.waitStatus)) {
    return std::string("crashed with signal ") + ::strsignal(WTERMSIG(outcome.waitStatus));
  }
  return "crashed: child exit code " + std::to_string(WEXITSTATUS(outcome.waitStatus)) +
         " (a sanitizer report is on standard error)";
}

}  // namespace pelc::limits
