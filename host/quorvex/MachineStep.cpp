#include <filesystem>
#include <ostream>

#include "host/HostSettings.h"
#include "host/quorvex/Reporting.h"
#include "host/quorvex/Steps.h"
#include "platform/FaultPoints.h"
#include "platform/Machine.h"
#include "platform/Registry.h"

namespace quorvex::cli {

StepResult PrepareMachine(Session& session) {
  platform::SetMachineRoot(session.options.machine);
  if (const std::string problem = platform::faults::EnvironmentProblem(); !problem.empty()) {
    session.err << "quorvex: QUORVEX_FAULTS: " << problem << '\n';
    return StepResult::Stop(kExitBadInput);
  }
  // Where the platform is the system itself (Windows) there is no machine
  // root: the registry, the files and the facts are the system's own, and a
  // root asked for would silently be another machine than the one used.
  const std::string root = platform::MachineRoot();
  if (root.empty() && !session.options.machine.empty()) {
    ReportError(session,
                "--machine is not available on this system: the registry, files and machine facts "
                "are the system's own");
    return StepResult::Stop(kExitBadInput);
  }
  std::error_code error;
  if (!root.empty() && !std::filesystem::is_directory(root, error)) {
    ReportError(session, "the machine root " + root + " is not a folder");
    return StepResult::Stop(kExitBadInput);
  }
  if (const std::string problem = platform::RegistryProblem(); !problem.empty()) {
    ReportError(session, problem);
    return StepResult::Stop(kExitBadInput);
  }
  if (const std::string problem = platform::MachineFactsProblem(); !problem.empty()) {
    ReportError(session, problem);
    return StepResult::Stop(kExitBadInput);
  }
  if (const std::string problem = SettingsProblem(); !problem.empty()) {
    ReportError(session, problem);
    return StepResult::Stop(kExitBadInput);
  }
  return StepResult::Next();
}

StepResult EnterTestMode(Session& session) {
  if (session.options.testMode) {
    platform::HKEY key = 0;
    if (platform::RegCreateKeyEx(platform::HKEY_LOCAL_MACHINE, "Software\\Verdane\\TestMode", &key) !=
        platform::ERROR_SUCCESS) {
      ReportError(session, "cannot create the test-mode key: " + platform::RegLastError());
      return StepResult::Stop(kExitBadInput);
    }
    platform::RegCloseKey(key);
  }
  return StepResult::Next();
}

}  // namespace quorvex::cli
