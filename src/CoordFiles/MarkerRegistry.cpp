#include "CoordFiles/MarkerRegistry.h"

#include <cstring>
#include <stdexcept>

namespace harvex {
namespace {

constexpr std::size_t WindowLength = 5;

std::uint32_t QuadAt(const char* text) {
  std::uint32_t quad = 0;
  std::memcpy(&quad, text, sizeof quad);
  return quad;
}

// Where the entry's window starts in its marker.
std::size_t WindowOffset(const TMarkerFilter::TEntry& entry) {
  if (entry.Marker.size() < WindowLength) throw std::logic_error("marker too short for the line filter");
  if (entry.Window.empty()) return 0;
  const std::size_t offset = entry.Marker.find(entry.Window);
  if (entry.Window.size() != WindowLength || offset == std::string_view::npos)
    throw std::logic_error("line filter window not five bytes of its marker");
  return offset;
}

}  // namespace

TMarkerFilter::TMarkerFilter(std::span<const TEntry> entries)
    : FirstQuadOfBucket(std::size_t{1} << BucketBits, 0), Quads(1) {
  for (const TEntry& entry : entries) {
    if (entry.Check < 0 || entry.Check >= MaxChecks) throw std::logic_error("too many checks for the line filter");
    if (MarkersOfCheck.size() <= static_cast<std::size_t>(entry.Check))
      MarkersOfCheck.resize(static_cast<std::size_t>(entry.Check) + 1);
    MarkersOfCheck[static_cast<std::size_t>(entry.Check)].push_back(entry);
    if (entry.Place == TMarkerPlace::OpensLine) {
      if (entry.Marker.size() < sizeof(std::uint32_t)) throw std::logic_error("marker too short for the line filter");
      Openings.push_back({QuadAt(entry.Marker.data()), TCheckSet{1} << entry.Check, 0});
      continue;
    }
    const char* window = entry.Marker.data() + WindowOffset(entry);
    Register(QuadAt(window), entry.Check);
    Register(QuadAt(window + 1), entry.Check);
  }
}

unsigned TMarkerFilter::Bucket(std::uint32_t quad) { return (quad * 2654435761u) >> (32 - BucketBits); }

void TMarkerFilter::Register(std::uint32_t quad, int check) {
  const TCheckSet checks = TCheckSet{1} << check;
  std::uint8_t* link = &FirstQuadOfBucket[Bucket(quad)];
  for (; *link != 0; link = &Quads[*link].Next) {
    if (Quads[*link].Quad == quad) {
      Quads[*link].Checks |= checks;
      return;
    }
  }
  if (Quads.size() > 0xFF) throw std::logic_error("too many markers for the line filter");
  *link = static_cast<std::uint8_t>(Quads.size());
  Quads.push_back({quad, checks, 0});
}

TCheckSet TMarkerFilter::ChecksOfQuad(const char* text) const {
  const std::uint32_t quad = QuadAt(text);
  TCheckSet checks = 0;
  for (std::uint8_t at = FirstQuadOfBucket[Bucket(quad)]; at != 0; at = Quads[at].Next)
    if (Quads[at].Quad == quad) checks |= Quads[at].Checks;
  return checks;
}

TCheckSet TMarkerFilter::OpeningCandidates(std::string_view line) const {
  TCheckSet checks = 0;
  if (line.size() < sizeof(std::uint32_t)) return checks;
  const std::uint32_t quad = QuadAt(line.data());
  for (const TQuad& opening : Openings)
    if (opening.Quad == quad) checks |= opening.Checks;
  return checks;
}

// Nearly every line fails at every position, so four positions are tested
// at a time with one branch, and only a group that hits is looked at again.
TCheckSet TMarkerFilter::Candidates(std::string_view line) const {
  TCheckSet checks = Openings.empty() ? 0 : OpeningCandidates(line);
  const char* const text = line.data();
  const std::uint8_t* const first = FirstQuadOfBucket.data();
  const auto occupied = [&](std::size_t at) { return first[Bucket(QuadAt(text + at))]; };
  constexpr std::size_t Group = 4 * Stride;
  const std::size_t size = line.size();
  std::size_t i = 0;
  for (; i + Group + sizeof(std::uint32_t) - Stride <= size; i += Group) {
    if ((occupied(i) | occupied(i + Stride) | occupied(i + 2 * Stride) | occupied(i + 3 * Stride)) == 0) continue;
    for (std::size_t at = i; at < i + Group; at += Stride) checks |= ChecksOfQuad(text + at);
  }
  for (; i + sizeof(std::uint32_t) <= size; i += Stride)
    if (occupied(i) != 0) checks |= ChecksOfQuad(text + i);
  return checks;
}

bool TMarkerFilter::MatchOf(std::string_view line, int check, TMarkerMatch& match) const {
  for (const TEntry& entry : MarkersOfCheck[static_cast<std::size_t>(check)]) {
    const std::size_t at = entry.Place == TMarkerPlace::OpensLine ? (line.starts_with(entry.Marker) ? 0 : line.npos)
                                                                  : line.find(entry.Marker);
    if (at != std::string_view::npos) {
      match = {entry.Marker, at};
      return true;
    }
  }
  return false;
}

TCheckSet TMarkerFilter::ChecksFor(std::string_view line, TMatches& matches) const {
  TCheckSet candidates = Candidates(line);
  TCheckSet checks = 0;
  while (candidates != 0) {
    const int check = TakeFirstCheck(candidates);
    if (MatchOf(line, check, matches[static_cast<std::size_t>(check)])) checks |= TCheckSet{1} << check;
  }
  return checks;
}

TCheckSet TMarkerFilter::ChecksFor(std::string_view line) const {
  TMatches matches;
  return ChecksFor(line, matches);
}

}  // namespace harvex
