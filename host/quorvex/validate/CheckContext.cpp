#include <algorithm>
#include <filesystem>
#include <iostream>

#include "abi/ModuleFiles.h"
#include "host/Host.h"
#include "host/quorvex/UserActions.h"
#include "host/quorvex/validate/Checks.h"
#include "platform/Modules.h"

namespace quorvex::validate {
namespace {

// A script's `setup LIST` works the setup dialog as the user would.
void OnSetup(void*, const char* list) { cli::QueueSetupChoice(list ? list : ""); }

}  // namespace

void CheckContext::Step(const std::string& what) const { std::cout << "step: " << what << std::endl; }

void CheckContext::LoadEditor() {
  std::string error;
  if (!host.LoadServerModule(settings.programFolder + qvabi::kEditorModuleFile, &error))
    throw CheckFailure("cannot load the editor: " + error);
  const platform::ModuleHandle module = platform::FindLoadedModule(qvabi::kEditorModuleFile);
  if (!module || !editor.Load(module)) throw CheckFailure("Brelix.so lacks the editor's simulation API");
  editor.SetSetupHook(&OnSetup, nullptr);
}

qvabi::IServerModule* CheckContext::LoadPlugin() {
  std::string error;
  qvabi::IServerModule* module =
      Call("ServerFactory", [&] { return host.LoadServerModule(settings.plugin, &error); });
  if (!module) throw CheckFailure(error);
  return module;
}

qvabi::ICommandLauncher* CheckContext::Launcher(qvabi::IServerModule* module) const {
  qvabi::ICommandLauncher* launcher = nullptr;
  const qvabi::HRESULT status =
      Call("IServerModule::GetCommandLauncher", [&] { return module->GetCommandLauncher(&launcher); });
  Expect(status == qvabi::S_OK && launcher, "GetCommandLauncher gave no launcher");
  return launcher;
}

std::vector<std::string> CheckContext::BoardFiles() const {
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(settings.boards, error))
    if (entry.path().filename().string().ends_with(".board.json")) files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  Expect(!files.empty(), "no example boards (*.board.json) in " + settings.boards);
  return files;
}

const std::vector<Check>& AllChecks() {
  static const std::vector<Check> checks = [] {
    std::vector<Check> all;
    AddLoadChecks(all);
    AddSlotChecks(all);
    AddCommandChecks(all);
    AddSanitizerChecks(all);
    return all;
  }();
  return checks;
}

}  // namespace quorvex::validate
