// Level 1: the module loads, creates its server module, names itself and
// goes away again, a hundred times over without growing the process.
#include "host/Host.h"
#include "host/quorvex/validate/Checks.h"
#include "host/quorvex/validate/ChildProcess.h"
#include "platform/WideString.h"

namespace quorvex::validate {
namespace {

// Loaded twice over the real plug-in this stays within a few hundred bytes
// (the allocator's own bookkeeping); a module that leaks even one small
// object per load passes it within the hundred loads.
constexpr int64_t kMaxGrowthBytes = 16 * 1024;

std::string ModuleName(qvabi::IServerModule* module) {
  platform::BStr name;
  const qvabi::HRESULT status =
      Call("IServerModule::GetModuleName", [&] { return module->GetModuleName(name.put()); });
  Expect(status == qvabi::S_OK, "GetModuleName failed");
  Expect(!name.view().empty(), "GetModuleName answered an empty name");
  return name.utf8();
}

void LoadOnce(CheckContext& context) {
  context.LoadEditor();
  qvabi::IServerModule* module = context.LoadPlugin();
  ModuleName(module);
  Call("IServerModule::Release", [&] {
    context.host.ReleaseServerModules();
    return 0;
  });
}

void Load(CheckContext& context) {
  context.Step("loading the editor and the plug-in");
  context.LoadEditor();
  qvabi::IServerModule* module = context.LoadPlugin();
  const std::string name = ModuleName(module);
  Expect(context.host.FindServerModule(name) == module,
         "the module is not registered under its name " + name);
  qvabi::IUnknown* unknown = nullptr;
  const qvabi::HRESULT status = Call("IServerModule::QueryInterface", [&] {
    return module->QueryInterface(qvabi::IUnknown::IID, reinterpret_cast<void**>(&unknown));
  });
  Expect(status == qvabi::S_OK && unknown, "the module does not answer IUnknown");
  Call("IUnknown::Release", [&] { return unknown->Release(); });
  context.Step("releasing the module");
  Call("IServerModule::Release", [&] {
    context.host.ReleaseServerModules();
    return 0;
  });
}

void LoadUnload100(CheckContext& context) {
  int64_t settled = 0;
  for (int round = 1; round <= 100; ++round) {
    context.Step("load and unload " + std::to_string(round));
    LoadOnce(context);
    // The first loads fill caches (the dynamic loader's, the platform's
    // window table); growth is measured over the last ninety.
    if (round == 10) settled = HeapBytesInUse();
  }
  const int64_t growth = HeapBytesInUse() - settled;
  Expect(growth <= kMaxGrowthBytes, "memory in use grew by " + std::to_string(growth) +
                                        " bytes over 90 loads and unloads (the module leaks)");
}

}  // namespace

void AddLoadChecks(std::vector<Check>& checks) {
  checks.push_back({"load", 1, Load});
  checks.push_back({"load-unload-100", 1, LoadUnload100});
}

}  // namespace quorvex::validate
