// How a text of the editor is written as a KiCad text: font size, stroke
// thickness and anchor chosen so that KiCad draws it in the box the editor
// measures for it.
#pragma once

#include <cstdint>

#include "editor/EditorObject.h"

namespace brelix::kicad {

struct KicadTextPlacement {
  int64_t x = 0;  // anchor in board units (y up), left-bottom justified
  int64_t y = 0;
  double degrees = 0;
  int64_t heightNm = 0;  // font size (KiCad writes height first)
  int64_t widthNm = 0;
  int64_t thicknessNm = 0;
};

KicadTextPlacement PlaceText(const EditorObject& text);

}  // namespace brelix::kicad
