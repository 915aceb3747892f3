// Faults met while something is being passed over, after the fault that reading is about
// to hand out: kept in order, to be handed out after it, none dropped.
#pragma once

#include <cstddef>

#include "definitions/edit_faults.h"

// Passing over holds at most one fault, and every fault held is handed out before the next
// thing is passed over: two places leave room to spare.
inline constexpr std::size_t kHeldFaultRoom = 2;

struct HeldFaults {
  EditFault faults[kHeldFaultRoom];
  std::size_t first = 0;
  std::size_t count = 0;
};

// False, keeping nothing, when there is no room left (never, by the reader's use).
inline bool holdFault(HeldFaults& held, const EditFault& fault) {
  if (held.count == kHeldFaultRoom) return false;
  held.faults[(held.first + held.count++) % kHeldFaultRoom] = fault;
  return true;
}

// The oldest fault held, taken out; false when none is.
inline bool takeHeldFault(HeldFaults& held, EditFault& fault) {
  if (held.count == 0) return false;
  fault = held.faults[held.first];
  held.first = (held.first + 1) % kHeldFaultRoom;
  --held.count;
  return true;
}
