// What the Gaussian and the ORCA output readers share: one forward pass over
// the lines of a source, each line going to the checks whose markers it
// holds, each check told where its marker stands.
#pragma once

#include <cstdint>
#include <string>

#include "CoordFiles/LineSource.h"
#include "CoordFiles/MarkerRegistry.h"

namespace harvex {

struct TReaderPass {
  explicit TReaderPass(TLineSource& source) : Source(source) {}

  TLineSource& Source;
  std::string Line;
  // Lines read so far: a check that moved it has read past the line it was
  // given, and the line it stopped on goes to the checks afresh.
  std::uint64_t LinesRead = 0;
  // A check ended the pass.
  bool Stop = false;
  // Where the check running found its marker in the current line.
  TMarkerMatch Match{};
  TMarkerFilter::TMatches Matches;

  // The next line becomes the current line; false (the current line kept)
  // when the input is at its end.
  bool NextLine() {
    if (Source.SourceAtEnd()) return false;
    Source.ReadSourceLine(Line);
    ++LinesRead;
    return true;
  }
};

// Runs the checks the current line feeds, in registry order, each with its
// match. A check that read further lines hands the line it stopped on back,
// and that line goes to every check it feeds, whatever their order.
template <typename TPass, typename TCheck, typename... TArgs>
void DispatchLine(const TMarkerRegistry<TCheck>& registry, TPass& pass, TArgs&... args) {
  for (;;) {
    const std::uint64_t linesBefore = pass.LinesRead;
    TCheckSet checks = registry.ChecksFor(pass.Line, pass.Matches);
    while (checks != 0 && pass.LinesRead == linesBefore && !pass.Stop) {
      const int check = TakeFirstCheck(checks);
      pass.Match = pass.Matches[static_cast<std::size_t>(check)];
      registry.CheckAt(check)(pass, args...);
    }
    if (pass.LinesRead == linesBefore || pass.Stop) return;
  }
}

// Reads the source to its end, or until a check stops the pass, as an output
// its program may still be writing (ReadWhileWritten). Each line goes first
// to TakeLine, a reader's open section, and to the checks when it does not
// take it.
template <typename TPass, typename TCheck, typename TTakeLine, typename... TArgs>
void ReadPass(const TMarkerRegistry<TCheck>& registry, TPass& pass, TTakeLine takeLine, TArgs&... args) {
  ReadWhileWritten(pass.Source, [&] {
    if (pass.Stop || !pass.NextLine()) return false;
    if (!takeLine(pass)) DispatchLine(registry, pass, args...);
    return true;
  });
}

}  // namespace harvex
