// How far apart two geometries of the same atoms are once the one is moved
// and turned (never mirrored) onto the other.
#pragma once

#include <array>
#include <span>
#include <vector>

namespace harvex {

using TPoint = std::array<double, 3>;  // angstrom

// A geometry made ready to be compared with many others: centred, with each
// atom's distance from the centre and the sum of their squares.
struct TShape {
  std::vector<TPoint> Centred;
  std::vector<double> Radii;
  long double Spread = 0;
};

TShape ShapeOf(std::span<const TPoint> points);

// Whether the shapes, of the same atom count, superpose within RmsdLimit
// (angstrom). Most shapes that do not are told apart without superposing.
bool ShapesMatch(const TShape& a, const TShape& b, double rmsdLimit);

// Root-mean-square distance of two geometries of the same atom count after
// the translation and proper rotation that bring B closest to A.
double SuperposedRmsd(std::span<const TPoint> a, std::span<const TPoint> b);

}  // namespace harvex
