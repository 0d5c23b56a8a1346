// The interactive placement of the stack-up legend: after the user picked the
// first corner, the PCB editor drives this handler while the cursor moves to
// the opposite corner; a click keeps the legend on the board, Escape drops it.
#pragma once

#include <cstdint>
#include <memory>

#include "abi/Types.h"
#include "plugin/LayerStackupLegend.h"
#include "plugin/RTL/PcbEventHandler.h"

namespace strativue {

class TEventLegendHandler : public TPCBEventHandler {
 public:
  // Registers with the editor, creates the legend (options from `parameters`
  // when not empty, else the legacy settings), fixes the first corner at the
  // editor's cursor and notifies the editor's server interface. A failing
  // notification is raised; nothing is left behind.
  TEventLegendHandler(qvabi::PcbHandle boardHandle, const char* parameters);
  // Runs Finish when it has not run, dropping a failure it reports: a
  // destructor cannot raise.
  ~TEventLegendHandler() override;

  // The destruction steps, with their failures raised: frees the legend (it
  // goes to the board when committed) and then tells the editor's server
  // interface that the handler is gone. Runs once; later calls do nothing.
  void Finish();

  // EventA::Setup. The setup dialog: on OK its choices become the legend's options (they
  // show from the next layout and display on).
  void OnEvent08() override;
  // EventA::ClickDone: done (click).
  void OnEvent11() override;
  // EventA::EscapeDone: done (Escape).
  void OnEvent14() override;
  // EventA::ReadCursor: re-reads the editor's cursor.
  void OnEvent16() override;
  // EventA::Show: shows the legend.
  void OnEvent27() override;
  // EventA::LayOut (and Run, once before the loop): lays the legend out for
  // the first corner and the cursor.
  void OnEvent28() override;
  // EventA::Commit: commits, then shows.
  void OnEvent29() override;
  // EventA::DropCommit: drops the commit.
  void OnEvent30() override;
  // EventA::Spare34: the editor never calls it.
  void OnEvent33() override;
  // EventB::IsDone: answers Done; the editor's loop ends once it is true.
  bool OnQuery37() override;

  qvabi::PcbHandle BoardHandle = 0;
  std::unique_ptr<TLegendStackup> Legend;
  bool Done = false;
  int32_t FirstCornerX = 0;
  int32_t FirstCornerY = 0;
  int32_t CursorX = 0;
  int32_t CursorY = 0;

 private:
  // Copies the cursor of the editor's board record, nothing else.
  void ReadCursor();

  bool finished_ = false;
};

}  // namespace strativue
