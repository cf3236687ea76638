// A results run in a scratch folder of its own, with a desktop that records
// what the core asks of it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "Unit1/Unit1.h"
#include "common/RecordingDesktop.h"
#include "common/TempDir.h"

namespace harvex {

// A recording desktop installed for the test and a results file in a fresh
// scratch folder.
class TRunTest : public ::testing::Test {
 protected:
  std::filesystem::path Path(const std::string& name) const { return Scratch.Path() / name; }

  void CreateResults() { Run.CreateResultsFile(ResultsPath().string(), "Harvex version 18.10.2012"); }
  std::filesystem::path ResultsPath() const { return Path("Harvex_res.txt"); }

  // The results file's rows after closing it, without the header line.
  std::string ClosedRows() {
    Run.CloseResultsFile();
    const std::string bytes = testing::ReadWholeFile(ResultsPath());
    const std::size_t headerEnd = bytes.find("\r\n");
    return headerEnd == std::string::npos ? bytes : bytes.substr(headerEnd + 2);
  }

  testing::TTempDir Scratch;
  testing::TRecordingDesktop Recorder;
  TResultsRun Run{Recorder};
};

}  // namespace harvex
