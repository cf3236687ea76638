// The route section of a Gaussian job, and what the reader takes from it:
// whether the job optimises or computes frequencies, and which correlated
// method labels its converged energy.
#include <array>
#include <vector>

#include "CoordFiles/GaussianPass.h"

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
// before it means the job printed none there.
void ReadRoute(TGaussianPass& pass, TOutInfo&) {
  bool afterRule = false;
  while (pass.NextLine()) {
    if (afterRule && pass.Line.starts_with(RouteStart)) {
      JoinRouteLines(pass);
      return;
    }
    if (FeedsChecks(pass.Line)) return;
    afterRule = IsDashedRule(pass.Line);
  }
}

}  // namespace harvex
