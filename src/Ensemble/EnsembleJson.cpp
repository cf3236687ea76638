#include "Ensemble/EnsembleJson.h"

namespace harvex {
namespace {

using TEnsembleJson = TModelJson;

TEnsembleJson Optional(const std::optional<long double>& value) {
  return value ? TEnsembleJson(static_cast<double>(*value)) : TEnsembleJson(nullptr);
}

TEnsembleJson MemberJson(const TEnsembleRow& row, std::size_t rank) {
  const TEnsembleMember& member = row.Member;
  return {{"Rank", rank},
          {"Path", member.Path},
          {"E", static_cast<double>(member.E)},
          {"G", Optional(member.G)},
          {"DeltaE", static_cast<double>(row.DeltaE)},
          {"DeltaG", Optional(row.DeltaG)},
          {"Population", Optional(row.Population)},
          {"ImaginaryModes", member.ImaginaryModes ? TEnsembleJson(*member.ImaginaryModes) : TEnsembleJson(nullptr)},
          {"Warnings", MemberWarnings(member)},
          {"DuplicateOf", row.DuplicateOf != 0 ? TEnsembleJson(row.DuplicateOf) : TEnsembleJson(nullptr)}};
}

TEnsembleJson ExcludedJson(const TEnsembleMember& member) {
  return {{"Path", member.Path},
          {"Status", StatusName(member.Status.Status)},
          {"Reason", member.Status.Reason},
          {"E", member.HasEnergy ? TEnsembleJson(static_cast<double>(member.E)) : TEnsembleJson(nullptr)},
          {"G", Optional(member.G)}};
}

}  // namespace

TModelJson EnsembleJson(const TEnsemble& ensemble) {
  TEnsembleJson members = TEnsembleJson::array();
  for (std::size_t row = 0; row < ensemble.Rows.size(); ++row)
    members.push_back(MemberJson(ensemble.Rows[row], row + 1));
  TEnsembleJson excluded = TEnsembleJson::array();
  for (const TEnsembleMember& member : ensemble.Excluded) excluded.push_back(ExcludedJson(member));
  const bool populated = ensemble.FreeEnergy.has_value();
  return {{"Ensemble",
           {{"Formula", ensemble.Formula.empty() ? TEnsembleJson(nullptr) : TEnsembleJson(ensemble.Formula)},
            {"EnergyUsed", ensemble.UsesG ? ensemble.FreeEnergyName : "E"},
            {"Temperature", ensemble.Temperature},
            {"MemberCount", ensemble.Rows.size()},
            {"Members", std::move(members)},
            {"Excluded", std::move(excluded)},
            {"WithoutFrequencies", ensemble.WithoutFrequencies},
            {"FreeEnergy", Optional(ensemble.FreeEnergy)},
            {"LowestShare", populated ? Optional(ensemble.Rows.front().Population) : TEnsembleJson(nullptr)}}}};
}

}  // namespace harvex
