#include "plugin/RTL/PcbEventHandler.h"

#include <array>
#include <utility>

#include "plugin/RTL/PcbApi.h"

namespace strativue {
namespace {

using EventMember = void (TPCBEventHandler::*)();
using QueryMember = bool (TPCBEventHandler::*)();

// Calls through these pointers dispatch virtually, reaching the override of
// the object's actual class.
constexpr std::array<EventMember, 36> kEventMembers = {
    &TPCBEventHandler::OnEvent00, &TPCBEventHandler::OnEvent01, &TPCBEventHandler::OnEvent02,
    &TPCBEventHandler::OnEvent03, &TPCBEventHandler::OnEvent04, &TPCBEventHandler::OnEvent05,
    &TPCBEventHandler::OnEvent06, &TPCBEventHandler::OnEvent07, &TPCBEventHandler::OnEvent08,
    &TPCBEventHandler::OnEvent09, &TPCBEventHandler::OnEvent10, &TPCBEventHandler::OnEvent11,
    &TPCBEventHandler::OnEvent12, &TPCBEventHandler::OnEvent13, &TPCBEventHandler::OnEvent14,
    &TPCBEventHandler::OnEvent15, &TPCBEventHandler::OnEvent16, &TPCBEventHandler::OnEvent17,
    &TPCBEventHandler::OnEvent18, &TPCBEventHandler::OnEvent19, &TPCBEventHandler::OnEvent20,
    &TPCBEventHandler::OnEvent21, &TPCBEventHandler::OnEvent22, &TPCBEventHandler::OnEvent23,
    &TPCBEventHandler::OnEvent24, &TPCBEventHandler::OnEvent25, &TPCBEventHandler::OnEvent26,
    &TPCBEventHandler::OnEvent27, &TPCBEventHandler::OnEvent28, &TPCBEventHandler::OnEvent29,
    &TPCBEventHandler::OnEvent30, &TPCBEventHandler::OnEvent31, &TPCBEventHandler::OnEvent32,
    &TPCBEventHandler::OnEvent33, &TPCBEventHandler::OnEvent34, &TPCBEventHandler::OnEvent35,
};

constexpr std::array<QueryMember, 2> kQueryMembers = {&TPCBEventHandler::OnQuery36,
                                                      &TPCBEventHandler::OnQuery37};

// Table A holds the event methods in slot order around its one empty entry
// in the middle; the entries after the last method stay empty.
constexpr int kEmptyEntryA = static_cast<int>(qvabi::EventA::Empty09);
constexpr int kFirstTrailingEmptyA = static_cast<int>(qvabi::EventA::Empty37);
static_assert(kEventMembers.size() + 1 == kFirstTrailingEmptyA);
constexpr int EntryOfSlot(std::size_t slot) {
  return static_cast<int>(slot) < kEmptyEntryA ? static_cast<int>(slot) : static_cast<int>(slot) + 1;
}
// Table B holds the queries in slot order from its first entry.
constexpr int kDoneQuerySlot = static_cast<int>(qvabi::EventB::IsDone);
static_assert(kQueryMembers.size() == static_cast<int>(qvabi::EventB::Empty02));

}  // namespace

template <int Slot>
void STDCALL TPCBEventHandler::EventTrampoline(void* self) {
  auto* handler = static_cast<TPCBEventHandler*>(self);
  // After an error the loop is winding down: the handler's state may be
  // half-changed, so nothing more runs.
  if (handler->pendingError_) return;
  try {
    (handler->*kEventMembers[Slot])();
  } catch (...) {
    handler->pendingError_ = std::current_exception();
  }
}

template <int Slot>
qvabi::ByteBool STDCALL TPCBEventHandler::QueryTrampoline(void* self) {
  auto* handler = static_cast<TPCBEventHandler*>(self);
  if (handler->pendingError_) return qvabi::ToByteBool(Slot == kDoneQuerySlot);
  try {
    return qvabi::ToByteBool((handler->*kQueryMembers[Slot])());
  } catch (...) {
    handler->pendingError_ = std::current_exception();
    return qvabi::ToByteBool(Slot == kDoneQuerySlot);
  }
}

qvabi::ByteBool STDCALL TPCBEventHandler::CodeTrampoline(void* self, uint16_t code) {
  auto* handler = static_cast<TPCBEventHandler*>(self);
  if (handler->pendingError_) return qvabi::ToByteBool(false);
  try {
    return qvabi::ToByteBool(handler->OnCode(code));
  } catch (...) {
    handler->pendingError_ = std::current_exception();
    return qvabi::ToByteBool(false);
  }
}

qvabi::EventTableA TPCBEventHandler::MakeEventTableA() {
  qvabi::EventTableA table{};
  [&]<std::size_t... Slots>(std::index_sequence<Slots...>) {
    ((table.entries[EntryOfSlot(Slots)] = {&EventTrampoline<static_cast<int>(Slots)>, this}), ...);
  }
  (std::make_index_sequence<kEventMembers.size()>{});
  return table;
}

qvabi::EventTableB TPCBEventHandler::MakeEventTableB() {
  qvabi::EventTableB table{};
  [&]<std::size_t... Slots>(std::index_sequence<Slots...>) {
    ((table.entries[Slots] = {&QueryTrampoline<static_cast<int>(Slots)>, this}), ...);
  }
  (std::make_index_sequence<kQueryMembers.size()>{});
  return table;
}

TPCBEventHandler::TPCBEventHandler(qvabi::PcbHandle boardHandle) {
  // The editor copies what it keeps: these tables die with this call.
  const qvabi::EventTableA tableA = MakeEventTableA();
  const qvabi::EventTableB tableB = MakeEventTableB();
  HandlerHandle = PcbApi::CreateEventHandler(boardHandle, &tableA, &tableB, &CodeTrampoline, this);
}

TPCBEventHandler::~TPCBEventHandler() {
  if (HandlerHandle != 0) PcbApi::DestroyEventHandler(HandlerHandle);
}

bool TPCBEventHandler::Run() {
  OnEvent28();
  if (HandlerHandle == 0) return false;
  pendingError_ = nullptr;
  const bool result = PcbApi::RunEventHandler(HandlerHandle) != 0;
  if (pendingError_) std::rethrow_exception(std::exchange(pendingError_, nullptr));
  return result;
}

}  // namespace strativue
