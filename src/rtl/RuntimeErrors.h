// Runtime errors that end a load and the running batch. Each carries the exact
// message the user sees; the window's handler or the batch loop shows it.
#pragma once

#include <stdexcept>
#include <string>

namespace harvex {

// Base of the errors a handler catches and reports as a whole.
class ERuntimeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A number field that does not convert.
class EConvertError : public ERuntimeError {
 public:
  using ERuntimeError::ERuntimeError;
  static EConvertError InvalidInteger(const std::string& token);  // "'%s' is not a valid integer value"
  static EConvertError InvalidFloat(const std::string& token);    // "'%s' is not a valid floating point value"
};

// An input/output failure after or while opening a file; the text is the
// system's reason.
class EInOutError : public ERuntimeError {
 public:
  using ERuntimeError::ERuntimeError;
  // The reason for an errno value, as strerror gives it.
  static EInOutError FromErrno(int errnum);
  // A file another holder keeps for itself: the run's own results file named
  // as a list, or a results file that another run is writing.
  static EInOutError SharingViolation();
};

// A results file that stopped taking rows: "Cannot write the results file
// FILE: REASON". The run cannot go on, whatever it was reporting.
class EResultsWriteError : public EInOutError {
 public:
  using EInOutError::EInOutError;
};

// An index outside a list: "List index out of bounds (%d)" with the 0-based index.
class EListError : public ERuntimeError {
 public:
  using ERuntimeError::ERuntimeError;
  static EListError IndexOutOfBounds(long long index);
};

// The system's text for an errno value, as strerror gives it; safe on any
// thread, unlike strerror's own buffer.
std::string SystemReason(int errnum);

// The message of the exception being handled, for the last-resort handlers of
// the window and the batch: its what() text, or a fixed text for one that is
// no std::exception. Call only inside a catch block.
std::string CurrentExceptionMessage();

}  // namespace harvex
