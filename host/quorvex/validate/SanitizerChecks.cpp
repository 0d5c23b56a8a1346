// Level 5: the checks above run in children built with the address and
// undefined-behaviour sanitizers (a finding ends the child and fails its
// check); these two make sure the sanitizers are there and look for leaks
// after a full load, run and unload.
#include "host/Host.h"
#include "host/quorvex/validate/Checks.h"
#include "platform/Modules.h"

namespace quorvex::validate {
namespace {

// The sanitizers' run-time is part of the program itself.
void* SanitizerEntry(const char* name) { return platform::FindFunction(platform::MainProgramModule(), name); }

void Sanitizers(CheckContext&) {
  Expect(SanitizerEntry("__asan_init") != nullptr,
         "quorvex and the plug-in are not built with the address sanitizer (build the sanitize preset)");
  Expect(SanitizerEntry("__ubsan_handle_add_overflow") != nullptr,
         "quorvex and the plug-in are not built with the undefined-behaviour sanitizer (build the sanitize "
         "preset)");
}

void Leaks(CheckContext& context) {
  using LeakCheck = int();
  auto* check = reinterpret_cast<LeakCheck*>(SanitizerEntry("__lsan_do_recoverable_leak_check"));
  Expect(check != nullptr, "no leak checker in this build (build the sanitize preset)");
  const std::vector<std::string> boards = context.BoardFiles();
  context.Step("loading, running the command on " + boards.front() + " and unloading");
  context.LoadEditor();
  qvabi::ICommandLauncher* launcher = context.Launcher(context.LoadPlugin());
  const char* error = nullptr;
  const qvabi::PcbHandle board = context.editor.OpenBoardFile(boards.front().c_str(), &error);
  Expect(board != 0, "cannot open " + boards.front());
  context.editor.SetInputScript(board, "corner 0,0\nmove 40000000,30000000\nclick\n", &error);
  context.host.OpenPcbView("Leak.qvpcb");
  Call("LaunchCommand",
       [&] { return launcher->LaunchCommand("GenerateCrossSection", "", 0, context.host.CurrentView()); });
  context.host.Reset();
  context.Step("leak check");
  Expect(check() == 0, "memory leaked (the leak report is above)");
}

}  // namespace

void AddSanitizerChecks(std::vector<Check>& checks) {
  checks.push_back({"sanitizers", 5, Sanitizers});
  checks.push_back({"leaks", 5, Leaks});
}

}  // namespace quorvex::validate
