// The GenerateCrossSection command: its run handler and its state handler,
// registered by the server module.
#pragma once

#include <cstdint>

#include "abi/Documents.h"
#include "abi/Types.h"

namespace strativue {

inline constexpr const char* kGenerateCrossSection = "GenerateCrossSection";
inline constexpr const char* kNotPcbDocumentMessage = "Active window is not of type PCB document.";
inline constexpr const char* kNoCurrentBoardMessage = "No current PCB document is open in the Quorvex.";
inline constexpr const char* kFirstCornerPrompt = "Select first corner";

// Checks that a usable PCB document is active, asks for the first corner and
// runs the interactive placement with `Parameters` (never nil) unchanged. A
// missing view, a view without a document or a document of another kind
// shows kNotPcbDocumentMessage; no current board shows
// kNoCurrentBoardMessage; a board without its access interface, a board
// refusing the command and a cancelled prompt stop silently. Failing host
// calls are raised.
void RunGenerateCrossSection(abi::IServerView* View, const char* Parameters);

// Enabled only for a PCB document (kind compared ignoring case) with a
// current board whose access interface does not refuse the command; disabled
// with no view at all. Changes nothing but Enabled; shows nothing.
void GenerateCrossSectionState(abi::IServerView* View, const char* Parameters, abi::BOOL32& Enabled,
                               int32_t& State2, int32_t& State3, abi::ByteBool& State4,
                               abi::ByteBool& State5);

}  // namespace strativue
