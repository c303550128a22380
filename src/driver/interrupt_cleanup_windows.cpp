// Console interrupts end the run without leaving replacement files behind.
#include <windows.h>

#include <atomic>

#include "driver/interrupt_cleanup.h"

namespace pelc {

namespace {

// The console calls back a plain function, so the armed cleanup's files are
// found here; one run arms at most one cleanup.
std::atomic<TemporaryFiles*> armedFiles{nullptr};

BOOL WINAPI onConsoleEvent(DWORD event) {
  TemporaryFiles* const files = armedFiles.load();
  if (files == nullptr) return FALSE;
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
      files->removeAll();
      // Ended at once, so the main thread starts no further file, and with the
      // status that the console's own handling of Ctrl+C gives.
      ::TerminateProcess(::GetCurrentProcess(), STATUS_CONTROL_C_EXIT);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

InterruptCleanup::InterruptCleanup(TemporaryFiles& files) : files_(files) {}

void InterruptCleanup::arm() {
  if (armed_) return;
  armed_ = true;
  armedFiles = &files_;
  ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

InterruptCleanup::~InterruptCleanup() {
  if (!armed_) return;
  ::SetConsoleCtrlHandler(onConsoleEvent, FALSE);
  armedFiles = nullptr;
}

}  // namespace pelc
