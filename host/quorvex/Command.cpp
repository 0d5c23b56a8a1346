#include <ostream>

#include "host/quorvex/Reporting.h"
#include "host/quorvex/Steps.h"

namespace quorvex::cli {

StepResult RunCommand(Session& session) {
  abi::ICommandLauncher* launcher = nullptr;
  if (abi::Failed(session.plugin->GetCommandLauncher(&launcher)) || !launcher) {
    ReportHostFailure(session, "GetCommandLauncher");
    return StepResult::Stop(kExitHostFailure);
  }
  const std::string& name = session.options.command;
  const std::string& params = session.options.params;
  abi::IServerView* view = session.host.currentView();

  abi::BOOL32 enabled = 0;
  int32_t state2 = 0, state3 = 0;
  abi::ByteBool state4 = 0, state5 = 0;
  if (abi::Failed(launcher->GetCommandState(name.c_str(), params.c_str(), view, &enabled, &state2, &state3,
                                            &state4, &state5))) {
    ReportHostFailure(session, "GetCommandState");
    return StepResult::Stop(kExitHostFailure);
  }
  if (session.options.trace)
    session.out << "state " << name << ": " << (enabled ? "enabled" : "disabled") << '\n';

  // Launched even when disabled: the command's own checks tell the user why.
  if (abi::Failed(launcher->LaunchCommand(name.c_str(), params.c_str(), 0, view))) {
    ReportHostFailure(session, "LaunchCommand");
    return StepResult::Stop(kExitHostFailure);
  }
  return StepResult::Next();
}

}  // namespace quorvex::cli
