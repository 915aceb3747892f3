#include "skeleton/bone_kinds.h"

BoneKind boneKindOf(const JiggleBone* jiggle) {
  if (jiggle == nullptr) return BoneKind::Plain;
  const std::uint32_t flags = jiggleFlags(*jiggle);
  if ((flags & FlexibleTip) != 0) return BoneKind::Flexible;
  if ((flags & RigidTip) != 0) return BoneKind::Rigid;
  if ((flags & BaseSpring) != 0) return BoneKind::Base;
  return BoneKind::Still;
}
