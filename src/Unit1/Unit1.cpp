#include "Unit1/Unit1.h"

#include <algorithm>
#include <ctime>
#include <filesystem>

#include "Unit1/ListFile.h"
#include "str_pars/NumberForms.h"
#include "str_pars/str_pars.h"
#include "Unit1/ResultsFile.h"
#include "rtl/Desktop.h"
#include "rtl/RuntimeErrors.h"

namespace harvex {
namespace {

constexpr std::string_view LineEnd = "\r\n";
constexpr std::string_view ListExtension = ".TXT";

constexpr std::string_view NoThermochemistry = "NO_THCHEM";
constexpr std::string_view NoThermochemistryWarning = "Warning: No thermochemistry data present!";

constexpr int EnergyDecimals = 7;
constexpr int FrequencyDecimals = 2;
constexpr int KcalDecimals = 5;

// What would add a column to a row or split it: a path's are written as
// blanks (TableCell).
constexpr std::string_view ColumnBreakers = "\t\r\n";

// The path with its tabs, CRs and LFs spelt as \t, \r and \n, on one line.
std::string VisiblePath(std::string_view path) {
  std::string shown;
  for (const char c : path) {
    const std::size_t breaker = ColumnBreakers.find(c);
    shown += breaker == std::string_view::npos ? std::string(1, c) : std::string("\\") + "trn"[breaker];
  }
  return shown;
}

}  // namespace

std::string ChoiceFolder(const std::string& firstPath) {
  return std::filesystem::path(firstPath).parent_path().string();
}

std::unique_ptr<TCoordinateFile_cdf> LoadForReport(const std::string& fileName, const TLoadContext& context) {
  auto file = std::make_unique<TCoordinateFile_cdf>(context);
  file->LoadConformer(fileName, true);
  return file;
}

TResultsRun::TResultsRun(TDesktop& desktop) : Desktop(desktop), Results(std::make_unique<TResultsFile>()) {}

TResultsRun::~TResultsRun() = default;

void TResultsRun::CreateResultsFile(const std::string& path, const std::string& caption) {
  CloseResultsFile();
  Results = std::make_unique<TResultsFile>(path);
  Rows = 0;
  Warnings = 0;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  Results->Write(HeaderLine(caption, local, Desktop.FormatSettings()));
  Results->EndLine();
}

void TResultsRun::ChooseAndReport() {
  const std::optional<std::vector<std::string>> chosen = Desktop.ChooseFiles();
  if (!chosen) return;
  Desktop.ClearMemo();
  ReportChoice(*chosen);
}

void TResultsRun::ReportChoice(const std::vector<std::string>& paths) {
  if (!paths.empty()) Folder = ChoiceFolder(paths.front());
  ReportPaths(paths);
}

void ForEachChosenFile(const std::string& path, const TLoadContext& context,
                       const std::optional<TFileIdentity>& excluded, const std::function<void(const std::string&)>& take) {
  if (UpperExtension(path) == ListExtension) {
    ForEachListedPath(context.Resolve(path), excluded, take);
  } else {
    take(path);
  }
}

TChosenFiles ChosenFiles(const std::string& path, const TLoadContext& context,
                         const std::optional<TFileIdentity>& excluded) {
  TChosenFiles chosen;
  try {
    ForEachChosenFile(path, context, excluded, [&](const std::string& file) { chosen.Files.push_back(file); });
  } catch (...) {
    chosen.ListError = std::current_exception();
  }
  return chosen;
}

void TResultsRun::ReportPaths(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    const TChosenFiles chosen = ChosenFiles(path, LoadContext(), Results->Identity());
    for (const std::string& file : chosen.Files) ReportFile(file);
    if (chosen.ListError) std::rethrow_exception(chosen.ListError);
  }
}

void TResultsRun::ReportFile(const std::string& fileName) {
  Current.reset();
  Current = LoadForReport(fileName, LoadContext());
  ReportCurrent(fileName);
}

void TResultsRun::ReportObject(const std::string& fileName, std::unique_ptr<TCoordinateFile_cdf> file) {
  Current = std::move(file);
  ReportCurrent(fileName);
}

std::optional<TFileIdentity> TResultsRun::ResultsIdentity() const { return Results->Identity(); }

void TResultsRun::CloseResultsFile() noexcept {
  try {
    Results->Close();
  } catch (const ERuntimeError& error) {
    try {
      Desktop.ShowMessage(ApplicationTitle, error.what());
    } catch (...) {
      // Closing must end the run even when the box cannot be shown.
    }
  }
  Results = std::make_unique<TResultsFile>();
}

void TResultsRun::ReportCurrent(const std::string& fileName) {
  const std::string decimalSeparator = Desktop.FormatSettings().DecimalSeparator;
  AppendMemoText("File:\t" + fileName);
  const int rowsBefore = Rows;
  const std::string rowPath = TableCell(fileName);
  // Read back as a list, such a row may name another file.
  if ((Current->IsCdf || Current->FileKind == fkOutput) && rowPath != fileName) {
    Warn("Warning: the row's path is not the file's exact name \"" + VisiblePath(fileName) +
         "\": its tabs, CRs and LFs are written as blanks!");
  }
  if (const std::optional<TReportedValues> values = ReportedValuesOf(*Current); !values) {
    AppendMemoText("Error: not a .out file!");
  } else if (values->Kind == TReportedKind::Conformer) {
    ReportConformer(rowPath, *values, decimalSeparator);
  } else {
    ReportOutput(rowPath, *values, decimalSeparator);
  }
  if (Reported) Reported(fileName, *Current);
  // An end request stops the run here, after the file's row and whatever the
  // hook writes of it, so that every stream holds the same complete files.
  if (Rows != rowsBefore) Desktop.ProcessEvents();
}

void TResultsRun::ReportConformer(const std::string& rowPath, const TReportedValues& values,
                                  std::string_view decimalSeparator) {
  AppendMemoText("...this is the .cdf file");
  AppendMemoText("E [Hartree]=\t" + MemoFixed(values.E, EnergyDecimals, decimalSeparator));
  if (values.G) {
    AppendMemoText("G [Hartree]=\t" + MemoFixed(*values.G, EnergyDecimals, decimalSeparator));
  } else {
    AppendMemoText(NoThermochemistryWarning);
  }
  // G is written also without thermochemistry, as zero.
  Results->Write(rowPath + "\tCDF\t" + ScientificRowForm(values.E) + "\t" + ScientificRowForm(values.G.value_or(0)));
  EndRow();
}

void TResultsRun::ReportOutput(const std::string& rowPath, const TReportedValues& values,
                               std::string_view decimalSeparator) {
  const TOutInfo& info = Current->Info;
  ReportTermination(info.Termination);
  if (info.GeometryState == 0) {
    AppendMemoText("initial geometry loaded");
  } else if (info.GeometryState == 1) {
    AppendMemoText("Optimized geometry loaded");
  }
  AppendMemoText("");
  AppendMemoText("E" + info.EnergyLabel + " [Hartree]=\t" + MemoFixed(values.E, EnergyDecimals, decimalSeparator));
  ReportNothingRead(info);
  Results->Write(rowPath + "\tOUT\t" + ScientificRowForm(values.E) + "\t");

  // An output that no reader ran on has no mode list at all; it reads as one
  // without frequencies. An atom has no modes but may have its G.
  const int modeCount = info.Modes ? info.Modes->Count() : 0;
  if (modeCount > 0 || values.G) AppendMemoText("");
  if (modeCount > 0) {
    AppendMemoText("The oscillation spectra contains " + std::to_string(modeCount) + " modes");
    AppendMemoText("FirstFreq [1/cm]=\t" +
                   MemoFixed(info.Modes->ModeAt(0).Frequency, FrequencyDecimals, decimalSeparator) + "\r\n");
  }
  // A G that was never printed is not written as a number.
  if (values.G) {
    AppendMemoText("G [Hartree]=\t" + MemoFixed(*values.G, EnergyDecimals, decimalSeparator));
    Results->Write(ScientificRowForm(*values.G) + "\t");
  } else {
    if (modeCount > 0) AppendMemoText(NoThermochemistryWarning);
    Results->Write(std::string(NoThermochemistry) + "\t");
  }
  Results->Write((modeCount > 0 ? ScientificRowForm(info.Modes->ModeAt(0).Frequency) : std::string(NoThermochemistry)) +
                 "\t");

  if (info.HasCounterpoise) {
    const long double bsseCorrection = info.BsseCorrection();
    const long double stabilizationEnergy = info.StabilizationEnergy();
    AppendMemoText("BSSE data have been found:");
    AppendMemoText(" BSSE correction:\t" + MemoFixed(bsseCorrection, KcalDecimals, decimalSeparator) + "\tkcal/mole");
    AppendMemoText(" Stabilization energy:\t" + MemoFixed(stabilizationEnergy, KcalDecimals, decimalSeparator) +
                   "\tkcal/mole");
    Results->Write(FixedRowForm(bsseCorrection) + "\t" + FixedRowForm(stabilizationEnergy) + "\t");
  }
  EndRow();
}

// A job that failed or was cut off keeps its row (its values are what the
// file printed), but never passes as a good one.
void TResultsRun::ReportTermination(TTermination termination) {
  if (termination == tmError) Warn("Warning: the job ended with an error termination!");
  if (termination == tmMissing) Warn("Warning: the job has no termination line (unfinished?)");
}

// An output that gave nothing keeps its row, whose layout stored tables rely
// on, but its zeros never pass as values read from the file.
void TResultsRun::ReportNothingRead(const TOutInfo& info) {
  if (!info.SourceOpened) {
    const std::string reason = info.OpenFailure.empty() ? "" : " (" + info.OpenFailure + ")";
    Warn("Warning: the file could not be opened" + reason + "!");
  } else if (!info.EnergyRead) {
    Warn("Warning: no energy could be read from this file!");
  }
  for (const std::string& warning : info.ReadWarnings) Warn(warning);
}

// Each CR LF pair in Text starts a new memo line.
void TResultsRun::AppendMemoText(std::string_view text) {
  for (;;) {
    const std::size_t end = text.find(LineEnd);
    Desktop.AppendMemo(std::string(text.substr(0, end)));
    if (end == std::string_view::npos) return;
    text.remove_prefix(end + LineEnd.size());
  }
}

void TResultsRun::Warn(std::string_view text) {
  AppendMemoText(text);
  ++Warnings;
}

void TResultsRun::EndRow() {
  Results->Write(LineEnd);
  Results->EndLine();
  ++Rows;
}

}  // namespace harvex
