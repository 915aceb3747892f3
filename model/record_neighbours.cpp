#include "model/record_neighbours.h"

#include <algorithm>
#include <cstdlib>

#include "model/model_bounds.h"

namespace {

constexpr auto kRecordSize = static_cast<std::int64_t>(JiggleParams::kSize);

}  // namespace

bool mapRecordNeighbours(const ModelImage& image, bool descriptorsRewritten, const MemoryHook& memory,
                         RecordNeighbours& map) {
  map = RecordNeighbours{};
  const std::int32_t bones = std::max(boneCount(image), 0);
  const auto most = static_cast<std::size_t>(bones) + 3;
  map.parts = static_cast<ModelPart*>(allocateZeroedWith(memory, most, sizeof(ModelPart)));
  if (map.parts == nullptr) return false;
  map.reach = static_cast<std::int64_t*>(allocateZeroedWith(memory, most, sizeof(std::int64_t)));
  if (map.reach == nullptr) return false;
  map.records = static_cast<std::int64_t*>(allocateZeroedWith(memory, static_cast<std::size_t>(bones) + 1, sizeof(std::int64_t)));
  if (map.parts == nullptr || map.reach == nullptr || map.records == nullptr) return false;

  const auto add = [&map](std::int64_t start, std::int64_t length) {
    if (length > 0) map.parts[map.partCount++] = ModelPart{start, start + length};
  };
  add(0, static_cast<std::int64_t>(ModelHeader::kRetiredWord + 4));
  add(boneTableOffset(image), std::int64_t{bones} * static_cast<std::int64_t>(BoneRecord::kSize));
  if (descriptorsRewritten) {
    add(animTableOffset(image),
        std::int64_t{std::max(animCount(image), 0)} * static_cast<std::int64_t>(AnimDescriptor::kSize));
  }
  for (std::int32_t i = 0; i < bones; ++i) {
    std::size_t length = 0;
    const char* name = checkedBoneName(image, i, length);
    const unsigned char* bone = boneRecord(image, i);
    if (name != nullptr) {
      add(reinterpret_cast<const unsigned char*>(name) - image.bytes, static_cast<std::int64_t>(length) + 1);
    }
    if (isJiggleBone(bone)) map.records[map.recordCount++] = jiggleParams(bone) - image.bytes;
  }
  std::sort(map.parts, map.parts + map.partCount,
            [](const ModelPart& a, const ModelPart& b) { return a.start < b.start; });
  for (std::size_t i = 0; i < map.partCount; ++i) {
    map.reach[i] = i == 0 ? map.parts[i].end : std::max(map.reach[i - 1], map.parts[i].end);
  }
  std::sort(map.records, map.records + map.recordCount);
  return true;
}

void releaseRecordNeighbours(const MemoryHook& memory, RecordNeighbours& map) {
  freeWith(memory, map.parts);
  freeWith(memory, map.reach);
  freeWith(memory, map.records);
  map = RecordNeighbours{};
}

bool recordStandsAlone(const RecordNeighbours& map, std::size_t record) {
  const auto start = static_cast<std::int64_t>(record);
  const std::int64_t end = start + kRecordSize;
  // The parts that start before the record ends: one of them reaches into it, or none does.
  const ModelPart* after = std::lower_bound(
      map.parts, map.parts + map.partCount, end,
      [](const ModelPart& part, std::int64_t at) { return part.start < at; });
  const auto before = static_cast<std::size_t>(after - map.parts);
  if (before > 0 && map.reach[before - 1] > start) return false;
  // The other records: none may start within a record's length of this one.
  const std::int64_t* first = std::lower_bound(map.records, map.records + map.recordCount, start - kRecordSize + 1);
  const std::int64_t* last = std::lower_bound(map.records, map.records + map.recordCount, end);
  return last - first <= 1;  // this record alone
}
