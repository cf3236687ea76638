// A desktop that records what the core asks of it, for asserting message
// boxes and memo lines; a load reports to it when given it as its context.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "rtl/Desktop.h"

namespace harvex::testing {

struct TMessage {
  std::string Caption;
  std::string Text;
  bool operator==(const TMessage&) const = default;
};

inline void PrintTo(const TMessage& message, std::ostream* out) {
  *out << '[' << message.Caption << "] " << message.Text;
}

class TRecordingDesktop : public TDesktop {
 public:
  void ShowMessage(const std::string& caption, const std::string& text) override {
    Messages.push_back({caption, text});
  }
  void AppendMemo(const std::string& line) override { Memo.push_back(line); }
  void ClearMemo() override {
    Memo.clear();
    ++Clears;
  }
  void ProcessEvents() override { ++EventRounds; }
  std::optional<std::vector<std::string>> ChooseFiles() override { return Choice; }
  TFormatSettings FormatSettings() override { return Formats; }

  std::vector<TMessage> Messages;
  std::vector<std::string> Memo;
  int Clears = 0;
  int EventRounds = 0;
  std::optional<std::vector<std::string>> Choice;
  TFormatSettings Formats;
};

}  // namespace harvex::testing
