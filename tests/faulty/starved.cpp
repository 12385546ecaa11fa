// Runs out of memory before it can do anything, and says so: acquires nothing, writes nothing,
// and returns MemoryUnavailable.
#include "faulty_plugin.h"

FAULTY_PLUGIN(starved)

FAULTY_EXPORT XSI::CStatus starved_Evaluate(XSI::ICENodeContext&) {
  return XSI::CStatus::MemoryUnavailable;
}
