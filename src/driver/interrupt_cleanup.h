// Removal of half-written outputs when the run is interrupted.
#pragma once

#if !defined(_WIN32)
#include <signal.h>

#include <atomic>
#include <thread>
#endif

#include "source/temporary_files.h"

namespace pelc {

/// Once armed, an interrupt (SIGINT, SIGTERM, SIGHUP) removes the replacement
/// files being written and then ends the process as the signal would have.
/// Arming blocks the signals in the calling thread, and so in every thread it
/// starts afterwards, and starts a thread of this object's own that takes
/// them, where the cleanup may lock and call what it needs. Runs that never
/// write for long never arm it and pay nothing. A signal that was ignored when
/// the run began stays ignored.
/// On Windows the interrupts are the console's Ctrl+C, Ctrl+Break and close
/// events, which the system hands to a thread of its own; the process then
/// ends with the status Ctrl+C gives.
class InterruptCleanup final : public InterruptGuard {
 public:
  explicit InterruptCleanup(TemporaryFiles& files);
  InterruptCleanup(const InterruptCleanup&) = delete;
  InterruptCleanup& operator=(const InterruptCleanup&) = delete;
  ~InterruptCleanup();

  void arm() override;

 private:
  TemporaryFiles& files_;
  bool armed_ = false;
#if !defined(_WIN32)
  void waitForInterrupt();

  sigset_t signals_{};
  sigset_t previousMask_{};
  int wakeSignal_ = 0;  // one of the signals, sent to stop the waiting thread; 0 for none
  std::atomic<bool> stopping_{false};
  std::thread waiter_;
#endif
};

}  // namespace pelc
