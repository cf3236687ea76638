// The desktop of the command line: memo lines on standard output, message
// boxes on standard error, no file chooser.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "rtl/Desktop.h"

namespace harvex {

class TTerminalDesktop final : public TDesktop {
 public:
  // ShowMemo false drops the memo lines (the JSON output takes their place).
  explicit TTerminalDesktop(bool showMemo);

  // "CAPTION: TEXT" on standard error.
  void ShowMessage(const std::string& caption, const std::string& text) override;
  void AppendMemo(const std::string& line) override;
  void ClearMemo() override {}
  // Lets a long batch show its progress file by file; raises TEndRequested
  // once an end signal was caught.
  void ProcessEvents() override;
  std::optional<std::vector<std::string>> ChooseFiles() override { return std::nullopt; }
  TFormatSettings FormatSettings() override { return Settings; }

  int MessageCount() const { return Messages; }
  // The texts of the boxes shown since the last call, in order.
  std::vector<std::string> TakeMessages() { return std::exchange(Shown, {}); }

 private:
  bool ShowMemo;
  TFormatSettings Settings;
  int Messages = 0;
  std::vector<std::string> Shown;
};

}  // namespace harvex
