// Board files with objects of every kind: read, resolved, saved unchanged,
// and refused entry by entry with the field and the rule named.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "EditorTestSupport.h"
#include "generated/BuildPaths.h"

namespace brelix::testing {
namespace {

using ::testing::StartsWith;

std::string EveryKindPath() {
  return std::string(STRATIVUE_SOURCE_DIR) + "/tests/data/every-kind.board.json";
}

// The small board with `objects` as its objects.
std::string WithObjects(const std::string& objects) {
  std::string text = SmallBoardText();
  const std::string key = R"("layerPairs")";
  return text.replace(text.find(key), key.size(), R"("objects": [)" + objects + R"(], "layerPairs")");
}

class BoardFileObjectsTest : public EditorTest {
 protected:
  // The message the editor gives for the small board with `objects`.
  std::string Refusal(const std::string& objects) {
    try {
      editor().OpenBoardText(WithObjects(objects), "small.board.json");
    } catch (const BoardFileError& error) {
      EXPECT_EQ(editor().CurrentBoard(), 0);
      EXPECT_EQ(editor().LiveObjectCount(), 0u);
      return error.what();
    }
    return "(opened)";
  }
};

TEST_F(BoardFileObjectsTest, EveryKindOpensResolvesItsReferencesAndSavesTheSameFile) {
  const std::string text = LoadTextFile(EveryKindPath());
  const qvabi::PcbHandle handle = editor().OpenBoardText(text, "every-kind.board.json");
  Board& board = *editor().FindBoard(handle);
  EXPECT_EQ(editor().BoardText(board), text);

  std::set<int> kinds;
  for (qvabi::PcbHandle object : board.contents)
    kinds.insert(static_cast<int>(editor().FindObject(object)->kind));
  EXPECT_EQ(kinds, (std::set<int>{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                  13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 26}));

  const EditorObject* component = editor().FindObject(board.contents[11]);
  ASSERT_EQ(component->kind, qvabi::ObjectKind::Component);
  EXPECT_EQ(component->component->nameObject, board.contents[3]);
  EXPECT_EQ(editor().FindObject(component->component->nameObject)->textData->text, "U1");
  const EditorObject* dimension = editor().FindObject(board.contents[16]);
  ASSERT_EQ(dimension->kind, qvabi::ObjectKind::Dimension);
  EXPECT_EQ(dimension->dimension->references,
            (std::vector<qvabi::PcbHandle>{board.contents[0], board.contents[5]}));
  const EditorObject* netClass = editor().FindObject(board.contents[18]);
  EXPECT_EQ(netClass->objectClass->members, (std::vector<std::string>{"SIG", "GND"}));
}

TEST_F(BoardFileObjectsTest, ChangedObjectsSaveAsTheyAreAndReferencesToDroppedObjectsGo) {
  const qvabi::PcbHandle handle =
      editor().OpenBoardText(LoadTextFile(EveryKindPath()), "every-kind.board.json");
  Board& board = *editor().FindBoard(handle);
  EditorObject& pad = *editor().FindObject(board.contents[5]);
  pad.pad->shapes[17] = 3;
  pad.pad->sizeX[17] = 510000;
  pad.pad->sizeY[17] = 520000;
  pad.pad->cornerPercent = {10, 20, 30};
  const qvabi::PcbHandle name = board.contents[3];
  editor().DestroyObject(name);

  const std::string saved = editor().BoardText(board);
  EXPECT_NE(
      saved.find(R"("shapes": [[1, 2, 600000, 600000], [17, 3, 510000, 520000], [32, 1, 600000, 600000]])"),
      std::string::npos);
  EXPECT_NE(saved.find(R"("cornerPercent": [10, 20, 30])"), std::string::npos);
  // The component lost its name text, and every later position moved up one.
  EXPECT_NE(saved.find(R"("pattern": "SOT-23"})"), std::string::npos);
  EXPECT_NE(saved.find(R"("references": [0, 4])"), std::string::npos);
  const qvabi::PcbHandle reopened = editor().OpenBoardText(saved, "saved.board.json");
  EXPECT_EQ(editor().BoardText(*editor().FindBoard(reopened)), saved);
}

TEST_F(BoardFileObjectsTest, EachKindsEntryIsCheckedNamingFieldAndRule) {
  const std::string pad =
      R"({"kind": "pad", "layer": 1, "x": 0, "y": 0, "rotation": 0, "name": "1", "hole": 0,
      "stackMode": 0, )";
  const std::string text = R"({"kind": "text", "layer": 33, "x": 0, "y": 0, "size": 1, "width": 1,
      "rotation": 0, "text": "R1"})";
  struct Case {
    std::string objects;
    std::string message;
  };
  const Case cases[] = {
      {R"({"kind": "jumper"})",
       "objects[0].kind: \"jumper\" is not track, arc, text, fill, pad, via, fromTo,"},
      {pad + R"("shapes": [[32, 1, 5, 5], [1, 1, 5, 5]], "cornerPercent": [0, 0, 0]})",
       "objects[0].shapes[1][0]: layers must be listed once each, in rising order"},
      {pad + R"("shapes": [[83, 1, 5, 5]], "cornerPercent": [0, 0, 0]})",
       "objects[0].shapes[0][0]: must be from 0 to 82"},
      {pad + R"("shapes": [[1, 0, 0, 0]], "cornerPercent": [0, 0, 0]})",
       "objects[0].shapes[0]: an entry without shape or size says nothing"},
      {pad + R"("shapes": [[1, 1, 5]], "cornerPercent": [0, 0, 0]})",
       "objects[0].shapes[0]: must be [layer, shape, x size, y size]"},
      {pad + R"("shapes": [], "cornerPercent": [0, 101, 0]})",
       "objects[0].cornerPercent[1]: must be from 0 to 100"},
      {pad + R"("shapes": []})", "objects[0].cornerPercent: required field is missing"},
      {R"({"kind": "via", "layer": 74, "x": 0, "y": 0, "size": 5, "hole": 2, "from": 1, "to": 33})",
       "objects[0].to: 33 is not a signal layer (1 to 32) or an internal plane (39 to 54)"},
      {R"({"kind": "fromTo", "layer": 1, "x1": 0, "y1": 0, "x2": 1, "y2": 1})",
       "objects[0].layer: unknown field"},
      {R"({"kind": "manualFromTo", "from": "U1-1", "to": "U1-2", "name": ""})",
       "objects[0].net: required field is missing"},
      {R"({"kind": "net", "name": 5})", "objects[0].name: must be a string, not a number"},
      {R"({"kind": "component", "layer": 1, "x": 0, "y": 0, "rotation": 0, "pattern": "P", "nameText": 4})",
       "objects[0].nameText: there is no objects[4]"},
      {text + R"(, {"kind": "component", "layer": 1, "x": 0, "y": 0, "rotation": 0, "pattern": "P",
                   "nameText": 0, "commentText": 1})",
       "objects[1].commentText: an object cannot refer to itself"},
      {R"({"kind": "net", "name": "GND"}, {"kind": "component", "layer": 1, "x": 0, "y": 0, "rotation": 0,
           "pattern": "P", "nameText": 0})",
       "objects[1].nameText: objects[0] is not a text"},
      {R"({"kind": "polygon", "layer": 1, "net": "GND", "points": [[0, 0], [1, 1]]})",
       "objects[0].points: an outline needs at least three points"},
      {R"({"kind": "region", "layer": 1, "points": [[0, 0], [1], [2, 2]]})",
       "objects[0].points[1]: must be a point [X, Y]"},
      {R"({"kind": "splitPlane", "layer": 90, "net": "GND", "points": [[0, 0], [1, 0], [1, 1]]})",
       "objects[0].layer: must be from 1 to 82"},
      {R"({"kind": "boardOutline", "points": [[0.5, 0], [1, 0], [1, 1]]})",
       "objects[0].points[0][0]: must be a whole number, not a fractional number"},
      {R"({"kind": "componentBody"})", "objects[0].layer: required field is missing"},
      {R"({"kind": "dimension", "layer": 57, "x1": 0, "y1": 0, "x2": 1, "y2": 0, "textHeight": 1,
           "lineWidth": 1, "references": [0]})",
       "objects[0].references[0]: an object cannot refer to itself"},
      {R"({"kind": "coordinate", "layer": 57, "x": 0, "y": 0, "size": -1, "lineWidth": 1, "textHeight": 1})",
       "objects[0].size: must be from 0 to 2147483647"},
      {R"({"kind": "class", "name": "Power", "memberKind": "wire", "members": []})",
       "objects[0].memberKind: \"wire\" is not net, component, fromTo, pad, layer"},
      {R"({"kind": "class", "name": "Power", "memberKind": 0, "members": ["GND", 3]})",
       "objects[0].members[1]: must be a string, not a number"},
      {R"({"kind": "rule", "name": "W", "ruleKind": 1, "scope1": "All", "scope2": "All", "value": 1,
           "priority": 1, "enabled": "yes"})",
       "objects[0].enabled: must be true or false, not a string"},
      {R"({"kind": "differentialPair", "layer": 1, "name": "USB"})", "objects[0].name: unknown field"},
      {R"({"kind": "violation", "layer": 1, "x": 0, "y": 0, "description": "too close"})",
       "objects[0].rule: required field is missing"},
      {R"({"kind": "embedded", "name": "Notes", "description": ")" + std::string(300, 'n') + R"("})",
       "objects[0].description: is 300 characters long; at most 255 are allowed"},
      {R"({"kind": "embeddedBoard", "layer": 1, "x": 0, "y": 0, "document": "A.qvpcb", "rows": 1,
           "columns": 1, "rowSpacing": 0, "columnSpacing": 0, "mirrored": 1})",
       "objects[0].mirrored: must be true or false, not a number"},
  };
  for (const Case& c : cases) EXPECT_THAT(Refusal(c.objects), StartsWith("small.board.json: " + c.message));
}

}  // namespace
}  // namespace brelix::testing
