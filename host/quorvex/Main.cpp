// quorvex: the command-line host.
#include <iostream>
#include <string>

#include "host/Host.h"
#include "host/quorvex/Options.h"
#include "host/quorvex/Steps.h"
#include "platform/Modules.h"

namespace {

std::string ProgramFolder() {
  const std::string path = platform::ModuleFileNameOf(reinterpret_cast<const void*>(&ProgramFolder));
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const auto parsed = quorvex::cli::ParseOptions(argc, argv);
    if (!parsed.options) {
      (parsed.exitCode == 0 ? std::cout : std::cerr) << (parsed.exitCode == 0 ? "" : "quorvex: ")
                                                     << parsed.message << (parsed.exitCode == 0 ? "" : "\n");
      return parsed.exitCode;
    }
    quorvex::cli::Session session(*parsed.options, quorvex::Host::Instance(), std::cout, std::cerr,
                                  ProgramFolder());
    return quorvex::cli::Run(session);
  } catch (const std::exception& error) {
    std::cerr << "quorvex: " << error.what() << '\n';
    return quorvex::cli::kExitBadInput;
  }
}
