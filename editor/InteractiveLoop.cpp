// The editor's interactive operations, driven by the board's input script.
#include "editor/Editor.h"

namespace brelix {

using qvabi::EventA;
using qvabi::EventB;

void Editor::CallA(const qvabi::EventTableA& table, EventA entry) {
  const qvabi::EventMethod& method = table[entry];
  if (!method.code) return;
  eventLog_.push_back(qvabi::EventName(entry));
  method.code(method.data);
}

bool Editor::CallB(const qvabi::EventTableB& table, EventB entry) {
  const qvabi::QueryMethod& method = table[entry];
  if (!method.code) return false;
  eventLog_.push_back(qvabi::EventName(entry));
  return method.code(method.data) != 0;
}

std::optional<Point> Editor::ChooseLocation(qvabi::PcbHandle boardHandle, std::string_view prompt) {
  Board* board = FindBoard(boardHandle);
  if (!board) return std::nullopt;
  if (running_) {
    eventLog_.push_back("refused prompt " + std::string(prompt));
    return std::nullopt;
  }
  eventLog_.push_back("prompt " + std::string(prompt));
  if (board->script.empty()) return std::nullopt;
  const ScriptAction action = board->script.front();
  board->script.pop_front();
  if (action.kind != ScriptAction::Kind::Corner) return std::nullopt;
  board->cursor = action.point;
  return action.point;
}

bool Editor::RunEventHandler(qvabi::PcbHandle handlerHandle) {
  const auto found = handlers_.find(handlerHandle);
  if (found == handlers_.end()) return false;
  if (running_) {
    eventLog_.push_back("refused run");
    return false;
  }
  running_ = true;
  struct EndOfRun {
    bool& running;
    ~EndOfRun() { running = false; }
  } endOfRun{running_};
  // Copies: a callback may destroy the handler or close the board under us.
  const EventHandler handler = found->second;
  bool endedWithClick = false;
  bool scriptRanOut = false;
  try {
    while (!scriptRanOut) {
      if (CallB(handler.tableB, EventB::IsDone)) break;
      Board* board = FindBoard(handler.board);
      if (!board) break;
      ScriptAction action;
      action.kind = ScriptAction::Kind::Escape;
      if (board->script.empty()) {
        scriptRanOut = true;  // counts as Escape, and nothing can follow it
      } else {
        action = board->script.front();
        board->script.pop_front();
      }
      switch (action.kind) {
        case ScriptAction::Kind::Corner:
        case ScriptAction::Kind::Move:
          board->cursor = action.point;
          CallA(handler.tableA, EventA::ReadCursor);
          CallA(handler.tableA, EventA::LayOut);
          CallA(handler.tableA, EventA::Show);
          break;
        case ScriptAction::Kind::Click:
          CallA(handler.tableA, EventA::Commit);
          CallA(handler.tableA, EventA::ClickDone);
          break;
        case ScriptAction::Kind::Escape:
          CallA(handler.tableA, EventA::DropCommit);
          CallA(handler.tableA, EventA::EscapeDone);
          break;
        case ScriptAction::Kind::Setup:
          pendingSetup_ = action.argument;
          if (setupHook_) setupHook_(setupContext_, pendingSetup_.c_str());
          CallA(handler.tableA, EventA::Setup);
          pendingSetup_.clear();
          CallA(handler.tableA, EventA::LayOut);
          CallA(handler.tableA, EventA::Show);
          break;
      }
      endedWithClick = action.kind == ScriptAction::Kind::Click;
    }
  } catch (...) {
    // A routine that throws is the caller's fault; the operation ends, uncommitted.
    pendingSetup_.clear();
    eventLog_.push_back("exception");
    return false;
  }
  return endedWithClick;
}

}  // namespace brelix
