// Simulation API of the PCB editor stand-in (Brelix.so), for the host and tests.
//
// These functions stand in for what a person would do in the real editor:
// open and save board files, pick the current board, feed input scripts,
// and look inside the editor's model. They are exported by name with C
// linkage; no exception ever leaves them.
//
// Text answers (const char*) stay valid until the next BrelixSim_ call on the
// same thread; copy them if you need them longer. Handles are the editor's
// 32-bit board and object handles; 0 is "none". Handles are never reused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "abi/Types.h"
#include "platform/Modules.h"

extern "C" {

// Opens the board file at `path`. Answers the new board's handle, which also
// becomes the current board; or 0 and, in *error (may be nil), a one-line
// message naming the file, the field (a JSON path such as stack[2].id) and the
// rule broken. Nothing is opened on refusal.
using BrelixSim_OpenBoardFile_t = qvabi::PcbHandle(const char* path, const char** error);
// As OpenBoardFile, with the file's text given; `name` is the file name used
// in messages and as the board's source path (may be nil: "<memory>").
using BrelixSim_OpenBoardText_t = qvabi::PcbHandle(const char* jsonText, const char* name,
                                                   const char** error);
// Writes the board to `path` in the canonical layout; a path ending in
// .kicad_pcb writes the KiCad file the board was read from with the objects
// added since as one legend group (refused for boards not read from one). Answers 1 on success,
// 0 with a one-line message in *error otherwise (unknown board, I/O error).
using BrelixSim_SaveBoardFile_t = int32_t(qvabi::PcbHandle board, const char* path, const char** error);
// The board's file text as SaveBoardFile would write it; nil for an unknown board.
using BrelixSim_BoardText_t = const char*(qvabi::PcbHandle board);
// The text SaveBoardFile would write to `path` (a KiCad file for a .kicad_pcb
// path, else the board file); nil with a one-line message in *error when it
// cannot be made.
using BrelixSim_FileText_t = const char*(qvabi::PcbHandle board, const char* path, const char** error);
// The path the board was opened from ("<memory>" or the name given); nil when unknown.
using BrelixSim_BoardSourcePath_t = const char*(qvabi::PcbHandle board);
// The board's own file name (its fileName field, a Windows path); nil when unknown.
using BrelixSim_BoardFileName_t = const char*(qvabi::PcbHandle board);
// Closes the board and destroys the objects in its contents. Answers 1, or 0
// for an unknown board. Closing the current board leaves no board current.
using BrelixSim_CloseBoard_t = int32_t(qvabi::PcbHandle board);
// Makes an open board current, or none with 0. Answers 1, or 0 (and changes
// nothing) for an unknown board.
using BrelixSim_SetCurrentBoard_t = int32_t(qvabi::PcbHandle board);
// Replaces the board's pending input script (one action per line, see the
// design notes). Answers 1; or 0 with "line N: ..." in *error, leaving the
// previous script in place.
using BrelixSim_SetInputScript_t = int32_t(qvabi::PcbHandle board, const char* script, const char** error);
// Number of script actions the board has not consumed yet; -1 for an unknown board.
using BrelixSim_PendingActionCount_t = int32_t(qvabi::PcbHandle board);
// The board's cursor. Answers 1, or 0 (x, y untouched) for an unknown board.
using BrelixSim_GetCursor_t = int32_t(qvabi::PcbHandle board, int32_t* x, int32_t* y);
// Number of editor objects alive (free or in a board's contents).
using BrelixSim_LiveObjectCount_t = int32_t();
// The object as one JSON object with every field of its record (editor-defined
// fields included), its kind, owner board and whether it is in the owner's
// contents; nil for an unknown handle.
using BrelixSim_DescribeObject_t = const char*(qvabi::PcbHandle object);
// The object's bounding rectangle (the boundingRect DescribeObject gives) in
// rect[0..3] = x1, y1, x2, y2, without describing the rest: 1, or 0 for an
// unknown handle.
using BrelixSim_ObjectBounds_t = int32_t(qvabi::PcbHandle object, int32_t* rect);
// The board's contents, in the order they were added; -1 / 0 when unknown or
// out of range.
using BrelixSim_BoardObjectCount_t = int32_t(qvabi::PcbHandle board);
using BrelixSim_BoardObjectAt_t = qvabi::PcbHandle(qvabi::PcbHandle board, int32_t index);
// How often PcbApi_ScreenDisplay showed the object in `mode`.
using BrelixSim_DisplayCount_t = int32_t(qvabi::PcbHandle object, uint8_t mode);
// The server-interface notifications received so far, one per line
// ("NotifyHandlerCreated" or "NotifyHandlerDestroyed"), in order.
using BrelixSim_Notifications_t = const char*();
// Every event-table call the interactive loop made, one per line in order:
// the entry's name in abi/PcbApiFunctions.h (for example "ReadCursor" or "IsDone");
// each PcbApi_ChooseLocation adds "prompt <text>" before its answer.
using BrelixSim_EventLog_t = const char*();
using BrelixSim_ClearEventLog_t = void();
// The argument of the `setup` action being run ("cancel", "all", "none" or
// the option list as written); empty outside the Setup entry of table A.
using BrelixSim_PendingSetup_t = const char*();
// Called right before the Setup entry (the setup dialog) with the action's argument,
// so that the host can queue the user's answer; nil removes the hook.
using BrelixSim_SetupHook = void (*)(void* context, const char* argument);
using BrelixSim_SetSetupHook_t = void(BrelixSim_SetupHook hook, void* context);
// Sets the board's display unit (1 imperial, 0 metric). Answers 1, or 0 for
// an unknown board or unit.
using BrelixSim_SetBoardUnit_t = int32_t(qvabi::PcbHandle board, uint8_t unit);
// KiCad boards: the layer the legend is written on, by canonical or user
// name; only the board's user drawing and fabrication layers are allowed
// (Dwgs.User, Cmts.User, Eco1.User, Eco2.User, User.N, F.Fab, B.Fab). It also becomes the
// board's current layer. Answers 1, or 0 with a one-line message in *error.
using BrelixSim_SetKicadLayer_t = int32_t(qvabi::PcbHandle board, const char* layer, const char** error);
// What opening the board has to tell the user, one line each (for example
// that a KiCad board without a stack-up got KiCad's default stack); nil
// for an unknown board.
using BrelixSim_BoardNotes_t = const char*(qvabi::PcbHandle board);
// 1 when the board was read from a KiCad file, 0 otherwise.
using BrelixSim_IsKicadBoard_t = int32_t(qvabi::PcbHandle board);
// KiCad boards: what placing the legend needs, in board units (y up), as one
// JSON object: "sheet" (the drawing sheet), "items" (a box holding each item
// on the board, the earlier legend's own drawings aside), "outline" (around
// the board's outline on Edge.Cuts, or null) and "legend" (the
// earlier legend's frame, or null), each box [x1, y1, x2, y2]. Nil for an
// unknown board or one not read from a KiCad file.
using BrelixSim_KicadPlacement_t = const char*(qvabi::PcbHandle board);
// Closes every board, destroys every object and event handler, clears the
// logs, notifications and the setup hook. Handles are still never reused.
using BrelixSim_Reset_t = void();

}  // extern "C"

namespace brelix {

// KiCad boards as the editor takes them: a path with this ending, in any
// letter case as file kinds go by, is read and written as a KiCad board
// (BrelixSim_OpenBoardFile, BrelixSim_SaveBoardFile).
inline constexpr std::string_view kKicadBoardSuffix = ".kicad_pcb";
inline bool IsKicadPath(std::string_view path) {
  if (path.size() < kKicadBoardSuffix.size()) return false;
  const std::string_view ending = path.substr(path.size() - kKicadBoardSuffix.size());
  for (std::size_t i = 0; i < ending.size(); ++i) {
    const char c =
        ending[i] >= 'A' && ending[i] <= 'Z' ? static_cast<char>(ending[i] - 'A' + 'a') : ending[i];
    if (c != kKicadBoardSuffix[i]) return false;
  }
  return true;
}
// The KiCad layer the legend goes on unless BrelixSim_SetKicadLayer picks another.
inline constexpr std::string_view kKicadDefaultLegendLayer = "Cmts.User";
// The editor layer a KiCad board's outline (Edge.Cuts) is drawn on: Mechanical1.
inline constexpr uint8_t kKicadOutlineLayer = 57;

// Resolves the simulation API from a loaded Brelix.so.
struct SimApi {
  BrelixSim_OpenBoardFile_t* OpenBoardFile = nullptr;
  BrelixSim_OpenBoardText_t* OpenBoardText = nullptr;
  BrelixSim_SaveBoardFile_t* SaveBoardFile = nullptr;
  BrelixSim_BoardText_t* BoardText = nullptr;
  BrelixSim_FileText_t* FileText = nullptr;
  BrelixSim_BoardSourcePath_t* BoardSourcePath = nullptr;
  BrelixSim_BoardFileName_t* BoardFileName = nullptr;
  BrelixSim_CloseBoard_t* CloseBoard = nullptr;
  BrelixSim_SetCurrentBoard_t* SetCurrentBoard = nullptr;
  BrelixSim_SetInputScript_t* SetInputScript = nullptr;
  BrelixSim_PendingActionCount_t* PendingActionCount = nullptr;
  BrelixSim_GetCursor_t* GetCursor = nullptr;
  BrelixSim_LiveObjectCount_t* LiveObjectCount = nullptr;
  BrelixSim_DescribeObject_t* DescribeObject = nullptr;
  BrelixSim_ObjectBounds_t* ObjectBounds = nullptr;
  BrelixSim_BoardObjectCount_t* BoardObjectCount = nullptr;
  BrelixSim_BoardObjectAt_t* BoardObjectAt = nullptr;
  BrelixSim_DisplayCount_t* DisplayCount = nullptr;
  BrelixSim_Notifications_t* Notifications = nullptr;
  BrelixSim_EventLog_t* EventLog = nullptr;
  BrelixSim_ClearEventLog_t* ClearEventLog = nullptr;
  BrelixSim_PendingSetup_t* PendingSetup = nullptr;
  BrelixSim_SetSetupHook_t* SetSetupHook = nullptr;
  BrelixSim_Reset_t* Reset = nullptr;
  BrelixSim_SetBoardUnit_t* SetBoardUnit = nullptr;
  BrelixSim_SetKicadLayer_t* SetKicadLayer = nullptr;
  BrelixSim_BoardNotes_t* BoardNotes = nullptr;
  BrelixSim_IsKicadBoard_t* IsKicadBoard = nullptr;
  BrelixSim_KicadPlacement_t* KicadPlacement = nullptr;

  // Resolves every function; true when all were found.
  bool Load(platform::ModuleHandle module) {
    bool all = true;
    auto resolve = [&](auto*& slot, const char* name) {
      slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(platform::FindFunction(module, name));
      if (!slot) all = false;
    };
    resolve(OpenBoardFile, "BrelixSim_OpenBoardFile");
    resolve(OpenBoardText, "BrelixSim_OpenBoardText");
    resolve(SaveBoardFile, "BrelixSim_SaveBoardFile");
    resolve(BoardText, "BrelixSim_BoardText");
    resolve(FileText, "BrelixSim_FileText");
    resolve(BoardSourcePath, "BrelixSim_BoardSourcePath");
    resolve(BoardFileName, "BrelixSim_BoardFileName");
    resolve(CloseBoard, "BrelixSim_CloseBoard");
    resolve(SetCurrentBoard, "BrelixSim_SetCurrentBoard");
    resolve(SetInputScript, "BrelixSim_SetInputScript");
    resolve(PendingActionCount, "BrelixSim_PendingActionCount");
    resolve(GetCursor, "BrelixSim_GetCursor");
    resolve(LiveObjectCount, "BrelixSim_LiveObjectCount");
    resolve(DescribeObject, "BrelixSim_DescribeObject");
    resolve(ObjectBounds, "BrelixSim_ObjectBounds");
    resolve(BoardObjectCount, "BrelixSim_BoardObjectCount");
    resolve(BoardObjectAt, "BrelixSim_BoardObjectAt");
    resolve(DisplayCount, "BrelixSim_DisplayCount");
    resolve(Notifications, "BrelixSim_Notifications");
    resolve(EventLog, "BrelixSim_EventLog");
    resolve(ClearEventLog, "BrelixSim_ClearEventLog");
    resolve(PendingSetup, "BrelixSim_PendingSetup");
    resolve(SetSetupHook, "BrelixSim_SetSetupHook");
    resolve(Reset, "BrelixSim_Reset");
    resolve(SetBoardUnit, "BrelixSim_SetBoardUnit");
    resolve(SetKicadLayer, "BrelixSim_SetKicadLayer");
    resolve(BoardNotes, "BrelixSim_BoardNotes");
    resolve(IsKicadBoard, "BrelixSim_IsKicadBoard");
    resolve(KicadPlacement, "BrelixSim_KicadPlacement");
    return all;
  }
};

}  // namespace brelix
