// The route section of a Gaussian job, and what the reader takes from it:
// whether the job optimises or computes frequencies, and which correlated
// method labels its converged energy.
#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "CoordFiles/GaussianPass.h"
#include "CoordFiles/LevelOfTheory.h"

namespace harvex {
namespace {

// Each job prints its route between two dashed rules after its link-0
// lines. A long route is cut at 70 characters, anywhere, even inside a
// word, and each of its lines opens with one blank:
//  ----------------------------------------------------------------------
//  #P Geom=AllCheck Guess=TCheck SCRF=Check GenChk RB97D TD(FC,Read)/def2
//  SVP Freq
//  ----------------------------------------------------------------------
constexpr std::string_view RouteStart = " #";
// A route longer than this is no route; the lines after it go to the checks.
constexpr int MaxRouteLines = 64;

bool IsDashedRule(std::string_view line) {
  return line.size() > 1 && line[0] == ' ' && line.find_first_not_of('-', 1) == std::string_view::npos;
}

// A line the checks need ends the route, and goes to them.
bool FeedsChecks(std::string_view line) { return GaussianRegistry().ChecksFor(line) != 0; }

void JoinRouteLines(TGaussianPass& pass) {
  std::string route = pass.Line.substr(1);
  for (int lines = 1; lines < MaxRouteLines && pass.NextLine(); ++lines) {
    if (IsDashedRule(pass.Line) || FeedsChecks(pass.Line)) break;
    if (!pass.Line.empty()) route.append(pass.Line, 1);
  }
  pass.Job.Route = std::move(route);
}

// Keywords are separated by blanks or commas outside parentheses.
std::vector<std::string_view> RouteKeywords(std::string_view route) {
  std::vector<std::string_view> keywords;
  int depth = 0;
  std::size_t start = 0;
  for (std::size_t at = 0; at <= route.size(); ++at) {
    const char c = at < route.size() ? route[at] : ' ';
    if (c == '(') ++depth;
    if (c == ')' && depth > 0) --depth;
    if ((c == ' ' || c == ',') && depth == 0) {
      if (at > start) keywords.push_back(route.substr(start, at - start));
      start = at + 1;
    }
  }
  return keywords;
}

// A keyword's name in capitals, without a leading "#", its options
// ("=(...)", "(...)") or its basis set ("/6-31G(d)").
std::string KeywordName(std::string_view keyword) {
  if (keyword.starts_with('#')) keyword.remove_prefix(1);
  return UpperAscii(keyword.substr(0, keyword.find_first_of("=(/")));
}

// The methods whose converged energy the job prints, in capitals; a name
// may carry more after it ("CCSD-T"), never another letter.
constexpr std::array CorrelatedMethods = {std::string_view("CCSD"), std::string_view("CCD"),
                                          std::string_view("QCISD"), std::string_view("CISD"),
                                          std::string_view("CID")};
// Restricted, restricted open-shell and unrestricted forms name the same method.
constexpr std::array ReferencePrefixes = {std::string_view("RO"), std::string_view("R"), std::string_view("U"),
                                          std::string_view()};

// Equation-of-motion excited states are built on a coupled-cluster ground
// state, whose energy the job prints as any CCSD job does: "EOMCCSD" names
// CCSD for it.
constexpr std::string_view EquationOfMotionPrefix = "EOM";

std::string_view CorrelatedMethodNamed(std::string_view name) {
  if (name.starts_with(EquationOfMotionPrefix)) {
    name.remove_prefix(EquationOfMotionPrefix.size());
    if (name.starts_with('-')) name.remove_prefix(1);
  }
  for (std::string_view prefix : ReferencePrefixes) {
    if (!name.starts_with(prefix)) continue;
    const std::string_view rest = name.substr(prefix.size());
    for (std::string_view method : CorrelatedMethods) {
      const bool letterFollows = rest.size() > method.size() && rest[method.size()] >= 'A' && rest[method.size()] <= 'Z';
      if (rest.starts_with(method) && !letterFollows) return method;
    }
  }
  return {};
}

// The options of the first keyword so named, in capitals, without "=" and
// the parentheses: "CALCFC,TS" for "Opt=(CalcFC,TS)", "GD3BJ" for
// "EmpiricalDispersion=GD3BJ"; none when the route lacks the keyword.
std::optional<std::string> RouteOptions(std::string_view route, std::string_view keyword) {
  const std::string wanted = UpperAscii(keyword);
  for (std::string_view word : RouteKeywords(route)) {
    if (KeywordName(word) != wanted) continue;
    std::string_view options = word.substr(std::min(word.find_first_of("=("), word.size()));
    while (!options.empty() && (options.front() == '=' || options.front() == '(')) options.remove_prefix(1);
    while (!options.empty() && options.back() == ')') options.remove_suffix(1);
    return UpperAscii(options);
  }
  return std::nullopt;
}

bool ListHolds(std::string_view options, std::string_view name) {
  std::size_t start = 0;
  while (start <= options.size()) {
    const std::size_t end = std::min(options.find(',', start), options.size());
    const std::string_view option = options.substr(start, end - start);
    if (option.substr(0, option.find('=')) == name) return true;
    start = end + 1;
  }
  return false;
}

// The keyword written "method/basis" ("B3LYP/6-31G(d)", "RM062X/3-21G");
// a density-fitting set after a second slash is no part of the basis.
std::pair<std::string_view, std::string_view> MethodAndBasis(std::string_view route) {
  for (std::string_view word : RouteKeywords(route)) {
    if (word.starts_with('#')) word.remove_prefix(1);
    const std::size_t slash = word.find_first_of("=(/");
    if (slash == std::string_view::npos || word[slash] != '/' || slash == 0) continue;
    const std::string_view basis = word.substr(slash + 1);
    return {word.substr(0, slash), basis.substr(0, basis.find('/'))};
  }
  return {};
}

// Composite recipes optimise their geometry in their first step.
constexpr std::array CompositeRecipes = {
    std::string_view("CBS-QB3"), std::string_view("CBS-4M"), std::string_view("CBS-APNO"), std::string_view("G1"),
    std::string_view("G2"),      std::string_view("G2MP2"),  std::string_view("G3"),       std::string_view("G3MP2"),
    std::string_view("G3B3"),    std::string_view("G3MP2B3"), std::string_view("G4"),      std::string_view("G4MP2"),
    std::string_view("W1U"),     std::string_view("W1BD"),   std::string_view("W1RO"),     std::string_view("ROCBS-QB3")};

// An optimisation searches for a transition state with one of these options.
constexpr std::array TransitionStateOptions = {std::string_view("TS"), std::string_view("QST2"),
                                               std::string_view("QST3")};

// The continuum model the route asks for, until the job's PCM block names
// it (Gaussian 03 prints its block in another layout): IEF-PCM in water
// unless the options say otherwise. SCRF=Check takes the model of the job
// before, the gas phase without one.
//  SCRF=(SMD,Solvent=Water)   SCRF(CPCM,Solvent=Toluene)   SCRF=Check
constexpr std::array SolvationModels = {std::string_view("SMD"), std::string_view("CPCM"),
                                        std::string_view("IEFPCM"), std::string_view("PCM")};

std::string RouteSolvation(std::string_view route, const std::string& earlier) {
  const std::optional<std::string> options = RouteOptions(route, "SCRF");
  if (!options) return SolvationText({}, {});
  if (ListHolds(*options, "CHECK")) return earlier.empty() ? SolvationText({}, {}) : earlier;
  const auto model = std::ranges::find_if(SolvationModels, [&](std::string_view name) { return ListHolds(*options, name); });
  // The solvent as written: capitals change no letter's place.
  constexpr std::string_view SolventKey = "SOLVENT=";
  std::string_view solvent = "Water";
  if (const std::size_t at = UpperAscii(route).find(SolventKey); at != std::string::npos) {
    solvent = route.substr(at + SolventKey.size());
    solvent = solvent.substr(0, solvent.find_first_of(",) "));
  }
  return SolvationText(model == SolvationModels.end() || *model == "IEFPCM" ? "PCM" : *model, solvent);
}

// Each job starts its values afresh: the gas phase until its PCM block says
// otherwise, the method and basis of its route until its archive names them.
void NoteJobLevel(TGaussianPass& pass, TOutInfo& info) {
  const std::string_view route = pass.Job.Route;
  std::optional<std::string> optimisation = RouteOptions(route, "Opt");
  if (!optimisation && std::ranges::any_of(CompositeRecipes, [&](std::string_view recipe) {
        return RouteRequests(route, recipe);
      }))
    optimisation.emplace();
  pass.Job.Optimises = optimisation.has_value();
  pass.Job.FrequenciesOnly = !optimisation && RouteRequests(route, "Freq");
  if (optimisation) {
    info.OptimisationConverged = false;
    info.OptimisationStop.clear();
    info.TransitionState =
        std::ranges::any_of(TransitionStateOptions, [&](std::string_view name) { return ListHolds(*optimisation, name); });
  }
  if (pass.Job.FrequenciesOnly) info.NotStationaryItems.clear();
  const auto [method, basis] = MethodAndBasis(route);
  info.Method = WithoutReference(method);
  info.Basis = basis;
  info.Solvation = RouteSolvation(route, info.Solvation);
  info.Dispersion = DispersionNamed(RouteOptions(route, "EmpiricalDispersion").value_or(""));
}

}  // namespace

bool RouteRequests(std::string_view route, std::string_view keyword) {
  const std::string wanted = UpperAscii(keyword);
  for (std::string_view word : RouteKeywords(route))
    if (KeywordName(word) == wanted) return true;
  return false;
}

std::string CorrelatedMethodOf(std::string_view route) {
  for (std::string_view word : RouteKeywords(route))
    if (const std::string_view method = CorrelatedMethodNamed(KeywordName(word)); !method.empty())
      return std::string(method);
  return {};
}

// Looks for the route from the job's first line on; a line the checks need
// before it means the job printed none there. The first job prints the
// banner and its citation before its route: they are read on the way.
void ReadRoute(TGaussianPass& pass, TOutInfo& info) {
  bool afterRule = false;
  while (pass.NextLine()) {
    if (afterRule && pass.Line.starts_with(RouteStart)) {
      JoinRouteLines(pass);
      NoteJobLevel(pass, info);
      return;
    }
    if (IsBannerLine(pass.Line)) {
      ReadProgramVersion(pass, info);
    } else if (FeedsChecks(pass.Line)) {
      return;
    }
    afterRule = IsDashedRule(pass.Line);
  }
}

}  // namespace harvex

namespace harvex {

void NoteSCFMethod(TOutInfo& info, std::string_view tag) {
  if (!info.Method.empty() || tag.size() < 3) return;
  info.Method = WithoutReference(tag.substr(1, tag.size() - 2));
}

void FinishStudyValues(TOutInfo& info) {
  if (!info.Solvation.empty() && info.Dispersion.empty()) info.Dispersion = DispersionOfMethod(info.Method);
}

}  // namespace harvex
