// Settings that every copy of the platform in one process must agree on.
//
// Where the platform is a shared library there is one copy and these are
// plain variables. Where each module links its own copy (Windows modules
// are self-contained), the value lives in the process's environment, which
// every copy reads.
#pragma once

#include <string>

namespace platform {

// Sets the setting `name` for the whole process; empty removes it.
void SetProcessShared(const std::string& name, const std::string& value);
// The setting `name`; empty when unset.
std::string ProcessShared(const std::string& name);

}  // namespace platform
