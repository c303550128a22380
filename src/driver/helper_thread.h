// Threads that do part of the run's work beside the main thread.
#pragma once

#if !defined(_WIN32)
#include <pthread.h>
#include <signal.h>

#include <array>
#endif
#include <thread>
#include <utility>

namespace pelc {

#if defined(_WIN32)

/// Starts `work` on a thread. The console hands its interrupts to a thread the
/// system starts for them, so no thread of the run needs keeping from them.
template <class Work>
std::thread startHelperThread(Work&& work) {
  return std::thread(std::forward<Work>(work));
}

#else

/// The signals that interrupt a run from outside.
inline constexpr std::array kInterruptSignals = {SIGINT, SIGTERM, SIGHUP};

/// Starts `work` on a thread that the interrupts are never delivered to. They
/// must reach the thread that ends the run cleanly once outputs are being
/// written, and a thread started before that one would otherwise take them and
/// end the run with the outputs' replacements left behind.
template <class Work>
std::thread startHelperThread(Work&& work) {
  sigset_t interrupts;
  sigemptyset(&interrupts);
  for (const int interrupt : kInterruptSignals) sigaddset(&interrupts, interrupt);
  sigset_t previous;
  pthread_sigmask(SIG_BLOCK, &interrupts, &previous);
  // The new thread starts with the mask of this one; this one gets its own back.
  struct Restore {
    const sigset_t& mask;
    ~Restore() { pthread_sigmask(SIG_SETMASK, &mask, nullptr); }
  } restore{previous};
  return std::thread(std::forward<Work>(work));
}

#endif

}  // namespace pelc
