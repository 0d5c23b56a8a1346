// The plug-in module's own file.
#pragma once

#include <string>

namespace strativue {

// This module's file name without folder, as the module-file-name query with
// a 261-character buffer gives it (the full path cut to 260 characters).
std::string ThisModuleFileName();

}  // namespace strativue
