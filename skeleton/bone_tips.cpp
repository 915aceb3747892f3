#include "skeleton/bone_tips.h"

#include <cmath>

namespace {

// The six axes, +Z first: where as many bones point along two, the one found more often in
// real models wins (+Z, then +X, then +Y).
constexpr int kAxes = 6;
constexpr double kAxis[kAxes][3] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {0, 0, -1}, {-1, 0, 0}, {0, -1, 0}};

// The axis nearest a direction: its largest component, by sign.
int nearestAxis(const float (&d)[3]) {
  const double x = std::fabs(static_cast<double>(d[0])), y = std::fabs(static_cast<double>(d[1])),
               z = std::fabs(static_cast<double>(d[2]));
  if (z >= x && z >= y) return d[2] > 0 ? 0 : 3;
  if (x >= y) return d[0] > 0 ? 1 : 4;
  return d[1] > 0 ? 2 : 5;
}

int mostCommon(const std::int32_t (&votes)[kAxes]) {
  int best = 0;
  for (int a = 1; a < kAxes; ++a) {
    if (votes[a] > votes[best]) best = a;
  }
  return best;
}

double lengthOf(const float (&v)[3]) {
  const double x = v[0], y = v[1], z = v[2];
  return std::sqrt(x * x + y * y + z * z);
}

// A jiggle tip's own length where it has a tip block and a usable length; 0 otherwise.
double jiggleTipLength(const JiggleBone* jiggle) {
  if (jiggle == nullptr || (jiggleFlags(*jiggle) & (FlexibleTip | RigidTip)) == 0) return 0;
  const double length = jiggleValue(*jiggle, JiggleParams::kLength);
  return std::isfinite(length) && length > 0 ? length : 0;
}

}  // namespace

std::int32_t findBoneTips(const SkeletonBone* bones, std::int32_t count, const BoneDetails* details,
                          BoneTip* tips) {
  // Children listed from the back, so that each list ends up in table order.
  std::int32_t firstRoot = -1;
  for (std::int32_t i = count; i-- > 0;) {
    tips[i].firstChild = -1;
  }
  for (std::int32_t i = count; i-- > 0;) {
    std::int32_t& first = bones[i].parent < 0 ? firstRoot : tips[bones[i].parent].firstChild;
    tips[i].nextSibling = first;
    first = i;
  }

  // The axes bones with a child point along, jiggle bones apart; a child at the bone's own
  // place points nowhere and does not count.
  std::int32_t jiggleVotes[kAxes] = {}, allVotes[kAxes] = {};
  for (std::int32_t i = 0; i < count; ++i) {
    const std::int32_t child = tips[i].firstChild;
    if (child < 0 || lengthOf(bones[child].position) == 0) continue;
    const int axis = nearestAxis(bones[child].position);
    ++allVotes[axis];
    if (details[i].jiggle != nullptr) ++jiggleVotes[axis];
  }
  const int jiggleAxis = mostCommon(jiggleVotes), plainAxis = mostCommon(allVotes);

  for (std::int32_t i = 0; i < count; ++i) {
    BoneTip& tip = tips[i];
    const std::int32_t child = tip.firstChild;
    const double toChild = child < 0 ? 0 : lengthOf(bones[child].position);
    if (toChild > 0) {
      for (int k = 0; k < 3; ++k) tip.direction[k] = bones[child].position[k] / toChild;
      tip.length = toChild;
      continue;
    }
    const int axis = details[i].jiggle != nullptr ? jiggleAxis : plainAxis;
    for (int k = 0; k < 3; ++k) tip.direction[k] = kAxis[axis][k];
    const double own = jiggleTipLength(details[i].jiggle);
    const double half = bones[i].parent < 0 ? 0 : tips[bones[i].parent].length / 2;
    tip.length = own > 0 ? own : half > 0 ? half : 1;
  }
  return firstRoot;
}
