#include "CoordFiles/CoordFiles.h"

#include <algorithm>

#include "CoordFiles/LineSource.h"
#include "CoordFiles/MarkerRegistry.h"
#include "InputExtensions/InputExtensions.h"
#include "rtl/ByteSource.h"
#include "rtl/RuntimeErrors.h"
#include "str_pars/str_pars.h"

namespace harvex {
namespace {

// Banner lines that tell the two programs apart. Gaussian 03 prints the
// first form; Gaussian 98, 09 and 16 print "This is part of the Gaussian(R)".
constexpr std::string_view OrcaBanner = " * O   R   C   A *";
constexpr std::string_view GaussianBanner = "This is the Gaussian(R)";
constexpr std::string_view GaussianPartBanner = "This is part of the Gaussian(R)";

enum class TProgram { Undecided, Orca, Gaussian };

TProgram BannerOf(std::string_view line) {
  if (Contains(line, GaussianBanner) || Contains(line, GaussianPartBanner)) return TProgram::Gaussian;
  if (Contains(line, OrcaBanner)) return TProgram::Orca;
  return TProgram::Undecided;
}

}  // namespace

std::string UpperExtension(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos) return {};
  const std::size_t separator = fileName.find_last_of("/\\:");
  if (separator != std::string_view::npos && separator > dot) return {};
  return UpperAscii(fileName.substr(dot));
}

std::string UpperGzippedExtension(std::string_view fileName) {
  if (UpperExtension(fileName) != GzipExtension) return {};
  return UpperExtension(fileName.substr(0, fileName.size() - GzipExtension.size()));
}

int ModeLimit(std::size_t atomCount) {
  return atomCount == 0 ? MaxModes : 3 * static_cast<int>(std::min<std::size_t>(atomCount, MaxModeAtoms));
}

std::string ModeLimitWarning(int limit) {
  return "Warning: the frequency listing goes on past " + std::to_string(limit) + " modes (3 for each of " +
         std::to_string(limit / 3) + " atoms); the modes after them were not read!";
}

bool IsProgramOutput(const std::string& path) {
  // Only a regular file is looked into: a terminal, a pipe or a FIFO named as
  // a destination would block the run before it starts, or lose the bytes
  // read from it.
  TOpenedSource opened = OpenFileSource(path);
  if (!opened.Source) return false;
  // Both programs print their banner near the top, after a licence at most.
  constexpr std::size_t BannerBytes = 64 * 1024;
  std::string head(BannerBytes, '\0');
  try {
    head.resize(opened.Source->Read(head.data(), head.size()));
  } catch (const EInOutError&) {
    return false;
  }
  for (std::size_t start = 0; start < head.size();) {
    const std::size_t end = std::min(head.find('\n', start), head.size());
    if (BannerOf(std::string_view(head).substr(start, end - start)) != TProgram::Undecided) return true;
    start = end + 1;
  }
  return false;
}


TOscMode& TOscModes::AddMode(std::int32_t modeNumber) {
  auto& mode = Items.emplace_back(std::make_unique<TOscMode>());
  mode->ModeNumber = modeNumber;
  return *mode;
}

void TOscModes::RemoveLast(int count) {
  Items.resize(Items.size() - std::min(Items.size(), static_cast<std::size_t>(std::max(count, 0))));
}

TOscMode& TOscModes::ModeAt(int index) {
  return const_cast<TOscMode&>(static_cast<const TOscModes&>(*this).ModeAt(index));
}

const TOscMode& TOscModes::ModeAt(int index) const {
  if (index < 0 || index >= Count()) throw EListError::IndexOutOfBounds(index);
  return *Items[static_cast<std::size_t>(index)];
}

bool GetModeAttribute(const std::vector<TAdditionalModeAttrib>& attributes, std::string_view name,
                      long double& value) {
  for (const TAdditionalModeAttrib& attribute : attributes) {
    if (attribute.Name == name) {
      value = attribute.Value;
      return true;
    }
  }
  return false;
}

std::optional<double> ModeIRIntensity(const TOscMode& mode) {
  long double value = 0;
  if (GetModeAttribute(mode.Attributes, "IR Inten", value) || GetModeAttribute(mode.Attributes, "IR Intensities", value))
    return static_cast<double>(value);
  return std::nullopt;
}

namespace {

std::size_t ModeBytes(const TOscMode& mode) {
  std::size_t bytes = sizeof(TOscMode) + mode.DispX.HeldBytes() + mode.DispY.HeldBytes() + mode.DispZ.HeldBytes();
  for (const TAdditionalModeAttrib& attribute : mode.Attributes)
    bytes += sizeof(TAdditionalModeAttrib) + attribute.Name.capacity();
  return bytes;
}

std::size_t ChargeBytes(const std::optional<TChargeArray>& charges) {
  return charges ? charges->capacity() * sizeof(long double) : 0;
}

}  // namespace

std::size_t HeldBytes(const TCoordinateFile& file) {
  const TOutInfo& info = file.Info;
  std::size_t bytes = static_cast<std::size_t>(file.AtomCount()) * sizeof(TAtom);
  if (info.Modes)
    for (int index = 0; index < info.Modes->Count(); ++index) bytes += ModeBytes(info.Modes->ModeAt(index));
  for (const auto* charges : {&info.MullikenCharges, &info.APTCharges, &info.ESPCharges}) bytes += ChargeBytes(*charges);
  if (info.NBO)
    bytes += info.NBO->Interactions.size() * sizeof(TDAOrbitalInteraction) + ChargeBytes(info.NBO->NPACharges);
  return bytes;
}

std::optional<int> ImaginaryModeCount(const TOutInfo& info) {
  if (!info.Modes || info.Modes->Count() == 0) return std::nullopt;
  int count = 0;
  for (int index = 0; index < info.Modes->Count(); ++index) count += info.Modes->ModeAt(index).Frequency < 0;
  return count;
}

void TOutInfo::AddReadWarning(std::string_view text) {
  if (std::ranges::find(ReadWarnings, text) == ReadWarnings.end()) ReadWarnings.emplace_back(text);
}

void ResetOutInfo(TOutInfo& info) {
  info.Modes = std::make_unique<TOscModes>();
  static_cast<TReadSectionValues&>(info) = {};
  static_cast<TStudyValues&>(info) = {};
  info.ClearRecomputationValues();
}

void TCoordinateFile::ShowError(const std::string& message) {
  Context.ShowMessage(CoordinateFileCaption, message);
}

bool TCoordinateFile::LoadFile(const std::string& fileName, bool finalGeometry) {
  if (AtomCount() > 0) FreeModes();
  Atoms.ClearAtoms();
  const std::string extension = UpperExtension(fileName);
  // A gzipped file is read by the name under its ".gz"; only outputs are.
  if (extension == GzipExtension) {
    if (IsInputKind(UpperGzippedExtension(fileName), TInputKind::Output))
      return LoadOutputFile(fileName, finalGeometry);
    ShowError(fileName + ": only gzipped .out and .log outputs are read");
    return false;
  }
  const std::optional<TInputExtension> input = InputExtensionOf(extension);
  if (!input) return false;
  switch (input->Kind) {
    case TInputKind::Output:
      return LoadOutputFile(fileName, finalGeometry);
    case TInputKind::Archive:
      // An archive always keeps its final geometry, and counts as taken
      // whenever it holds an output member, whatever the reader made of it.
      LoadOutputFile(fileName, true);
      return Info.SourceOpened;
    case TInputKind::GaussianInput:
      FileKind = fkGjf;
      ReadGjfFile(fileName);
      return true;
    case TInputKind::XyzGeometry:
      FileKind = fkXyz;
      ReadXyzFile(fileName);
      return true;
    case TInputKind::Conformer:
      break;
  }
  return false;
}

bool TCoordinateFile::LoadOutputFile(const std::string& fileName, bool finalGeometry) {
  FileKind = fkOutput;
  return LoadOutput(fileName, finalGeometry);
}

// An archive member's CRC-32 verdict is shown once per load: by the reader's
// source when a banner was found, or here when the banner pass read the whole
// member and found none. A pass that stops at the banner gives no verdict.
bool TCoordinateFile::LoadOutput(const std::string& fileName, bool finalGeometry) {
  TProgram program = TProgram::Undecided;
  static_cast<TLoadOutcome&>(Info) = {};
  {
    TLineSource source(Context);
    if (!source.OpenSource(fileName)) {
      Info.OpenFailure = source.OpenFailure();
      Info.SourceFailure = source.NothingReadReason();
      return false;
    }
    Info.SourceOpened = true;
    std::string line;
    while (program == TProgram::Undecided && !source.SourceAtEnd()) {
      source.ReadSourceLine(line);
      program = BannerOf(line);
    }
    const bool intact = source.CloseSource();
    Info.SourceDamaged = !intact;
    if (program == TProgram::Undecided && !intact) ShowError(DamagedSourceWarning(fileName));
  }
  switch (program) {
    case TProgram::Gaussian:
      Info.Program = opGaussian;
      return ParseGaussianOutput(fileName, finalGeometry);
    case TProgram::Orca:
      Info.Program = opOrca;
      return ReadOrcaOutput(fileName);
    case TProgram::Undecided:
      break;
  }
  return false;
}

}  // namespace harvex
