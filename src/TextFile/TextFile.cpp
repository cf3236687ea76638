#include "TextFile/TextFile.h"

#include <cerrno>

#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

// Large reads keep the system-call count negligible next to the line scan.
constexpr std::size_t PlainBlockSize = std::size_t{1} << 17;

}  // namespace

TPlainTextFile::~TPlainTextFile() = default;

bool TPlainTextFile::Open(const std::string& fileName) { return Open(OpenFileSource(fileName)); }

bool TPlainTextFile::Open(TOpenedSource opened) {
  if (Source) Close();
  OpenError = std::move(opened.Failure);
  if (!opened.Source) return false;
  Source = std::move(opened.Source);
  Buffer.assign(PlainBlockSize + TLineSplitter::Slack, '\0');
  Lines.Start(Buffer.data(), 0);
  Exhausted = false;
  return true;
}

void TPlainTextFile::RequireOpen() const {
  if (!Source) throw EInOutError(OpenError.empty() ? SystemReason(EBADF) : OpenError);
}

bool TPlainTextFile::Fill() {
  if (Exhausted) return false;
  const std::size_t count = Source->Read(Buffer.data(), PlainBlockSize);
  Lines.Start(Buffer.data(), count);
  Exhausted = count == 0;
  return count > 0;
}

bool TPlainTextFile::AtBufferEnd() {
  RequireOpen();
  return !Fill() || Lines.Peek() == CtrlZ;
}

void TPlainTextFile::ReadLine(std::string& line) {
  line.clear();
  OpenEnd = false;
  if (AtEnd()) return;
  OpenEnd = !Lines.ReadLine(line, [this] { return Fill(); });
}

void TPlainTextFile::Close() {
  RequireOpen();
  const std::unique_ptr<TByteSource> source = std::move(Source);
  Buffer = {};
  Lines.Start(nullptr, 0);
  source->Close();
}

}  // namespace harvex
