#include "TerminalDesktop.h"

#include <iostream>

#include "rtl/EndSignals.h"

namespace harvex {

TTerminalDesktop::TTerminalDesktop(bool showMemo) : ShowMemo(showMemo), Settings(FormatSettingsFromCLocale()) {}

void TTerminalDesktop::ShowMessage(const std::string& caption, const std::string& text) {
  ++Messages;
  Shown.push_back(text);
  std::cout.flush();
  std::cerr << caption << ": " << text << '\n';
}

void TTerminalDesktop::AppendMemo(const std::string& line) {
  if (ShowMemo) std::cout << line << '\n';
}

void TTerminalDesktop::ProcessEvents() {
  std::cout.flush();
  if (EndSignal() != 0) throw TEndRequested{};
}

}  // namespace harvex
