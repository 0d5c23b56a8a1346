#include <ostream>

#include "abi/ModuleFiles.h"
#include "host/quorvex/Reporting.h"
#include "host/quorvex/Steps.h"
#include "platform/Modules.h"
#include "platform/WideString.h"

namespace quorvex::cli {
namespace {

constexpr const char* kEditorFile = qvabi::kEditorModuleFile;

qvabi::IServerModule* Load(Session& session, const char* fileName) {
  std::string error;
  qvabi::IServerModule* module = session.host.LoadServerModule(session.programFolder + fileName, &error);
  if (!module) ReportError(session, error);
  return module;
}

}  // namespace

StepResult LoadEditor(Session& session) {
  if (!Load(session, kEditorFile)) return StepResult::Stop(kExitBadInput);
  const platform::ModuleHandle editor = platform::FindLoadedModule(kEditorFile);
  if (!editor || !session.editor.Load(editor)) {
    session.err << "quorvex: " << kEditorFile << " lacks the editor's simulation API\n";
    return StepResult::Stop(kExitBadInput);
  }
  session.editorLoaded = true;
  return StepResult::Next();
}

StepResult LoadPlugin(Session& session) {
  session.plugin = Load(session, qvabi::kPluginModuleFile);
  if (!session.plugin) return StepResult::Stop(kExitBadInput);
  platform::BStr name;
  session.plugin->GetModuleName(name.put());
  session.out << "module: " << name.utf8() << '\n';
  return StepResult::Next();
}

}  // namespace quorvex::cli
