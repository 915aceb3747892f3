#include "web/text_places.h"

#include <vector>

#include "definitions/jiggle_reader.h"
#include "web/module_export.h"


namespace {

constexpr char kField = '\x1f';
constexpr char kRecord = '\x1e';
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

struct Open {
  std::size_t record = kNone;  // index into the places, whose end is filled when closed
  std::size_t line = 0;
};

struct Place {
  std::string fields;  // all but the end, which is known only when the place closes
  std::size_t endAt = 0;  // where the end goes in `fields`
  std::size_t end = 0;
};

// Lines are counted forwards only: faults are met in text order.
struct LineCounter {
  const char* text;
  std::size_t at = 0;
  std::size_t line = 1;
  std::size_t lineOf(std::size_t offset) {
    for (; at < offset; ++at) line += text[at] == '\n' ? 1 : 0;
    return line;
  }
};

void field(std::string& out, std::size_t number) {
  out += kField;
  out += std::to_string(number);
}

void field(std::string& out, const char* word) {
  out += kField;
  out += word;
}

}  // namespace

void renderTextPlaces(const char* text, std::size_t size, std::string& out) {
  EditsReader reader;
  startEditsReader(reader, text, size);
  std::vector<Place> places;
  Open bone;
  Open block;
  std::size_t lastEnd = 0;  // the end of the last statement read
  LineCounter lines{text};
  const auto at = [text](const char* where) { return static_cast<std::size_t>(where - text); };
  // A place whose end is not yet known: its fields are written around a gap.
  const auto opened = [&places](std::string fields, std::size_t end) {
    places.push_back(Place{std::move(fields), 0, end});
    places.back().endAt = places.back().fields.size();
    return places.size() - 1;
  };
  const auto close = [&places](Open& open, std::size_t end) {
    if (open.record != kNone) places[open.record].end = end;
    open = Open{};
  };
  EditStatement s;
  while (readEditStatement(reader, s)) {
    switch (s.kind) {
      case EditStatementKind::BoneStart: {
        std::string fields = "bone";
        field(fields, s.line);
        field(fields, at(s.start));
        bone = Open{opened(std::move(fields), at(s.end)), s.line};
        Place& place = places.back();
        field(place.fields, at(s.name.text));
        field(place.fields, at(s.name.text) + s.name.length);
        break;
      }
      case EditStatementKind::BlockStart: {
        std::string fields = "block";
        field(fields, s.line);
        field(fields, at(s.start));
        block = Open{opened(std::move(fields), at(s.end)), s.line};
        field(places.back().fields, kJiggleBlocks[s.block].keyword);
        break;
      }
      case EditStatementKind::Values: {
        const JiggleKeyword& keyword = kJiggleKeywords[s.keyword];
        std::string fields = "value";
        field(fields, s.line);
        field(fields, at(s.start));
        opened(std::move(fields), at(s.end));
        Place& place = places.back();
        field(place.fields, kJiggleBlocks[s.block].keyword);
        field(place.fields, keyword.unit == JiggleUnit::WholeDegrees ? "d" : "s");
        field(place.fields, kJiggleRoleNames[static_cast<std::size_t>(keyword.role)]);
        field(place.fields, kJiggleAxisNames[static_cast<std::size_t>(keyword.axis)]);
        field(place.fields, keyword.keyword);
        for (std::size_t v = 0; v < keyword.valueCount; ++v) {
          const TextSpan& value = s.values[v];
          // A quoted value's text leaves out its quotes; its place keeps them out too.
          field(place.fields, at(value.text));
          field(place.fields, at(value.text) + value.length);
        }
        break;
      }
      case EditStatementKind::BlockEnd:
        close(block, at(s.end));
        break;
      case EditStatementKind::BoneEnd:
        close(bone, at(s.end));
        break;
      case EditStatementKind::Fault: {
        const EditFaultKind kind = s.fault.kind;
        if (kind != EditFaultKind::Unclosed && kind != EditFaultKind::UnclosedAtEnd) continue;
        // A passed-over command's unclosed block is not one of ours: nothing is open.
        if (bone.record == kNone) continue;
        std::string fields = "unclosed";
        field(fields, s.fault.line);
        field(fields, lastEnd);
        field(fields, lines.lineOf(lastEnd));
        places.push_back(Place{std::move(fields), kNone, 0});
        close(block, lastEnd);
        close(bone, lastEnd);
        continue;
      }
    }
    lastEnd = at(s.end);
  }
  // Reading stopped inside a bone (a fault that ends reading): it ends where reading did.
  close(block, lastEnd);
  close(bone, lastEnd);
  for (const Place& place : places) {
    if (place.endAt == kNone) {
      out += place.fields;
    } else {
      out.append(place.fields, 0, place.endAt);
      field(out, place.end);
      out.append(place.fields, place.endAt, std::string::npos);
    }
    out += kRecord;
  }
}

namespace {
std::string lastPlaces;
}

extern "C" {

SPROING_EXPORT const char* sproingPlaces(const char* text, std::size_t size) {
  lastPlaces.clear();
  renderTextPlaces(text, size, lastPlaces);
  return lastPlaces.c_str();
}

SPROING_EXPORT std::size_t sproingPlacesLength() { return lastPlaces.size(); }
}
