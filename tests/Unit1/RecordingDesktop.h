// A desktop that records what the core asks of it, and a results run in a
// scratch folder of its own.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "Unit1/Unit1.h"
#include "rtl/Desktop.h"

namespace harvex {

class TRecordingDesktop final : public TDesktop {
 public:
  std::vector<std::string> Memo;
  std::vector<std::string> Messages;  // "CAPTION: TEXT"
  int Clears = 0;
  int EventRounds = 0;
  std::optional<std::vector<std::string>> Choice;
  TFormatSettings Settings;

  void ShowMessage(const std::string& caption, const std::string& text) override {
    Messages.push_back(caption + ": " + text);
  }
  void AppendMemo(const std::string& line) override { Memo.push_back(line); }
  void ClearMemo() override {
    Memo.clear();
    ++Clears;
  }
  void ProcessEvents() override { ++EventRounds; }
  std::optional<std::vector<std::string>> ChooseFiles() override { return Choice; }
  TFormatSettings FormatSettings() override { return Settings; }
};

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.is_open()) << path;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

// A recording desktop installed for the test and a results file in a fresh
// scratch folder.
class TRunTest : public ::testing::Test {
 protected:
  TRunTest() : Folder(MakeFolder()), Scope(Recorder) {}
  ~TRunTest() override { std::filesystem::remove_all(Folder); }

  std::filesystem::path Path(const std::string& name) const { return Folder / name; }

  void CreateResults() { Run.CreateResultsFile(ResultsPath().string(), "Harvex version 18.10.2012"); }
  std::filesystem::path ResultsPath() const { return Path("Harvex_res.txt"); }

  // The results file's rows after closing it, without the header line.
  std::string ClosedRows() {
    Run.CloseResultsFile();
    const std::string bytes = ReadBytes(ResultsPath());
    const std::size_t headerEnd = bytes.find("\r\n");
    return headerEnd == std::string::npos ? bytes : bytes.substr(headerEnd + 2);
  }

  std::filesystem::path Folder;
  TRecordingDesktop Recorder;
  TDesktopScope Scope;
  TResultsRun Run;

 private:
  static std::filesystem::path MakeFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "harvex-unit1-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "no scratch folder";
    return pattern;
  }
};

}  // namespace harvex
