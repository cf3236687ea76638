#include "rtl/EndSignals.h"

#include <csignal>
#include <initializer_list>
#include <unistd.h>

namespace harvex {
namespace {

volatile std::sig_atomic_t Caught = 0;
int NotifyHandle = -1;

void OnEndSignal(int signal) {
  Caught = signal;
  if (NotifyHandle >= 0) {
    const char wake = 1;
    [[maybe_unused]] const ssize_t written = ::write(NotifyHandle, &wake, 1);
  }
}

}  // namespace

void CatchEndSignals(int notifyHandle) {
  NotifyHandle = notifyHandle;
  struct sigaction action {};
  action.sa_handler = OnEndSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    // A signal the caller ignores (nohup, a background job) stays ignored.
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    ::sigaction(signal, &action, nullptr);
  }
}

int EndSignal() { return Caught; }

void EndByCaughtSignal() {
  const int signal = Caught;
  if (signal == 0) return;
  std::signal(signal, SIG_DFL);
  std::raise(signal);
  _exit(128 + signal);
}

}  // namespace harvex
