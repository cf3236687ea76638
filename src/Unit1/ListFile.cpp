#include "Unit1/ListFile.h"

#include <sys/stat.h>

#include "TextFile/TextFile.h"
#include "rtl/RuntimeErrors.h"
#include "str_pars/str_pars.h"

namespace harvex {
namespace {

constexpr std::string_view DriveMarker = ":\\";

// Another program's open file cannot be shared for writing and reading at
// once on the desktop this tool came from; the run keeps that rule for its
// own results file so that no row is read back while it is being written.
bool IsExcluded(const std::string& listFile, const std::optional<TFileIdentity>& excluded) {
  struct stat status {};
  if (!excluded || ::stat(listFile.c_str(), &status) != 0) return false;
  return status.st_dev == excluded->Device && status.st_ino == excluded->Inode;
}

}  // namespace

std::optional<std::string> ListLinePath(std::string_view line) {
  int cursor = 1;
  if (!line.starts_with('/')) {
    const std::size_t marker = line.find(DriveMarker);
    if (marker == std::string_view::npos || marker == 0) return std::nullopt;
    cursor = static_cast<int>(marker);  // 1-based position of the drive letter
  }
  return ReadUntil(line, '\t', cursor);
}

void ForEachListedPath(const std::string& listFile, const std::optional<TFileIdentity>& excluded,
                       const std::function<void(const std::string&)>& report) {
  if (IsExcluded(listFile, excluded)) throw EInOutError::SharingViolation();
  TPlainTextFile list;
  // A file that did not open raises its reason at the first AtEnd.
  list.Open(listFile);
  std::string line;
  while (!list.AtEnd()) {
    list.ReadLine(line);
    if (const std::optional<std::string> path = ListLinePath(line)) report(*path);
  }
  list.Close();
}

}  // namespace harvex
