// The base of an interactive event sink for one board. The constructor
// registers the handler's methods with the PCB editor; Run hands control to
// the editor's interactive loop, which calls them back one at a time, on this
// thread, from inside Run. The base does nothing in any of them; a subclass
// overrides what it needs.
#pragma once

#include <cstdint>
#include <exception>

#include "abi/PcbApiFunctions.h"
#include "abi/Types.h"

namespace strativue {

class TPCBEventHandler {
 public:
  // Registers with the editor for `boardHandle`. Registration only stores
  // the tables: the editor calls nothing before Run.
  explicit TPCBEventHandler(qvabi::PcbHandle boardHandle);
  TPCBEventHandler(const TPCBEventHandler&) = delete;
  TPCBEventHandler& operator=(const TPCBEventHandler&) = delete;

  // Slots 0 to 35; the comment names the entry of event table A
  // (abi/PcbApiFunctions.h) through which the editor calls each.
  virtual void OnEvent00() {}  // EventA::Spare00
  virtual void OnEvent01() {}  // EventA::Spare01
  virtual void OnEvent02() {}  // EventA::Spare02
  virtual void OnEvent03() {}  // EventA::Spare03
  virtual void OnEvent04() {}  // EventA::Spare04
  virtual void OnEvent05() {}  // EventA::Spare05
  virtual void OnEvent06() {}  // EventA::Spare06
  virtual void OnEvent07() {}  // EventA::Spare07
  virtual void OnEvent08() {}  // EventA::Setup
  virtual void OnEvent09() {}  // EventA::Spare10
  virtual void OnEvent10() {}  // EventA::Spare11
  virtual void OnEvent11() {}  // EventA::ClickDone
  virtual void OnEvent12() {}  // EventA::Spare13
  virtual void OnEvent13() {}  // EventA::Spare14
  virtual void OnEvent14() {}  // EventA::EscapeDone
  virtual void OnEvent15() {}  // EventA::Spare16
  virtual void OnEvent16() {}  // EventA::ReadCursor
  virtual void OnEvent17() {}  // EventA::Spare18
  virtual void OnEvent18() {}  // EventA::Spare19
  virtual void OnEvent19() {}  // EventA::Spare20
  virtual void OnEvent20() {}  // EventA::Spare21
  virtual void OnEvent21() {}  // EventA::Spare22
  virtual void OnEvent22() {}  // EventA::Spare23
  virtual void OnEvent23() {}  // EventA::Spare24
  virtual void OnEvent24() {}  // EventA::Spare25
  virtual void OnEvent25() {}  // EventA::Spare26
  virtual void OnEvent26() {}  // EventA::Spare27
  virtual void OnEvent27() {}  // EventA::Show
  virtual void OnEvent28() {}  // EventA::LayOut
  virtual void OnEvent29() {}  // EventA::Commit
  virtual void OnEvent30() {}  // EventA::DropCommit
  virtual void OnEvent31() {}  // EventA::Spare32
  virtual void OnEvent32() {}  // EventA::Spare33
  virtual void OnEvent33() {}  // EventA::Spare34
  virtual void OnEvent34() {}  // EventA::Spare35
  virtual void OnEvent35() {}  // EventA::Spare36
  // Slots 36 and 37; the editor ends its loop when OnQuery37 answers true.
  virtual bool OnQuery36() { return false; }  // EventB::SpareQuery00
  virtual bool OnQuery37() { return false; }  // EventB::IsDone
  // Slot 38: OnEvent28 (as EventA::LayOut would), then the editor's interactive loop; answers the
  // loop's result (false at once without the editor). An error raised by an
  // event method inside the loop ends the loop and is raised again here.
  virtual bool Run();
  // Slot 39.
  virtual bool OnCode(uint16_t) { return false; }

  // Unregisters from the editor (after a subclass's own clean-up).
  virtual ~TPCBEventHandler();

  // The editor's handle of the registration; 0 without the editor.
  qvabi::PcbHandle HandlerHandle = 0;

  // The registration records as handed to the editor: every filled entry is
  // bound to this object and calls the method of its actual class.
  qvabi::EventTableA MakeEventTableA();
  qvabi::EventTableB MakeEventTableB();

 private:
  template <int Slot>
  static void STDCALL EventTrampoline(void* self);
  template <int Slot>
  static qvabi::ByteBool STDCALL QueryTrampoline(void* self);
  static qvabi::ByteBool STDCALL CodeTrampoline(void* self, uint16_t code);

  // The first error an event method raised inside the editor's loop. It
  // cannot travel through the editor's frames, so it is kept here, the loop
  // is stopped through OnQuery37, and Run raises it again.
  std::exception_ptr pendingError_;
};

}  // namespace strativue
