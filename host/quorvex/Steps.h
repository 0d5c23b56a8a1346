// The steps of a quorvex run, in the order Run takes them. Each step either
// lets the run go on or ends it with an exit status, having printed why.
#pragma once

#include "host/quorvex/Session.h"

namespace quorvex::cli {

// MachineStep.cpp: picks the machine root (--machine), checks the machine's and
// the host's settings files and the registry file.
StepResult PrepareMachine(Session& session);
// DocumentSteps.cpp: checks the files the run reads and writes before anything
// else is done: an output must not be an input, a file of the machine root,
// a module, the program or another output, nor an existing path that is not
// a regular file, and its folder must exist.
StepResult CheckFiles(Session& session);
// MachineStep.cpp: creates the test-mode key (--test-mode), once the files of
// the run have been accepted, so that a refused run changes nothing.
StepResult EnterTestMode(Session& session);
// ModuleSteps.cpp: loads Brelix.so (and resolves its simulation API), then
// Strativue.so, from the program's folder and creates their server modules;
// prints "module: NAME" for the plug-in.
StepResult LoadEditor(Session& session);
StepResult LoadPlugin(Session& session);
// DocumentSteps.cpp: opens the board file as the current board with the user's
// input script, checks that the output files can be written, and opens the
// documents and views --active asks for. Bad files end the run with status 2
// before anything is written.
StepResult OpenDocuments(Session& session);
// SetupUser.cpp: makes the editor's `setup` actions work the setup dialog:
// draw it (--dialog-svg), set its check boxes, press OK or Cancel; arms the
// options store's failure (--fail-store).
StepResult PrepareSetupUser(Session& session);
// LegendFit.cpp: on a KiCad board without an earlier legend, given no
// corner or script, sizes the legend to its table by drags that are not
// kept (each shows the table's text height), then places it beside the
// board and sets the script.
StepResult FitKicadLegend(Session& session);
// Command.cpp: asks the command's state, then launches it through the
// plug-in's command launcher with the current view.
StepResult RunCommand(Session& session);
// Output.cpp: saves the board (--out) and draws it (--svg), all or nothing.
StepResult WriteOutputs(Session& session);

// Runs every step; then prints the trace (--trace), the status bar and the
// message boxes shown, and releases the modules. Answers the exit status.
int Run(Session& session);

}  // namespace quorvex::cli
