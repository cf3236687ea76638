#include "CoordFiles/LineSource.h"

#include "CoordFiles/CoordFiles.h"
#include "InputExtensions/InputExtensions.h"
#include "ZipReader/GzipReader.h"
#include "ZipReader/ZipReader.h"
#include "rtl/RegularFile.h"
#include "str_pars/str_pars.h"

namespace harvex {
namespace {

// The archive reader takes the first member whose extension occurs in the
// pattern. An extension runs from the name's last dot, so it holds one dot,
// at its start: the only ones this pattern holds are ".out", ".log" and
// their prefixes (".ou", ".o", ".lo", ".l", "."), never a text spanning both.
constexpr const char* OutputMemberPattern = ".out.log";

}  // namespace

std::string DamagedSourceWarning(const std::string& fileName) {
  return "WARNING: there was an error reading " + fileName;
}

TLineSource::TLineSource(const TLoadContext& context, TDamageReport report) : Context(context), Report(report) {}
TLineSource::~TLineSource() = default;

bool TLineSource::OpenSource(const std::string& fileName) {
  FileName = fileName;
  DamageShown = false;
  Damaged = false;
  MemberFound = false;
  OpenError.clear();
  Reader.reset();
  const std::string extension = UpperExtension(fileName);
  if (extension == GzipExtension) {
    Kind = lsGzipFile;
    auto gzip = std::make_unique<TGzipReader>(Context);
    if (!gzip->Open(fileName)) {
      OpenError = gzip->OpenFailure();
      return false;
    }
    Reader = std::move(gzip);
    return true;
  }
  if (!IsInputKind(extension, TInputKind::Archive)) {
    Kind = lsPlainFile;
    return TextFile.Open(Context.Open(fileName));
  }
  Kind = lsArchiveMember;
  // A FIFO, a device or a socket is passed over as an output that did not
  // open; an archive that cannot be opened raises, in the reader.
  if (Context.IsSpecial(fileName)) {
    OpenError = NotRegularFileReason;
    return false;
  }
  auto archive = std::make_unique<TZippedFilesReader>(Context);
  archive->Open(fileName);
  std::string memberName;
  MemberFound = archive->FindMember(OutputMemberPattern, memberName);
  if (!MemberFound || !archive->StartMember()) {
    archive->CloseArchive();
    return false;
  }
  Reader = std::move(archive);
  return true;
}

std::string TLineSource::OpenFailure() const {
  return Kind == lsPlainFile ? TextFile.OpenFailure() : OpenError;
}

std::string TLineSource::NothingReadReason() const {
  if (std::string reason = OpenFailure(); !reason.empty()) return reason;
  if (Kind == lsGzipFile) return "not a gzip file it can decode";
  if (Kind == lsArchiveMember)
    return MemberFound ? "the archive's output member cannot be decoded" : "no .out or .log member in the archive";
  return "could not be opened";
}

void TLineSource::LeaveOutCutNumber(std::string& line) {
  Cut = Kind == lsPlainFile ? TextFile.LastLineOpen() : Reader && Reader->LastLineOpen();
  if (!Cut) return;
  const std::size_t start = line.find_last_of(" \t") + 1;  // 0 when there is no blank
  const std::string_view token = std::string_view(line).substr(start);
  if (token.find_first_not_of(RealCharacters) == std::string_view::npos &&
      token.find_first_of("0123456789") != std::string_view::npos)
    line.erase(start);
}

void TLineSource::ReadMemberLine(std::string& line) {
  if (!Reader) return;
  Reader->ReadLine(line);
  Damaged = Damaged || MemberDamaged();
  if (Report == TDamageReport::AsSoonAsRead && !DamageShown && Damaged) {
    DamageShown = true;
    Context.ShowMessage(CoordinateFileCaption, DamagedSourceWarning(FileName));
  }
}

bool TLineSource::MemberAtEnd() const { return !Reader || Reader->Eof(); }

bool TLineSource::MemberDamaged() const { return Reader->Eof() && !Reader->CrcOk(); }

bool TLineSource::CloseSource() {
  if (Kind == lsPlainFile) {
    TextFile.Close();
    return true;
  }
  if (!Reader) return true;
  const bool intact = !MemberDamaged();
  Damaged = Damaged || !intact;
  Reader->CloseArchive();
  Reader.reset();
  return intact;
}

}  // namespace harvex
