// Recomputed thermochemistry of many reported files: for every file with a
// frequency job, one table row per temperature at the conditions chosen, a
// self-check of the recomputation against the G the program printed, and
// the same values as JSON. The caller decides where the table goes.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ModelJson/ModelJson.h"
#include "TextTable/TextTable.h"
#include "Thermochemistry/Thermochemistry.h"

namespace harvex {

// Told about one file: a failed self-check, a recomputed value that is not
// finite.
using TThermoNotice = std::function<void(const std::string& path, const std::string& message)>;

// What the table gives for one file.
struct TThermoRows {
  // One object per temperature; null when the table keeps no JSON.
  TModelJson Json;
  // The free energy an ensemble ranks by at the ranking temperature: qh-G,
  // G without a quasi-harmonic entropy; none when the file has no
  // recomputed values or it is not finite.
  std::optional<long double> RankingEnergy;
};

// The free energy an ensemble ranks by, recomputed at Conditions (their
// temperature included) without a table or a self-check: qh-G, G without a
// quasi-harmonic entropy; none without a frequency job or when not finite.
std::optional<long double> RankingEnergyOf(const TCoordinateFile_cdf& file, const TThermoConditions& conditions);

// That free energy's name with its conditions, for the ensemble's header.
std::string RankingEnergyName(const TThermoConditions& conditions);

class TThermoTable {
 public:
  // Rows at each of Temperatures (Kelvin; the ranking temperature when
  // empty); a note names the conditions.
  TThermoTable(const TThermoConditions& conditions, std::vector<double> temperatures, double rankingTemperature,
               bool json, TThermoNotice notice);

  // Recomputes a reported file once: its rows and JSON values, its ranking
  // energy, and the notices on what went wrong.
  TThermoRows Add(const std::string& path, const TCoordinateFile_cdf& file);

  // The table so far: a row per file and temperature, numbers with a
  // point, empty cells for what a file does not give.
  const TTextTable& Table() const { return Cells; }
  // No self-check failed and every recomputed value was finite.
  bool Clean() const { return !SelfCheckFailed && !NotFiniteValue; }

  // The conditions at the ranking temperature.
  TThermoConditions RankingConditions() const;

 private:
  TThermoConditions Conditions;
  std::vector<double> Temperatures;
  double RankingTemperature;
  bool Json;
  TThermoNotice Notice;
  TTextTable Cells;
  bool SelfCheckFailed = false;
  bool NotFiniteValue = false;  // a recomputed quantity overflowed
};

}  // namespace harvex
