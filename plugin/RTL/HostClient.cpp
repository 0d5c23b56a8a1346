#include "plugin/RTL/HostClient.h"

#include <cstdio>
#include <string>

#include "platform/ErrorInfo.h"
#include "platform/WideString.h"
#include "plugin/RTL/Exceptions.h"

namespace strativue {
namespace {

// Non-owning: the host keeps its client alive while any plug-in is loaded.
abi::IClient* g_hostClient = nullptr;

std::string HostErrorDescription(abi::HRESULT status) {
  abi::ComPtr<platform::IErrorInfo> info;
  if (platform::GetErrorInfo(0, info.put()) == abi::S_OK && info) {
    platform::BStr description;
    if (abi::Succeeded(info->GetDescription(description.put())) && !description.view().empty())
      return description.utf8();
  }
  char text[64];
  std::snprintf(text, sizeof text, "Host call failed with status 0x%08X", static_cast<unsigned>(status));
  return text;
}

}  // namespace

abi::ComPtr<abi::IClient> GetHostClient() { return abi::ComPtr<abi::IClient>::Share(g_hostClient); }

void SetHostClient(abi::IClient* client) { g_hostClient = client; }

void CheckHost(abi::HRESULT status) {
  if (abi::Failed(status)) throw EHostError(HostErrorDescription(status), status);
}

void SetStatusText(int32_t index, std::u16string_view text) {
  const auto client = GetHostClient();
  if (!client) return;
  abi::ComPtr<abi::IGUIManager> manager;
  CheckHost(client->GetGUIManager(manager.put()));
  if (!manager) return;
  platform::BStr wide(text);
  CheckHost(manager->SetStatusBarText(index, wide.get()));
}

void ClearStatusText() { SetStatusText(-1, u""); }

bool PassShortcutToHost(int32_t keyCode, bool alt, bool shift, bool ctrl) {
  const auto client = GetHostClient();
  if (!client) return false;
  abi::ComPtr<abi::IGUIManager> manager;
  CheckHost(client->GetGUIManager(manager.put()));
  if (!manager) return false;
  int32_t handled = 0;
  CheckHost(manager->ProcessShortcut(keyCode, abi::ToBool32(alt), abi::ToBool32(shift), abi::ToBool32(ctrl),
                                     &handled));
  if (handled == 0) return false;
  CheckHost(manager->ShortcutHandled());
  return true;
}

}  // namespace strativue
