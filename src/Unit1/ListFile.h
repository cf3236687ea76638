// List files: text files whose lines name the paths to report, such as the
// results file of an earlier run (each row begins with its path and a tab).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace harvex {

// Which file an open handle refers to, independent of the name used.
struct TFileIdentity {
  dev_t Device = 0;
  ino_t Inode = 0;
};

// The path one line of a list file names, or none. A line beginning with "/"
// names an absolute path from its first character; otherwise the first ":\"
// marks a drive path that starts at the letter before the colon. Either path
// runs up to, not including, the next tab, or to the line's end.
std::optional<std::string> ListLinePath(std::string_view line);

// Reads the list file line by line and hands every path it names to Report,
// in order. A file that is Excluded (the run's own results file, open for
// writing) raises EInOutError "Sharing violation" before any line is read; a
// file that cannot be opened or read raises EInOutError with the system's
// reason.
void ForEachListedPath(const std::string& listFile, const std::optional<TFileIdentity>& excluded,
                       const std::function<void(const std::string&)>& report);

}  // namespace harvex
