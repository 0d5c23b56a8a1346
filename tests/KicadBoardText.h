// A small KiCad board file for the tests that read or place a legend on one:
// two copper layers, the silkscreen, the comments layer the legend goes on by
// default and the outline layer, around the items given.
#pragma once

#include <string>

namespace testsupport {

inline std::string KicadBoardText(const std::string& items, const std::string& paper = "(paper \"A4\")") {
  return "(kicad_pcb (version 20221018) (generator pcbnew)\n"
         "  (general (thickness 1.6))\n  " +
         paper +
         "\n"
         "  (layers (0 \"F.Cu\" signal) (31 \"B.Cu\" signal) (37 \"F.SilkS\" user \"F.Silkscreen\")\n"
         "    (41 \"Cmts.User\" user \"User.Comments\") (44 \"Edge.Cuts\" user))\n" +
         items + ")\n";
}

}  // namespace testsupport
