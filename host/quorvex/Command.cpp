#include <ostream>
#include <string_view>

#include "host/quorvex/Reporting.h"
#include "host/quorvex/Steps.h"
#include "platform/Locale.h"

namespace quorvex::cli {
namespace {

// The commands the plug-in's installation declares to the host. The
// launcher itself answers success for a name it does not know, so the host
// tells the user rather than run nothing in silence.
constexpr std::string_view kPluginCommands[] = {"GenerateCrossSection"};

bool IsPluginCommand(std::string_view name) {
  for (const std::string_view command : kPluginCommands)
    if (platform::CompareTextIgnoreCase(command, name) == 0) return true;
  return false;
}

}  // namespace

StepResult RunCommand(Session& session) {
  qvabi::ICommandLauncher* launcher = nullptr;
  if (qvabi::Failed(session.plugin->GetCommandLauncher(&launcher)) || !launcher) {
    ReportHostFailure(session, "GetCommandLauncher");
    return StepResult::Stop(kExitHostFailure);
  }
  const std::string& name = session.options.command;
  if (!IsPluginCommand(name)) {
    ReportError(session, "--command: the plug-in has no command \"" + name + "\"");
    return StepResult::Stop(kExitHostFailure);
  }
  const std::string& params = session.options.params;
  qvabi::IServerView* view = session.host.CurrentView();

  qvabi::BOOL32 enabled = 0;
  int32_t state2 = 0, state3 = 0;
  qvabi::ByteBool state4 = 0, state5 = 0;
  if (qvabi::Failed(launcher->GetCommandState(name.c_str(), params.c_str(), view, &enabled, &state2, &state3,
                                              &state4, &state5))) {
    ReportHostFailure(session, "GetCommandState");
    return StepResult::Stop(kExitHostFailure);
  }
  if (session.options.trace)
    session.out << "state " << name << ": " << (enabled ? "enabled" : "disabled") << '\n';

  // Launched even when disabled: the command's own checks tell the user why.
  if (qvabi::Failed(launcher->LaunchCommand(name.c_str(), params.c_str(), 0, view))) {
    ReportHostFailure(session, "LaunchCommand");
    return StepResult::Stop(kExitHostFailure);
  }
  return StepResult::Next();
}

}  // namespace quorvex::cli
