// This plug-in's server module.
#pragma once

#include "plugin/RTL/ServerModule.h"

namespace strativue {

inline constexpr const char* kModuleName = "Strativue";

class TStrativueServerModule : public TServerModule {
 public:
  explicit TStrativueServerModule(qvabi::IClient* Client, std::string ModuleName = kModuleName);

  // The plug-in has no documents of its own: D is always nil.
  void NewDocument(intptr_t A, intptr_t B, qvabi::ComPtr<qvabi::IServerDocument>& D) override;
  // Registers the plug-in's commands on the launcher.
  void RegisterCommands() override;
};

// The body of the exported ServerFactory: *module is nil unless it answers S_OK.
qvabi::HRESULT CreateServerModule(qvabi::IClient* client, qvabi::IServerModule** module) noexcept;

}  // namespace strativue
