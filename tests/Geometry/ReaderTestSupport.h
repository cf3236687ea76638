// What the reader tests share: a desktop that records the message boxes, and
// a scratch folder in which fixture texts become files with the right names.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "rtl/Desktop.h"

namespace harvex::testing {

struct TShownMessage {
  std::string Caption;
  std::string Text;
  bool operator==(const TShownMessage&) const = default;
};

inline void PrintTo(const TShownMessage& message, std::ostream* out) {
  *out << '[' << message.Caption << "] " << message.Text;
}

// Installed for the lifetime of the object; keeps every box shown.
class TRecordingDesktop final : public TDesktop {
 public:
  std::vector<TShownMessage> Messages;

  TRecordingDesktop() : Scope(*this) {}

  void ShowMessage(const std::string& caption, const std::string& text) override {
    Messages.push_back({caption, text});
  }
  void AppendMemo(const std::string&) override {}
  void ClearMemo() override {}
  void ProcessEvents() override {}
  std::optional<std::vector<std::string>> ChooseFiles() override { return std::nullopt; }
  TFormatSettings FormatSettings() override { return {}; }

 private:
  TDesktopScope Scope;
};

// A fresh folder under the system's temporary folder, removed with the object.
class TScratchFolder {
 public:
  TScratchFolder() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "harvex-" + std::to_string(::getpid()) + "-" + test->test_suite_name() +
                       "-" + test->name();
    std::ranges::replace(name, '/', '_');  // parameterised tests name themselves with "/"
    Path = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(Path);
    std::filesystem::create_directories(Path);
  }
  ~TScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Path, ignored);
  }
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;

  // Writes Text byte for byte to Name inside the folder; returns the full path.
  std::string Write(std::string_view name, std::string_view text) const {
    const std::filesystem::path file = Path / name;
    std::ofstream out(file, std::ios::binary);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) ADD_FAILURE() << "cannot write " << file;
    return file.string();
  }
  std::string PathOf(std::string_view name) const { return (Path / name).string(); }
  const std::filesystem::path& Folder() const { return Path; }

 private:
  std::filesystem::path Path;
};

// A fixture file kept in the project under tests/data; a missing one fails.
inline std::string TestDataPath(std::string_view relative) {
  const std::filesystem::path path = std::filesystem::path(HARVEX_TEST_DATA) / relative;
  if (!std::filesystem::is_regular_file(path)) ADD_FAILURE() << "missing fixture " << path;
  return path.string();
}

}  // namespace harvex::testing
