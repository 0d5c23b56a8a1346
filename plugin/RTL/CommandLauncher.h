// Command table and dispatch, and the process-nesting counter: the two
// objects the server module hands the host without reference counting.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "abi/IServerDocument.h"
#include "abi/IServerModule.h"
#include "abi/Unknown.h"

namespace strativue {

// An interface-implementing object whose AddRef and Release do nothing: its
// owner (the server module) frees it, and an interface pointer handed out is
// valid only while the owner lives.
template <typename... Interfaces>
class TInterfacedObjectNoRef : public qvabi::ImplementsNoRef<Interfaces...> {};

// Runs a command with the host's view and the parameter string (never nil,
// possibly empty).
using TCommandRunHandler = void (*)(qvabi::IServerView* View, const char* Parameters);
// Reports a command's state. The outputs arrive holding the launcher's
// defaults; a handler changes only what it knows.
using TCommandStateHandler = void (*)(qvabi::IServerView* View, const char* Parameters,
                                      qvabi::BOOL32& Enabled, int32_t& State2, int32_t& State3,
                                      qvabi::ByteBool& State4, qvabi::ByteBool& State5);

struct TCommandHandler {
  TCommandRunHandler RunHandler = nullptr;
  TCommandStateHandler StateHandler = nullptr;
};

// The command table: names compared with the user's locale, ignoring case,
// kept sorted so that lookup is a binary search.
class TCommandLauncher : public TInterfacedObjectNoRef<qvabi::ICommandLauncher> {
 public:
  TCommandLauncher() = default;
  TCommandLauncher(const TCommandLauncher&) = delete;
  TCommandLauncher& operator=(const TCommandLauncher&) = delete;

  // Adds a command. The first registration of a name wins: a later one under
  // an equal name is ignored.
  void RegisterCommand(const std::string& Name, TCommandRunHandler RunHandler,
                       TCommandStateHandler StateHandler);
  // The handlers registered under `Name`, or nil.
  const TCommandHandler* FindCommand(const std::string& Name) const;
  int CommandCount() const { return static_cast<int>(FCommands.size()); }

  // Runs the command, then refreshes the current view, or clears status-bar
  // panels 1 to 3 when there is none. An unknown name does nothing.
  qvabi::HRESULT STDCALL LaunchCommand(const char* Name, const char* Parameters, int32_t Ignored,
                                       qvabi::IServerView* View) override;
  // Fills the defaults (enabled, 0, -1, false, false), then lets the
  // command's state handler change them.
  qvabi::HRESULT STDCALL GetCommandState(const char* Name, const char* Parameters, qvabi::IServerView* View,
                                         qvabi::BOOL32* Enabled, int32_t* State2, int32_t* State3,
                                         qvabi::ByteBool* State4, qvabi::ByteBool* State5) override;

 private:
  using TEntry = std::pair<std::string, std::unique_ptr<TCommandHandler>>;
  std::vector<TEntry>::const_iterator LowerBound(const std::string& Name) const;

  std::vector<TEntry> FCommands;
};

// The host's process-nesting counter; the module itself never reads it.
class TProcessControl : public TInterfacedObjectNoRef<qvabi::IProcessControl> {
 public:
  qvabi::HRESULT STDCALL GetProcessDepth(int32_t* Depth) override;
  // Fail, leaving the counter as it was, when it would overflow.
  qvabi::HRESULT STDCALL LeaveProcess(int32_t Ignored1, int32_t Ignored2) override;
  qvabi::HRESULT STDCALL EnterProcess(int32_t Ignored1, int32_t Ignored2) override;
  qvabi::HRESULT STDCALL SetProcessDepth(int32_t Depth) override;

 private:
  int32_t FProcessDepth = 0;
};

}  // namespace strativue
