// The host's IClient: the slots plug-ins use answer from the Host; every
// other slot answers a failure status.
#pragma once

#include "abi/IClient.h"
#include "abi/Navigation.h"
#include "abi/Unknown.h"

namespace quorvex {

class Host;

// Also the host's process launcher (QueryInterface for IProcessLauncher):
// each process run is a "process" journal entry
// ("<name> <parameters> (size <n>, value <v>)").
class Client final : public qvabi::Implements<qvabi::IClient, qvabi::IProcessLauncher> {
 public:
  explicit Client(Host& host) : host_(host) {}

  qvabi::HRESULT STDCALL GetApplicationHandle(int32_t* handle) override;
  qvabi::HRESULT STDCALL GetServerModuleCount(int32_t* count) override;
  qvabi::HRESULT STDCALL GetCurrentView(qvabi::IServerView** view) override;
  qvabi::HRESULT STDCALL GetServerModuleForTarget(qvabi::BSTR target, qvabi::IServerModule** module) override;
  qvabi::HRESULT STDCALL GetMainWindowHandle(int32_t* handle) override;
  qvabi::HRESULT STDCALL GetGUIManager(qvabi::IGUIManager** manager) override;
  qvabi::HRESULT STDCALL GetServerModuleAt(int32_t index, qvabi::IServerModule** module) override;
  qvabi::HRESULT STDCALL GetServerModuleByName(qvabi::BSTR name, qvabi::IServerModule** module) override;
  qvabi::HRESULT STDCALL ShowDocument(qvabi::IServerDocument* document) override;
  qvabi::HRESULT STDCALL GetModuleForRedirect(qvabi::BSTR redirect, qvabi::BSTR* moduleFileName) override;
  qvabi::HRESULT STDCALL GetGUIFont(int32_t index, qvabi::ByteBool* valid, qvabi::BSTR* name, int32_t* size,
                                    uint8_t* style, int32_t* colour, uint8_t* charset) override;
  qvabi::HRESULT STDCALL GetNavigationService(qvabi::INavigationService** service) override;
  qvabi::HRESULT STDCALL GetOptionsManager(qvabi::IOptionsManager** manager) override;

  qvabi::HRESULT STDCALL RunProcess(const char* processName, const char* parameters, int32_t parameterSize,
                                    int32_t value) override;

 private:
  Host& host_;
};

}  // namespace quorvex
