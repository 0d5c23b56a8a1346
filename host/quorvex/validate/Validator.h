// quorvex validate: the plug-in conformance validator. Runs named checks on a
// plug-in module, each in a child process of its own, and reports one line
// per check; see docs/Validator.md.
#pragma once

#include <iosfwd>
#include <string>

namespace quorvex::validate {

// Runs `quorvex validate ARGS...` (argv[0] is "validate"). Answers the exit
// status: 0 when every check passed, 1 when one failed, 2 for bad arguments.
int Main(int argc, const char* const* argv, const std::string& programFolder, std::ostream& out,
         std::ostream& err);

}  // namespace quorvex::validate
