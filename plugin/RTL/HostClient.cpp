#include "plugin/RTL/HostClient.h"

#include <cstdio>
#include <string>

#include "platform/ErrorInfo.h"
#include "platform/WideString.h"
#include "plugin/RTL/Exceptions.h"

namespace strativue {
namespace {

// Non-owning: the host keeps its client alive while any plug-in is loaded.
qvabi::IClient* g_hostClient = nullptr;

std::string HostErrorDescription(qvabi::HRESULT status) {
  qvabi::ComPtr<platform::IErrorInfo> info;
  if (platform::GetErrorInfo(0, info.put()) == qvabi::S_OK && info) {
    platform::BStr description;
    if (qvabi::Succeeded(info->GetDescription(description.put())) && !description.view().empty())
      return description.utf8();
  }
  char text[64];
  std::snprintf(text, sizeof text, "Host call failed with status 0x%08X", static_cast<unsigned>(status));
  return text;
}

}  // namespace

qvabi::ComPtr<qvabi::IClient> GetHostClient() { return qvabi::ComPtr<qvabi::IClient>::Share(g_hostClient); }

void SetHostClient(qvabi::IClient* client) { g_hostClient = client; }

void CheckHost(qvabi::HRESULT status) {
  if (qvabi::Failed(status)) throw EHostError(HostErrorDescription(status), status);
}

void SetStatusText(int32_t index, std::u16string_view text) {
  const auto client = GetHostClient();
  if (!client) return;
  qvabi::ComPtr<qvabi::IGUIManager> manager;
  CheckHost(client->GetGUIManager(manager.put()));
  if (!manager) return;
  platform::BStr wide(text);
  CheckHost(manager->SetStatusBarText(index, wide.get()));
}

void ClearStatusText() { SetStatusText(-1, u""); }

bool PassShortcutToHost(int32_t keyCode, bool alt, bool shift, bool ctrl) {
  const auto client = GetHostClient();
  if (!client) return false;
  qvabi::ComPtr<qvabi::IGUIManager> manager;
  CheckHost(client->GetGUIManager(manager.put()));
  if (!manager) return false;
  int32_t handled = 0;
  CheckHost(manager->ProcessShortcut(keyCode, qvabi::ToBool32(alt), qvabi::ToBool32(shift),
                                     qvabi::ToBool32(ctrl), &handled));
  if (handled == 0) return false;
  CheckHost(manager->ShortcutHandled());
  return true;
}

}  // namespace strativue
