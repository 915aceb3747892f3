#include "skeleton/bone_shape.h"

#include <cfloat>
#include <cmath>

namespace {

// The corners stand a tenth of the way along, a tenth of the length out from the axis.
constexpr double kCornerAlong = 0.1;
constexpr double kCornerOut = 0.1;

float heldFloat(double value) {
  if (!fitsFloat32(value)) return value < 0 ? -FLT_MAX : FLT_MAX;
  return static_cast<float>(value);
}

void cross(const double (&a)[3], const double (&b)[3], double (&out)[3]) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

}  // namespace

// Corners 1 to 4 go round the axis counter-clockwise as seen from the tip (5).
const std::uint32_t kShapeTriangles[kShapeIndices] = {0, 2, 1, 0, 3, 2, 0, 4, 3, 0, 1, 4,
                                                      5, 1, 2, 5, 2, 3, 5, 3, 4, 5, 4, 1};

void boneShape(const WorldFrame& frame, const BoneTip& tip, float (&vertices)[kShapeVertices][3]) {
  const double (&d)[3] = tip.direction;
  // Two unit axes across the bone: from the coordinate axis it leans along least.
  const double ax = std::fabs(d[0]), ay = std::fabs(d[1]), az = std::fabs(d[2]);
  double helper[3] = {0, 0, 0};
  helper[ax <= ay && ax <= az ? 0 : ay <= az ? 1 : 2] = 1;
  double u[3], v[3];
  cross(d, helper, u);
  const double across = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
  for (double& c : u) c /= across;
  cross(d, u, v);

  const double along = tip.length * kCornerAlong, out = tip.length * kCornerOut;
  double local[kShapeVertices][3] = {};
  for (int k = 0; k < 3; ++k) {
    local[1][k] = d[k] * along + u[k] * out;
    local[2][k] = d[k] * along + v[k] * out;
    local[3][k] = d[k] * along - u[k] * out;
    local[4][k] = d[k] * along - v[k] * out;
    local[5][k] = d[k] * tip.length;
  }
  for (std::size_t i = 0; i < kShapeVertices; ++i) {
    double world[3], turned[3];
    for (int r = 0; r < 3; ++r) {
      world[r] = frame.origin[r] + frame.rotation[3 * r] * local[i][0] + frame.rotation[3 * r + 1] * local[i][1] +
                 frame.rotation[3 * r + 2] * local[i][2];
    }
    turnToYUp(world, turned);
    for (int k = 0; k < 3; ++k) vertices[i][k] = heldFloat(turned[k]);
  }
}
