// Declarations of everything Brelix.so exports, generated from the shared
// function list so that the compiler checks each definition against it.
#pragma once

#include <type_traits>

#include "abi/IServerModule.h"
#include "abi/PcbApiFunctions.h"
#include "editor/BrelixSim.h"
#include "platform/Boundary.h"

#define BRELIX_DECLARE_PCBAPI(name, result, params) \
  extern "C" ABI_EXPORT result STDCALL PcbApi_##name params noexcept;
ABI_PCBAPI_TYPED_FUNCTIONS(BRELIX_DECLARE_PCBAPI)
#undef BRELIX_DECLARE_PCBAPI

// Each definition has its listed type, and is noexcept: a pointer to it
// converts to the listed pointer type, and is not that type itself.
#define BRELIX_CHECK_PCBAPI(name, result, params)                                              \
  static_assert(std::is_convertible_v<decltype(&PcbApi_##name), ::qvabi::pcbapi::name##_t*> && \
                !std::is_same_v<decltype(&PcbApi_##name), ::qvabi::pcbapi::name##_t*>);
ABI_PCBAPI_TYPED_FUNCTIONS(BRELIX_CHECK_PCBAPI)
#undef BRELIX_CHECK_PCBAPI

extern "C" {
ABI_EXPORT qvabi::ServerFactory_t ServerFactory;

// clang-format off
#define BRELIX_SIM_FUNCTIONS(X) \
  X(OpenBoardFile)              \
  X(OpenBoardText)              \
  X(SaveBoardFile)              \
  X(BoardText)                  \
  X(BoardSourcePath)            \
  X(CloseBoard)                 \
  X(SetCurrentBoard)            \
  X(SetInputScript)             \
  X(PendingActionCount)         \
  X(GetCursor)                  \
  X(LiveObjectCount)            \
  X(DescribeObject)             \
  X(BoardObjectCount)           \
  X(BoardObjectAt)              \
  X(DisplayCount)               \
  X(Notifications)              \
  X(EventLog)                   \
  X(ClearEventLog)              \
  X(PendingSetup)               \
  X(SetSetupHook)               \
  X(Reset)
// clang-format on
#define BRELIX_DECLARE_SIM(name) ABI_EXPORT BrelixSim_##name##_t BrelixSim_##name;
BRELIX_SIM_FUNCTIONS(BRELIX_DECLARE_SIM)
#undef BRELIX_DECLARE_SIM
}

namespace brelix::exports {

// Answers of the editor's status queries.
inline constexpr int32_t kDone = 0;
inline constexpr int32_t kRefused = 1;

inline bool ValidMode(uint8_t mode) { return mode == qvabi::ReadMode || mode == qvabi::WriteMode; }

// One field of a record: the editor fills *field (ReadMode) or takes it
// (WriteMode). A nil pointer leaves both sides alone.
template <typename Out, typename Stored>
void Exchange(uint8_t mode, Out* field, Stored& stored) {
  if (!field) return;
  if (mode == qvabi::ReadMode)
    *field = static_cast<Out>(stored);
  else
    stored = static_cast<Stored>(*field);
}

inline void Exchange(uint8_t mode, qvabi::ShortString* field, std::string& stored) {
  if (!field) return;
  if (mode == qvabi::ReadMode)
    field->assign(stored);
  else
    stored.assign(field->view());
}

}  // namespace brelix::exports

namespace brelix::exports {

// Every export runs its body through the one boundary guard; one with a
// failure answer names its fault point after itself ("editor.QueryBoard"
// for PcbApi_QueryBoard).
using platform::Guarded;

}  // namespace brelix::exports
