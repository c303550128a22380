// Removal of half-written outputs when the run is interrupted.
#pragma once

#include <signal.h>

#include <atomic>
#include <thread>

#include "source/temporary_files.h"

namespace pelc {

/// While it lives, an interrupt (SIGINT, SIGTERM, SIGHUP) removes the
/// replacement files being written and then ends the process as the signal
/// would have. The signals are blocked in the constructing thread, and so in
/// every thread it starts afterwards, and taken by a thread of this object's
/// own, where the cleanup may lock and call what it needs. A signal that was
/// ignored when the run began stays ignored.
class InterruptCleanup {
 public:
  explicit InterruptCleanup(TemporaryFiles& files);
  InterruptCleanup(const InterruptCleanup&) = delete;
  InterruptCleanup& operator=(const InterruptCleanup&) = delete;
  ~InterruptCleanup();

 private:
  void waitForInterrupt();

  TemporaryFiles& files_;
  sigset_t signals_{};
  sigset_t previousMask_{};
  int wakeSignal_ = 0;  // one of the signals, sent to stop the waiting thread
  std::atomic<bool> stopping_{false};
  std::thread waiter_;
};

}  // namespace pelc
