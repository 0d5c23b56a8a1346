// What the parts of the KiCad board reader share.
#pragma once

#include <string>

#include "editor/Board.h"
#include "editor/kicad/KicadBoard.h"

namespace brelix::kicad {

[[noreturn]] void Refuse(const std::string& file, const Expr& at, const std::string& reason);
// A length in millimetres as whole nanometres; refused when it is not a number.
int64_t NanometresOf(const std::string& file, const Expr& value);

// The board's layers from (layers ...), mapped to editor layers, and the
// stack from (setup (stackup ...)) or KiCad's default stack.
void ReadLayers(const std::string& file, const Expr& root, KicadSource& source);
void ReadStack(const std::string& file, const Expr& root, KicadSource& source, Board& board);

}  // namespace brelix::kicad
