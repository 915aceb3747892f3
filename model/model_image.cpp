#include "model/model_image.h"

#include "model/byte_order.h"

namespace {

std::int32_t headerInt32(const ModelImage& image, std::size_t offset) { return readInt32LE(image.bytes + offset); }

}  // namespace

bool startsAsStudioModel(const unsigned char* bytes, std::size_t size) {
  return size >= 4 && readUint32LE(bytes + ModelHeader::kMagic) == kStudioMagic;
}

bool holdsVersion(const ModelImage& image) { return image.size >= ModelHeader::kVersion + 4; }

std::int32_t modelVersion(const ModelImage& image) { return headerInt32(image, ModelHeader::kVersion); }
void setModelVersion(ModelImage& image, std::int32_t version) {
  writeInt32LE(image.bytes + ModelHeader::kVersion, version);
}
const char* modelName(const ModelImage& image) {
  return reinterpret_cast<const char*>(image.bytes + ModelHeader::kName);
}
std::int32_t boneCount(const ModelImage& image) { return headerInt32(image, ModelHeader::kBoneCount); }
std::int32_t boneTableOffset(const ModelImage& image) { return headerInt32(image, ModelHeader::kBoneTableOffset); }
std::int32_t animCount(const ModelImage& image) { return headerInt32(image, ModelHeader::kAnimCount); }
std::int32_t animTableOffset(const ModelImage& image) { return headerInt32(image, ModelHeader::kAnimTableOffset); }
void setRetiredWord(ModelImage& image, std::int32_t value) {
  writeInt32LE(image.bytes + ModelHeader::kRetiredWord, value);
}

const unsigned char* boneRecord(const ModelImage& image, std::int32_t index) {
  return image.bytes + static_cast<std::size_t>(boneTableOffset(image)) +
         static_cast<std::size_t>(index) * BoneRecord::kSize;
}

unsigned char* animTable(ModelImage& image) {
  return image.bytes + static_cast<std::size_t>(animTableOffset(image));
}

bool isJiggleBone(const unsigned char* bone) {
  return readInt32LE(bone + BoneRecord::kRuleType) == kJiggleRuleType &&
         readInt32LE(bone + BoneRecord::kRuleOffset) != 0;
}

const char* boneName(const unsigned char* bone) {
  return reinterpret_cast<const char*>(bone + readInt32LE(bone + BoneRecord::kNameOffset));
}

const unsigned char* jiggleParams(const unsigned char* bone) {
  return bone + readInt32LE(bone + BoneRecord::kRuleOffset);
}
