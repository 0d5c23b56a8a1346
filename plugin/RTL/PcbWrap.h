// Wrapping an existing editor object in the wrapper class of its kind.
#pragma once

#include <memory>

#include "plugin/RTL/PcbObjects.h"

namespace strativue {

// The editor reports an object's kind in the low 7 bits of its object id.
inline constexpr int32_t kKindMask = 0x7F;

// Asks the editor for the object's kind, constructs the wrapper class of that
// kind for `handle` and reads it (Sync ReadMode). Nil for a kind that has no
// wrapper class (and so for an unknown handle). The caller owns the wrapper;
// the editor object stays the editor's.
std::unique_ptr<TPCBObject> WrapObject(qvabi::PcbHandle handle);

}  // namespace strativue
