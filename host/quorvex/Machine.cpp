#include "platform/Machine.h"

#include <ostream>

#include "host/HostSettings.h"
#include "host/quorvex/Steps.h"
#include "platform/FaultPoints.h"
#include "platform/Registry.h"

namespace quorvex::cli {

StepResult PrepareMachine(Session& session) {
  platform::SetMachineRoot(session.options.machine);
  if (const std::string problem = platform::faults::EnvironmentProblem(); !problem.empty()) {
    session.err << "quorvex: QUORVEX_FAULTS: " << problem << '\n';
    return StepResult::Stop(kExitBadInput);
  }
  if (const std::string problem = platform::MachineFactsProblem(); !problem.empty()) {
    session.err << "quorvex: " << problem << '\n';
    return StepResult::Stop(kExitBadInput);
  }
  if (const std::string problem = SettingsProblem(); !problem.empty()) {
    session.err << "quorvex: " << problem << '\n';
    return StepResult::Stop(kExitBadInput);
  }
  if (session.options.testMode) {
    platform::HKEY key = 0;
    if (platform::RegCreateKeyEx(platform::HKEY_LOCAL_MACHINE, "Software\\Verdane\\TestMode", &key) !=
        platform::ERROR_SUCCESS) {
      session.err << "quorvex: cannot create the test-mode key: " << platform::RegLastError() << '\n';
      return StepResult::Stop(kExitBadInput);
    }
    platform::RegCloseKey(key);
  }
  return StepResult::Next();
}

}  // namespace quorvex::cli
