// The editor's whole state: open boards, objects, event handlers, the current
// board and what tests and the host can read back (event log,
// notifications). One per process, used on the host's UI thread only.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "abi/PcbApi.h"
#include "editor/Board.h"
#include "editor/BoardFile.h"
#include "editor/EditorObject.h"

namespace brelix {

struct EventHandler {
  abi::PcbHandle handle = 0;
  abi::PcbHandle board = 0;
  abi::EventTableA tableA{};
  abi::EventTableB tableB{};
  abi::CodeRoutine code = nullptr;
  void* codeData = nullptr;
};

using SetupHook = void (*)(void* context, const char* argument);

class Editor {
 public:
  // Inline: every exported call starts here.
  static Editor& Instance() {
    static Editor editor;
    return editor;
  }

  // Boards. Opening makes the board current; BoardFileError on refusal.
  abi::PcbHandle OpenBoardText(std::string_view text, const std::string& name);
  abi::PcbHandle OpenBoardFile(const std::string& path);
  bool CloseBoard(abi::PcbHandle board);
  Board* FindBoard(abi::PcbHandle board);
  abi::PcbHandle CurrentBoard() const { return current_; }
  bool SetCurrentBoard(abi::PcbHandle board);
  std::string BoardText(const Board& board) const;
  // The text of the file `path` names: a KiCad board (only for a board read
  // from one) by its extension, else a board file. BoardFileError or
  // kicad::KicadFileError when it cannot be written.
  std::string FileText(const Board& board, const std::string& path) const;

  // Objects. Create answers 0 for a kind the editor does not make.
  abi::PcbHandle CreateObject(uint8_t kind);
  // Calls come in runs on one object (the plug-in reads or writes an object's
  // records one after the other), so the last object found is kept; an
  // element of the map keeps its address until it is erased.
  EditorObject* FindObject(abi::PcbHandle object) {
    return object == lastFound_.handle ? lastFound_.object : FindAndKeep(object);
  }
  void SetOwner(abi::PcbHandle object, abi::PcbHandle board);
  void AddToContents(abi::PcbHandle board, abi::PcbHandle object);
  void DestroyObject(abi::PcbHandle object);
  std::size_t LiveObjectCount() const { return objects_.size(); }

  // Event handlers; the tables are copied.
  abi::PcbHandle CreateEventHandler(abi::PcbHandle board, const abi::EventTableA* tableA,
                                    const abi::EventTableB* tableB, abi::CodeRoutine code, void* data);
  // Runs the interactive loop; true when it ended with a click. Refused
  // (false, nothing called) from inside a run.
  bool RunEventHandler(abi::PcbHandle handler);
  void DestroyEventHandler(abi::PcbHandle handler);
  // Consumes the board's next action: a corner moves the cursor and answers
  // it. Refused (nil, nothing consumed) from inside a run.
  std::optional<Point> ChooseLocation(abi::PcbHandle board, std::string_view prompt);

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
  abi::PcbHandle NextHandle();
  EditorObject* FindAndKeep(abi::PcbHandle object);
  // Before any object is erased.
  void ForgetLastFound() { lastFound_ = {}; }
  abi::PcbHandle AddBoard(BoardFileContents contents, const std::string& sourcePath);
  void CallA(const abi::EventTableA& table, abi::EventA entry);
  bool CallB(const abi::EventTableB& table, abi::EventB entry);

  int64_t lastHandle_ = 0;
  std::map<abi::PcbHandle, Board> boards_;
  // Looked up on every editor call an object takes; handles are never reused.
  std::unordered_map<abi::PcbHandle, EditorObject> objects_;
  struct {
    abi::PcbHandle handle = 0;  // no object has handle 0
    EditorObject* object = nullptr;
  } lastFound_;
  std::map<abi::PcbHandle, EventHandler> handlers_;
  abi::PcbHandle current_ = 0;
  std::vector<std::string> eventLog_;
  std::vector<std::string> notifications_;
  std::string pendingSetup_;
  bool running_ = false;  // inside RunEventHandler's loop
  SetupHook setupHook_ = nullptr;
  void* setupContext_ = nullptr;
};

}  // namespace brelix
