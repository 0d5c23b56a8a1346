// The fields of the kinds beyond track, arc, text and fill, as the editor
// describes an object to the host and tests (BrelixSim_DescribeObject).
#pragma once

#include <nlohmann/json.hpp>

#include "editor/EditorObject.h"

namespace brelix {

// Adds the kind's own record fields to `out`; nothing for the four drawing
// kinds, which the caller describes itself.
void DescribeKindFields(const EditorObject& object, nlohmann::ordered_json& out);

}  // namespace brelix
