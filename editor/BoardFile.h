// Board files (*.board.json): reading with every rule checked, and writing
// in the one canonical layout.
#pragma once

#include <deque>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "boardtext/TextFile.h"
#include "editor/Board.h"
#include "editor/EditorObject.h"

namespace brelix {

inline constexpr const char* kBoardFormat = "quorvex-board/1";

// A refused board file; what() is "FILE: FIELD: RULE" on one line.
class BoardFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct BoardFileContents {
  Board board;  // no handle and no contents yet
  // The file's objects in order, without handles; their references to other
  // objects are 1-based positions in this list (0: none).
  std::deque<EditorObject> objects;
};

// Reads a board file's text; `name` is the file named in messages.
BoardFileContents ReadBoardFile(std::string_view text, const std::string& name);
// The file text of `board` with `contents` as its objects.
std::string WriteBoardFile(const Board& board, const std::vector<const EditorObject*>& contents);

// A board file's whole text; BoardFileError when it cannot be read or is
// larger than `size` allows.
std::string LoadTextFile(const std::string& path, boardtext::FileSize size = boardtext::FileSize::Bounded);

}  // namespace brelix
