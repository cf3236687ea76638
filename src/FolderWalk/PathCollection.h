// The paths a run reports: folders on the command line stand for the outputs
// in and below them.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace harvex {

// Called for a folder that cannot be read, with the system's reason; for a
// folder that holds no output; and for a symbolic link inside a folder that
// goes round in a loop.
using TFolderError = std::function<void(const std::string& folder, const std::string& reason)>;

// Each argument that names a folder is replaced by the outputs in it and its
// subfolders (".out", ".log", ".zip", ".cdf" in any case; other files are
// passed over), in natural path order and spelt as the folder was, so each is
// reported as if its path had been given. Other arguments stay as they are.
// Links to folders inside a folder are not followed, so no walk goes round in
// circles; links to files are.
std::vector<std::string> CollectPaths(const std::vector<std::string>& arguments, const TFolderError& onError);

// The full path a report names Path by, taken against the current folder,
// so that a results file can be fed back as a list and a script's record
// names the file the same way.
std::string AbsolutePath(const std::string& path);

// Paths as the user gave them, for the tables and the summary: a file named
// by a relative argument, or found in a folder named by one, is shown
// relative to the folder the run started in; any other path (an absolute
// argument, a file a list names) as it stands.
class TShownPaths {
 public:
  // Arguments as given; relative ones are taken against the current folder.
  explicit TShownPaths(const std::vector<std::string>& arguments);
  // Path: absolute and normal, as the run reports it.
  std::string operator()(const std::string& path) const;

 private:
  std::string StartFolder;
  std::vector<std::string> RelativeArguments;  // absolute and normal
};

// Natural order of paths: folder by folder, runs of digits compared by their
// value, so "conf2.out" comes before "conf10.out".
bool NaturalPathLess(const std::string& left, const std::string& right);

}  // namespace harvex
