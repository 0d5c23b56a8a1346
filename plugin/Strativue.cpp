#include "plugin/Strativue.h"

#include "plugin/Commands_LayerStackup.h"
#include "plugin/RTL/StatusGuard.h"

namespace strativue {

TStrativueServerModule::TStrativueServerModule(abi::IClient* Client, std::string ModuleName)
    : TServerModule(Client, std::move(ModuleName)) {}

void TStrativueServerModule::NewDocument(intptr_t, intptr_t, abi::ComPtr<abi::IServerDocument>& D) {
  D.reset();
}

void TStrativueServerModule::RegisterCommands() {
  CommandLauncher()->RegisterCommand(kGenerateCrossSection, RunGenerateCrossSection,
                                     GenerateCrossSectionState);
}

abi::HRESULT CreateServerModule(abi::IClient* client, abi::IServerModule** module) noexcept {
  if (!module) return abi::E_UNEXPECTED;
  *module = nullptr;
  return Guard([&] { *module = TServerModule::Create<TStrativueServerModule>(client).detach(); });
}

}  // namespace strativue
