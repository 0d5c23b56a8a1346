#include "plugin/Strativue.h"

#include "plugin/Commands_LayerStackup.h"
#include "plugin/RTL/StatusGuard.h"

namespace strativue {

TStrativueServerModule::TStrativueServerModule(qvabi::IClient* Client, std::string ModuleName)
    : TServerModule(Client, std::move(ModuleName)) {}

void TStrativueServerModule::NewDocument(intptr_t, intptr_t, qvabi::ComPtr<qvabi::IServerDocument>& D) {
  D.reset();
}

void TStrativueServerModule::RegisterCommands() {
  CommandLauncher()->RegisterCommand(kGenerateCrossSection, RunGenerateCrossSection,
                                     GenerateCrossSectionState);
}

qvabi::HRESULT CreateServerModule(qvabi::IClient* client, qvabi::IServerModule** module) noexcept {
  if (!module) return qvabi::E_UNEXPECTED;
  *module = nullptr;
  return Guard([&] { *module = TServerModule::Create<TStrativueServerModule>(client).detach(); });
}

}  // namespace strativue
