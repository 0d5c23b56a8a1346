#include "editor/Editor.h"

#include <algorithm>
#include <limits>

#include "editor/kicad/KicadBoard.h"

namespace brelix {

qvabi::PcbHandle Editor::NextHandle() {
  // One counter for boards, objects and handlers: a handle names one thing only, ever.
  if (lastHandle_ >= std::numeric_limits<qvabi::PcbHandle>::max()) return 0;
  return static_cast<qvabi::PcbHandle>(++lastHandle_);
}

qvabi::PcbHandle Editor::AddBoard(BoardFileContents contents, const std::string& sourcePath) {
  const qvabi::PcbHandle handle = NextHandle();
  if (handle == 0) throw BoardFileError(sourcePath + ": the editor has run out of handles");
  Board& board = boards_[handle] = std::move(contents.board);
  board.handle = handle;
  board.sourcePath = sourcePath;
  objects_.reserve(objects_.size() + contents.objects.size());
  board.contents.reserve(contents.objects.size());
  std::vector<qvabi::PcbHandle> handles;
  handles.reserve(contents.objects.size());
  for (std::size_t i = 0; i < contents.objects.size(); ++i) {
    const qvabi::PcbHandle objectHandle = NextHandle();
    if (objectHandle == 0) break;
    handles.push_back(objectHandle);
  }
  // The file's references are 1-based positions in its objects.
  auto resolve = [&](qvabi::PcbHandle& reference) {
    const auto position = static_cast<std::size_t>(reference);
    reference = position >= 1 && position <= handles.size() ? handles[position - 1] : 0;
  };
  // Taken from the front one by one, so that each object is held once.
  for (const qvabi::PcbHandle objectHandle : handles) {
    EditorObject& object = contents.objects.front();
    object.handle = objectHandle;
    object.owner = handle;
    object.contentsOf = handle;
    if (object.component.held()) {
      resolve(object.component->nameObject);
      resolve(object.component->commentObject);
    }
    if (object.dimension.held())
      for (qvabi::PcbHandle& reference : object.dimension->references) resolve(reference);
    objects_.emplace(objectHandle, std::move(object));
    contents.objects.pop_front();
    board.contents.push_back(objectHandle);
  }
  board.lastFileObject = static_cast<qvabi::PcbHandle>(lastHandle_);
  current_ = handle;
  return handle;
}

qvabi::PcbHandle Editor::OpenBoardText(std::string_view text, const std::string& name) {
  return AddBoard(ReadBoardFile(text, name), name);
}

qvabi::PcbHandle Editor::OpenBoardFile(const std::string& path) {
  BoardFileContents contents;
  {
    // Any board KiCad opens, however large; the KiCad reader is linear and
    // holds little beside the text.
    const bool isKicad = kicad::IsKicadPath(path);
    std::string text =
        LoadTextFile(path, isKicad ? boardtext::FileSize::AsOnDisk : boardtext::FileSize::Bounded);
    contents = isKicad ? kicad::ReadKicadBoard(std::move(text), path) : ReadBoardFile(text, path);
  }
  return AddBoard(std::move(contents), path);
}

bool Editor::CloseBoard(qvabi::PcbHandle handle) {
  const auto it = boards_.find(handle);
  if (it == boards_.end()) return false;
  ForgetAllFound();
  for (qvabi::PcbHandle object : it->second.contents) objects_.erase(object);
  for (auto& [objectHandle, object] : objects_)
    if (object.owner == handle) object.owner = 0;
  boards_.erase(it);
  if (current_ == handle) current_ = 0;
  return true;
}

Board* Editor::FindBoard(qvabi::PcbHandle handle) {
  const auto it = boards_.find(handle);
  return it == boards_.end() ? nullptr : &it->second;
}

bool Editor::SetCurrentBoard(qvabi::PcbHandle handle) {
  if (handle != 0 && !FindBoard(handle)) return false;
  current_ = handle;
  return true;
}

std::string Editor::BoardText(const Board& board) const {
  std::vector<const EditorObject*> contents;
  for (qvabi::PcbHandle handle : board.contents) {
    const auto it = objects_.find(handle);
    if (it != objects_.end()) contents.push_back(&it->second);
  }
  return WriteBoardFile(board, contents);
}

std::string Editor::FileText(const Board& board, const std::string& path) const {
  if (!kicad::IsKicadPath(path)) return BoardText(board);
  if (!board.kicad)
    throw BoardFileError(path + ": a KiCad board can only be written from a board read from a KiCad file");
  // What was added since the file was read: the committed legend.
  std::vector<const EditorObject*> added;
  for (qvabi::PcbHandle handle : board.contents) {
    const auto it = objects_.find(handle);
    if (handle > board.lastFileObject && it != objects_.end()) added.push_back(&it->second);
  }
  return kicad::WriteKicadBoard(*board.kicad, added);
}

qvabi::PcbHandle Editor::CreateObject(uint8_t kind) {
  if (!IsSupportedKind(kind)) return 0;
  const qvabi::PcbHandle handle = NextHandle();
  if (handle == 0) return 0;
  objects_[handle] = MakeObject(static_cast<qvabi::ObjectKind>(kind), handle);
  return handle;
}

EditorObject* Editor::FindAndKeep(qvabi::PcbHandle handle) {
  const auto it = objects_.find(handle);
  if (it == objects_.end()) return nullptr;
  found_[static_cast<uint32_t>(handle) % kFoundSlots] = {handle, &it->second};
  return &it->second;
}

void Editor::SetOwner(qvabi::PcbHandle object, qvabi::PcbHandle board) {
  EditorObject* found = FindObject(object);
  if (!found || (board != 0 && !FindBoard(board))) return;
  found->owner = board;
}

void Editor::AddToContents(qvabi::PcbHandle boardHandle, qvabi::PcbHandle objectHandle) {
  Board* board = FindBoard(boardHandle);
  EditorObject* object = FindObject(objectHandle);
  if (!board || !object) return;
  // An object sits in one board's contents at most, once, where it was first added.
  if (object->contentsOf == boardHandle) return;
  if (Board* previous = FindBoard(object->contentsOf)) std::erase(previous->contents, objectHandle);
  board->contents.push_back(objectHandle);
  object->owner = boardHandle;
  object->contentsOf = boardHandle;
}

void Editor::DestroyObject(qvabi::PcbHandle handle) {
  const auto it = objects_.find(handle);
  if (it == objects_.end()) return;
  if (Board* board = FindBoard(it->second.contentsOf)) std::erase(board->contents, handle);
  ForgetFound(handle);
  objects_.erase(it);
}

qvabi::PcbHandle Editor::CreateEventHandler(qvabi::PcbHandle board, const qvabi::EventTableA* tableA,
                                            const qvabi::EventTableB* tableB, qvabi::CodeRoutine code,
                                            void* data) {
  if (!FindBoard(board)) return 0;
  const qvabi::PcbHandle handle = NextHandle();
  if (handle == 0) return 0;
  EventHandler& handler = handlers_[handle];
  handler.handle = handle;
  handler.board = board;
  if (tableA) handler.tableA = *tableA;
  if (tableB) handler.tableB = *tableB;
  handler.code = code;
  handler.codeData = data;
  return handle;
}

void Editor::DestroyEventHandler(qvabi::PcbHandle handler) { handlers_.erase(handler); }

void Editor::Reset() {
  boards_.clear();
  ForgetAllFound();
  objects_.clear();
  handlers_.clear();
  current_ = 0;
  eventLog_.clear();
  notifications_.clear();
  pendingSetup_.clear();
  setupHook_ = nullptr;
  setupContext_ = nullptr;
}

}  // namespace brelix
