// The editor's whole state: open boards, objects, event handlers, the current
// board and what tests and the host can read back (event log,
// notifications). One per process, used on the host's UI thread only.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "abi/PcbApiFunctions.h"
#include "editor/Board.h"
#include "editor/BoardFile.h"
#include "editor/EditorObject.h"

namespace brelix {

struct EventHandler {
  qvabi::PcbHandle handle = 0;
  qvabi::PcbHandle board = 0;
  qvabi::EventTableA tableA{};
  qvabi::EventTableB tableB{};
  qvabi::CodeRoutine code = nullptr;
  void* codeData = nullptr;
};

using SetupHook = void (*)(void* context, const char* argument);

class Editor {
 public:
  // Forced inline: every exported call starts here, and GCC would leave it
  // out of line in a unit of several exports.
  [[gnu::always_inline]] static Editor& Instance() {
    static Editor editor;
    return editor;
  }

  // Boards. Opening makes the board current; BoardFileError on refusal.
  qvabi::PcbHandle OpenBoardText(std::string_view text, const std::string& name);
  qvabi::PcbHandle OpenBoardFile(const std::string& path);
  bool CloseBoard(qvabi::PcbHandle board);
  Board* FindBoard(qvabi::PcbHandle board);
  qvabi::PcbHandle CurrentBoard() const { return current_; }
  bool SetCurrentBoard(qvabi::PcbHandle board);
  std::string BoardText(const Board& board) const;
  // The text of the file `path` names: a KiCad board (only for a board read
  // from one) by its extension, else a board file. BoardFileError or
  // kicad::KicadFileError when it cannot be written.
  std::string FileText(const Board& board, const std::string& path) const;

  // Objects. Create answers 0 for a kind the editor does not make.
  qvabi::PcbHandle CreateObject(uint8_t kind);
  // Found objects are kept (found_), so that a call on an object taken
  // shortly before finds it without searching.
  EditorObject* FindObject(qvabi::PcbHandle object) {
    const Found& found = found_[static_cast<uint32_t>(object) % kFoundSlots];
    return object == found.handle ? found.object : FindAndKeep(object);
  }
  void SetOwner(qvabi::PcbHandle object, qvabi::PcbHandle board);
  void AddToContents(qvabi::PcbHandle board, qvabi::PcbHandle object);
  void DestroyObject(qvabi::PcbHandle object);
  std::size_t LiveObjectCount() const { return objects_.size(); }

  // Event handlers; the tables are copied.
  qvabi::PcbHandle CreateEventHandler(qvabi::PcbHandle board, const qvabi::EventTableA* tableA,
                                      const qvabi::EventTableB* tableB, qvabi::CodeRoutine code, void* data);
  // Runs the interactive loop; true when it ended with a click. Refused
  // (false, nothing called) from inside a run.
  bool RunEventHandler(qvabi::PcbHandle handler);
  void DestroyEventHandler(qvabi::PcbHandle handler);
  // Consumes the board's next action: a corner moves the cursor and answers
  // it. Refused (nil, nothing consumed) from inside a run.
  std::optional<Point> ChooseLocation(qvabi::PcbHandle board, std::string_view prompt);

  // Records for tests and the host.
  std::vector<std::string>& EventLog() { return eventLog_; }
  std::vector<std::string>& Notifications() { return notifications_; }
  const std::string& PendingSetup() const { return pendingSetup_; }
  void SetSetupHook(SetupHook hook, void* context) {
    setupHook_ = hook;
    setupContext_ = context;
  }

  // Closes every board and destroys every object and handler; handles keep counting.
  void Reset();

 private:
  Editor() = default;
  qvabi::PcbHandle NextHandle();
  EditorObject* FindAndKeep(qvabi::PcbHandle object);
  // Before an object is erased, and before many are.
  void ForgetFound(qvabi::PcbHandle object) { found_[static_cast<uint32_t>(object) % kFoundSlots] = {}; }
  void ForgetAllFound() { found_.fill({}); }
  qvabi::PcbHandle AddBoard(BoardFileContents contents, const std::string& sourcePath);
  void CallA(const qvabi::EventTableA& table, qvabi::EventA entry);
  bool CallB(const qvabi::EventTableB& table, qvabi::EventB entry);

  int64_t lastHandle_ = 0;
  std::map<qvabi::PcbHandle, Board> boards_;
  // Looked up on every editor call an object takes; handles are never reused.
  std::unordered_map<qvabi::PcbHandle, EditorObject> objects_;
  // The objects found last, in the slot of their handle: a cursor move takes
  // the same few hundred objects in turn. An element of the map keeps its
  // address until it is erased.
  static constexpr std::size_t kFoundSlots = 1024;
  struct Found {
    qvabi::PcbHandle handle = 0;  // no object has handle 0
    EditorObject* object = nullptr;
  };
  std::array<Found, kFoundSlots> found_{};
  std::map<qvabi::PcbHandle, EventHandler> handlers_;
  qvabi::PcbHandle current_ = 0;
  std::vector<std::string> eventLog_;
  std::vector<std::string> notifications_;
  std::string pendingSetup_;
  bool running_ = false;  // inside RunEventHandler's loop
  SetupHook setupHook_ = nullptr;
  void* setupContext_ = nullptr;
};

}  // namespace brelix
