#include "skeleton/skeleton_glb.h"

#include <cmath>
#include <cstring>

#include "model/byte_order.h"
#include "skeleton/bone_kinds.h"
#include "skeleton/bone_shape.h"
#include "skeleton/bone_tips.h"
#include "skeleton/jiggle_extras.h"
#include "skeleton/json_text.h"
#include "skeleton/world_frames.h"

namespace {

constexpr std::uint32_t kGlbMagic = 0x46546C67;  // "glTF"
constexpr std::uint32_t kGlbVersion = 2;
constexpr std::uint32_t kJsonChunk = 0x4E4F534A;  // "JSON"
constexpr std::uint32_t kBinChunk = 0x004E4942;   // "BIN\0"
constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kChunkHeaderSize = 8;
constexpr std::uint64_t kLargestGlb = 0xFFFFFFFFu;  // its length is a 32-bit field

// Sizes in the BIN chunk. A shape's vertices all follow one joint with all their weight, so
// joints and weights are bytes (a weight of 255 is 1), joints 16 bits once there are more
// than 256 bones, and indices 16 bits while the vertices' numbers fit them: most files are
// half the size they would be in floats and 32-bit numbers.
constexpr std::size_t kPositionSize = 12;  // three floats
constexpr std::size_t kWeightsSize = 4;    // four normalized bytes
constexpr std::size_t kMatrixSize = 64;    // sixteen floats

// glTF's numbers for the types of components and the uses of buffer views.
constexpr int kFloatComponent = 5126;
constexpr int kUnsignedByteComponent = 5121;
constexpr int kUnsignedShortComponent = 5123;
constexpr int kUnsignedIntComponent = 5125;
constexpr int kVertexTarget = 34962;
constexpr int kIndexTarget = 34963;
constexpr int kNoTarget = 0;

// The accessors, in order: three vertex attributes, the inverse bind matrices, then the
// triangles of each kind of bone drawn.
constexpr int kPositionAccessor = 0;
constexpr int kJointsAccessor = 1;
constexpr int kWeightsAccessor = 2;
constexpr int kInverseBindAccessor = 3;
constexpr int kFirstIndexAccessor = 4;
// A buffer view for each part of the BIN chunk, in its order.
constexpr std::size_t kPositionView = 0;
constexpr std::size_t kJointsView = 1;
constexpr std::size_t kWeightsView = 2;
constexpr std::size_t kInverseBindView = 3;
constexpr std::size_t kIndexView = 4;

// Where each part of the BIN chunk lies. Every part starts on four bytes, as glTF wants
// of vertex data and of floats; the chunk's length is padded to four.
struct BinLayout {
  std::size_t drawn = 0;  // bones with a shape
  std::size_t vertices = 0;
  std::size_t jointsSize = 0, indexSize = 0;  // of one vertex's joints, of one index
  std::size_t positions = 0, joints = 0, weights = 0, inverseBinds = 0, indices = 0, used = 0, size = 0;
  std::size_t bonesOfKind[kBoneKindCount] = {};
  float lowest[3] = {}, highest[3] = {};  // the positions' bounds, which glTF asks for
};

struct Skeleton {
  const SkeletonBone* bones;
  std::int32_t count;
  const BoneDetails* details;
  const WorldFrame* frames;
  const BoneTip* tips;
  std::int32_t firstRoot;
};

BinLayout layOut(const Skeleton& s) {
  BinLayout layout;
  layout.drawn = static_cast<std::size_t>(s.count < kMostBonesDrawn ? s.count : kMostBonesDrawn);
  layout.vertices = layout.drawn * kShapeVertices;
  layout.jointsSize = s.count <= 256 ? 4 : 8;
  layout.indexSize = layout.vertices <= 65536 ? 2 : 4;
  layout.joints = layout.positions + layout.vertices * kPositionSize;
  layout.weights = layout.joints + layout.vertices * layout.jointsSize;
  layout.inverseBinds = layout.weights + layout.vertices * kWeightsSize;
  layout.indices = layout.inverseBinds + static_cast<std::size_t>(s.count) * kMatrixSize;
  layout.used = layout.indices + layout.drawn * kShapeIndices * layout.indexSize;
  layout.size = (layout.used + 3) / 4 * 4;
  for (std::size_t i = 0; i < layout.drawn; ++i) {
    ++layout.bonesOfKind[static_cast<std::size_t>(boneKindOf(s.details[i].jiggle))];
  }
  return layout;
}

void appendFloats(KeptBytes& json, const float* values, int count) {
  appendByte(json, '[');
  for (int i = 0; i < count; ++i) {
    if (i != 0) appendByte(json, ',');
    appendJsonFloat(json, values[i]);
  }
  appendByte(json, ']');
}

void appendKey(KeptBytes& json, const char* key, std::size_t length, std::int64_t value) {
  appendBytes(json, key, length);
  appendJsonInteger(json, value);
}

template <std::size_t N>
void appendKey(KeptBytes& json, const char (&key)[N], std::int64_t value) {
  appendKey(json, key, N - 1, value);
}

// The quaternion product a * b, both x y z w.
void multiplyRotations(const double (&a)[4], const double (&b)[4], double (&out)[4]) {
  out[0] = a[3] * b[0] + a[0] * b[3] + a[1] * b[2] - a[2] * b[1];
  out[1] = a[3] * b[1] - a[0] * b[2] + a[1] * b[3] + a[2] * b[0];
  out[2] = a[3] * b[2] + a[0] * b[1] - a[1] * b[0] + a[2] * b[3];
  out[3] = a[3] * b[3] - a[0] * b[0] - a[1] * b[1] - a[2] * b[2];
}

// A bone's translation and rotation as its node carries them. A root is turned from the
// model's Z up to glTF's Y up, -90 degrees about X; its children follow it.
void nodePlace(const SkeletonBone& bone, float (&translation)[3], float (&rotation)[4]) {
  double q[4];
  unitRotation(bone.rotation, q);
  if (bone.parent < 0) {
    const double half = std::sqrt(0.5);
    const double turn[4] = {-half, 0, 0, half};
    double turned[4];
    multiplyRotations(turn, q, turned);
    // Brought back to unit length: glTF refuses a component even just above 1.
    const double length = std::sqrt(turned[0] * turned[0] + turned[1] * turned[1] + turned[2] * turned[2] +
                                     turned[3] * turned[3]);
    for (int k = 0; k < 4; ++k) q[k] = turned[k] / length;
    const double position[3] = {bone.position[0], bone.position[1], bone.position[2]};
    double place[3];
    turnToYUp(position, place);
    for (int k = 0; k < 3; ++k) translation[k] = static_cast<float>(place[k]);  // exact: moved, negated
  } else {
    for (int k = 0; k < 3; ++k) translation[k] = bone.position[k];
  }
  for (int k = 0; k < 4; ++k) rotation[k] = static_cast<float>(q[k]);
}

// ,"children":[...] from `first` along its siblings; nothing for none (glTF wants no
// empty list).
void appendChildren(KeptBytes& json, const Skeleton& s, std::int32_t first) {
  if (first < 0) return;
  appendLiteral(json, ",\"children\":[");
  for (std::int32_t c = first; c >= 0; c = s.tips[c].nextSibling) {
    if (c != first) appendByte(json, ',');
    appendJsonInteger(json, c);
  }
  appendByte(json, ']');
}

void appendBoneNode(KeptBytes& json, const Skeleton& s, std::int32_t i) {
  const BoneDetails& details = s.details[i];
  appendLiteral(json, "{\"name\":");
  if (details.name != nullptr) {
    appendJsonName(json, details.name, details.nameLength);
  } else {
    appendLiteral(json, "\"bone ");
    appendJsonInteger(json, i);
    appendByte(json, '"');
  }
  appendChildren(json, s, s.tips[i].firstChild);
  float translation[3], rotation[4];
  nodePlace(s.bones[i], translation, rotation);
  // glTF's defaults, left out: no move, no turn.
  if (translation[0] != 0 || translation[1] != 0 || translation[2] != 0) {
    appendLiteral(json, ",\"translation\":");
    appendFloats(json, translation, 3);
  }
  if (rotation[0] != 0 || rotation[1] != 0 || rotation[2] != 0 || rotation[3] != 1) {
    appendLiteral(json, ",\"rotation\":");
    appendFloats(json, rotation, 4);
  }
  if (details.jiggle != nullptr) {
    appendLiteral(json, ",\"extras\":");
    appendJiggleExtras(json, *details.jiggle);
  }
  appendByte(json, '}');
}

void appendNodes(KeptBytes& json, const Skeleton& s) {
  appendLiteral(json, "\"nodes\":[");
  for (std::int32_t i = 0; i < s.count; ++i) {
    appendBoneNode(json, s, i);
    appendByte(json, ',');
  }
  appendLiteral(json, "{\"name\":\"skeleton\"");
  appendChildren(json, s, s.firstRoot);
  appendByte(json, '}');
  // Skinned, so a root without a transform of its own, as glTF wants.
  if (s.count > 0) appendLiteral(json, ",{\"name\":\"bone shapes\",\"mesh\":0,\"skin\":0}");
  appendByte(json, ']');
}

void appendAccessor(KeptBytes& json, std::size_t view, std::size_t offset, int componentType,
                    std::size_t count, const char* type) {
  appendKey(json, "{\"bufferView\":", static_cast<std::int64_t>(view));
  appendKey(json, ",\"byteOffset\":", static_cast<std::int64_t>(offset));
  appendKey(json, ",\"componentType\":", componentType);
  appendKey(json, ",\"count\":", static_cast<std::int64_t>(count));
  appendLiteral(json, ",\"type\":\"");
  appendBytes(json, type, std::strlen(type));
  appendByte(json, '"');
}

void appendBufferView(KeptBytes& json, std::size_t offset, std::size_t length, int target) {
  appendKey(json, "{\"buffer\":0,\"byteOffset\":", static_cast<std::int64_t>(offset));
  appendKey(json, ",\"byteLength\":", static_cast<std::int64_t>(length));
  if (target != kNoTarget) appendKey(json, ",\"target\":", target);
  appendByte(json, '}');
}

// Everything but the nodes: the skin, the mesh, its materials, and the data's places.
void appendSkinAndMesh(KeptBytes& json, const Skeleton& s, const BinLayout& layout) {
  appendKey(json, ",\"skins\":[{\"inverseBindMatrices\":", kInverseBindAccessor);
  appendKey(json, ",\"skeleton\":", s.count);
  appendLiteral(json, ",\"joints\":[");
  for (std::int32_t i = 0; i < s.count; ++i) {
    if (i != 0) appendByte(json, ',');
    appendJsonInteger(json, i);
  }
  appendLiteral(json, "]}]");

  appendLiteral(json, ",\"meshes\":[{\"name\":\"bone shapes\",\"primitives\":[");
  int material = 0;
  for (std::size_t kind = 0; kind < kBoneKindCount; ++kind) {
    if (layout.bonesOfKind[kind] == 0) continue;
    if (material != 0) appendByte(json, ',');
    appendKey(json, "{\"attributes\":{\"POSITION\":", kPositionAccessor);
    appendKey(json, ",\"JOINTS_0\":", kJointsAccessor);
    appendKey(json, ",\"WEIGHTS_0\":", kWeightsAccessor);
    appendKey(json, "},\"indices\":", kFirstIndexAccessor + material);
    appendKey(json, ",\"material\":", material);
    appendByte(json, '}');
    ++material;
  }
  appendLiteral(json, "]}]");

  appendLiteral(json, ",\"materials\":[");
  material = 0;
  for (std::size_t kind = 0; kind < kBoneKindCount; ++kind) {
    if (layout.bonesOfKind[kind] == 0) continue;
    if (material++ != 0) appendByte(json, ',');
    const BoneKindLook& look = kBoneKinds[kind];
    appendLiteral(json, "{\"name\":\"");
    appendBytes(json, look.label, std::strlen(look.label));
    appendLiteral(json, "\",\"pbrMetallicRoughness\":{\"baseColorFactor\":");
    const float colour[4] = {look.linear[0], look.linear[1], look.linear[2], 1};
    appendFloats(json, colour, 4);
    appendLiteral(json, ",\"metallicFactor\":0,\"roughnessFactor\":0.6},\"doubleSided\":true}");
  }
  appendByte(json, ']');

  appendLiteral(json, ",\"accessors\":[");
  appendAccessor(json, kPositionView, 0, kFloatComponent, layout.vertices, "VEC3");
  appendLiteral(json, ",\"min\":");
  appendFloats(json, layout.lowest, 3);
  appendLiteral(json, ",\"max\":");
  appendFloats(json, layout.highest, 3);
  appendLiteral(json, "},");
  appendAccessor(json, kJointsView, 0, layout.jointsSize == 4 ? kUnsignedByteComponent : kUnsignedShortComponent,
                 layout.vertices, "VEC4");
  appendLiteral(json, "},");
  appendAccessor(json, kWeightsView, 0, kUnsignedByteComponent, layout.vertices, "VEC4");
  appendLiteral(json, ",\"normalized\":true},");
  appendAccessor(json, kInverseBindView, 0, kFloatComponent, static_cast<std::size_t>(s.count), "MAT4");
  appendByte(json, '}');
  std::size_t offset = 0;
  for (std::size_t kind = 0; kind < kBoneKindCount; ++kind) {
    if (layout.bonesOfKind[kind] == 0) continue;
    appendByte(json, ',');
    const std::size_t indices = layout.bonesOfKind[kind] * kShapeIndices;
    appendAccessor(json, kIndexView, offset, layout.indexSize == 2 ? kUnsignedShortComponent : kUnsignedIntComponent,
                   indices, "SCALAR");
    appendByte(json, '}');
    offset += indices * layout.indexSize;
  }
  appendByte(json, ']');

  appendLiteral(json, ",\"bufferViews\":[");
  appendBufferView(json, layout.positions, layout.joints - layout.positions, kVertexTarget);
  appendByte(json, ',');
  appendBufferView(json, layout.joints, layout.weights - layout.joints, kVertexTarget);
  appendByte(json, ',');
  appendBufferView(json, layout.weights, layout.inverseBinds - layout.weights, kVertexTarget);
  appendByte(json, ',');
  appendBufferView(json, layout.inverseBinds, layout.indices - layout.inverseBinds, kNoTarget);
  appendByte(json, ',');
  appendBufferView(json, layout.indices, layout.used - layout.indices, kIndexTarget);
  appendKey(json, "],\"buffers\":[{\"byteLength\":", static_cast<std::int64_t>(layout.size));
  appendLiteral(json, "}]");
}

void putFloat(unsigned char* at, float value) { writeUint32LE(at, bitsOfFloat(value)); }

// The BIN chunk's data, into `bin`, which holds layout.size bytes; the shapes' bounds into
// the layout, for the JSON, which is written after.
void writeBin(unsigned char* bin, const Skeleton& s, BinLayout& layout) {
  for (std::size_t i = 0; i < layout.drawn; ++i) {
    float shape[kShapeVertices][3];
    boneShape(s.frames[i], s.tips[i], shape);
    for (std::size_t v = 0; v < kShapeVertices; ++v) {
      const std::size_t vertex = i * kShapeVertices + v;
      for (std::size_t k = 0; k < 3; ++k) {
        putFloat(bin + layout.positions + vertex * kPositionSize + 4 * k, shape[v][k]);
        const bool first = vertex == 0;
        if (first || shape[v][k] < layout.lowest[k]) layout.lowest[k] = shape[v][k];
        if (first || shape[v][k] > layout.highest[k]) layout.highest[k] = shape[v][k];
      }
      unsigned char* joints = bin + layout.joints + vertex * layout.jointsSize;
      std::memset(joints, 0, layout.jointsSize);
      joints[0] = static_cast<unsigned char>(i);
      if (layout.jointsSize == 8) joints[1] = static_cast<unsigned char>(i >> 8);  // 16 bits, little-endian
      unsigned char* weights = bin + layout.weights + vertex * kWeightsSize;
      weights[0] = 255;
      weights[1] = weights[2] = weights[3] = 0;
    }
  }
  // The stored inverse world matrix M (3x4, last row 0 0 0 1) after the turn back to Z up,
  // M * T^-1 where T^-1 takes (x, y, z) to (x, -z, y): M's columns 0, 2, -1, 3, and
  // column-major, as glTF keeps matrices.
  for (std::int32_t i = 0; i < s.count; ++i) {
    const float* m = s.bones[i].inverseWorld;
    const float columns[16] = {m[0], m[4], m[8],  0, m[2], m[6], m[10], 0,
                               -m[1], -m[5], -m[9], 0, m[3], m[7], m[11], 1};
    unsigned char* at = bin + layout.inverseBinds + static_cast<std::size_t>(i) * kMatrixSize;
    for (std::size_t k = 0; k < 16; ++k) putFloat(at + 4 * k, columns[k]);
  }
  unsigned char* index = bin + layout.indices;
  for (std::size_t kind = 0; kind < kBoneKindCount; ++kind) {
    for (std::size_t i = 0; i < layout.drawn; ++i) {
      if (static_cast<std::size_t>(boneKindOf(s.details[i].jiggle)) != kind) continue;
      for (const std::uint32_t corner : kShapeTriangles) {
        const auto number = static_cast<std::uint32_t>(i * kShapeVertices + corner);
        if (layout.indexSize == 2) {
          index[0] = static_cast<unsigned char>(number);
          index[1] = static_cast<unsigned char>(number >> 8);
        } else {
          writeUint32LE(index, number);
        }
        index += layout.indexSize;
      }
    }
  }
  std::memset(bin + layout.used, 0, layout.size - layout.used);
}

// The BIN chunk is made first, in a block of its own, so that each shape is worked out once
// and its bounds are known when the JSON gives them.
void writeGlb(KeptBytes& out, const Skeleton& s) {
  BinLayout layout = layOut(s);
  KeptBytes bin;
  bin.memory = out.memory;
  if (s.count > 0) {
    if (!reserveBytes(bin, layout.size)) {
      out.failed = true;
      return;
    }
    bin.size = layout.size;
    writeBin(bin.bytes, s, layout);
  }
  // Room at once for what a bone's node and a jiggle bone's settings usually take, so that
  // the JSON is seldom moved as it grows.
  if (reserveBytes(out, kHeaderSize + kChunkHeaderSize + 4096 + static_cast<std::size_t>(s.count) * 320 +
                            kChunkHeaderSize + layout.size)) {
    out.size = kHeaderSize + kChunkHeaderSize;  // filled in at the end
    appendLiteral(out, "{\"asset\":{\"generator\":\"sproing_sweep\",\"version\":\"2.0\"},\"scene\":0,");
    appendKey(out, "\"scenes\":[{\"nodes\":[", s.count);
    if (s.count > 0) appendKey(out, ",", s.count + 1);
    appendLiteral(out, "]}],");
    appendNodes(out, s);
    if (s.count > 0) appendSkinAndMesh(out, s, layout);
    appendByte(out, '}');
    while (out.size % 4 != 0) appendByte(out, ' ');
  }
  const std::size_t jsonLength = out.size - kHeaderSize - kChunkHeaderSize;
  if (s.count > 0 && reserveBytes(out, kChunkHeaderSize + layout.size)) {
    writeUint32LE(out.bytes + out.size, static_cast<std::uint32_t>(layout.size));
    writeUint32LE(out.bytes + out.size + 4, kBinChunk);
    std::memcpy(out.bytes + out.size + kChunkHeaderSize, bin.bytes, layout.size);
    out.size += kChunkHeaderSize + layout.size;
  }
  releaseBytes(bin);
  if (out.failed) return;
  if (static_cast<std::uint64_t>(out.size) > kLargestGlb) {
    out.failed = true;
    return;
  }
  writeUint32LE(out.bytes, kGlbMagic);
  writeUint32LE(out.bytes + 4, kGlbVersion);
  writeUint32LE(out.bytes + 8, static_cast<std::uint32_t>(out.size));
  writeUint32LE(out.bytes + kHeaderSize, static_cast<std::uint32_t>(jsonLength));
  writeUint32LE(out.bytes + kHeaderSize + 4, kJsonChunk);
}

}  // namespace

bool writeSkeletonGlb(const SkeletonBone* bones, std::int32_t count, const BoneDetails* details,
                      const MemoryHook& memory, GlbBytes& glb, SkeletonFault& fault) {
  glb = GlbBytes{};
  fault = SkeletonFault{};
  if (count < 0) count = 0;
  const auto bonesCount = static_cast<std::size_t>(count);
  auto* frames = static_cast<WorldFrame*>(allocateArrayWith(memory, bonesCount, sizeof(WorldFrame)));
  auto* tips = static_cast<BoneTip*>(allocateArrayWith(memory, bonesCount, sizeof(BoneTip)));
  KeptBytes out;
  out.memory = memory;
  bool written = false;
  if (frames != nullptr && tips != nullptr && chainWorldFrames(bones, count, frames, fault)) {
    const std::int32_t firstRoot = findBoneTips(bones, count, details, tips);
    writeGlb(out, Skeleton{bones, count, details, frames, tips, firstRoot});
    written = !out.failed;
  }
  freeWith(memory, frames);
  freeWith(memory, tips);
  if (!written) {
    releaseBytes(out);
    return false;
  }
  glb.bytes = out.bytes;
  glb.size = out.size;
  return true;
}
