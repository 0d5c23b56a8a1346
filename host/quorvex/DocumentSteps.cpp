#include <algorithm>
#include <cctype>
#include <nlohmann/json.hpp>
#include <ostream>

#include "abi/ModuleFiles.h"
#include "boardtext/InputScript.h"
#include "host/HostSettings.h"
#include "host/quorvex/KicadPlacement.h"
#include "host/quorvex/Reporting.h"
#include "host/quorvex/Steps.h"
#include "host/quorvex/UserActions.h"
#include "platform/Locale.h"
#include "platform/Machine.h"
#include "platform/Modules.h"
#include "toolkit/Automation.h"

namespace quorvex::cli {
namespace {

constexpr const char* kPcbKind = "PCB";

bool IsPcbKind(const std::string& kind) { return platform::CompareTextIgnoreCase(kind, kPcbKind) == 0; }

// The document's file name: the board's own (a Windows path), else the file's.
std::string DocumentFileName(const Session& session) {
  const char* name = session.editor.BoardFileName(session.board);
  return name && *name ? std::string(name) : session.options.board;
}

// The boxes of the board's objects.
std::vector<BoardBox> ContentBoxes(const Session& session) {
  std::vector<BoardBox> boxes;
  const int32_t count = session.editor.BoardObjectCount(session.board);
  boxes.reserve(static_cast<std::size_t>(std::max(count, 0)));
  for (int32_t i = 0; i < count; ++i) {
    int32_t rect[4] = {};
    if (session.editor.ObjectBounds(session.editor.BoardObjectAt(session.board, i), rect))
      boxes.push_back({rect[0], rect[1], rect[2], rect[3]});
  }
  return boxes;
}

// The legend's rectangle on a KiCad board: an earlier legend's; else one
// FitKicadLegend sizes and places once the plug-in is loaded, a place for
// the default size until then.
void KicadRectangle(Session& session, BoardPoint& corner, BoardPoint& drag) {
  const char* answer = session.editor.KicadPlacement(session.board);
  if (!answer)
    throw InputError(session.options.board + ": the editor cannot tell where the board's items are");
  KicadSheet sheet = ParseKicadSheet(answer);
  const LegendPlace place = PlaceKicadLegend(sheet, kDefaultLegendWidth, kDefaultLegendHeight);
  corner = place.Corner();
  drag = place.Drag();
  if (!sheet.legend) session.kicadSheet = std::move(sheet);
}

// The script's text for the editor, which takes points in board units.
std::string ScriptForEditor(const Session& session, const std::string& text) {
  if (!session.editor.IsKicadBoard(session.board)) return text;
  try {
    return boardtext::WithBoardPoints(text, boardtext::Coordinates::Kicad);
  } catch (const boardtext::ScriptError& error) {
    throw InputError(session.options.script + ": " + error.what());
  }
}

std::string InputScript(Session& session) {
  const Options& options = session.options;
  if (!options.script.empty()) return ScriptForEditor(session, ReadScriptFile(options.script));
  BoardPoint corner;
  BoardPoint drag;
  if (options.corner && options.drag) {
    corner = *options.corner;
    drag = *options.drag;
  } else if (session.editor.IsKicadBoard(session.board)) {
    KicadRectangle(session, corner, drag);
  } else {
    DefaultRectangle(ContentBoxes(session), corner, drag);
  }
  return BuildDragScript(corner, drag, options.steps, options.cancel, options.setup);
}

void ApplyKicadOptions(Session& session) {
  const Options& options = session.options;
  const char* error = nullptr;
  // The default layer too must be one of the board's before a KiCad file is written.
  const bool writesKicad = brelix::IsKicadPath(options.out);
  const std::string layer =
      options.kicadLayer.empty() ? std::string(brelix::kKicadDefaultLegendLayer) : options.kicadLayer;
  if ((writesKicad || !options.kicadLayer.empty()) &&
      !session.editor.SetKicadLayer(session.board, layer.c_str(), &error))
    throw InputError(std::string(options.kicadLayer.empty() ? "--out" : "--kicad-layer") + ": " +
                     (error ? error : "refused"));
  session.editor.SetBoardUnit(session.board, options.unit == "imperial" ? 1 : 0);
  // Such as a missing stack-up: worth a line, not a refusal.
  if (const char* notes = session.editor.BoardNotes(session.board)) {
    std::string_view rest = notes;
    while (!rest.empty()) {
      const auto end = rest.find('\n');
      session.err << "quorvex: " << rest.substr(0, end) << '\n';
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
  }
}

void OpenBoard(Session& session) {
  const char* error = nullptr;
  session.board = session.editor.OpenBoardFile(session.options.board.c_str(), &error);
  if (session.board == 0) throw InputError(error ? error : session.options.board + ": cannot open the board");
  if (session.editor.IsKicadBoard(session.board))
    ApplyKicadOptions(session);
  else if (brelix::IsKicadPath(session.options.out))
    throw InputError("--out: " + session.options.out +
                     ": a KiCad board can only be written from a board read from a KiCad file");
  const std::string script = InputScript(session);
  if (!session.editor.SetInputScript(session.board, script.c_str(), &error)) {
    const std::string source =
        session.options.script.empty() ? std::string("input script") : session.options.script;
    throw InputError(source + ": " + (error ? error : "refused"));
  }
  // The editor runs the actions; the keys its setup lines carry are pressed
  // here, in the dialog each one opens.
  for (const boardtext::ScriptAction& action : boardtext::ParseScript(script))
    if (action.kind == boardtext::ScriptAction::Kind::Setup) session.setupKeys.push_back(action.keys);
  session.host.OpenPcbView(DocumentFileName(session));
}

void OpenActiveDocument(Session& session) {
  const std::string& kind = session.options.active;
  if (kind.empty()) return;
  if (IsPcbKind(kind)) {
    // With a board its view is already the active one; without, a PCB
    // document shows while the editor has no current board.
    if (session.board == 0) session.host.OpenPcbView("PCB1.qvpcb");
    return;
  }
  // The host's own extensions: a schematic is a .qvsch, any other kind .qv + its kind.
  std::string extension = ".qv" + kind;
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  session.host.OpenDocument(kind, "Document1" + extension);
}

// What the run reads besides its arguments: the machine's files and the
// modules it loads, which an output must never replace (the next run would
// find board JSON where its registry or its plug-in was).
void AddMachineInputs(Session& session) {
  OutputFiles& outputs = session.outputs;
  outputs.AddInput(platform::ModuleFileNameOf(reinterpret_cast<const void*>(&CheckFiles)),
                   "the program itself");
  // The machine root holds every file the platform reads; where the platform
  // is the system itself, the host's own folders stand for it.
  outputs.AddInputFolder(platform::MachineRoot(), "the machine root");
  outputs.AddInputFolder(platform::MapPath(HostPreferenceFolder()), "the host's settings folder");
  outputs.AddInputFolder(platform::MapPath(platform::GetHostProgramFolder()), "the host's program folder");
  outputs.AddInput(platform::MapPath(platform::GetWindowsDirectory() + "\\vemtro.ini"));
  const std::string module = "a module the run loads";
  outputs.AddInput(session.programFolder + qvabi::kEditorModuleFile, module);
  outputs.AddInput(session.programFolder + qvabi::kPluginModuleFile, module);
  // The libraries the program links: each named by one function it holds.
  outputs.AddInput(platform::ModuleFileNameOf(reinterpret_cast<const void*>(&platform::MachineRoot)), module);
  outputs.AddInput(platform::ModuleFileNameOf(reinterpret_cast<const void*>(&toolkit::automation::Reset)),
                   module);
  outputs.AddInput(platform::ModuleFileNameOf(reinterpret_cast<const void*>(&HostPreferenceFolder)), module);
}

}  // namespace

StepResult CheckFiles(Session& session) {
  try {
    OutputFiles& outputs = session.outputs;
    outputs.AddInput(session.options.board);
    outputs.AddInput(session.options.script);
    AddMachineInputs(session);
    outputs.AddOutput("--out", session.options.out);
    if (session.options.inPlace) {
      session.inPlaceSource.Take(session.options.board);
      outputs.AddOutputOverInput("--in-place", session.options.board);
      outputs.AddOutput("--in-place", InPlaceBackup(session.options.board));
    }
    outputs.AddOutput("--svg", session.options.svg);
    outputs.AddOutput("--dialog-svg", session.options.dialogSvg);
  } catch (const InputError& error) {
    ReportError(session, error.what());
    return StepResult::Stop(kExitBadInput);
  }
  return StepResult::Next();
}

StepResult OpenDocuments(Session& session) {
  try {
    if (!session.options.board.empty()) OpenBoard(session);
    OpenActiveDocument(session);
  } catch (const InputError& error) {
    ReportError(session, error.what());
    return StepResult::Stop(kExitBadInput);
  }
  return StepResult::Next();
}

}  // namespace quorvex::cli
