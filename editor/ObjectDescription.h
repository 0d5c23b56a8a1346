// The fields of an object's kind, as the editor describes an object to the
// host and tests (BrelixSim_DescribeObject).
#pragma once

#include <nlohmann/json.hpp>

#include "editor/EditorObject.h"

namespace brelix {

// Adds the kind's own record fields to `out`, in the order its record
// queries pass them; the base record's fields are the caller's.
void DescribeKindFields(const EditorObject& object, nlohmann::ordered_json& out);

}  // namespace brelix
