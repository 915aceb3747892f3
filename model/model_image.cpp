#include "model/model_image.h"

#include "model/byte_order.h"

std::uint32_t modelMagic(const ModelImage& image) {
  return readUint32LE(image.bytes + ModelHeader::kMagic);
}

std::int32_t modelVersion(const ModelImage& image) {
  return readInt32LE(image.bytes + ModelHeader::kVersion);
}

void setModelVersion(ModelImage& image, std::int32_t version) {
  writeInt32LE(image.bytes + ModelHeader::kVersion, version);
}

const char* modelName(const ModelImage& image) {
  return reinterpret_cast<const char*>(image.bytes + ModelHeader::kName);
}

std::int32_t boneCount(const ModelImage& image) {
  return readInt32LE(image.bytes + ModelHeader::kBoneCount);
}

std::int32_t boneTableOffset(const ModelImage& image) {
  return readInt32LE(image.bytes + ModelHeader::kBoneTableOffset);
}

std::int32_t animCount(const ModelImage& image) {
  return readInt32LE(image.bytes + ModelHeader::kAnimCount);
}

std::int32_t animTableOffset(const ModelImage& image) {
  return readInt32LE(image.bytes + ModelHeader::kAnimTableOffset);
}

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
