#include "FolderWalk/PathCollection.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "CoordFiles/CoordFiles.h"
#include "InputExtensions/InputExtensions.h"
#include "rtl/EndSignals.h"
#include "str_pars/str_pars.h"

namespace harvex {
namespace {

namespace fs = std::filesystem;

bool IsOutputName(const fs::path& path) {
  const std::string name = path.filename().string();
  const std::optional<TInputExtension> entry = InputExtensionOf(UpperExtension(name));
  return (entry && entry->Walked) || IsInputKind(UpperGzippedExtension(name), TInputKind::Output);
}

// The rank of one character: a folder separator below everything, so a
// folder's name is compared as a whole before what lies below it.
int Rank(char c) { return c == '/' ? -1 : static_cast<unsigned char>(c); }

std::size_t DigitRunEnd(std::string_view text, std::size_t start) {
  while (start < text.size() && IsDigit(text[start])) ++start;
  return start;
}

// Compares two runs of digits by value: leading zeros dropped, the longer
// number is the larger.
int CompareNumbers(std::string_view left, std::string_view right) {
  const auto significant = [](std::string_view digits) {
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view{} : digits.substr(first);
  };
  const std::string_view a = significant(left);
  const std::string_view b = significant(right);
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b);
}

// Negative, zero or positive as Left comes before, level with or after Right
// in natural order ("007" and "7" are level).
int NaturalCompare(std::string_view left, std::string_view right) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < left.size() && j < right.size()) {
    if (IsDigit(left[i]) && IsDigit(right[j])) {
      const std::size_t leftEnd = DigitRunEnd(left, i);
      const std::size_t rightEnd = DigitRunEnd(right, j);
      if (const int order = CompareNumbers(left.substr(i, leftEnd - i), right.substr(j, rightEnd - j)); order != 0) {
        return order;
      }
      i = leftEnd;
      j = rightEnd;
    } else if (left[i] != right[j]) {
      return Rank(left[i]) - Rank(right[j]);
    } else {
      ++i;
      ++j;
    }
  }
  return static_cast<int>(i < left.size()) - static_cast<int>(j < right.size());
}

// The outputs in Folder and below it, in the order found; folders that cannot
// be read are passed to OnError and left out.
void WalkFolder(const fs::path& folder, std::vector<std::string>& found, const TFolderError& onError) {
  std::vector<fs::path> pending = {folder};
  while (!pending.empty()) {
    const fs::path current = std::move(pending.back());
    pending.pop_back();
    std::error_code error;
    for (fs::directory_iterator entries(current, error), end; !error && entries != end; entries.increment(error)) {
      // A walk through millions of files stops on an end signal; the run
      // then ends by it.
      if (EndSignal() != 0) return;
      const fs::directory_entry& entry = *entries;
      std::error_code ignored;
      std::error_code target;
      entry.status(target);
      if (target == std::errc::too_many_symbolic_link_levels) {
        onError(entry.path().string(), target.message());
      } else if (entry.is_directory(ignored) && !entry.is_symlink(ignored)) {
        pending.push_back(entry.path());
      } else if (IsOutputName(entry.path()) && entry.is_regular_file(ignored)) {
        found.push_back(entry.path().string());
      }
    }
    if (error) onError(current.string(), error.message());
  }
}

}  // namespace

std::string AbsolutePath(const std::string& path) { return fs::absolute(path).lexically_normal().string(); }

bool NaturalPathLess(const std::string& left, const std::string& right) {
  const int order = NaturalCompare(left, right);
  return order != 0 ? order < 0 : left < right;
}

std::vector<std::string> CollectPaths(const std::vector<std::string>& arguments, const TFolderError& onError) {
  std::vector<std::string> paths;
  for (const std::string& argument : arguments) {
    std::error_code error;
    if (!fs::is_directory(argument, error)) {
      paths.push_back(argument);
      continue;
    }
    const std::size_t first = paths.size();
    WalkFolder(argument, paths, onError);
    if (paths.size() == first) onError(argument, "the folder holds no output");
    std::sort(paths.begin() + static_cast<std::ptrdiff_t>(first), paths.end(), NaturalPathLess);
  }
  return paths;
}

TShownPaths::TShownPaths(const std::vector<std::string>& arguments)
    : StartFolder(std::filesystem::current_path().string()) {
  for (const std::string& argument : arguments)
    if (std::filesystem::path(argument).is_relative())
      RelativeArguments.push_back(AbsolutePath(argument));
}

std::string TShownPaths::operator()(const std::string& path) const {
  for (const std::string& argument : RelativeArguments) {
    const bool named = path == argument || (path.starts_with(argument) && path.size() > argument.size() &&
                                            (argument.ends_with('/') || path[argument.size()] == '/'));
    if (named) return std::filesystem::path(path).lexically_relative(StartFolder).string();
  }
  return path;
}

}  // namespace harvex
