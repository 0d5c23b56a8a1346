// What the parts of the KiCad board reader share.
#pragma once

#include <string>

#include "editor/Board.h"
#include "editor/kicad/KicadBoard.h"

namespace brelix::kicad {

[[noreturn]] void Refuse(const std::string& file, const Expr& at, const std::string& reason);
// The longest length the editor holds, in nanometres: a coordinate, width
// or thickness in board units must fit in 32 bits.
int64_t LargestNanometres();
// A length in millimetres as whole nanometres; refused when it is not a
// number or beyond LargestNanometres either way.
int64_t NanometresOf(const std::string& file, const Expr& value);
// A thickness: a length above zero.
int64_t ThicknessOf(const std::string& file, const Expr& value);
// A number; refused, saying it is not `what`, when it is not a finite number.
double FiniteNumberOf(const std::string& file, const Expr& value, const std::string& what);
// An angle in degrees; refused when it is not a finite number.
double DegreesOf(const std::string& file, const Expr& value);

// The board's layers from (layers ...), mapped to editor layers, and the
// stack from (setup (stackup ...)) or KiCad's default stack.
void ReadLayers(const std::string& file, const Expr& root, KicadSource& source);
void ReadStack(const std::string& file, const Expr& root, KicadSource& source, Board& board);
// The drawing sheet from (paper ...) and a box holding each item of the
// board's list outside the ranges of the earlier legend.
void ReadExtents(const Expr& root, KicadSource& source);

}  // namespace brelix::kicad
