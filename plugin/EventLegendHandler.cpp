#include "plugin/EventLegendHandler.h"

#include "plugin/LegendOptions.h"
#include "plugin/RTL/HostClient.h"
#include "plugin/RTL/PcbApi.h"
#include "plugin/RTL/RT_PCB.h"
#include "plugin/SetupDialog.h"

namespace strativue {
namespace {

// The display mode of a legend shown during placement.
constexpr uint8_t kPlacementDisplayMode = 3;

enum class Notification { HandlerCreated, HandlerDestroyed };

// No server interface: the notification is skipped, placement works the same.
void Notify(Notification notification) {
  const qvabi::ComPtr<qvabi::IPCB_ServerInterface> server = GetPCBServerInterface();
  if (!server) return;
  CheckHost(notification == Notification::HandlerCreated ? server->NotifyHandlerCreated()
                                                         : server->NotifyHandlerDestroyed());
}

std::unique_ptr<TLegendStackup> CreateLegend(qvabi::PcbHandle boardHandle, const char* parameters) {
  if (parameters == nullptr || *parameters == '\0')
    return std::make_unique<TLegendStackup>(boardHandle, nullptr);
  const TLegendOptions options = ParseOptionParameters(parameters);
  return std::make_unique<TLegendStackup>(boardHandle, &options);
}

}  // namespace

TEventLegendHandler::TEventLegendHandler(qvabi::PcbHandle boardHandle, const char* parameters)
    : TPCBEventHandler(boardHandle), BoardHandle(boardHandle), Legend(CreateLegend(boardHandle, parameters)) {
  // The prompt's answer is not used: the first corner is wherever the
  // editor's cursor is now.
  ReadCursor();
  FirstCornerX = CursorX;
  FirstCornerY = CursorY;
  Notify(Notification::HandlerCreated);
}

TEventLegendHandler::~TEventLegendHandler() {
  try {
    Finish();
  } catch (...) {
    // Only reached when the run is already ending with an error (Finish was
    // not called): that first error is the one the user needs to see.
  }
}

void TEventLegendHandler::Finish() {
  if (finished_) return;
  finished_ = true;
  Legend.reset();
  Notify(Notification::HandlerDestroyed);
}

void TEventLegendHandler::ReadCursor() {
  int32_t boardInt3 = 0;
  qvabi::ShortString fileName{};
  uint8_t boardByte5 = 0;
  int32_t boardInt6 = 0;
  int32_t boardInt7 = 0;
  // A refused query touches nothing: the cursor then stays as last read.
  int32_t cursorX = CursorX;
  int32_t cursorY = CursorY;
  uint8_t boardUnit = 0;
  uint32_t currentLayer = 0;
  int32_t boardInt12 = 0;
  PcbApi::QueryBoard(qvabi::ReadMode, BoardHandle, &boardInt3, &fileName, &boardByte5, &boardInt6, &boardInt7,
                     &cursorX, &cursorY, &boardUnit, &currentLayer, &boardInt12);
  CursorX = cursorX;
  CursorY = cursorY;
}

void TEventLegendHandler::OnEvent08() {
  TPCBEventHandler::OnEvent08();
  TLegendOptions options;
  if (ShowSetupDialog(options)) Legend->ApplyOptions(options);
}

void TEventLegendHandler::OnEvent11() {
  TPCBEventHandler::OnEvent11();
  Done = true;
}

void TEventLegendHandler::OnEvent14() {
  TPCBEventHandler::OnEvent14();
  Done = true;
}

void TEventLegendHandler::OnEvent16() {
  TPCBEventHandler::OnEvent16();
  ReadCursor();
}

void TEventLegendHandler::OnEvent27() {
  TPCBEventHandler::OnEvent27();
  Legend->Display(kPlacementDisplayMode);
}

void TEventLegendHandler::OnEvent28() {
  TPCBEventHandler::OnEvent28();
  Legend->PlaceAt(FirstCornerX, FirstCornerY, CursorX, CursorY);
}

void TEventLegendHandler::OnEvent29() {
  TPCBEventHandler::OnEvent29();
  Legend->Committed = true;
  OnEvent27();
}

void TEventLegendHandler::OnEvent30() {
  TPCBEventHandler::OnEvent30();
  Legend->Committed = false;
}

void TEventLegendHandler::OnEvent33() { TPCBEventHandler::OnEvent33(); }

bool TEventLegendHandler::OnQuery37() {
  TPCBEventHandler::OnQuery37();
  return Done;
}

}  // namespace strativue
