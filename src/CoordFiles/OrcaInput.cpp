#include "CoordFiles/OrcaInput.h"

#include <algorithm>
#include <array>
#include <span>

#include "CoordFiles/LevelOfTheory.h"
#include "str_pars/str_pars.h"

namespace harvex {
namespace {

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  for (std::size_t start = text.find_first_not_of(" \t"); start != std::string_view::npos;) {
    const std::size_t end = std::min(text.find_first_of(" \t", start), text.size());
    words.push_back(text.substr(start, end - start));
    start = text.find_first_not_of(" \t", end);
  }
  return words;
}

bool StartsWithAny(std::string_view word, std::span<const std::string_view> prefixes) {
  return std::ranges::any_of(prefixes, [&](std::string_view prefix) { return word.starts_with(prefix); });
}

bool EndsWithAny(std::string_view word, std::span<const std::string_view> suffixes) {
  return std::ranges::any_of(suffixes, [&](std::string_view suffix) { return word.ends_with(suffix); });
}

// Orbital basis sets by the beginning of their names, in capitals; an
// auxiliary set carries a "/J", "/C" or "/JK" after it.
constexpr std::array BasisPrefixes = {
    std::string_view("DEF2"), std::string_view("MA-DEF2"), std::string_view("DEF-"),  std::string_view("CC-P"),
    std::string_view("AUG-CC"), std::string_view("MAUG-"),  std::string_view("JUN-"),  std::string_view("JUL-"),
    std::string_view("6-31"),  std::string_view("6-311"),   std::string_view("3-21"),  std::string_view("STO-"),
    std::string_view("PCSEG"), std::string_view("APCSEG"),  std::string_view("PC-"),   std::string_view("AUG-PC"),
    std::string_view("ANO-"),  std::string_view("SARC"),    std::string_view("X2C-"),  std::string_view("ZORA-"),
    std::string_view("DKH-"),  std::string_view("SV"),      std::string_view("TZV"),   std::string_view("QZV"),
    std::string_view("MINI"),  std::string_view("MIDI"),    std::string_view("LANL"),  std::string_view("D95"),
    std::string_view("EXTRAPOLATE(")};

// Words of the keyword line that name no method: job types, SCF and grid
// settings, approximations, references, output and property requests.
constexpr std::array OptionWords = {
    std::string_view("SP"),        std::string_view("ENGRAD"),   std::string_view("NUMGRAD"),
    std::string_view("FREQ"),      std::string_view("NUMFREQ"),  std::string_view("ANFREQ"),
    std::string_view("MD"),        std::string_view("IRC"),      std::string_view("NEB"),
    std::string_view("NEB-CI"),    std::string_view("RIJCOSX"),  std::string_view("RIJK"),
    std::string_view("RIJONX"),    std::string_view("RI"),       std::string_view("NORI"),
    std::string_view("COSX"),      std::string_view("NOCOSX"),   std::string_view("SPLIT-RI-J"),
    std::string_view("KDIIS"),     std::string_view("SOSCF"),    std::string_view("NOSOSCF"),
    std::string_view("DIIS"),      std::string_view("NODIIS"),   std::string_view("TRAH"),
    std::string_view("NOTRAH"),    std::string_view("SLOWCONV"), std::string_view("VERYSLOWCONV"),
    std::string_view("UKS"),       std::string_view("RKS"),      std::string_view("ROKS"),
    std::string_view("UHF"),       std::string_view("RHF"),      std::string_view("ROHF"),
    std::string_view("MOREAD"),    std::string_view("NOAUTOSTART"), std::string_view("AUTOAUX"),
    std::string_view("KEEPDENS"),  std::string_view("XYZFILE"),  std::string_view("NMR"),
    std::string_view("EPRNMR"),    std::string_view("CHELPG"),   std::string_view("HIRSHFELD"),
    std::string_view("MULLIKEN"),  std::string_view("LOEWDIN"),  std::string_view("MAYER"),
    std::string_view("NBO"),       std::string_view("USESYM"),   std::string_view("NOUSESYM"),
    std::string_view("NOPOP"),     std::string_view("FROZENCORE"), std::string_view("NOFROZENCORE"),
    std::string_view("DECONTRACT"), std::string_view("NOITER"),  std::string_view("UNO"),
    std::string_view("UCO"),       std::string_view("NOFINALGRID"), std::string_view("CALCHESS"),
    std::string_view("TIGHTOPT"),  std::string_view("VERYTIGHTOPT"), std::string_view("LOOSEOPT"),
    std::string_view("PMODEL"),    std::string_view("HUECKEL"),  std::string_view("ALLPOP"),
    std::string_view("RIJDX"),     std::string_view("RI-JK"),    std::string_view("ZORA"),
    std::string_view("IORA"),      std::string_view("DKH"),      std::string_view("DKH2"),
    std::string_view("X2C"),       std::string_view("NOSYM"),    std::string_view("BOHRS"),
    std::string_view("ANGS"),      std::string_view("NUMHESS"),  std::string_view("MASS2016"),
    std::string_view("AUTOTRAH"),  std::string_view("NOAUTOTRAH"),
};
constexpr std::array OptionPrefixes = {std::string_view("PAL"),  std::string_view("GRID"), std::string_view("FINALGRID"),
                                       std::string_view("DEFGRID"), std::string_view("SCFCONV"), std::string_view("PRINT"),
                                       std::string_view("LARGEPRINT"), std::string_view("%")};
constexpr std::array OptionSuffixes = {std::string_view("SCF"), std::string_view("PNO"), std::string_view("PRINT")};

// Optimisations, those that search for a transition state first.
constexpr std::array TransitionStateWords = {std::string_view("OPTTS"), std::string_view("NEB-TS"),
                                             std::string_view("SCANTS"), std::string_view("ZOPTTS")};
constexpr std::array OptimisationWords = {std::string_view("OPT"),      std::string_view("TIGHTOPT"),
                                          std::string_view("VERYTIGHTOPT"), std::string_view("LOOSEOPT"),
                                          std::string_view("COPT"),     std::string_view("ZOPT"),
                                          std::string_view("GDIIS-OPT"), std::string_view("L-OPT"),
                                          std::string_view("NORMALOPT")};
// Continuum models written as keywords, their solvent in parentheses.
constexpr std::array SolvationModels = {std::string_view("CPCM"), std::string_view("SMD"), std::string_view("CPCMC"),
                                        std::string_view("ALPB"), std::string_view("DDCOSMO"), std::string_view("CPCMX")};
constexpr std::array ReferenceWords = {std::string_view("RHF"), std::string_view("UHF"), std::string_view("ROHF")};

bool Holds(std::span<const std::string_view> words, std::string_view word) {
  return std::ranges::find(words, word) != words.end();
}

struct TLevelReading {
  TOrcaJobLevel Level;
  bool HartreeFockReference = false;
  std::string SolvationModel;
  std::string Solvent;
  std::string Block;  // the % block open, in capitals; empty outside one
};

// A continuum model keyword: "CPCM(water)", "SMD(CH2Cl2)", or "CPCM" with
// water, ORCA's default.
bool ReadSolvationWord(TLevelReading& reading, std::string_view word, std::string_view upper) {
  const std::string_view model = upper.substr(0, upper.find('('));
  if (!Holds(SolvationModels, model)) return false;
  reading.SolvationModel = model;
  const std::size_t open = word.find('(');
  reading.Solvent = open == std::string_view::npos ? "water" : std::string(word.substr(open + 1, word.find(')') - open - 1));
  return true;
}

void ReadKeyword(TLevelReading& reading, std::string_view word) {
  const std::string upper = UpperAscii(word);
  TOrcaJobLevel& level = reading.Level;
  if (Holds(TransitionStateWords, upper)) {
    level.Optimises = level.TransitionState = true;
  } else if (Holds(OptimisationWords, upper)) {
    level.Optimises = true;
  }
  if (Holds(ReferenceWords, upper)) reading.HartreeFockReference = true;
  if (ReadSolvationWord(reading, word, upper)) return;
  if (const std::string dispersion = DispersionNamed(upper); !dispersion.empty()) {
    level.Dispersion = dispersion;
    return;
  }
  const bool auxiliary = upper.find('/') != std::string::npos && !upper.starts_with("EXTRAPOLATE(");
  if (StartsWithAny(upper, BasisPrefixes) && !auxiliary) {
    if (level.Basis.empty()) level.Basis = word;
    return;
  }
  if (auxiliary || Holds(OptionWords, upper) || Holds(OptimisationWords, upper) || Holds(TransitionStateWords, upper) ||
      StartsWithAny(upper, OptionPrefixes) || EndsWithAny(upper, OptionSuffixes))
    return;
  if (level.Method.empty()) level.Method = word;
}

// The value after a block's key, without quotes: SMDsolvent "water".
std::string BlockValue(const std::vector<std::string_view>& words) {
  if (words.size() < 2) return {};
  std::string_view value = words[1];
  while (!value.empty() && value.front() == '"') value.remove_prefix(1);
  while (!value.empty() && value.back() == '"') value.remove_suffix(1);
  return std::string(value);
}

void ReadBlockLine(TLevelReading& reading, const std::vector<std::string_view>& words) {
  const std::string key = UpperAscii(words.front());
  const std::string value = BlockValue(words);
  if (reading.Block == "%CPCM") {
    if (key == "SMD" && UpperAscii(value) == "TRUE") reading.SolvationModel = "SMD";
    if (key == "SMDSOLVENT" || key == "SOLVENT") reading.Solvent = value;
  } else if (reading.Block == "%METHOD") {
    if ((key == "METHOD" || key == "FUNCTIONAL") && UpperAscii(value) != "DFT") reading.Level.Method = value;
  } else if (reading.Block == "%BASIS") {
    if (key == "BASIS") reading.Level.Basis = value;
  }
}

// A block opens with its "%name" (and may hold its first setting on that
// line) and closes with "end".
void ReadInputLine(TLevelReading& reading, std::string_view line) {
  std::vector<std::string_view> words = Words(line);
  if (words.empty() || words.front().starts_with('#')) return;
  if (words.front().starts_with('!')) {
    words.front().remove_prefix(1);
    for (std::string_view word : words)
      if (!word.empty() && !word.starts_with('#')) ReadKeyword(reading, word);
    return;
  }
  if (words.front().starts_with('%')) {
    std::string name = UpperAscii(words.front());
    if (name == "%" && words.size() > 1) {
      name += UpperAscii(words[1]);
      words.erase(words.begin());
    }
    reading.Block = name;
    words.erase(words.begin());
    if (words.empty()) return;
  }
  if (reading.Block.empty()) return;
  if (UpperAscii(words.front()) == "END") {
    reading.Block.clear();
    return;
  }
  ReadBlockLine(reading, words);
  if (UpperAscii(words.back()) == "END") reading.Block.clear();
}

constexpr std::string_view NewJobWord = "$NEW_JOB";

// A later job that does not restate a part of the level keeps the earlier
// job's.
void KeepEarlier(TLevelReading& reading, const TLevelReading& earlier) {
  for (auto field : {&TOrcaJobLevel::Method, &TOrcaJobLevel::Basis, &TOrcaJobLevel::Dispersion})
    if ((reading.Level.*field).empty()) reading.Level.*field = earlier.Level.*field;
  if (reading.SolvationModel.empty()) {
    reading.SolvationModel = earlier.SolvationModel;
    reading.Solvent = earlier.Solvent;
  }
  reading.HartreeFockReference |= reading.Level.Method.empty() && earlier.HartreeFockReference;
}

}  // namespace

TOrcaJobLevel OrcaJobLevel(const std::vector<std::string>& inputLines) {
  TLevelReading earlier;
  TLevelReading reading;
  for (const std::string& line : inputLines) {
    if (UpperAscii(line).find(NewJobWord) != std::string::npos) {
      KeepEarlier(reading, earlier);
      earlier = std::move(reading);
      reading = {};
      continue;
    }
    ReadInputLine(reading, line);
  }
  KeepEarlier(reading, earlier);
  TOrcaJobLevel level = std::move(reading.Level);
  if (level.Method.empty() && reading.HartreeFockReference) level.Method = "HF";
  level.Solvation = SolvationText(reading.SolvationModel, reading.Solvent);
  if (level.Dispersion.empty()) level.Dispersion = DispersionOfMethod(level.Method);
  return level;
}

}  // namespace harvex
