#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <limits>

#include "EditorTestSupport.h"

namespace brelix::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

std::string Repeated(const std::string& piece, std::size_t times) {
  std::string text;
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

class BoardFileTest : public EditorTest {};

TEST_F(BoardFileTest, EveryExampleSavesToTheIdenticalFile) {
  for (const std::string& name : ExampleNames()) {
    const std::string original = LoadTextFile(ExamplePath(name));
    const char* error = nullptr;
    const qvabi::PcbHandle board = BrelixSim_OpenBoardFile(ExamplePath(name).c_str(), &error);
    ASSERT_NE(board, 0) << name << ": " << (error ? error : "");
    const std::string saved =
        (std::filesystem::temp_directory_path() / ("editor-test-" + name + ".board.json")).string();
    ASSERT_EQ(BrelixSim_SaveBoardFile(board, saved.c_str(), &error), 1) << (error ? error : "");
    EXPECT_EQ(LoadTextFile(saved), original) << name;
    std::remove(saved.c_str());
  }
}

TEST_F(BoardFileTest, ExamplesHoldTheStacksTheyPromise) {
  const auto stackOf = [&](const std::string& name) {
    const qvabi::PcbHandle board = editor().OpenBoardFile(ExamplePath(name));
    return editor().FindBoard(board)->stack;
  };
  EXPECT_EQ(stackOf("two-layer"), (std::vector<uint8_t>{1, 32}));
  EXPECT_EQ(stackOf("four-layer"), (std::vector<uint8_t>{1, 39, 40, 32}));
  EXPECT_EQ(stackOf("six-layer"), (std::vector<uint8_t>{1, 39, 2, 3, 40, 32}));
  EXPECT_EQ(stackOf("eight-layer-metric").size(), 8u);
  const auto max = stackOf("max-stack");
  EXPECT_EQ(max.size(), 48u);
  EXPECT_EQ(std::count_if(max.begin(), max.end(), [](uint8_t id) { return IsInternalPlane(id); }), 16);
  const Board* metric = editor().FindBoard(editor().OpenBoardFile(ExamplePath("eight-layer-metric")));
  EXPECT_EQ(metric->unit, kMetric);
  EXPECT_EQ(metric->layers[1].copper.value, 13780);  // 0.035mm
}

TEST_F(BoardFileTest, ReadsTheModelFromTheFile) {
  const Board& board = *editor().FindBoard(OpenSmallBoard());
  EXPECT_EQ(board.fileName, "C:\\Designs\\T\\T.qvpcb");
  EXPECT_EQ(board.unit, kImperial);
  EXPECT_EQ(board.currentLayer, 33);
  EXPECT_EQ(board.cursor, (Point{100000, -200000}));
  EXPECT_FALSE(board.refusesCommands);
  EXPECT_EQ(board.layers[1].name, "Top");
  EXPECT_EQ(board.layers[2].name, "MidLayer1");  // outside the stack: the default name
  EXPECT_EQ(board.layers[39].net, "GND");
  EXPECT_EQ(board.layers[40].net, "(No Net)");
  EXPECT_EQ(board.layers[39].copper.value, 7000);
  EXPECT_EQ(board.layers[39].dielectric.type.value, 2);
  EXPECT_EQ(board.layers[1].dielectric.height.value, 126000);
  EXPECT_EQ(board.layers[32].dielectric.type.value, 0);
  EXPECT_EQ(board.bottomDielectric.material, "Coverlay");
  EXPECT_EQ(board.layers[1].previous, 0);
  EXPECT_EQ(board.layers[1].next, 39);
  EXPECT_EQ(board.layers[39].previous, 1);
  EXPECT_EQ(board.layers[39].next, 32);
  EXPECT_EQ(board.layers[32].next, 0);
  EXPECT_EQ(board.layers[2].previous + board.layers[2].next, 0);
  ASSERT_EQ(board.pairs.size(), 2u);
  EXPECT_EQ(board.pairs[1].first, 1u);
  EXPECT_EQ(board.pairs[1].second, 39u);
}

TEST_F(BoardFileTest, SavingKeepsUnchangedTextAndWritesIntegersForChanges) {
  const qvabi::PcbHandle handle = OpenSmallBoard();
  Board& board = *editor().FindBoard(handle);
  board.layers[1].copper.value = 15000;
  board.cursor = {1, 2};  // session state: not saved
  const std::string text = editor().BoardText(board);
  EXPECT_THAT(text, HasSubstr(R"({"id": 1, "name": "Top", "copper": 15000,)"));
  EXPECT_THAT(text, HasSubstr(R"("copper": 7000, "net": "GND")"));
  EXPECT_THAT(text, HasSubstr(R"({"id": 32, "name": "Bottom", "copper": "1.4mil"})"));
  EXPECT_THAT(text, HasSubstr(R"("cursor": ["10mil", "-20mil"])"));
  EXPECT_THAT(text, HasSubstr(R"("type": 2,)"));
  // The saved text opens again to the same model.
  const qvabi::PcbHandle again = editor().OpenBoardText(text, "again.board.json");
  EXPECT_EQ(editor().FindBoard(again)->layers[1].copper.value, 15000);
  EXPECT_EQ(editor().BoardText(*editor().FindBoard(again)), text);
}

TEST_F(BoardFileTest, ObjectsAreSavedInTheOrderAddedWithIntegersOnly) {
  const qvabi::PcbHandle board = OpenSmallBoard();
  const qvabi::PcbHandle text = editor().CreateObject(5);
  const qvabi::PcbHandle track = editor().CreateObject(4);
  editor().FindObject(text)->textData->text = "Hi";
  editor().FindObject(text)->rotation = 90.0;
  editor().FindObject(track)->layer = 57;
  editor().AddToContents(board, text);
  editor().AddToContents(board, track);
  const std::string saved = editor().BoardText(*editor().FindBoard(board));
  EXPECT_THAT(
      saved, HasSubstr("  \"objects\": [\n"
                       "    {\"kind\": \"text\", \"layer\": 1, \"x\": 0, \"y\": 0, \"size\": 600000, "
                       "\"width\": 100000, \"rotation\": 90, \"text\": \"Hi\"},\n"
                       "    {\"kind\": \"track\", \"layer\": 57, \"x1\": 0, \"y1\": 0, \"x2\": 0, \"y2\": 0, "
                       "\"width\": 100000}\n  ]\n"));
  const qvabi::PcbHandle reopened = editor().OpenBoardText(saved, "r.board.json");
  EXPECT_EQ(editor().FindBoard(reopened)->contents.size(), 2u);
}

struct Refusal {
  std::string from;
  std::string to;
  std::string message;  // after "small.board.json: "
};

TEST_F(BoardFileTest, RefusesEveryBrokenRuleNamingFileFieldAndRule) {
  const std::string tooLong(256, 'x');
  const std::vector<Refusal> cases = {
      {R"("unit": "imperial")", R"("unit": 5)", "unit: must be a string, not a number"},
      {R"("unit": "imperial")", R"("unit": "furlong")", "unit: \"furlong\" is not imperial or metric"},
      {R"("id": 39)", R"("id": 33)",
       "stack[1].id: 33 is not a signal layer (1 to 32) or an internal plane (39 to 54)"},
      {R"("id": 39)", R"("id": 55)", "stack[1].id: 55 is not a signal layer"},
      {R"("id": 39)", R"("id": 0)", "stack[1].id: 0 is not a signal layer"},
      {R"("id": 39)", R"("id": "39")", "stack[1].id: must be a whole number, not a string"},
      {R"("id": 1,)", R"("id": 2,)", "stack[0].id: the stack must start with layer 1"},
      {R"("id": 32)", R"("id": 31)", "stack[2].id: the stack must end with layer 32"},
      {R"("id": 39)", R"("id": 1)", "stack[1].id: layer 1 is used twice"},
      {R"("copper": "1.4mil",)", R"("copper": "-1mil",)", "stack[0].copper: must not be negative"},
      {R"("height": "5mil")", R"("height": -5)", "stack[1].dielectric.height: must not be negative"},
      {R"("height": "12.6mil")", R"("height": "12.6 mils")",
       "stack[0].dielectric.height: \"12.6 mils\" is not a length"},
      {R"("height": "12.6mil")", R"("height": true)", "stack[0].dielectric.height: must be a length"},
      {R"("name": "Top")", "\"name\": \"" + tooLong + "\"",
       "stack[0].name: is 256 characters long; at most 255"},
      {R"("unit": "imperial",)", R"("unit": "imperial", "colour": 1,)", "colour: unknown field"},
      {R"("name": "Bottom",)", R"("name": "Bottom", "colour": 1,)", "stack[2].colour: unknown field"},
      {R"("constant": 4.8,)", R"("constant": 4.8, "loss": 0.02,)", "stack[0].dielectric.loss: unknown field"},
      {R"("format": "quorvex-board/1")", R"("format": "quorvex-board/2")",
       "format: \"quorvex-board/2\" is not"},
      {R"("unit": "imperial",)", R"("unit": "metric", "unit": "imperial",)",
       "(document): the key \"unit\" appears twice in one object"},
      {R"("name": "Top", "copper": "1.4mil",)", R"("name": "Top", "net": "GND", "copper": "1.4mil",)",
       "stack[0].net: only internal planes carry a net"},
      {R"("name": "Bottom", "copper": "1.4mil"})",
       R"("name": "Bottom", "copper": "1.4mil", "dielectric": {"material": "A", "type": 0, "constant": 1, "height": 0}})",
       "stack[2].dielectric: the last layer of the stack has no dielectric below it"},
      {R"("type": "core")", R"("type": "foam")",
       "stack[0].dielectric.type: \"foam\" is not none, core, prepreg"},
      {R"("constant": 4.8,)", R"("constant": -4.8,)", "stack[0].dielectric.constant: must not be negative"},
      {"[1, 39]", "[1, 2]", "layerPairs[1][1]: layer 2 is not in the stack"},
      {"[1, 39]", "[1, 1]", "layerPairs[1]: a pair needs two different layers"},
      {R"(["10mil", "-20mil"])", R"(["10mil"])", "cursor: must be an array of two lengths"},
      {R"("currentLayer": 33)", R"("currentLayer": 83)", "currentLayer: must be from 1 to 82"},
      {R"("currentLayer": 33)", R"("currentLayer": 4294967296)", "currentLayer: must be from 1 to 82"},
      {R"("unit": "imperial",)", R"("unit": "imperial", "refusesCommands": "yes",)",
       "refusesCommands: must be true or false, not a string"},
      {R"("layerPairs")", R"("objects": [{"kind": "jumper", "layer": 1}], "layerPairs")",
       "objects[0].kind: \"jumper\" is not track, arc, text, fill, pad, via"},
      {R"("layerPairs")",
       R"("objects": [{"kind": "track", "layer": 1, "x1": 0, "y1": 0, "x2": 5, "y2": 5}], "layerPairs")",
       "objects[0].width: required field is missing"},
      {R"("layerPairs")",
       R"("objects": [{"kind": "track", "layer": 1, "x1": 0, "y1": 0, "x2": 5, "y2": 5, "width": "1mil"}], "layerPairs")",
       "objects[0].width: must be a whole number, not a string"},
      {R"("layerPairs")",
       R"("objects": [{"kind": "text", "layer": 90, "x": 0, "y": 0, "size": 1, "width": 1, "rotation": 0, "text": "a"}], "layerPairs")",
       "objects[0].layer: must be from 1 to 82"},
      {R"("layerPairs")",
       R"("objects": [{"kind": "arc", "layer": 1, "x": 0, "y": 0, "radius": 5, "startAngle": 0, "endAngle": 90, "width": 1, "z": 0}], "layerPairs")",
       "objects[0].z: unknown field"},
      {R"("layerPairs")", R"("objects": 7, "layerPairs")", "objects: must be an array, not a number"},
      // Numbers beyond a double, or beyond the single precision the legend shows.
      {R"("constant": 4.8,)", R"("constant": 1e400,)",
       "stack[0].dielectric.constant: the number 1e400 is out of range"},
      {R"("constant": 4.2,)", R"("constant": -1e400,)",
       "stack[1].dielectric.constant: the number -1e400 is out of range"},
      {R"("constant": 4.8,)", R"("constant": 1e39,)", "stack[0].dielectric.constant: must be at most 3.4e38"},
      {R"("layerPairs")",
       R"("objects": [{"kind": "track", "layer": 1, "x1": )" + std::string(400, '9') +
           R"(, "y1": 0, "x2": 5, "y2": 5, "width": 1}], "layerPairs")",
       "objects[0].x1: the number 99999999999999999999... is out of range"},
      {R"("currentLayer": 33)", R"("currentLayer": 99999999999999999999)",
       "currentLayer: must be from 1 to 82"},
  };
  for (const Refusal& refusal : cases) {
    const std::string text = Replaced(SmallBoardText(), refusal.from, refusal.to);
    const char* error = nullptr;
    EXPECT_EQ(BrelixSim_OpenBoardText(text.c_str(), "small.board.json", &error), 0) << refusal.message;
    ASSERT_NE(error, nullptr) << refusal.message;
    EXPECT_THAT(error, StartsWith("small.board.json: " + refusal.message));
    EXPECT_EQ(std::string(error).find('\n'), std::string::npos) << "one line: " << error;
    EXPECT_EQ(PcbApi_GetCurrentBoardHandle(), 0) << "nothing may be opened: " << refusal.message;
    EXPECT_EQ(BrelixSim_LiveObjectCount(), 0);
  }
}

TEST_F(BoardFileTest, RefusesMalformedDocuments) {
  const std::string full = SmallBoardText();
  const std::vector<std::pair<std::string, std::string>> cases = {
      {full.substr(0, full.size() / 2), "(document): not valid JSON (truncated or malformed) at line"},
      {"", "(document): not valid JSON"},
      {"[1, 2]", "(document): must be an object, not an array"},
      {R"({"stack": )" + std::string(100, '[') + std::string(100, ']') + "}",
       "stack" + Repeated("[0]", 31) + ": nested deeper than 32 levels"},
      {R"({"format": "quorvex-board/1"})", "stack: required field is missing"},
      {R"({"format": "quorvex-board/1", "stack": []})", "stack: must hold at least the layers 1 and 32"},
      {R"({"stack": 1})", "format: required field is missing"},
  };
  for (const auto& [text, message] : cases) {
    const char* error = nullptr;
    EXPECT_EQ(BrelixSim_OpenBoardText(text.c_str(), "bad.board.json", &error), 0);
    ASSERT_NE(error, nullptr);
    EXPECT_THAT(error, StartsWith("bad.board.json: " + message));
  }
  const char* error = nullptr;
  EXPECT_EQ(BrelixSim_OpenBoardFile("/nonexistent/x.board.json", &error), 0);
  EXPECT_STREQ(error, "/nonexistent/x.board.json: cannot be read");
  EXPECT_EQ(BrelixSim_OpenBoardFile("/dev/zero", &error), 0) << "an endless file must not hang the editor";
  EXPECT_STREQ(error, "/dev/zero: is larger than 64 MiB; not a board file");
}

// The reader takes each object as the parser completes it; a DOM parser with
// a checking callback took minutes (quadratic) over a million empty objects.
TEST_F(BoardFileTest, ReadsObjectsInOnePassAndHoldsNoMoreThanABoardNeeds) {
  const std::string million = "[" + Repeated("{},", 999999) + "{}]";
  const char* error = nullptr;
  EXPECT_EQ(BrelixSim_OpenBoardText(SmallBoardText(R"("objects": )" + million + ",").c_str(), "e.board.json",
                                    &error),
            0);
  EXPECT_STREQ(error, "e.board.json: objects[0].kind: required field is missing");

  // Outside the objects, no board needs 65536 values: 70000 layer pairs are 140000.
  const std::string pairs = "[" + Repeated("[1, 32], ", 69999) + "[1, 32]]";
  EXPECT_EQ(BrelixSim_OpenBoardText(SmallBoardText(R"("layerPairs": )" + pairs + ",").c_str(), "p.board.json",
                                    &error),
            0);
  EXPECT_THAT(error, HasSubstr("holds more than 65536 values outside its objects"));

  std::string tracks;
  for (int i = 0; i < 1000; ++i)
    tracks += (i ? ", " : "") + std::string(R"({"kind": "track", "layer": 1, "x1": )") + std::to_string(i) +
              R"(, "y1": 0, "x2": 0, "y2": 0, "width": 1})";
  const qvabi::PcbHandle board =
      editor().OpenBoardText(SmallBoardText(R"("objects": [)" + tracks + "],"), "t");
  const auto& contents = editor().FindBoard(board)->contents;
  ASSERT_EQ(contents.size(), 1000u);
  for (int i = 0; i < 1000; i += 333) EXPECT_EQ(editor().FindObject(contents[i])->x, i);
}

// A cut text, or a text the editor was handed, may end inside a character
// or hold bytes that are not UTF-8; JSON replaces those by U+FFFD (three
// bytes), which could take a 254-byte text past the reader's 255.
TEST_F(BoardFileTest, TheWriterNeverWritesWhatTheReaderRefuses) {
  BoardFileContents contents = ReadBoardFile(SmallBoardText(), "s.board.json");
  Board& board = contents.board;
  board.layers[1].name = std::string(254, 'x') + "\xC3";
  board.layers[39].net = std::string(253, 'n') + "\xE2\x82";
  board.fileName = Repeated("\xE9", 300);  // Latin-1 bytes, not UTF-8
  board.layers[1].dielectric.constant = 1e300;
  board.topDielectric.height.value = -5;
  EditorObject text = MakeObject(qvabi::ObjectKind::Text, 0);
  text.textData->text = std::string(255, 'a');
  text.textData->text.back() = '\xF0';
  const std::string written = WriteBoardFile(board, {&text});
  const BoardFileContents again = ReadBoardFile(written, "again.board.json");
  EXPECT_EQ(again.board.layers[1].name, std::string(254, 'x')) << "255 bytes with U+FFFD do not fit";
  EXPECT_EQ(again.board.layers[39].net, std::string(253, 'n'));
  EXPECT_EQ(again.board.fileName, Repeated("\xEF\xBF\xBD", 85));
  EXPECT_EQ(again.board.layers[1].dielectric.constant.value,
            static_cast<double>(std::numeric_limits<float>::max()));
  EXPECT_EQ(again.board.topDielectric.height.value, 0);
  ASSERT_EQ(again.objects.size(), 1u);
  EXPECT_EQ(again.objects[0].textData->text, std::string(254, 'a'));
}

TEST_F(BoardFileTest, AMinimalBoardGetsDefaults) {
  const qvabi::PcbHandle handle = editor().OpenBoardText(
      R"({"format": "quorvex-board/1", "stack": [{"id": 1, "dielectric": {"material": "FR-4", "type": 1,
      "constant": 4.8, "height": 126000}}, {"id": 32}]})",
      "m.board.json");
  const Board& board = *editor().FindBoard(handle);
  EXPECT_EQ(board.layers[1].name, "TopLayer");
  EXPECT_EQ(board.layers[32].copper.value, 14000);
  EXPECT_EQ(board.cursor, (Point{0, 0}));
  EXPECT_EQ(board.unit, kImperial);
  EXPECT_EQ(board.currentLayer, 1);
  EXPECT_TRUE(board.pairs.empty());
}

TEST_F(BoardFileTest, SaveReportsAnUnknownBoardAndAnUnwritablePath) {
  const char* error = nullptr;
  EXPECT_EQ(BrelixSim_SaveBoardFile(12345, "/tmp/x.board.json", &error), 0);
  EXPECT_STREQ(error, "board 12345 is not open");
  const qvabi::PcbHandle board = OpenSmallBoard();
  EXPECT_EQ(BrelixSim_SaveBoardFile(board, "/nonexistent/dir/x.board.json", &error), 0);
  EXPECT_STREQ(error, "/nonexistent/dir/x.board.json: cannot be written");
  EXPECT_EQ(BrelixSim_BoardText(12345), nullptr);
}

}  // namespace
}  // namespace brelix::testing
