// The closing summary of a run: how many reported files have each status,
// and which need attention.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "FileStatus/FileStatus.h"

namespace harvex {

class TStatusSummary {
 public:
  // At most this many files that need attention are named.
  static constexpr std::size_t NamedLimit = 20;

  void Add(const std::string& path, const TStatusReason& status);
  // Counts one finding of the study checks, an error or a warning.
  void AddFinding(bool error) { ++(error ? ErrorFindings : WarningFindings); }
  std::size_t FileCount() const { return Files; }
  std::size_t Count(TFileStatus status) const { return Counts[static_cast<std::size_t>(status)]; }

  // The first line, "93 files: 69 ok, 12 failed, 4 unfinished, 8 unreadable"
  // (the statuses present, in their order), with "; checks: 2 errors,
  // 5 warnings" after it once a finding was counted, then one line for each file
  // that is not ok, "  <status>: <path>: <reason>", up to NamedLimit, then
  // "  ... and N more". Each line ends with a line end.
  std::string Text() const;

 private:
  struct TAttention {
    std::string Path;
    TStatusReason Status;
  };
  std::size_t Files = 0;
  std::array<std::size_t, 6> Counts{};
  std::vector<TAttention> Attention;
  std::size_t Unnamed = 0;
  std::size_t ErrorFindings = 0;
  std::size_t WarningFindings = 0;
};

}  // namespace harvex
