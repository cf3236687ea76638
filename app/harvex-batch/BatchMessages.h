// The command line's own messages on standard error, each a line that names
// the program, after whatever the report has put on standard output.
#pragma once

#include <iostream>
#include <string>
#include <string_view>

namespace harvex {

inline constexpr const char* ProgramName = "harvex-batch";

inline void ShowBatchMessage(std::string_view message) {
  std::cout.flush();
  std::cerr << ProgramName << ": " << message << '\n';
}

inline void ShowBatchMessage(std::string_view subject, std::string_view message) {
  ShowBatchMessage(std::string(subject) + ": " + std::string(message));
}

}  // namespace harvex
