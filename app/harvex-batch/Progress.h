// The progress line of a run over many files: "files done of files found,
// current name" on standard error, when that is a terminal. Any other text
// bound for the terminal erases it first, and it is erased at the end, so it
// never shows between lines of the report nor reaches a pipe or a file.
#pragma once

#include <chrono>
#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>

namespace harvex {

class TProgress {
 public:
  // Shows nothing unless Wanted, standard error is a terminal and Found is
  // more than a few files.
  TProgress(std::size_t found, bool wanted);
  ~TProgress();
  TProgress(const TProgress&) = delete;
  TProgress& operator=(const TProgress&) = delete;

  // Called before the next file is reported.
  void Next(const std::string& name);

 private:
  class TErasingBuffer;

  void Draw(std::size_t done, const std::string& name);
  void Erase();

  std::size_t Found;
  std::size_t Started = 0;
  bool Shown = false;
  std::chrono::steady_clock::time_point LastDrawn;
  // The terminal's own buffer behind standard error.
  std::streambuf* Terminal = nullptr;
  std::unique_ptr<TErasingBuffer> ErrorGuard;
  std::unique_ptr<TErasingBuffer> OutputGuard;
};

}  // namespace harvex
