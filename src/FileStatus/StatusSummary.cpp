#include "FileStatus/StatusSummary.h"

namespace harvex {
namespace {

std::string Counted(std::size_t count, const std::string& noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

}  // namespace

void TStatusSummary::Add(const std::string& path, const TStatusReason& status) {
  ++Files;
  ++Counts[static_cast<std::size_t>(status.Status)];
  if (status.Status == TFileStatus::Ok) return;
  if (Attention.size() < NamedLimit) {
    Attention.push_back({path, status});
  } else {
    ++Unnamed;
  }
}

std::string TStatusSummary::Text() const {
  std::string text = std::to_string(Files) + (Files == 1 ? " file" : " files");
  const char* separator = ": ";
  for (std::size_t status = 0; status < Counts.size(); ++status) {
    if (Counts[status] == 0) continue;
    text += separator + std::to_string(Counts[status]) + " " + std::string(StatusName(static_cast<TFileStatus>(status)));
    separator = ", ";
  }
  if (ErrorFindings + WarningFindings > 0)
    text += "; checks: " + Counted(ErrorFindings, "error") + ", " + Counted(WarningFindings, "warning");
  text += '\n';
  for (const TAttention& file : Attention)
    text += "  " + std::string(StatusName(file.Status.Status)) + ": " + file.Path + ": " + file.Status.Reason + "\n";
  if (Unnamed > 0) text += "  ... and " + std::to_string(Unnamed) + " more\n";
  return text;
}

}  // namespace harvex
