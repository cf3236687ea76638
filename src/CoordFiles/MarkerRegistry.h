// The registry an output reader is built from: rows of {marker, check}. The
// line filter and the dispatch both come from it, so each marker is written
// in one place, and a line runs only the checks whose markers it holds.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace harvex {

inline bool Contains(std::string_view line, std::string_view marker) {
  return line.find(marker) != std::string_view::npos;
}

// Where a marker stands in its line: anywhere, or always at its start.
enum class TMarkerPlace : std::uint8_t { Anywhere, OpensLine };

// One row of a registry. A check fed by several markers has a row for each;
// checks run in the order of their first rows. Window is the five bytes of
// the marker that the line filter looks for: the part of it least often
// seen in other lines of real outputs (bench_marker_filter --windows
// measures them); empty for the marker's first five bytes, or for a marker
// that opens its line, which is looked for there alone.
template <typename TCheck>
struct TMarkerRow {
  std::string_view Marker;
  TCheck Check;
  std::string_view Window = {};
  TMarkerPlace Place = TMarkerPlace::Anywhere;
};

// A marker with the window the line filter looks for (see TMarkerRow), for
// tables of markers that feed one check.
struct TWindowedMarker {
  std::string_view Marker;
  std::string_view Window = {};
};

// One row for each entry of a table (anything with a Marker and a Window),
// all feeding one check, in the table's order.
template <typename TCheck, typename TEntry, std::size_t N>
constexpr std::array<TMarkerRow<TCheck>, N> RowsFor(TCheck check, const std::array<TEntry, N>& table) {
  std::array<TMarkerRow<TCheck>, N> rows{};
  for (std::size_t i = 0; i < N; ++i) rows[i] = {table[i].Marker, check, table[i].Window};
  return rows;
}

// Groups of rows joined, in order.
template <typename TRow, std::size_t... N>
constexpr std::array<TRow, (N + ...)> JoinRows(const std::array<TRow, N>&... groups) {
  std::array<TRow, (N + ...)> rows{};
  std::size_t at = 0;
  ((std::copy(groups.begin(), groups.end(), rows.begin() + static_cast<std::ptrdiff_t>(at)), at += N), ...);
  return rows;
}

// A set of checks by their index in registry order.
using TCheckSet = std::uint64_t;

// Where the dispatch found a check's marker in its line: the first of the
// check's markers, in the order of its rows, that the line holds, and its
// 0-based offset, so that the check need not search the line for it again.
struct TMarkerMatch {
  std::string_view Marker;
  std::size_t At;
};

// The filter of one registry, with its checks numbered 0..63.
//
// Wherever a marker stands, the four bytes at an even position of the line
// hold bytes k..k+3 or k+1..k+4 of it, for any k. Each marker registers the
// two four-byte quads of its five-byte window, and one pass over the even
// positions of a line tests the four bytes there against a hashed table of
// all quads; a hit is compared with the quads of its bucket, so that only a
// real quad of a window names the checks it stands for. Each of those is
// kept only when the line really holds one of its markers. A marker that
// opens its line is tested at the line's start alone.
class TMarkerFilter {
 public:
  struct TEntry {
    std::string_view Marker;
    int Check;
    std::string_view Window;
    TMarkerPlace Place;
  };
  static constexpr int MaxChecks = 64;
  // Where each check of a ChecksFor answer found its marker, by check index;
  // the other entries are left as they were.
  using TMatches = std::array<TMarkerMatch, MaxChecks>;

  // Raises std::logic_error for a marker too short for its place, a window
  // that is not five bytes of its marker, or a check number beyond MaxChecks.
  explicit TMarkerFilter(std::span<const TEntry> entries);

  // The checks at least one of whose windows the line holds.
  TCheckSet Candidates(std::string_view line) const;
  // The checks at least one of whose markers the line holds.
  TCheckSet ChecksFor(std::string_view line) const;
  // The same, with where each found its marker.
  TCheckSet ChecksFor(std::string_view line, TMatches& matches) const;

 private:
  static constexpr std::size_t Stride = 2;
  static constexpr std::size_t BucketBits = 16;

  // A quad of a window and the checks it stands for; quads that share a
  // bucket are chained through Next (0 ends the chain).
  struct TQuad {
    std::uint32_t Quad;
    TCheckSet Checks;
    std::uint8_t Next;
  };

  static unsigned Bucket(std::uint32_t quad);
  void Register(std::uint32_t quad, int check);
  // The checks of the quad the four bytes at text are; none when they are none.
  TCheckSet ChecksOfQuad(const char* text) const;
  TCheckSet OpeningCandidates(std::string_view line) const;
  // False when the line holds none of the check's markers.
  bool MatchOf(std::string_view line, int check, TMarkerMatch& match) const;

  std::vector<std::uint8_t> FirstQuadOfBucket;  // index into Quads; 0 for an empty bucket
  std::vector<TQuad> Quads;
  std::vector<TQuad> Openings;
  std::vector<std::vector<TEntry>> MarkersOfCheck;
};

// A reader's registry: its checks in order and their filter.
template <typename TCheck>
class TMarkerRegistry {
 public:
  explicit TMarkerRegistry(std::span<const TMarkerRow<TCheck>> rows) : Filter(Number(rows)) {}

  TCheckSet ChecksFor(std::string_view line) const { return Filter.ChecksFor(line); }
  TCheckSet ChecksFor(std::string_view line, TMarkerFilter::TMatches& matches) const {
    return Filter.ChecksFor(line, matches);
  }
  TCheckSet Candidates(std::string_view line) const { return Filter.Candidates(line); }
  TCheck CheckAt(int index) const { return Checks[static_cast<std::size_t>(index)]; }
  // The index of a check in run order; -1 when it has no row.
  int IndexOf(TCheck check) const {
    for (std::size_t i = 0; i < Checks.size(); ++i)
      if (Checks[i] == check) return static_cast<int>(i);
    return -1;
  }

 private:
  std::vector<TMarkerFilter::TEntry> Number(std::span<const TMarkerRow<TCheck>> rows) {
    std::vector<TMarkerFilter::TEntry> entries;
    for (const TMarkerRow<TCheck>& row : rows) {
      int index = IndexOf(row.Check);
      if (index < 0) {
        index = static_cast<int>(Checks.size());
        Checks.push_back(row.Check);
      }
      entries.push_back({row.Marker, index, row.Window, row.Place});
    }
    return entries;
  }

  std::vector<TCheck> Checks;
  TMarkerFilter Filter;
};

// The lowest check index in a set, and the set without it.
inline int TakeFirstCheck(TCheckSet& checks) {
  const int index = __builtin_ctzll(checks);
  checks &= checks - 1;
  return index;
}

}  // namespace harvex
