#include "plugin/RTL/CommandLauncher.h"

#include <algorithm>
#include <limits>

#include "platform/Locale.h"
#include "plugin/RTL/Exceptions.h"
#include "plugin/RTL/HostClient.h"
#include "plugin/RTL/StatusGuard.h"

namespace strativue {
namespace {

bool NameLess(const std::string& a, const std::string& b) {
  return platform::CompareTextIgnoreCase(a, b) < 0;
}

std::string NameOf(const char* name) { return name ? std::string(name) : std::string(); }

}  // namespace

std::vector<TCommandLauncher::TEntry>::const_iterator TCommandLauncher::LowerBound(
    const std::string& Name) const {
  return std::lower_bound(
      FCommands.begin(), FCommands.end(), Name,
      [](const TEntry& entry, const std::string& name) { return NameLess(entry.first, name); });
}

void TCommandLauncher::RegisterCommand(const std::string& Name, TCommandRunHandler RunHandler,
                                       TCommandStateHandler StateHandler) {
  const auto at = LowerBound(Name);
  if (at != FCommands.end() && platform::CompareTextIgnoreCase(at->first, Name) == 0) return;
  auto handler = std::make_unique<TCommandHandler>();
  handler->RunHandler = RunHandler;
  handler->StateHandler = StateHandler;
  FCommands.emplace(at, Name, std::move(handler));
}

const TCommandHandler* TCommandLauncher::FindCommand(const std::string& Name) const {
  const auto at = LowerBound(Name);
  if (at == FCommands.end() || platform::CompareTextIgnoreCase(at->first, Name) != 0) return nullptr;
  return at->second.get();
}

qvabi::HRESULT STDCALL TCommandLauncher::LaunchCommand(const char* Name, const char* Parameters, int32_t,
                                                       qvabi::IServerView* View) {
  return Guard([&] {
    const TCommandHandler* handler = FindCommand(NameOf(Name));
    if (!handler || !handler->RunHandler) return;
    handler->RunHandler(View, Parameters ? Parameters : "");

    const auto client = GetHostClient();
    if (!client) return;
    qvabi::ComPtr<qvabi::IServerView> current;
    CheckHost(client->GetCurrentView(current.put()));
    if (current) {
      CheckHost(current->RefreshAfterCommand());
    } else {
      SetStatusText(1, u"");
      SetStatusText(2, u"");
      SetStatusText(3, u"");
    }
  });
}

qvabi::HRESULT STDCALL TCommandLauncher::GetCommandState(const char* Name, const char* Parameters,
                                                         qvabi::IServerView* View, qvabi::BOOL32* Enabled,
                                                         int32_t* State2, int32_t* State3,
                                                         qvabi::ByteBool* State4, qvabi::ByteBool* State5) {
  return Guard([&] {
    qvabi::BOOL32& enabled = OutArgument(Enabled);
    int32_t& state2 = OutArgument(State2);
    int32_t& state3 = OutArgument(State3);
    qvabi::ByteBool& state4 = OutArgument(State4);
    qvabi::ByteBool& state5 = OutArgument(State5);
    enabled = qvabi::kTrue32;
    state2 = 0;
    state3 = -1;
    state4 = 0;
    state5 = 0;
    const TCommandHandler* handler = FindCommand(NameOf(Name));
    if (handler && handler->StateHandler)
      handler->StateHandler(View, Parameters ? Parameters : "", enabled, state2, state3, state4, state5);
  });
}

qvabi::HRESULT STDCALL TProcessControl::GetProcessDepth(int32_t* Depth) {
  return Guard([&] { OutArgument(Depth) = FProcessDepth; });
}

qvabi::HRESULT STDCALL TProcessControl::LeaveProcess(int32_t, int32_t) {
  return Guard([&] {
    if (FProcessDepth == std::numeric_limits<int32_t>::min()) throw ERangeError("Integer overflow");
    --FProcessDepth;
  });
}

qvabi::HRESULT STDCALL TProcessControl::EnterProcess(int32_t, int32_t) {
  return Guard([&] {
    if (FProcessDepth == std::numeric_limits<int32_t>::max()) throw ERangeError("Integer overflow");
    ++FProcessDepth;
  });
}

qvabi::HRESULT STDCALL TProcessControl::SetProcessDepth(int32_t Depth) {
  return Guard([&] { FProcessDepth = Depth; });
}

}  // namespace strativue
