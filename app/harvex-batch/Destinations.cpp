#include "Destinations.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>

#include "BatchMessages.h"
#include "CoordFiles/CoordFiles.h"

namespace harvex {
namespace {

std::filesystem::path FullPath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path full = std::filesystem::weakly_canonical(std::filesystem::absolute(path), error);
  return error ? std::filesystem::absolute(path).lexically_normal() : full;
}

// Two names of one file: the same device and inode when both exist, the same
// full path when neither does. A device such as /dev/null is shared freely.
bool SameFile(const std::string& left, const std::string& right) {
  struct stat a {};
  struct stat b {};
  const bool leftExists = ::stat(left.c_str(), &a) == 0;
  const bool rightExists = ::stat(right.c_str(), &b) == 0;
  if (leftExists != rightExists) return false;
  if (leftExists) return S_ISREG(a.st_mode) && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
  return FullPath(left) == FullPath(right);
}

}  // namespace

std::optional<std::string> DestinationClash(const std::vector<TDestination>& destinations,
                                            const std::vector<std::string>& inputs) {
  for (std::size_t index = 0; index < destinations.size(); ++index) {
    const TDestination& destination = destinations[index];
    const std::string named = destination.Path + ": the " + destination.Role + " would overwrite ";
    for (const std::string& input : inputs)
      if (SameFile(destination.Path, input)) return named + "the input " + input;
    for (std::size_t other = index + 1; other < destinations.size(); ++other)
      if (SameFile(destination.Path, destinations[other].Path))
        return named + "the " + destinations[other].Role + " " + destinations[other].Path;
    if (IsProgramOutput(destination.Path)) return named + "the Gaussian or ORCA output it is";
  }
  return std::nullopt;
}

bool WriteTables(const std::string& destination, const std::vector<TTextTable>& tables, bool json,
                 const std::string& role, bool blankLineFirst) {
  const std::string text = TablesText(tables, TableFormFor(destination, StandardOutputIsTerminal()));
  if (destination == "-") {
    if (!json) std::cout << (blankLineFirst ? "\n" : "") << text;
    std::cout.flush();
    return true;
  }
  std::ofstream file(destination, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (file) return true;
  ShowBatchMessage(destination, "cannot write the " + role);
  return false;
}

bool StandardOutputIsTerminal() { return isatty(STDOUT_FILENO) != 0; }

}  // namespace harvex
