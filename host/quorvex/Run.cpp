#include <vector>

#include "host/quorvex/Reporting.h"
#include "host/quorvex/Steps.h"

namespace quorvex::cli {

int Run(Session& session) {
  using Step = StepResult (*)(Session&);
  const std::vector<Step> steps = {PrepareMachine, CheckFiles,  LoadEditor,       OpenDocuments,
                                   EnterTestMode,  LoadPlugin,  PrepareSetupUser, FitKicadLegend,
                                   RunCommand,     WriteOutputs};

  int exitCode = kExitRan;
  for (Step step : steps) {
    const StepResult result = step(session);
    if (result.proceed) continue;
    exitCode = result.exitCode;
    break;
  }
  if (exitCode == kExitRan && (session.outputFailed || session.badArgument)) exitCode = kExitBadInput;
  if (exitCode != kExitBadInput) {
    if (session.options.trace) ReportTrace(session);
    ReportHandledExceptions(session);
    ReportStatusBar(session);
    ReportMessages(session);
  }
  session.plugin = nullptr;
  session.host.ReleaseServerModules();
  return exitCode;
}

}  // namespace quorvex::cli
