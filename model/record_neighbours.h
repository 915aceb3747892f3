// Whether a jiggle bone's parameter record can be rewritten without changing anything else
// the tools read. In a hostile model a record may lie over the header, a table, a name or
// another bone's record; rewriting it would then change a name, a bone or a table too.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/memory_hook.h"
#include "model/model_image.h"

struct ModelPart {
  std::int64_t start;
  std::int64_t end;  // one past the last byte
};

// The parts of an image that records must not lie over, sorted by start, with the largest
// end of the parts up to each; and the starts of every jiggle record, sorted.
struct RecordNeighbours {
  ModelPart* parts = nullptr;
  std::int64_t* reach = nullptr;  // reach[i]: the largest end of parts[0..i]
  std::size_t partCount = 0;
  std::int64_t* records = nullptr;
  std::size_t recordCount = 0;
};

// Maps an image that has passed the checks. `descriptorsRewritten`: whether normalising the
// image rewrites its descriptor table (an older version), which records must then not lie
// over either. False when the memory cannot be had. Released through the same hook.
bool mapRecordNeighbours(const ModelImage& image, bool descriptorsRewritten, const MemoryHook& memory,
                         RecordNeighbours& map);
void releaseRecordNeighbours(const MemoryHook& memory, RecordNeighbours& map);

// Whether the record at image offset `record` shares no byte with any part of the map or
// with any other jiggle record.
bool recordStandsAlone(const RecordNeighbours& map, std::size_t record);
