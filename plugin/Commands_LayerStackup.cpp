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
bool IsPcbView(qvabi::IServerView* view) {
  if (view == nullptr) return false;
  qvabi::ComPtr<qvabi::IServerDocument> document;
  CheckHost(view->GetOwnerDocument(document.put()));
  if (!document) return false;
  platform::BStr kind;
  CheckHost(document->GetKind(kind.put()));
  return IsSameText(kind.utf8(), kPcbDocumentKind);
}

// The board's access interface is found and does not refuse the command.
bool BoardAcceptsCommand(qvabi::PcbHandle board) {
  const qvabi::ComPtr<qvabi::IPCB_ServerInterface> server = GetPCBServerInterface();
  if (!server) return false;
  qvabi::ComPtr<qvabi::BoardAccessInterface> access;
  qvabi::BOOL32 found = qvabi::kFalse32;
  CheckHost(server->QueryBoardInterface(board, qvabi::BoardAccessInterface::IID, access.putVoid(), &found));
  if (found == qvabi::kFalse32 || !access) return false;
  qvabi::BOOL32 disallows = qvabi::kFalse32;
  CheckHost(access->BoardDisallowsCommand(&disallows));
  return disallows == qvabi::kFalse32;
}

bool ChooseFirstCorner(qvabi::PcbHandle board) {
  qvabi::ShortString prompt{};
  prompt.assign(kFirstCornerPrompt);
  // The answer's coordinates are not used: the placement reads the cursor.
  int32_t x = 0;
  int32_t y = 0;
  return PcbApi::ChooseLocation(board, &x, &y, &prompt) != 0;
}

}  // namespace

void RunGenerateCrossSection(qvabi::IServerView* View, const char* Parameters) {
  if (!IsPcbView(View)) {
    ShowInformation(kNotPcbDocumentMessage);
    return;
  }
  PcbApi::Bind();
  const qvabi::PcbHandle board = PcbApi::GetCurrentBoardHandle();
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

void GenerateCrossSectionState(qvabi::IServerView* View, const char*, qvabi::BOOL32& Enabled, int32_t&,
                               int32_t&, qvabi::ByteBool&, qvabi::ByteBool&) {
  Enabled = qvabi::kFalse32;
  if (!IsPcbView(View)) return;
  const qvabi::PcbHandle board = PcbApi::GetCurrentBoardHandle();
  if (board == 0) return;
  if (BoardAcceptsCommand(board)) Enabled = qvabi::kTrue32;
}

}  // namespace strativue
