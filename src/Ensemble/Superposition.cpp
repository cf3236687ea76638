// Superposition of two geometries by the quaternion form of the Kabsch
// problem (Horn 1987): after centring both, the best proper rotation's
// residual follows from the largest eigenvalue of a symmetric 4x4 key matrix
// built from the 3x3 covariance. A quaternion always describes a proper
// rotation, so a mirror image never superposes onto its original.
#include "Ensemble/Superposition.h"

#include <algorithm>
#include <cmath>

namespace harvex {
namespace {

using TMatrix3 = std::array<std::array<long double, 3>, 3>;
using TMatrix4 = std::array<std::array<long double, 4>, 4>;

constexpr int MaxJacobiSweeps = 50;
// The eigenvalues' error is of the order of the off-diagonal part squared:
// a share of 1e-20 of the squared norm leaves them exact to long double.
constexpr long double OffDiagonalShare = 1e-20L;

// S[i][j] = sum over atoms of a_i * b_j, both centred.
TMatrix3 Covariance(const TShape& a, const TShape& b) {
  TMatrix3 s{};
  for (std::size_t atom = 0; atom < a.Centred.size(); ++atom)
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) s[i][j] += static_cast<long double>(a.Centred[atom][i]) * b.Centred[atom][j];
  return s;
}

TMatrix4 KeyMatrix(const TMatrix3& s) {
  const long double xx = s[0][0], xy = s[0][1], xz = s[0][2];
  const long double yx = s[1][0], yy = s[1][1], yz = s[1][2];
  const long double zx = s[2][0], zy = s[2][1], zz = s[2][2];
  return {{{xx + yy + zz, yz - zy, zx - xz, xy - yx},
           {yz - zy, xx - yy - zz, xy + yx, zx + xz},
           {zx - xz, xy + yx, -xx + yy - zz, yz + zy},
           {xy - yx, zx + xz, yz + zy, -xx - yy + zz}}};
}

// One Jacobi rotation that zeroes m[p][q] (p < q).
void JacobiRotate(TMatrix4& m, int p, int q) {
  if (m[p][q] == 0) return;
  const long double theta = (m[q][q] - m[p][p]) / (2 * m[p][q]);
  const long double t = std::copysign(1.0L, theta) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
  const long double c = 1 / std::sqrt(t * t + 1);
  const long double s = t * c;
  for (int k = 0; k < 4; ++k) {
    const long double kp = m[k][p], kq = m[k][q];
    m[k][p] = c * kp - s * kq;
    m[k][q] = s * kp + c * kq;
  }
  for (int k = 0; k < 4; ++k) {
    const long double pk = m[p][k], qk = m[q][k];
    m[p][k] = c * pk - s * qk;
    m[q][k] = s * pk + c * qk;
  }
}

// Cyclic Jacobi sweeps until the off-diagonal part vanishes against the
// whole; the eigenvalues are then on the diagonal.
long double LargestEigenvalue(TMatrix4 m) {
  for (int sweep = 0; sweep < MaxJacobiSweeps; ++sweep) {
    long double offDiagonal = 0, whole = 0;
    for (int p = 0; p < 4; ++p)
      for (int q = 0; q < 4; ++q) (p == q ? whole : offDiagonal) += m[p][q] * m[p][q];
    if (!(offDiagonal > whole * OffDiagonalShare)) break;
    for (int p = 0; p < 3; ++p)
      for (int q = p + 1; q < 4; ++q) JacobiRotate(m, p, q);
  }
  return std::max({m[0][0], m[1][1], m[2][2], m[3][3]});
}

// Each atom's distance from the centre can only grow apart under a
// rotation, so sum((|a_i| - |b_i|)^2) / N is a lower bound of the squared
// RMSD that costs no superposition.
long double RadialBound(const TShape& a, const TShape& b) {
  long double sum = 0;
  for (std::size_t atom = 0; atom < a.Radii.size(); ++atom)
    sum += (a.Radii[atom] - b.Radii[atom]) * (a.Radii[atom] - b.Radii[atom]);
  return sum / static_cast<long double>(a.Radii.size());
}

long double SquaredRmsd(const TShape& a, const TShape& b) {
  const long double residual = a.Spread + b.Spread - 2 * LargestEigenvalue(KeyMatrix(Covariance(a, b)));
  return std::max(residual, 0.0L) / static_cast<long double>(a.Centred.size());
}

}  // namespace

TShape ShapeOf(std::span<const TPoint> points) {
  TShape shape;
  if (points.empty()) return shape;
  std::array<long double, 3> centre{};
  for (const TPoint& point : points)
    for (int axis = 0; axis < 3; ++axis) centre[axis] += point[axis];
  for (long double& value : centre) value /= static_cast<long double>(points.size());
  shape.Centred.reserve(points.size());
  shape.Radii.reserve(points.size());
  for (const TPoint& point : points) {
    TPoint centred;
    long double squared = 0;
    for (int axis = 0; axis < 3; ++axis) {
      centred[axis] = static_cast<double>(point[axis] - centre[axis]);
      squared += static_cast<long double>(centred[axis]) * centred[axis];
    }
    shape.Centred.push_back(centred);
    shape.Radii.push_back(static_cast<double>(std::sqrt(squared)));
    shape.Spread += squared;
  }
  return shape;
}

bool ShapesMatch(const TShape& a, const TShape& b, double rmsdLimit) {
  if (a.Centred.empty() || a.Centred.size() != b.Centred.size()) return false;
  const long double limit = static_cast<long double>(rmsdLimit) * rmsdLimit;
  return RadialBound(a, b) < limit && SquaredRmsd(a, b) < limit;
}

double SuperposedRmsd(std::span<const TPoint> a, std::span<const TPoint> b) {
  if (a.empty() || a.size() != b.size()) return NAN;
  return static_cast<double>(std::sqrt(SquaredRmsd(ShapeOf(a), ShapeOf(b))));
}

}  // namespace harvex
