// Opening an input for reading: only a regular file (behind any symbolic
// links) is opened, so that a FIFO, a device or a socket never blocks the
// run nor feeds it bytes without end.
#pragma once

#include <string>

namespace harvex {

// The reason given for a path that names neither a regular file nor a folder.
inline constexpr char NotRegularFileReason[] = "not a regular file";

// An open handle, or -1 and the reason nothing was opened.
struct TOpenedFile {
  int Handle = -1;
  std::string Failure;
};

// Opens Path for reading. What is no regular file is refused before it is
// opened: a folder with the system's reason for one, anything else with
// NotRegularFileReason; a path that does not lead to a file gets the
// system's reason (no such file, too many levels of symbolic links, ...).
TOpenedFile OpenRegularFile(const std::string& path);

// Whether Path leads to something that is neither a regular file nor a folder.
bool IsSpecialFile(const std::string& path);

}  // namespace harvex
