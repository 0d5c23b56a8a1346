#include "plugin/Commands_LayerStackup.h"

#include "abi/PcbServer.h"
#include "abi/Unknown.h"
#include "platform/WideString.h"
#include "plugin/EventLegendHandler.h"
#include "plugin/RTL/HostClient.h"
#include "plugin/RTL/Messages.h"
#include "plugin/RTL/PcbApi.h"
#include "plugin/RTL/RT_PCB.h"

namespace strativue {
namespace {

constexpr const char* kPcbDocumentKind = "PCB";

// The host may hand over no view at all, or a view without a document;
// neither is a PCB document.
bool IsPcbView(abi::IServerView* view) {
  if (view == nullptr) return false;
  abi::ComPtr<abi::IServerDocument> document;
  CheckHost(view->GetOwnerDocument(document.put()));
  if (!document) return false;
  platform::BStr kind;
  CheckHost(document->GetKind(kind.put()));
  return IsSameText(kind.utf8(), kPcbDocumentKind);
}

// The board's access interface is found and does not refuse the command.
bool BoardAcceptsCommand(abi::PcbHandle board) {
  const abi::ComPtr<abi::IPCB_ServerInterface> server = GetPCBServerInterface();
  if (!server) return false;
  abi::ComPtr<abi::BoardAccessInterface> access;
  abi::BOOL32 found = abi::kFalse32;
  CheckHost(server->QueryBoardInterface(board, abi::BoardAccessInterface::IID, access.putVoid(), &found));
  if (found == abi::kFalse32 || !access) return false;
  abi::BOOL32 disallows = abi::kFalse32;
  CheckHost(access->BoardDisallowsCommand(&disallows));
  return disallows == abi::kFalse32;
}

bool ChooseFirstCorner(abi::PcbHandle board) {
  abi::ShortString prompt{};
  prompt.assign(kFirstCornerPrompt);
  // The answer's coordinates are not used: the placement reads the cursor.
  int32_t x = 0;
  int32_t y = 0;
  return PcbApi::ChooseLocation(board, &x, &y, &prompt) != 0;
}

}  // namespace

void RunGenerateCrossSection(abi::IServerView* View, const char* Parameters) {
  if (!IsPcbView(View)) {
    ShowInformation(kNotPcbDocumentMessage);
    return;
  }
  PcbApi::Bind();
  const abi::PcbHandle board = PcbApi::GetCurrentBoardHandle();
  if (board == 0) {
    ShowInformation(kNoCurrentBoardMessage);
    return;
  }
  if (!BoardAcceptsCommand(board)) return;
  if (!ChooseFirstCorner(board)) return;

  TEventLegendHandler handler(board, Parameters != nullptr ? Parameters : "");
  handler.Run();
  handler.Finish();
}

void GenerateCrossSectionState(abi::IServerView* View, const char*, abi::BOOL32& Enabled, int32_t&, int32_t&,
                               abi::ByteBool&, abi::ByteBool&) {
  Enabled = abi::kFalse32;
  if (!IsPcbView(View)) return;
  const abi::PcbHandle board = PcbApi::GetCurrentBoardHandle();
  if (board == 0) return;
  if (BoardAcceptsCommand(board)) Enabled = abi::kTrue32;
}

}  // namespace strativue
