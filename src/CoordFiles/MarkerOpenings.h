// Marker search shared by the output readers: the substring test every check
// makes, and a cheap filter that passes over the lines which can hold none
// of a reader's markers.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string_view>

namespace harvex {

inline bool Contains(std::string_view line, std::string_view marker) {
  return line.find(marker) != std::string_view::npos;
}

// Every marker is at least five bytes long, so wherever one stands, the four
// bytes at an even position hold either its bytes 0-3 or its bytes 1-4; a
// marker that always opens its line stands at position 0 and needs only
// four. One pass over the even positions of the line tests the four bytes there
// against a hashed bit table of those openings; most lines of an output
// (numbers, blanks, other text) fail at every position.
class TMarkerOpenings {
 public:
  explicit TMarkerOpenings(std::initializer_list<std::span<const std::string_view>> markerLists,
                           std::span<const std::string_view> lineOpeningMarkers = {}) {
    for (std::span<const std::string_view> markers : markerLists) {
      for (std::string_view marker : markers) {
        if (marker.size() < MinimumMarkerLength) throw std::logic_error("marker too short for the line filter");
        for (std::size_t offset = 0; offset < Stride; ++offset) Set(QuadBucket(marker.data() + offset));
      }
    }
    for (std::string_view marker : lineOpeningMarkers) {
      if (marker.size() < sizeof(std::uint32_t)) throw std::logic_error("marker too short for the line filter");
      Set(QuadBucket(marker.data()));
    }
  }

  bool MayHoldMarker(std::string_view line) const {
    const char* const text = line.data();
    for (std::size_t i = 0; i + sizeof(std::uint32_t) <= line.size(); i += Stride)
      if (Test(QuadBucket(text + i))) return true;
    return false;
  }

 private:
  static constexpr std::size_t Stride = 2;
  static constexpr std::size_t MinimumMarkerLength = Stride + sizeof(std::uint32_t) - 1;

  static unsigned QuadBucket(const char* text) {
    std::uint32_t quad = 0;
    std::memcpy(&quad, text, sizeof quad);
    return (quad * 2654435761u) >> 16;
  }
  void Set(unsigned bucket) { Buckets[bucket / 64] |= std::uint64_t{1} << (bucket % 64); }
  bool Test(unsigned bucket) const { return (Buckets[bucket / 64] >> (bucket % 64)) & 1u; }

  std::array<std::uint64_t, 65536 / 64> Buckets{};
};

}  // namespace harvex
