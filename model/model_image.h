// The model file held whole in memory, its record layouts and the accessors over them.
//
// Record accessors take a pointer to the start of a record inside the image. They do no
// range checks of their own: callers reach records only through an image that
// findModelDamage (model_bounds.h) has passed.
#pragma once

#include <cstddef>
#include <cstdint>

struct ModelImage {
  unsigned char* bytes = nullptr;
  std::size_t size = 0;
};

constexpr std::uint32_t kStudioMagic = 0x54534449;  // "IDST" read as a little-endian word
constexpr std::int32_t kCurrentVersion = 48;
constexpr std::int32_t kMinJiggleVersion = 45;
// Older layouts kept animation data in sections; descriptors of versions below this one
// that are marked as sectioned are reset when normalised.
constexpr std::int32_t kFirstUnsectionedVersion = 46;
// From this version on, retiredWord is kept and only the spans in use are cleared; below
// it the word and every span are cleared.
constexpr std::int32_t kFirstVersionKeepingRetiredWord = 47;
constexpr std::int32_t kJiggleRuleType = 5;

// Byte offsets of the fields the tool uses; the rest of each record is never looked at.
struct ModelHeader {
  static constexpr std::size_t kMagic = 0;
  static constexpr std::size_t kVersion = 4;
  static constexpr std::size_t kName = 12;
  static constexpr std::size_t kNameWidth = 64;
  static constexpr std::size_t kBoneCount = 156;
  static constexpr std::size_t kBoneTableOffset = 160;
  static constexpr std::size_t kAnimCount = 180;
  static constexpr std::size_t kAnimTableOffset = 184;
  static constexpr std::size_t kRetiredWord = 380;
  // Every version needs the header up to here; retiredWord lies beyond it.
  static constexpr std::size_t kUsedSize = 188;
};

struct BoneRecord {
  static constexpr std::size_t kSize = 216;
  static constexpr std::size_t kNameOffset = 0;
  static constexpr std::size_t kParent = 4;
  static constexpr std::size_t kPosition = 32;
  static constexpr std::size_t kRotation = 44;
  static constexpr std::size_t kInverseWorld = 96;
  static constexpr std::size_t kRuleType = 164;
  static constexpr std::size_t kRuleOffset = 168;
};

struct JiggleParams {
  static constexpr std::size_t kSize = 120;
  static constexpr std::size_t kFlags = 0;
  static constexpr std::size_t kLength = 4;
  static constexpr std::size_t kTipMass = 8;
  static constexpr std::size_t kYawStiffness = 12;
  static constexpr std::size_t kYawDamping = 16;
  static constexpr std::size_t kPitchStiffness = 20;
  static constexpr std::size_t kPitchDamping = 24;
  static constexpr std::size_t kAlongStiffness = 28;
  static constexpr std::size_t kAlongDamping = 32;
  static constexpr std::size_t kAngleLimit = 36;
  static constexpr std::size_t kYawMin = 40;
  static constexpr std::size_t kYawMax = 44;
  static constexpr std::size_t kYawFriction = 48;
  static constexpr std::size_t kPitchMin = 56;
  static constexpr std::size_t kPitchMax = 60;
  static constexpr std::size_t kPitchFriction = 64;
  static constexpr std::size_t kPitchBounce = 68;
  static constexpr std::size_t kBaseMass = 72;
  static constexpr std::size_t kBaseStiffness = 76;
  static constexpr std::size_t kBaseDamping = 80;
  // The base-spring limits: three groups of minimum, maximum and friction, back to back.
  static constexpr std::size_t kLeftMin = 84;
  static constexpr std::size_t kLeftMax = 88;
  static constexpr std::size_t kLeftFriction = 92;
  static constexpr std::size_t kUpMin = 96;
  static constexpr std::size_t kUpMax = 100;
  static constexpr std::size_t kUpFriction = 104;
  static constexpr std::size_t kForwardMin = 108;
  static constexpr std::size_t kForwardMax = 112;
  static constexpr std::size_t kForwardFriction = 116;
};

struct AnimDescriptor {
  static constexpr std::size_t kSize = 100;
  static constexpr std::size_t kFrameCount = 16;
  static constexpr std::size_t kBlockIndex = 52;
  static constexpr std::size_t kSectionWord = 84;
  static constexpr std::size_t kSpanLength = 88;
  static constexpr std::size_t kSpanOffset = 92;
  // A reset clears from here to the end of the descriptor.
  static constexpr std::size_t kResetStart = 16;
};

// The bits of JiggleParams flags that the tools examine; all others are kept as stored.
enum JiggleFlag : std::uint32_t {
  FlexibleTip = 0x01,
  RigidTip = 0x02,
  YawLimited = 0x04,
  PitchLimited = 0x08,
  AngleLimited = 0x10,
  // A flexible tip held at its length. Real models built from published sources carry it
  // exactly where the source's flexible block leaves out "allow_length_flex". The dump's
  // text does not show it.
  LengthFixed = 0x20,
  BaseSpring = 0x40,
};

// Whether bytes begin with the magic "IDST", the one mark of a studio model (a file of
// fewer than its 4 bytes does not).
bool startsAsStudioModel(const unsigned char* bytes, std::size_t size);
// Whether the image is long enough to hold its version word.
bool holdsVersion(const ModelImage& image);

// Header fields. version needs 8 bytes, the others the whole used header (and retiredWord
// its own 384).
std::int32_t modelVersion(const ModelImage& image);
void setModelVersion(ModelImage& image, std::int32_t version);
const char* modelName(const ModelImage& image);
std::int32_t boneCount(const ModelImage& image);
std::int32_t boneTableOffset(const ModelImage& image);
std::int32_t animCount(const ModelImage& image);
std::int32_t animTableOffset(const ModelImage& image);
void setRetiredWord(ModelImage& image, std::int32_t value);

// Bone i of the table; i must lie in [0, boneCount).
const unsigned char* boneRecord(const ModelImage& image, std::int32_t index);
// The first animation descriptor; the table must hold at least one.
unsigned char* animTable(ModelImage& image);

// A bone is driven by jiggle parameters exactly when its rule is the jiggle rule and it
// has a rule record. Reads only the bone's own 216 bytes.
bool isJiggleBone(const unsigned char* bone);
const char* boneName(const unsigned char* bone);
const unsigned char* jiggleParams(const unsigned char* bone);
