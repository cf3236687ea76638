// SIGTERM, SIGINT and SIGHUP ask the program to end: the run stops between
// two rows and closes its results file, instead of dying wherever the
// signal found it.
#pragma once

namespace harvex {

// Raised by a desktop's ProcessEvents once an end signal has been caught: it
// ends the running batch right after a complete row. No error; nothing
// shows it.
struct TEndRequested {};

// Installs the handlers, for those of the signals not ignored. Each caught signal is kept for EndSignal and, when
// NotifyHandle is not negative, written as one byte to it, which wakes an
// event loop that watches the other end. A second signal of the same kind
// ends the program at once.
void CatchEndSignals(int notifyHandle = -1);

// The end signal caught, 0 while none was.
int EndSignal();

// Ends the process by the caught signal, as its default action would, so
// that the caller sees how the program ended; returns when none was caught.
void EndByCaughtSignal();

}  // namespace harvex
