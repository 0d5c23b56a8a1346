// The editor's interactive operations, driven by the board's input script.
#include "editor/Editor.h"

namespace brelix {
namespace {

// Entries of event table A and B the loop calls.
constexpr int kSetupEntry = 8;
constexpr int kClickDoneEntry = 12;
constexpr int kEscapeDoneEntry = 15;
constexpr int kReadCursorEntry = 17;
constexpr int kShowEntry = 28;
constexpr int kLayOutEntry = 29;
constexpr int kCommitEntry = 30;
constexpr int kDropCommitEntry = 31;
constexpr int kDoneQueryEntry = 1;

}  // namespace

void Editor::CallA(const abi::EventTableA& table, int entry) {
  const abi::EventMethod& method = table.entries[entry];
  if (!method.code) return;
  eventLog_.push_back("A" + std::to_string(entry));
  method.code(method.data);
}

bool Editor::CallB(const abi::EventTableB& table, int entry) {
  const abi::QueryMethod& method = table.entries[entry];
  if (!method.code) return false;
  eventLog_.push_back("B" + std::to_string(entry));
  return method.code(method.data) != 0;
}

std::optional<Point> Editor::ChooseLocation(abi::PcbHandle boardHandle, std::string_view prompt) {
  Board* board = FindBoard(boardHandle);
  if (!board) return std::nullopt;
  eventLog_.push_back("prompt " + std::string(prompt));
  if (board->script.empty()) return std::nullopt;
  const ScriptAction action = board->script.front();
  board->script.pop_front();
  if (action.kind != ScriptAction::Kind::Corner) return std::nullopt;
  board->cursor = action.point;
  return action.point;
}

bool Editor::RunEventHandler(abi::PcbHandle handlerHandle) {
  const auto found = handlers_.find(handlerHandle);
  if (found == handlers_.end()) return false;
  // Copies: a callback may destroy the handler or close the board under us.
  const EventHandler handler = found->second;
  bool endedWithClick = false;
  bool scriptRanOut = false;
  try {
    while (!scriptRanOut) {
      if (CallB(handler.tableB, kDoneQueryEntry)) break;
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
          CallA(handler.tableA, kReadCursorEntry);
          CallA(handler.tableA, kLayOutEntry);
          CallA(handler.tableA, kShowEntry);
          break;
        case ScriptAction::Kind::Click:
          CallA(handler.tableA, kCommitEntry);
          CallA(handler.tableA, kClickDoneEntry);
          break;
        case ScriptAction::Kind::Escape:
          CallA(handler.tableA, kDropCommitEntry);
          CallA(handler.tableA, kEscapeDoneEntry);
          break;
        case ScriptAction::Kind::Setup:
          pendingSetup_ = action.argument;
          if (setupHook_) setupHook_(setupContext_, pendingSetup_.c_str());
          CallA(handler.tableA, kSetupEntry);
          pendingSetup_.clear();
          CallA(handler.tableA, kLayOutEntry);
          CallA(handler.tableA, kShowEntry);
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
