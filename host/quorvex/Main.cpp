// quorvex: the command-line host.
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>

#include "host/Host.h"
#include "host/quorvex/Options.h"
#include "host/quorvex/Reporting.h"
#include "host/quorvex/Steps.h"
#include "host/quorvex/validate/Validator.h"
#include "platform/Modules.h"

namespace {

std::string ProgramFolder() {
  const std::string path = platform::ModuleFileNameOf(reinterpret_cast<const void*>(&ProgramFolder));
  const std::string folder = std::filesystem::path(path).remove_filename().string();
  return folder.empty() ? std::string("./") : folder;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc > 1 && std::string_view(argv[1]) == "validate")
      return quorvex::validate::Main(argc - 1, argv + 1, ProgramFolder(), std::cout, std::cerr);
    const auto parsed = quorvex::cli::ParseOptions(argc, argv);
    if (!parsed.options) {
      if (parsed.exitCode == 0)
        std::cout << parsed.message;
      else
        std::cerr << "quorvex: " << quorvex::cli::OneLine(parsed.message) << '\n';
      return parsed.exitCode;
    }
    quorvex::cli::Session session(*parsed.options, quorvex::Host::Instance(), std::cout, std::cerr,
                                  ProgramFolder());
    return quorvex::cli::Run(session);
  } catch (const std::exception& error) {
    std::cerr << "quorvex: " << quorvex::cli::OneLine(error.what()) << '\n';
    return quorvex::cli::kExitBadInput;
  }
}
