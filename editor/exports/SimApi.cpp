// The simulation API: what the host and tests do in place of a person.
#include <algorithm>
#include <nlohmann/json.hpp>

#include "editor/Editor.h"
#include "editor/ObjectDescription.h"
#include "editor/exports/Exports.h"
#include "editor/kicad/KicadBoard.h"
#include "platform/AtomicFile.h"

using brelix::Editor;
using brelix::exports::Guarded;

namespace {

// Text handed out stays valid until the thread's next call.
std::string& Answer() {
  thread_local std::string text;
  return text;
}

const char* Hand(std::string text) {
  Answer() = std::move(text);
  return Answer().c_str();
}

void Report(const char** error, std::string message) {
  const char* text = Hand(std::move(message));
  if (error) *error = text;
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

// Runs a call whose failure the caller reads as text: any error becomes the
// message handed back through `error`, and the call answers `failed`.
template <typename Result, typename Body>
Result Reporting(const char** error, Result failed, const char* fallback, Body body) noexcept {
  if (error) *error = nullptr;
  return platform::GuardedReporting(
      [&](const char* what) {
        Report(error, what ? what : fallback);
        return failed;
      },
      [&]() -> Result { return body(); });
}

template <typename Error = brelix::BoardFileError>
brelix::Board& OpenBoard(qvabi::PcbHandle board) {
  brelix::Board* found = Editor::Instance().FindBoard(board);
  if (!found) throw Error("board " + std::to_string(board) + " is not open");
  return *found;
}

nlohmann::ordered_json Describe(const brelix::EditorObject& o) {
  nlohmann::ordered_json out;
  Editor& editor = Editor::Instance();
  out["handle"] = o.handle;
  out["kind"] = brelix::KindName(o.kind);
  out["kindCode"] = static_cast<int>(o.kind);
  out["owner"] = o.owner;
  out["inContents"] = o.contentsOf != 0 && o.contentsOf == o.owner && editor.FindBoard(o.owner) != nullptr;
  out["flags"] = o.flags;
  out["headerWord"] = o.headerWord;
  out["layer"] = o.layer;
  out["headerValue1"] = o.headerValue1;
  out["headerValue2"] = o.headerValue2;
  out["headerByte"] = o.headerByte;
  out["bitField2"] = o.bitField2;
  out["bitField3"] = o.bitField3;
  out["x"] = o.x;
  out["y"] = o.y;
  brelix::DescribeKindFields(o, out);
  // Objects without a shape on the board (nets, classes, ...) have no extent.
  if (brelix::HasShape(o.kind)) {
    const brelix::Rect rect = brelix::BoundingRect(o);
    out["boundingRect"] = {rect.x1, rect.y1, rect.x2, rect.y2};
  }
  nlohmann::ordered_json displays = nlohmann::ordered_json::object();
  for (const auto& [mode, count] : *o.displays) displays[std::to_string(mode)] = count;
  out["displays"] = displays;
  return out;
}

}  // namespace

extern "C" {

ABI_EXPORT qvabi::PcbHandle BrelixSim_OpenBoardFile(const char* path, const char** error) {
  return Reporting<qvabi::PcbHandle>(error, 0, "the board could not be opened", [&] {
    if (!path) throw brelix::BoardFileError("no board file given");
    return Editor::Instance().OpenBoardFile(path);
  });
}

ABI_EXPORT qvabi::PcbHandle BrelixSim_OpenBoardText(const char* jsonText, const char* name,
                                                    const char** error) {
  return Reporting<qvabi::PcbHandle>(error, 0, "the board could not be opened", [&] {
    const std::string fileName = name ? name : "<memory>";
    if (!jsonText) throw brelix::BoardFileError(fileName + ": no text given");
    return Editor::Instance().OpenBoardText(jsonText, fileName);
  });
}

ABI_EXPORT int32_t BrelixSim_SaveBoardFile(qvabi::PcbHandle board, const char* path, const char** error) {
  return Reporting<int32_t>(error, 0, "the board could not be saved", [&]() -> int32_t {
    const brelix::Board& found = OpenBoard(board);
    if (!path) throw brelix::BoardFileError("no file to save to");
    std::string why;
    if (platform::OutputTarget(path, &why).empty()) throw brelix::BoardFileError(why);
    if (!platform::WriteFileAtomically(path, Editor::Instance().FileText(found, path), nullptr))
      throw brelix::BoardFileError(std::string(path) + ": cannot be written");
    return 1;
  });
}

ABI_EXPORT const char* BrelixSim_BoardText(qvabi::PcbHandle board) {
  return Guarded<const char*>(nullptr, [&]() -> const char* {
    const brelix::Board* found = Editor::Instance().FindBoard(board);
    return found ? Hand(Editor::Instance().BoardText(*found)) : nullptr;
  });
}

ABI_EXPORT const char* BrelixSim_FileText(qvabi::PcbHandle board, const char* path, const char** error) {
  return Reporting<const char*>(error, nullptr, "the board's file text could not be made",
                                [&]() -> const char* {
                                  const brelix::Board& found = OpenBoard(board);
                                  if (!path) throw brelix::BoardFileError("no file to save to");
                                  return Hand(Editor::Instance().FileText(found, path));
                                });
}

ABI_EXPORT const char* BrelixSim_BoardSourcePath(qvabi::PcbHandle board) {
  return Guarded<const char*>(nullptr, [&]() -> const char* {
    const brelix::Board* found = Editor::Instance().FindBoard(board);
    return found ? Hand(found->sourcePath) : nullptr;
  });
}

ABI_EXPORT const char* BrelixSim_BoardFileName(qvabi::PcbHandle board) {
  return Guarded<const char*>(nullptr, [&]() -> const char* {
    const brelix::Board* found = Editor::Instance().FindBoard(board);
    return found ? Hand(found->fileName) : nullptr;
  });
}

ABI_EXPORT int32_t BrelixSim_CloseBoard(qvabi::PcbHandle board) {
  return Guarded<int32_t>(0, [&] { return Editor::Instance().CloseBoard(board) ? 1 : 0; });
}

ABI_EXPORT int32_t BrelixSim_SetCurrentBoard(qvabi::PcbHandle board) {
  return Editor::Instance().SetCurrentBoard(board) ? 1 : 0;
}

ABI_EXPORT int32_t BrelixSim_SetInputScript(qvabi::PcbHandle board, const char* script, const char** error) {
  return Reporting<int32_t>(error, 0, "the script could not be read", [&]() -> int32_t {
    brelix::Board& found = OpenBoard<boardtext::ScriptError>(board);
    auto actions = boardtext::ParseScript(script ? script : "");
    found.script.assign(actions.begin(), actions.end());
    return 1;
  });
}

ABI_EXPORT int32_t BrelixSim_PendingActionCount(qvabi::PcbHandle board) {
  const brelix::Board* found = Editor::Instance().FindBoard(board);
  return found ? static_cast<int32_t>(found->script.size()) : -1;
}

ABI_EXPORT int32_t BrelixSim_GetCursor(qvabi::PcbHandle board, int32_t* x, int32_t* y) {
  const brelix::Board* found = Editor::Instance().FindBoard(board);
  if (!found) return 0;
  if (x) *x = found->cursor.x;
  if (y) *y = found->cursor.y;
  return 1;
}

ABI_EXPORT int32_t BrelixSim_LiveObjectCount() {
  return static_cast<int32_t>(Editor::Instance().LiveObjectCount());
}

ABI_EXPORT const char* BrelixSim_DescribeObject(qvabi::PcbHandle object) {
  return Guarded<const char*>(nullptr, [&]() -> const char* {
    const brelix::EditorObject* found = Editor::Instance().FindObject(object);
    return found ? Hand(Describe(*found).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace))
                 : nullptr;
  });
}

ABI_EXPORT int32_t BrelixSim_ObjectBounds(qvabi::PcbHandle object, int32_t* rect) {
  return Guarded<int32_t>(0, [&]() -> int32_t {
    const brelix::EditorObject* found = Editor::Instance().FindObject(object);
    if (!found || !rect) return 0;
    const brelix::Rect bounds = brelix::BoundingRect(*found);
    rect[0] = bounds.x1;
    rect[1] = bounds.y1;
    rect[2] = bounds.x2;
    rect[3] = bounds.y2;
    return 1;
  });
}

ABI_EXPORT int32_t BrelixSim_BoardObjectCount(qvabi::PcbHandle board) {
  const brelix::Board* found = Editor::Instance().FindBoard(board);
  return found ? static_cast<int32_t>(found->contents.size()) : -1;
}

ABI_EXPORT qvabi::PcbHandle BrelixSim_BoardObjectAt(qvabi::PcbHandle board, int32_t index) {
  const brelix::Board* found = Editor::Instance().FindBoard(board);
  if (!found || index < 0 || static_cast<std::size_t>(index) >= found->contents.size()) return 0;
  return found->contents[static_cast<std::size_t>(index)];
}

ABI_EXPORT int32_t BrelixSim_DisplayCount(qvabi::PcbHandle object, uint8_t mode) {
  const brelix::EditorObject* found = Editor::Instance().FindObject(object);
  if (!found) return 0;
  const auto it = found->displays->find(mode);
  return it == found->displays->end() ? 0 : it->second;
}

ABI_EXPORT const char* BrelixSim_Notifications() {
  return Guarded<const char*>("", [] { return Hand(Lines(Editor::Instance().Notifications())); });
}

ABI_EXPORT const char* BrelixSim_EventLog() {
  return Guarded<const char*>("", [] { return Hand(Lines(Editor::Instance().EventLog())); });
}

ABI_EXPORT void BrelixSim_ClearEventLog() { Editor::Instance().EventLog().clear(); }

ABI_EXPORT const char* BrelixSim_PendingSetup() {
  return Guarded<const char*>("", [] { return Hand(Editor::Instance().PendingSetup()); });
}

ABI_EXPORT void BrelixSim_SetSetupHook(BrelixSim_SetupHook hook, void* context) {
  Editor::Instance().SetSetupHook(hook, context);
}

ABI_EXPORT int32_t BrelixSim_SetBoardUnit(qvabi::PcbHandle board, uint8_t unit) {
  brelix::Board* found = Editor::Instance().FindBoard(board);
  if (!found || (unit != brelix::kImperial && unit != brelix::kMetric)) return 0;
  found->unit = unit;
  return 1;
}

ABI_EXPORT int32_t BrelixSim_SetKicadLayer(qvabi::PcbHandle board, const char* layer, const char** error) {
  return Reporting<int32_t>(error, 0, "the layer could not be chosen", [&]() -> int32_t {
    brelix::Board& found = OpenBoard(board);
    if (!found.kicad) throw brelix::BoardFileError(found.sourcePath + ": not a KiCad board");
    const std::string name = brelix::kicad::LegendLayerOf(*found.kicad, layer ? layer : "");
    found.kicad->legendLayer = name;
    found.currentLayer = found.kicad->editorLayers.at(name);
    return 1;
  });
}

ABI_EXPORT const char* BrelixSim_BoardNotes(qvabi::PcbHandle board) {
  return Guarded<const char*>(nullptr, [&]() -> const char* {
    const brelix::Board* found = Editor::Instance().FindBoard(board);
    return found ? Hand(Lines(found->notes)) : nullptr;
  });
}

ABI_EXPORT int32_t BrelixSim_IsKicadBoard(qvabi::PcbHandle board) {
  const brelix::Board* found = Editor::Instance().FindBoard(board);
  return found && found->kicad ? 1 : 0;
}

ABI_EXPORT const char* BrelixSim_KicadPlacement(qvabi::PcbHandle board) {
  return Guarded<const char*>(nullptr, [&]() -> const char* {
    const brelix::Board* found = Editor::Instance().FindBoard(board);
    if (!found || !found->kicad) return nullptr;
    const brelix::kicad::KicadSource& source = *found->kicad;
    auto box = [](const brelix::kicad::KicadBox& b) {
      return nlohmann::json::array({b.x1, b.y1, b.x2, b.y2});
    };
    nlohmann::json items = nlohmann::json::array();
    for (const brelix::kicad::KicadBox& item : source.itemBoxes) items.push_back(box(item));
    const nlohmann::json placement = {{"sheet", box(source.sheet)},
                                      {"items", std::move(items)},
                                      {"outline", source.outline ? box(*source.outline) : nlohmann::json()},
                                      {"legend", source.oldFrame ? box(*source.oldFrame) : nlohmann::json()}};
    return Hand(placement.dump());
  });
}

ABI_EXPORT void BrelixSim_Reset() { Editor::Instance().Reset(); }

}  // extern "C"
