#include "Progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <iostream>
#include <string_view>

namespace harvex {
namespace {

constexpr std::size_t FewFiles = 10;
// Redrawn at most this often while nothing else is written to the terminal.
constexpr std::chrono::milliseconds RedrawInterval{100};
constexpr std::string_view EraseLine = "\r\033[K";
constexpr std::string_view Ellipsis = "...";
constexpr std::size_t DefaultWidth = 80;

std::size_t TerminalWidth() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return DefaultWidth;
}

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The line as it fits the terminal's width: control characters in names
// shown as '?', a long name cut at its start.
std::string FittedLine(const std::string& counts, const std::string& name, std::size_t width) {
  std::string shown = name;
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  // One column spare, so the cursor never wraps onto a new line.
  const std::size_t room = width > counts.size() + Ellipsis.size() + 1 ? width - counts.size() - 1 : 0;
  if (shown.size() > room) {
    std::size_t cut = shown.size() - (room > Ellipsis.size() ? room - Ellipsis.size() : 0);
    while (cut < shown.size() && IsContinuationByte(shown[cut])) ++cut;
    shown = std::string(Ellipsis) + shown.substr(cut);
  }
  std::string line = counts + shown;
  if (line.size() >= width) line.resize(width - 1);
  return line;
}

}  // namespace

// Hands everything written to a stream on to the stream's own buffer, erasing
// the progress line first.
class TProgress::TErasingBuffer final : public std::streambuf {
 public:
  TErasingBuffer(TProgress& progress, std::ostream& stream)
      : Progress(progress), Stream(stream), Target(stream.rdbuf(this)) {}
  ~TErasingBuffer() override { Stream.rdbuf(Target); }
  TErasingBuffer(const TErasingBuffer&) = delete;
  TErasingBuffer& operator=(const TErasingBuffer&) = delete;

  std::streambuf* Own() const { return Target; }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    Progress.Erase();
    return Target->sputc(traits_type::to_char_type(c));
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    Progress.Erase();
    return Target->sputn(text, count);
  }
  int sync() override { return Target->pubsync(); }

 private:
  TProgress& Progress;
  std::ostream& Stream;
  std::streambuf* Target;
};

TProgress::TProgress(std::size_t found, bool wanted) : Found(found) {
  if (!wanted || found <= FewFiles || isatty(STDERR_FILENO) == 0) return;
  ErrorGuard = std::make_unique<TErasingBuffer>(*this, std::cerr);
  Terminal = ErrorGuard->Own();
  if (isatty(STDOUT_FILENO) != 0) OutputGuard = std::make_unique<TErasingBuffer>(*this, std::cout);
}

TProgress::~TProgress() { Erase(); }

void TProgress::Next(const std::string& name) {
  const std::size_t done = Started++;
  if (Terminal == nullptr) return;
  const auto now = std::chrono::steady_clock::now();
  if (Shown && now - LastDrawn < RedrawInterval) return;
  LastDrawn = now;
  // The report lines so far come before the progress line.
  std::cout.flush();
  Draw(done, name);
}

void TProgress::Draw(std::size_t done, const std::string& name) {
  const std::string counts = std::to_string(done) + " of " + std::to_string(Found) + ", ";
  const std::string line = FittedLine(counts, name, TerminalWidth());
  Terminal->sputn(EraseLine.data(), static_cast<std::streamsize>(EraseLine.size()));
  Terminal->sputn(line.data(), static_cast<std::streamsize>(line.size()));
  Terminal->pubsync();
  Shown = true;
}

void TProgress::Erase() {
  if (!Shown) return;
  Shown = false;
  Terminal->sputn(EraseLine.data(), static_cast<std::streamsize>(EraseLine.size()));
  Terminal->pubsync();
}

}  // namespace harvex
