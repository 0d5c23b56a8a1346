// KiCad boards read as editor boards: the stack of real boards against
// expectations written by hand from their stack-ups, KiCad's default stack,
// drawn objects, refused files; and the legend written back.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "editor/BoardFile.h"
#include "editor/kicad/KicadBoard.h"
#include "editor/kicad/KicadText.h"
#include "editor/kicad/KicadUnits.h"
#include "generated/BuildPaths.h"

namespace brelix::kicad {
namespace {

using ::testing::HasSubstr;

std::string DataPath(const std::string& name) {
  return std::string(STRATIVUE_SOURCE_DIR) + "/tests/data/kicad/" + name;
}

int32_t Units(const std::string& text) { return *boardtext::ParseLength(text); }

struct ExpectedLayer {
  uint8_t id;
  const char* name;
  const char* copper;
  // The dielectric below; none for the last layer.
  const char* material = nullptr;
  uint8_t type = 0;
  double constant = 0;
  const char* height = nullptr;
};

struct ExpectedBoard {
  const char* file;
  std::vector<ExpectedLayer> layers;
  const char* maskHeight;
};

void ExpectDielectric(const Dielectric& d, const char* material, uint8_t type, double constant,
                      const char* height, const std::string& where) {
  EXPECT_EQ(d.material, material) << where;
  EXPECT_EQ(d.type.value, type) << where;
  EXPECT_DOUBLE_EQ(d.constant.value, constant) << where;
  EXPECT_EQ(d.height.value, Units(height)) << where;
}

void ExpectStack(const Board& board, const ExpectedBoard& expected) {
  ASSERT_EQ(board.stack.size(), expected.layers.size()) << expected.file;
  for (std::size_t i = 0; i < expected.layers.size(); ++i) {
    const ExpectedLayer& e = expected.layers[i];
    const std::string where = std::string(expected.file) + " layer " + std::to_string(i);
    ASSERT_EQ(board.stack[i], e.id) << where;
    const LayerRecord& layer = board.layers[e.id];
    EXPECT_EQ(layer.name, e.name) << where;
    EXPECT_EQ(layer.copper.value, Units(e.copper)) << where;
    if (e.material) ExpectDielectric(layer.dielectric, e.material, e.type, e.constant, e.height, where);
    EXPECT_EQ(layer.previous, i == 0 ? 0 : expected.layers[i - 1].id) << where;
    EXPECT_EQ(layer.next, i + 1 == expected.layers.size() ? 0 : expected.layers[i + 1].id) << where;
  }
  ExpectDielectric(board.topDielectric, "Solder Resist", 3, 3.3, expected.maskHeight, "top mask");
  ExpectDielectric(board.bottomDielectric, "Solder Resist", 3, 3.3, expected.maskHeight, "bottom mask");
}

BoardFileContents Read(const std::string& relative) {
  const std::string path = DataPath(relative);
  return ReadKicadBoard(LoadTextFile(path), path);
}

// Written from each file's (layers ...) and (setup (stackup ...)): F.Cu on
// top, inner layers as mid layers (2, 3, ...) whether signal or power, B.Cu
// at the bottom; core 1, prepreg 2.
TEST(KicadStackTest, RealBoardsGiveTheStackTheirFilesDescribe) {
  const std::vector<ExpectedBoard> boards = {
      {"public/antmicro-dual-ipex-csi-interposer.kicad_pcb",
       {{1, "F.Cu", "0.035mm", "FR4", 1, 4.5, "0.48mm"},
        {2, "In1.Cu", "0.035mm", "FR4", 2, 4.5, "0.48mm"},
        {3, "In2.Cu", "0.035mm", "FR4", 1, 4.5, "0.48mm"},
        {32, "B.Cu", "0.035mm"}},
       "0.01mm"},
      // KiCad 9 numbers copper 0, 4, 6, 2: the order still comes from the names.
      {"public/libresolar-bms-c1.kicad_pcb",
       {{1, "F.Cu", "0.07mm", "FR4", 2, 4.5, "0.14mm"},
        {2, "In1.Cu", "0.07mm", "FR4", 2, 4.5, "1mm"},
        {3, "In2.Cu", "0.07mm", "FR4", 1, 4.5, "0.14mm"},
        {32, "B.Cu", "0.07mm"}},
       "0.01mm"},
      // F.Cu marked jumper is still the top layer.
      {"public/apfaudio-soldiercrab.kicad_pcb",
       {{1, "F.Cu", "0.035mm", "2116", 2, 4.25, "0.1164mm"},
        {2, "In1.Cu", "0.0152mm", "FR4", 1, 4.6, "0.13mm"},
        {3, "In2.Cu", "0.0152mm", "2116", 2, 4.25, "0.2028mm"},
        {4, "In3.Cu", "0.0152mm", "FR4", 1, 4.6, "0.13mm"},
        {5, "In4.Cu", "0.0152mm", "2116", 2, 4.05, "0.1164mm"},
        {32, "B.Cu", "0.035mm"}},
       "0.01mm"},
      // Two sublayers of 0.18 mm each: 0.36 mm.
      {"public/antmicro-dual-gmsl-serializer-adapter.kicad_pcb",
       {{1, "F.Cu", "0.035mm", "PR7628", 2, 4.5, "0.36mm"},
        {2, "In1.Cu", "0.035mm", "FR4", 1, 4.5, "0.71mm"},
        {3, "In2.Cu", "0.035mm", "PR7628", 2, 4.5, "0.36mm"},
        {32, "B.Cu", "0.035mm"}},
       "0.045mm"},
      {"public/olimex-mod-esp32-c5.kicad_pcb",
       {{1, "F.Cu", "0.035mm", "FR4", 1, 4.3, "1.51mm"}, {32, "B.Cu", "0.035mm"}},
       "0.01mm"},
      // User names replace the canonical ones.
      {"demos/video.kicad_pcb",
       {{1, "top_copper", "0.035mm", "FR4", 1, 4.5, "0.480066mm"},
        {2, "GND_layer", "0.035mm", "FR4", 2, 4.5, "0.480066mm"},
        {3, "VCC_layer", "0.035mm", "FR4", 1, 4.5, "0.480066mm"},
        {32, "bottom_copper", "0.035mm"}},
       "0.01mm"},
  };
  for (const ExpectedBoard& expected : boards) {
    const BoardFileContents contents = Read(expected.file);
    ExpectStack(contents.board, expected);
    EXPECT_TRUE(contents.board.notes.empty()) << expected.file;
    EXPECT_FALSE(contents.objects.empty()) << expected.file;
  }
}

std::string Board(const std::string& layers, const std::string& rest,
                  const std::string& version = "20211014") {
  return "(kicad_pcb (version " + version + ") (generator pcbnew)\n  (general (thickness 1.6))\n  (layers\n" +
         layers + "  )\n" + rest + ")\n";
}

const char* kFourLayers =
    "    (0 \"F.Cu\" signal \"Top\")\n    (1 \"In1.Cu\" power)\n    (2 \"In2.Cu\" mixed)\n"
    "    (31 \"B.Cu\" signal)\n    (38 \"B.Mask\" user)\n    (39 \"F.Mask\" user)\n"
    "    (41 \"Cmts.User\" user \"User.Comments\")\n    (44 \"Edge.Cuts\" user)\n";

TEST(KicadStackTest, WithoutStackUpKicadsDefaultStackSharesTheBoardThickness) {
  const BoardFileContents contents = ReadKicadBoard(Board(kFourLayers, ""), "plain.kicad_pcb");
  // 1.6 mm less four coppers of 0.035 mm and two masks of 0.01 mm, in three: 0.48 mm.
  ExpectStack(contents.board, {"plain",
                               {{1, "Top", "0.035mm", "FR4", 1, 4.5, "0.48mm"},
                                {2, "In1.Cu", "0.035mm", "FR4", 2, 4.5, "0.48mm"},
                                {3, "In2.Cu", "0.035mm", "FR4", 1, 4.5, "0.48mm"},
                                {32, "B.Cu", "0.035mm"}},
                               "0.01mm"});
  ASSERT_EQ(contents.board.notes.size(), 1u);
  EXPECT_THAT(contents.board.notes[0], HasSubstr("no stack-up"));
  EXPECT_EQ(contents.board.unit, kMetric);
  EXPECT_EQ(contents.board.fileName, "plain.kicad_pcb");
}

TEST(KicadUnitsTest, MillimetresPastTheLargestCoordinateAreRefusedWhateverTheirLength) {
  constexpr int64_t kLargest = int64_t{1} << 52;  // nanometres
  EXPECT_EQ(ParseNanometres("4503599627.370496"), kLargest);
  EXPECT_EQ(ParseNanometres("-4503599627.3704955"), -kLargest);  // the seventh decimal rounds up
  EXPECT_EQ(ParseNanometres("4503599627.370497"), std::nullopt);
  EXPECT_EQ(ParseNanometres("4503599627.3704965"), std::nullopt);
  // Up to the 30 digits a number may have, including whole parts whose
  // nanometres do not fit in 64 bits.
  for (std::string digits = "45035996280"; digits.size() <= 30; digits += '0') {
    EXPECT_EQ(ParseNanometres(digits), std::nullopt) << digits;
    EXPECT_EQ(ParseNanometres("-" + digits + ".5"), std::nullopt) << digits;
  }
  EXPECT_EQ(ParseNanometres("1" + std::string(30, '0')), std::nullopt);  // 31 digits
}

TEST(KicadUnitsTest, NanometresAndUnitsConvertExactlyAcrossTheWholeRange) {
  // A board unit is 127/50 nm; multiples of both sides convert exactly at
  // any size, and the rest rounds to the nearest, halves away from zero.
  for (const int64_t k : {int64_t{1}, int64_t{3} << 20, int64_t{1} << 55, (int64_t{1} << 62) / 127}) {
    EXPECT_EQ(NanometresToUnits(127 * k), 50 * k) << k;
    EXPECT_EQ(NanometresToUnits(-127 * k), -50 * k) << k;
    EXPECT_EQ(UnitsToNanometres(50 * k), 127 * k) << k;
    EXPECT_EQ(UnitsToNanometres(-50 * k), -127 * k) << k;
  }
  EXPECT_EQ(NanometresToUnits(1), 0);  // 0.39
  EXPECT_EQ(NanometresToUnits(2), 1);  // 0.79
  EXPECT_EQ(NanometresToUnits(-2), -1);
  EXPECT_EQ(UnitsToNanometres(1), 3);    // 2.54
  EXPECT_EQ(UnitsToNanometres(25), 64);  // 63.5
  EXPECT_EQ(UnitsToNanometres(-25), -64);
  EXPECT_EQ(NanometresToUnits(127 * (int64_t{1} << 40) + 127), (int64_t{50} << 40) + 50);
}

TEST(KicadReaderTest, MalformedFilesAreRefusedWithLineAndReason) {
  const struct {
    std::string text;
    std::string message;
  } cases[] = {
      {"(kicad_pcb (version 20211014)\n  (layers\n",
       "f.kicad_pcb: line 2: the list opened here is never closed"},
      {")(kicad_pcb (version 20211014))", "f.kicad_pcb: line 1: ')' without a matching '('"},
      {"(kicad_pcb (version 20211014)\n (title \"abc))\n",
       "f.kicad_pcb: line 2: a string that is never closed"},
      {"", "f.kicad_pcb: line 1: the file is empty"},
      {"kicad_pcb", "f.kicad_pcb: line 1: the file does not start with '('"},
      {"(kicad_sch (version 20211014))", "f.kicad_pcb: line 1: not a KiCad board"},
      {"(kicad_pcb (version 20171130))", "file format version 20171130 is not one of KiCad 6 to 10"},
      {std::string("(kicad_pcb (a \x01))"), "line 1: unexpected byte 0x01"},
      {std::string(200000, '(') + std::string(200000, ')'), "line 1: lists nested deeper than 64 levels"},
      {Board("    (0 \"F.Cu\" signal)\n", ""), "the board needs the copper layers F.Cu and B.Cu"},
      {Board(kFourLayers, "  (setup (stackup (layer \"F.Cu\" (type \"copper\") (thickness 0.0x))))\n"),
       "line 13: \"0.0x\" is not a length in millimetres"},
      // Values or lists that are missing are refused at the line of the list that lacks them.
      {Board(kFourLayers, "  (setup (stackup (layer \"F.Cu\" (type \"copper\") (thickness))))\n"),
       "line 13: a length is missing"},
      {Board(kFourLayers, "  (gr_line (start 0 0)\n    (end 1) (layer \"Edge.Cuts\") (width 0.1))\n"),
       "line 14: a length is missing"},
      {Board(kFourLayers,
             "  (setup (stackup (layer \"F.Cu\" (type \"copper\"))\n"
             "    (layer \"dielectric 1\" (type \"core\"))))\n"),
       "the stack-up has no dielectric below In1.Cu"},
  };
  for (const auto& c : cases) {
    try {
      ReadKicadBoard(c.text, "f.kicad_pcb");
      ADD_FAILURE() << "accepted: " << c.text.substr(0, 80);
    } catch (const KicadFileError& error) {
      EXPECT_THAT(error.what(), HasSubstr(c.message)) << c.text.substr(0, 80);
    }
  }
}

// A four-layer stack-up whose top copper and first dielectric are given; the
// copper line is line 14 of a Board(kFourLayers, ...) and the dielectric 15.
std::string Stackup(const std::string& topCopper, const std::string& firstDielectric) {
  return "  (setup (stackup\n"
         "    (layer \"F.Cu\" (type \"copper\") " +
         topCopper +
         ")\n"
         "    (layer \"dielectric 1\" (type \"core\") " +
         firstDielectric +
         ")\n"
         "    (layer \"In1.Cu\" (type \"copper\") (thickness 0.035))\n"
         "    (layer \"dielectric 2\" (type \"prepreg\") (thickness 0.2))\n"
         "    (layer \"In2.Cu\" (type \"copper\") (thickness 0.035))\n"
         "    (layer \"dielectric 3\" (type \"core\") (thickness 0.2))\n"
         "    (layer \"B.Cu\" (type \"copper\") (thickness 0.035))))\n";
}

TEST(KicadReaderTest, NumbersTheEditorCannotHoldAreRefusedWithTheirLine) {
  const std::string copper = "(thickness 0.035)";
  const std::string core = "(thickness 1)";
  std::string thinBoard = Board(kFourLayers, "");
  thinBoard.replace(thinBoard.find("(thickness 1.6)"), 15, "(thickness 0)");
  const struct {
    std::string text;
    std::string message;
  } cases[] = {
      {Board(kFourLayers, Stackup("(thickness -0.035)", core)),
       "line 14: a thickness must be above zero, not -0.035 mm"},
      {Board(kFourLayers, Stackup("(thickness 0)", core)),
       "line 14: a thickness must be above zero, not 0 mm"},
      {Board(kFourLayers, Stackup("(thickness 10000)", core)),
       "line 14: 10000 mm is beyond what the editor holds (lengths and coordinates within 5454.608463 mm "
       "either way)"},
      {Board(kFourLayers, Stackup(copper, "(thickness 3000000)")), "line 15: 3000000 mm is beyond"},
      {Board(kFourLayers, Stackup(copper, "(thickness 3000) addsublayer (thickness 3000)")),
       "line 15: the dielectric \"dielectric 1\" is 6000 mm thick, more than the editor holds (5454.608463 "
       "mm)"},
      {Board(kFourLayers, Stackup("(thickness 3000)", "(thickness 3000)")), "line 13: the stack-up is 6000."},
      {Board(kFourLayers, Stackup(copper, "(thickness 1) (epsilon_r 1e39)")),
       "line 15: epsilon_r 1e39 must be above zero and at most 3.4e38"},
      {Board(kFourLayers, Stackup(copper, "(thickness 1) (epsilon_r 0)")),
       "line 15: epsilon_r 0 must be above zero"},
      {Board(kFourLayers, Stackup(copper, "(thickness 1) (epsilon_r nan)")),
       "line 15: \"nan\" is not a number"},
      {thinBoard, "line 2: a thickness must be above zero, not 0 mm"},
      {Board(kFourLayers, "  (footprint \"R\" (layer \"F.Cu\") (at 10 10 nan))\n"),
       "line 13: \"nan\" is not an angle in degrees (a finite number)"},
      {Board(kFourLayers,
             "  (footprint \"R\" (layer \"F.Cu\") (at 10 10)\n"
             "    (pad \"1\" smd rect (at 0 0 inf) (size 1 1) (layers \"F.Cu\")))\n"),
       "line 14: \"inf\" is not an angle"},
      {Board(kFourLayers,
             "  (gr_arc (start 0 0) (end 1 0) (angle 1e400) (layer \"Edge.Cuts\") (width 0.1))\n"),
       "line 13: \"1e400\" is not an angle"},
      {Board(kFourLayers,
             "  (gr_line (start 0 0)\n    (end 0 5454.609) (layer \"Edge.Cuts\") (width 0.1))\n"),
       "line 14: 5454.609 mm is beyond what the editor holds"},
      {Board(kFourLayers, "  (gr_line (start -5454.609 0) (end 0 0) (layer \"Edge.Cuts\") (width 0.1))\n"),
       "line 13: -5454.609 mm is beyond"},
      {Board(kFourLayers, "  (via (at 1e400 0) (size 0.8) (drill 0.4) (layers \"F.Cu\" \"B.Cu\"))\n"),
       "line 13: \"1e400\" is not a length in millimetres"},
  };
  for (const auto& c : cases) {
    try {
      ReadKicadBoard(c.text, "f.kicad_pcb");
      ADD_FAILURE() << "accepted: " << c.message;
    } catch (const KicadFileError& error) {
      EXPECT_THAT(error.what(), HasSubstr("f.kicad_pcb: " + c.message)) << c.message;
    }
  }
  // The limits themselves are held.
  const BoardFileContents edge = ReadKicadBoard(
      Board(kFourLayers,
            "  (gr_line (start -5454.608463 0) (end 5454.608463 0) (layer \"Edge.Cuts\") (width 0.1))\n"),
      "f.kicad_pcb");
  ASSERT_EQ(edge.objects.size(), 1u);
  EXPECT_EQ(edge.objects[0].x, -2147483647);
  EXPECT_EQ(edge.objects[0].x2, 2147483647);
}

TEST(KicadReaderTest, DrawnObjectsTurnYUpAndKeepTheirPlaces) {
  // 0.254 mm is exactly 100000 board units.
  const std::string text =
      Board(kFourLayers,
            "  (segment (start 0.254 0.508) (end 0 0) (width 0.254) (layer \"B.Cu\") (net 0))\n"
            // A half circle through (2.54,0), (0,-2.54), (-2.54,0): above the
            // centre on screen, so counter-clockwise from 0 to 180 with y up.
            "  (arc (start 2.54 0) (mid 0 -2.54) (end -2.54 0) (width 0.254) (layer \"In1.Cu\"))\n"
            "  (via (at 2.54 2.54) (size 0.762) (drill 0.254) (layers \"F.Cu\" \"B.Cu\"))\n"
            // Turned a quarter counter-clockwise, local +x points up the screen.
            "  (footprint \"R\" (layer \"F.Cu\") (at 25.4 25.4 90)\n"
            "    (pad \"1\" smd circle (at 2.54 0 90) (size 0.508 0.508) (layers \"F.Cu\")))\n"
            "  (gr_rect (start 0 0) (end 25.4 -12.7) (layer \"Edge.Cuts\") (width 0.1))\n");
  const BoardFileContents contents = ReadKicadBoard(text, "objects.kicad_pcb");
  const auto& o = contents.objects;
  ASSERT_EQ(o.size(), 8u);
  EXPECT_EQ(o[0].kind, qvabi::ObjectKind::Track);
  EXPECT_EQ(o[0].layer, 32u);
  EXPECT_EQ(o[0].x, 100000);
  EXPECT_EQ(o[0].y, -200000);
  EXPECT_EQ(o[0].width, 100000);
  EXPECT_EQ(o[1].kind, qvabi::ObjectKind::Arc);
  EXPECT_EQ(o[1].layer, 2u);  // In1.Cu, marked power: still the first mid layer
  EXPECT_EQ(o[1].radius, 1000000);
  EXPECT_NEAR(o[1].startAngle, 0, 1e-9);
  EXPECT_NEAR(o[1].endAngle, 180, 1e-9);
  // The via as its ring: 0.762 mm across, a 0.254 mm hole, so a ring 0.254
  // mm wide whose middle runs 0.254 mm from the centre.
  EXPECT_EQ(o[2].layer, 74u);
  EXPECT_EQ(o[2].y, -1000000);
  EXPECT_EQ(o[2].radius, 100000);
  EXPECT_EQ(o[2].width, 100000);
  EXPECT_EQ(o[3].layer, 1u);
  EXPECT_EQ(o[3].x, 10000000);
  EXPECT_EQ(o[3].y, -10000000 + 1000000);
  EXPECT_EQ(o[3].radius, 100000);
  for (std::size_t i = 4; i < 8; ++i) EXPECT_EQ(o[i].layer, kOutlineLayer);
  // The rectangle's right side, from (25.4, 0) up to (25.4, 12.7) with y up.
  EXPECT_EQ(o[5].x, 10000000);
  EXPECT_EQ(o[5].y, 0);
  EXPECT_EQ(o[5].y2, 5000000);
}

// The legend as the editor holds it: board units, y up.
std::vector<EditorObject> Legend() {
  std::vector<EditorObject> legend;
  EditorObject track = MakeObject(qvabi::ObjectKind::Track, 0);
  track.x = 100000;
  track.y = -200000;
  track.x2 = 300000;
  track.y2 = -200000;
  track.width = 20000;
  legend.push_back(track);
  EditorObject arc = MakeObject(qvabi::ObjectKind::Arc, 0);
  arc.x = 0;
  arc.y = 0;
  arc.radius = 100000;
  arc.startAngle = 90;
  arc.endAngle = 180;
  arc.width = 20000;
  legend.push_back(arc);
  EditorObject text = MakeObject(qvabi::ObjectKind::Text, 0);
  text.x = 500000;
  text.y = 100000;
  text.size = 300000;
  text.width = 30000;
  text.textData->text = "Top \"L\"";
  legend.push_back(text);
  return legend;
}

std::string Write(const KicadSource& source, const std::vector<EditorObject>& legend) {
  std::vector<const EditorObject*> pointers;
  for (const EditorObject& o : legend) pointers.push_back(&o);
  return WriteKicadBoard(source, pointers);
}

TEST(KicadWriterTest, LegendGoesInAsOneGroupInTheFilesOwnSyntax) {
  const std::string input = Board(kFourLayers,
                                  "  (gr_line (start 0 0) (end 1 1) (layer \"Edge.Cuts\") (width 0.1) "
                                  "(tstamp 00000000-0000-0000-0000-000000000001))\n");
  const BoardFileContents contents = ReadKicadBoard(input, "in.kicad_pcb");
  const std::string out = Write(*contents.board.kicad, Legend());
  // Everything before the board's closing parenthesis is kept, the group added there.
  ASSERT_EQ(out.substr(0, input.size() - 2), input.substr(0, input.size() - 2));
  EXPECT_EQ(out.substr(out.size() - 2), ")\n");
  const std::string added = out.substr(input.size() - 2, out.size() - input.size());
  // 0.254 mm and 0.508 mm, y turned down; the 90 to 180 degree quarter of a
  // 0.254 mm circle from (0, -0.254) through its middle to (-0.254, 0).
  EXPECT_THAT(added, HasSubstr("  (gr_line (start 0.254 0.508) (end 0.762 0.508) (width 0.0508) "
                               "(layer \"Cmts.User\") (tstamp "));
  EXPECT_THAT(added,
              HasSubstr("(gr_arc (start 0 -0.254) (mid -0.179605 -0.179605) (end -0.254 0) (width 0.0508)"));
  EXPECT_THAT(added, HasSubstr("(gr_text \"Top \\\"L\\\"\" (at 1.27 -0.254) (layer \"Cmts.User\") (tstamp "));
  EXPECT_THAT(added, HasSubstr("(justify left bottom)"));
  const std::regex id("[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
  std::set<std::string> ids;
  for (auto it = std::sregex_iterator(added.begin(), added.end(), id); it != std::sregex_iterator(); ++it)
    ids.insert(it->str());
  // Three items and the group, each id once in its item and the items again as members.
  EXPECT_EQ(ids.size(), 4u);
  EXPECT_THAT(added, HasSubstr("(group \"Stack-up legend\" (id "));

  // Again on the result: the group is replaced, not added to.
  const BoardFileContents again = ReadKicadBoard(out, "out.kicad_pcb");
  ASSERT_FALSE(again.board.kicad->oldLegend.empty());
  const std::string twice = Write(*again.board.kicad, Legend());
  EXPECT_EQ(twice.size(), out.size());
  EXPECT_EQ(twice.substr(0, input.size() - 2), input.substr(0, input.size() - 2));
  // Nothing committed: not a byte changes, an earlier legend included.
  EXPECT_EQ(Write(*again.board.kicad, {}), out);
}

TEST(KicadWriterTest, LaterFormatsGetUuidsStrokesAndOneElementPerLine) {
  const std::string input =
      "(kicad_pcb\n\t(version 20240108)\n\t(generator \"pcbnew\")\n\t(layers\n\t\t(0 \"F.Cu\" signal)\n"
      "\t\t(31 \"B.Cu\" signal)\n\t\t(41 \"Cmts.User\" user \"User.Comments\")\n\t\t(40 \"Dwgs.User\" "
      "user)\n\t)\n"
      "\t(gr_line\n\t\t(start 0 0)\n\t\t(end 1 1)\n\t\t(stroke\n\t\t\t(width 0.1)\n\t\t\t(type "
      "default)\n\t\t)\n"
      "\t\t(layer \"Dwgs.User\")\n\t\t(uuid \"00000000-0000-0000-0000-000000000001\")\n\t)\n)\n";
  const BoardFileContents contents = ReadKicadBoard(input, "in.kicad_pcb");
  KicadSource source = *contents.board.kicad;
  source.legendLayer = LegendLayerOf(source, "User.Comments");
  EXPECT_EQ(source.legendLayer, "Cmts.User");
  EXPECT_THROW(LegendLayerOf(source, "F.Cu"), KicadFileError);
  const std::string out = Write(source, Legend());
  EXPECT_THAT(out, HasSubstr("\t(gr_line\n\t\t(start 0.254 0.508)\n\t\t(end 0.762 0.508)\n\t\t(stroke\n"
                             "\t\t\t(width 0.0508)\n\t\t\t(type default)\n\t\t)\n\t\t(layer \"Cmts.User\")\n"
                             "\t\t(uuid \""));
  EXPECT_THAT(out, HasSubstr("\t\t(at 1.27 -0.254 0)\n"));
  EXPECT_THAT(out, HasSubstr("\t(group \"Stack-up legend\"\n\t\t(uuid \""));
  EXPECT_THAT(out, HasSubstr("\t\t(members \""));
}

TEST(KicadReaderTest, TextAfterTheBoardsListIsKeptAsItIs) {
  // As in a KiCad 9 demo board: more lists, and a stray ')', after the board's end.
  const std::string board = Board(kFourLayers, "");
  const std::string tail = "(embedded_fonts no)\n(model \"a.wrl\"\n\t(offset (xyz 0 0 0))\n)\n)\n";
  const BoardFileContents contents = ReadKicadBoard(board + tail, "tail.kicad_pcb");
  ASSERT_EQ(contents.board.notes.size(), 2u);  // and the missing stack-up
  EXPECT_EQ(contents.board.notes[0],
            "tail.kicad_pcb: line 14: the text after the board's closing parenthesis is kept as it is");
  const std::string out = Write(*contents.board.kicad, Legend());
  EXPECT_EQ(out.substr(0, board.size() - 2), board.substr(0, board.size() - 2));
  EXPECT_EQ(out.substr(out.size() - tail.size() - 2), ")\n" + tail);
  EXPECT_THAT(out, HasSubstr("(group \"Stack-up legend\""));
  // White space alone after the list is no news.
  EXPECT_EQ(ReadKicadBoard(board + "\n \r\n\t", "blank.kicad_pcb").board.notes.size(), 1u);
}

TEST(KicadReaderTest, ListsWrittenWithoutTheirOpeningParenthesisAreReadAsKicadReadsThem) {
  // A pad's teardrop settings as a KiCad 9 demo board writes them: the list
  // "filter_ratio 0.9)" lacks its '(', which KiCad's parser forgives.
  const std::string text = Board(kFourLayers,
                                 "  (footprint \"R\" (layer \"F.Cu\") (at 10 10)\n"
                                 "    (pad \"1\" smd rect (at 0 0) (size 1 1) (layers \"F.Cu\")\n"
                                 "      (teardrops (max_width 2)filter_ratio 0.9) (enabled yes))))\n"
                                 "  (gr_line (start 0 0) (end 1 1) (layer \"Edge.Cuts\") (width 0.1))\n");
  const Document document = Document::Parse(text, "f.kicad_pcb");
  EXPECT_EQ(document.Root().End(), text.size() - 1);
  const Expr teardrops = document.Root().Child("footprint").Child("pad").Child("teardrops");
  ASSERT_TRUE(teardrops.Valid());
  EXPECT_EQ(teardrops.At(2).Head(), "filter_ratio");
  EXPECT_EQ(teardrops.At(2).At(1).Text(), "0.9");
  EXPECT_EQ(teardrops.At(3).Head(), "enabled");

  const BoardFileContents contents = ReadKicadBoard(text, "f.kicad_pcb");
  ASSERT_FALSE(contents.board.notes.empty());
  EXPECT_EQ(contents.board.notes[0],
            "f.kicad_pcb: line 15: a list written without its '(' is read as KiCad reads them");
  // The pad's outline and the board outline after it are both read.
  EXPECT_EQ(std::count_if(contents.objects.begin(), contents.objects.end(),
                          [](const EditorObject& o) { return o.layer == kOutlineLayer; }),
            1);
  EXPECT_EQ(contents.objects.size(), 5u);
  // The legend goes in before the board's last ')', where KiCad sees the board's list end.
  const std::string out = Write(*contents.board.kicad, Legend());
  EXPECT_EQ(out.substr(0, text.size() - 2), text.substr(0, text.size() - 2));
  EXPECT_TRUE(out.ends_with("\n)\n"));

  // Words after a list that close their list with it are not such lists: the
  // stricter reading is kept when it reaches the end.
  const std::string flags =
      Board(kFourLayers, "  (gr_text \"T\" (at 0 0) (effects (font (size 1 1)) bold))\n");
  EXPECT_EQ(Document::Parse(flags, "f.kicad_pcb").ImplicitLists(), 0u);
}

TEST(KicadWriterTest, CrlfFilesGetCrlfLinesOnly) {
  const std::string oneLine =
      Board(kFourLayers, "  (gr_line (start 0 0) (end 1 1) (layer \"Edge.Cuts\") (width 0.1))\n");
  const std::string multiLine =
      "(kicad_pcb\n\t(version 20240108)\n\t(layers\n\t\t(0 \"F.Cu\" signal)\n\t\t(31 \"B.Cu\" signal)\n"
      "\t\t(41 \"Cmts.User\" user)\n\t)\n)";
  for (std::string input : {oneLine, multiLine}) {
    for (std::size_t at = input.find('\n'); at != std::string::npos; at = input.find('\n', at + 2))
      input.insert(at, "\r");
    const BoardFileContents contents = ReadKicadBoard(input, "crlf.kicad_pcb");
    const std::string out = Write(*contents.board.kicad, Legend());
    ASSERT_GT(out.size(), input.size() + 100);
    const std::size_t close = input.rfind(')');
    EXPECT_EQ(out.substr(0, close), input.substr(0, close));
    std::size_t lines = 0;
    for (std::size_t i = 0; i < out.size(); ++i)
      if (out[i] == '\n') {
        ++lines;
        EXPECT_TRUE(i > 0 && out[i - 1] == '\r') << "a bare line feed at byte " << i;
      }
    EXPECT_GT(lines, 8u);
    // Read back, it is still one legend.
    EXPECT_FALSE(ReadKicadBoard(out, "again.kicad_pcb").board.kicad->oldLegend.empty());
  }
}

TEST(KicadWriterTest, TextWidthSpreadsTheEditorsAdvanceOverKicadsGlyphs) {
  EditorObject text = MakeObject(qvabi::ObjectKind::Text, 0);
  text.size = 300000;
  text.width = 30000;
  text.textData->text = "HiW";
  const KicadTextPlacement t = PlaceText(text);
  EXPECT_EQ(t.heightNm, 762000);
  EXPECT_EQ(t.thicknessNm, 76200);
  // The editor: 3 characters of 200000 units = 1524000 nm. KiCad's glyphs
  // H, i and W advance 22, 10 and 24 of 21 parts of the font width: 56/21.
  EXPECT_EQ(t.widthNm, 1524000 * 21 / 56);
}

}  // namespace
}  // namespace brelix::kicad
