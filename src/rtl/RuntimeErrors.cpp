#include "rtl/RuntimeErrors.h"

#include <cstring>

namespace harvex {

EConvertError EConvertError::InvalidInteger(const std::string& token) {
  return EConvertError("'" + token + "' is not a valid integer value");
}

EConvertError EConvertError::InvalidFloat(const std::string& token) {
  return EConvertError("'" + token + "' is not a valid floating point value");
}

EInOutError EInOutError::FromErrno(int errnum) {
  return EInOutError(SystemReason(errnum));
}

EInOutError EInOutError::SharingViolation() { return EInOutError("Sharing violation"); }

EListError EListError::IndexOutOfBounds(long long index) {
  return EListError("List index out of bounds (" + std::to_string(index) + ")");
}

std::string SystemReason(int errnum) {
  char buffer[256];
  // The GNU form: gives either the static text or the one it wrote to Buffer.
  return strerror_r(errnum, buffer, sizeof buffer);
}

std::string CurrentExceptionMessage() {
  try {
    throw;
  } catch (const std::exception& error) {
    return error.what();
  } catch (...) {
    return "Unexpected error";
  }
}

}  // namespace harvex
