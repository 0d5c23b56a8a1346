// The GenerateCrossSection command: its run handler and its state handler,
// registered by the server module.
#pragma once

#include <cstdint>

#include "abi/IServerDocument.h"
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
void RunGenerateCrossSection(qvabi::IServerView* View, const char* Parameters);

// Enabled only for a PCB document (kind compared ignoring case) with a
// current board whose access interface does not refuse the command; disabled
// with no view at all. Changes nothing but Enabled; shows nothing.
void GenerateCrossSectionState(qvabi::IServerView* View, const char* Parameters, qvabi::BOOL32& Enabled,
                               int32_t& State2, int32_t& State3, qvabi::ByteBool& State4,
                               qvabi::ByteBool& State5);

}  // namespace strativue
