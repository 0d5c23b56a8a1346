// The host's IClient: the slots plug-ins use answer from the Host; every
// other slot answers a failure status.
#pragma once

#include "abi/Client.h"
#include "abi/Navigation.h"
#include "abi/Unknown.h"

namespace quorvex {

class Host;

// Also the host's process launcher (QueryInterface for IProcessLauncher):
// each process run is a "process" journal entry
// ("<name> <parameters> (size <n>, value <v>)").
class Client final : public abi::Implements<abi::IClient, abi::IProcessLauncher> {
 public:
  explicit Client(Host& host) : host_(host) {}

  abi::HRESULT STDCALL GetApplicationHandle(int32_t* handle) override;
  abi::HRESULT STDCALL GetServerModuleCount(int32_t* count) override;
  abi::HRESULT STDCALL GetCurrentView(abi::IServerView** view) override;
  abi::HRESULT STDCALL GetServerModuleForTarget(abi::BSTR target, abi::IServerModule** module) override;
  abi::HRESULT STDCALL GetMainWindowHandle(int32_t* handle) override;
  abi::HRESULT STDCALL GetGUIManager(abi::IGUIManager** manager) override;
  abi::HRESULT STDCALL GetServerModuleAt(int32_t index, abi::IServerModule** module) override;
  abi::HRESULT STDCALL GetServerModuleByName(abi::BSTR name, abi::IServerModule** module) override;
  abi::HRESULT STDCALL ShowDocument(abi::IServerDocument* document) override;
  abi::HRESULT STDCALL GetModuleForRedirect(abi::BSTR redirect, abi::BSTR* moduleFileName) override;
  abi::HRESULT STDCALL GetGUIFont(int32_t index, abi::ByteBool* valid, abi::BSTR* name, int32_t* size,
                                  uint8_t* style, int32_t* colour, uint8_t* charset) override;
  abi::HRESULT STDCALL GetNavigationService(abi::INavigationService** service) override;
  abi::HRESULT STDCALL GetOptionsManager(abi::IOptionsManager** manager) override;

  abi::HRESULT STDCALL RunProcess(const char* processName, const char* parameters, int32_t parameterSize,
                                  int32_t value) override;

 private:
  Host& host_;
};

}  // namespace quorvex
