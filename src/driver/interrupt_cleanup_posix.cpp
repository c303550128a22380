// Interrupts (signals) end the run without leaving replacement files behind.
#include "driver/interrupt_cleanup.h"

#include <pthread.h>

#include <system_error>

#include "driver/helper_thread.h"

namespace pelc {

namespace {

/// Whether the process was started with `interrupt` ignored (a background job, nohup).
bool ignored(int interrupt) {
  struct sigaction action {};
  return ::sigaction(interrupt, nullptr, &action) == 0 && action.sa_handler == SIG_IGN;
}

}  // namespace

InterruptCleanup::InterruptCleanup(TemporaryFiles& files) : files_(files) {
  sigemptyset(&signals_);
  for (const int interrupt : kInterruptSignals) {
    if (ignored(interrupt)) continue;
    sigaddset(&signals_, interrupt);
    if (wakeSignal_ == 0) wakeSignal_ = interrupt;
  }
}

// Only the first call does anything; it comes from the main thread before any
// thread that writes is started, so a later one from such a thread finds it done.
void InterruptCleanup::arm() {
  if (armed_ || wakeSignal_ == 0) return;
  armed_ = true;
  pthread_sigmask(SIG_BLOCK, &signals_, &previousMask_);
  try {
    waiter_ = std::thread([this] { waitForInterrupt(); });
  } catch (const std::system_error&) {
    // Without the thread the run goes on as it would without the cleanup.
    pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
  }
}

InterruptCleanup::~InterruptCleanup() {
  if (!waiter_.joinable()) return;
  stopping_ = true;
  pthread_kill(waiter_.native_handle(), wakeSignal_);
  waiter_.join();
  pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

void InterruptCleanup::waitForInterrupt() {
  int received = 0;
  while (sigwait(&signals_, &received) != 0) {
  }
  if (stopping_) return;
  files_.removeAll();
  // Ended by the signal itself, so that the caller sees how the run ended.
  ::signal(received, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, received);
  pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(received);
}

}  // namespace pelc
