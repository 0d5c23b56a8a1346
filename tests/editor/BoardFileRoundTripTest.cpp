// Whatever an object holds, the board file written for it opens again: the
// writer holds every value to what the reader takes, or refuses the save
// naming the value no entry can hold. The objects are random, every field of
// every kind filled from the whole range of its type.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "EditorTestSupport.h"

namespace brelix::testing {
namespace {

using ::testing::AnyOf;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class RandomFields {
 public:
  explicit RandomFields(uint32_t seed) : random_(seed) {}

  // Mostly ordinary values, often the edges of the type and of zero.
  template <class T>
  T Integer() {
    using Limits = std::numeric_limits<T>;
    const std::vector<int64_t> edges = {static_cast<int64_t>(Limits::min()), -1, 0, 1, 100, 101, 255,
                                        static_cast<int64_t>(Limits::max())};
    switch (Below(4)) {
      case 0: {
        const int64_t edge = edges[Below(edges.size())];
        return static_cast<T>(std::clamp<int64_t>(edge, Limits::min(), Limits::max()));
      }
      case 1:
        return static_cast<T>(
            std::clamp<int64_t>(static_cast<int64_t>(Below(120)), Limits::min(), Limits::max()));
      default:
        return static_cast<T>(random_());
    }
  }
  template <class T, std::size_t N>
  void Fill(std::array<T, N>& values) {
    for (T& value : values) value = Below(3) == 0 ? Integer<T>() : T{};
  }

  double Angle() {
    const double special[] = {std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(),
                              1e300,
                              -0.0,
                              90.0,
                              1e9};
    if (Below(3) == 0) return special[Below(std::size(special))];
    return std::uniform_real_distribution<double>(-720.0, 720.0)(random_);
  }

  // Any bytes: quotes, controls, bytes that are not UTF-8, longer than a file holds.
  std::string Text() {
    const std::size_t length = Below(4) == 0 ? 250 + Below(20) : Below(12);
    std::string text;
    for (std::size_t i = 0; i < length; ++i)
      text += Below(2) == 0 ? static_cast<char>('a' + Below(26)) : static_cast<char>(Below(256));
    return text;
  }

  std::size_t Below(std::size_t bound) { return static_cast<std::size_t>(random_() % bound); }

 private:
  std::mt19937 random_;
};

// An object of `kind` with every field random; references go to the board's
// other objects (`handles`), to itself, to nothing or to unknown handles.
EditorObject RandomObject(qvabi::ObjectKind kind, qvabi::PcbHandle handle,
                          const std::vector<qvabi::PcbHandle>& handles, RandomFields& r) {
  EditorObject o = MakeObject(kind, handle);
  const auto reference = [&] {
    const std::size_t pick = r.Below(handles.size() + 3);
    if (pick < handles.size()) return handles[pick];
    return pick == handles.size()       ? handle
           : pick == handles.size() + 1 ? qvabi::PcbHandle{0}
                                        : qvabi::PcbHandle{999};
  };
  o.layer = r.Integer<uint32_t>();
  o.x = r.Integer<int32_t>();
  o.y = r.Integer<int32_t>();
  o.x2 = r.Integer<int32_t>();
  o.y2 = r.Integer<int32_t>();
  o.width = r.Integer<int32_t>();
  o.radius = r.Integer<int32_t>();
  o.size = r.Integer<int32_t>();
  o.hole = r.Integer<int32_t>();
  o.startAngle = r.Angle();
  o.endAngle = r.Angle();
  o.rotation = r.Angle();
  o.textData->text = r.Text();
  o.labels->name = r.Text();
  o.labels->net = r.Text();
  o.lowLayer = r.Integer<uint8_t>();
  o.highLayer = r.Integer<uint8_t>();
  o.pad->stackMode = r.Integer<uint8_t>();
  r.Fill(o.pad->shapes);
  r.Fill(o.pad->sizeX);
  r.Fill(o.pad->sizeY);
  r.Fill(o.pad->cornerPercent);
  o.labels->fromPad = r.Text();
  o.labels->toPad = r.Text();
  o.labels->description = r.Text();
  o.labels->rule = r.Text();
  o.component->pattern = r.Text();
  o.component->nameObject = reference();
  o.component->commentObject = reference();
  for (std::size_t i = r.Below(6); i > 0; --i)
    o.outline->points.push_back({r.Integer<int32_t>(), r.Integer<int32_t>()});
  o.dimension->textHeight = r.Integer<int32_t>();
  for (std::size_t i = r.Below(4); i > 0; --i) o.dimension->references.push_back(reference());
  o.objectClass->memberKind = r.Integer<uint8_t>();
  for (std::size_t i = r.Below(3); i > 0; --i) o.objectClass->members.push_back(r.Text());
  o.designRule->ruleKind = r.Integer<uint8_t>();
  o.designRule->scope1 = r.Text();
  o.designRule->scope2 = r.Text();
  o.designRule->value = r.Integer<int32_t>();
  o.designRule->priority = r.Integer<int32_t>();
  o.designRule->enabled = r.Integer<uint8_t>();
  o.embeddedBoard->document = r.Text();
  o.embeddedBoard->rows = r.Integer<int32_t>();
  o.embeddedBoard->columns = r.Integer<int32_t>();
  o.embeddedBoard->rowSpacing = r.Integer<int32_t>();
  o.embeddedBoard->columnSpacing = r.Integer<int32_t>();
  o.embeddedBoard->mirrored = r.Integer<uint8_t>();
  return o;
}

class BoardFileRoundTripTest : public EditorTest {};

TEST_F(BoardFileRoundTripTest, EveryObjectTheEditorCanHoldIsWrittenSoThatItOpensAgain) {
  RandomFields r(15);
  const BoardFileContents small = ReadBoardFile(SmallBoardText(), "small.board.json");
  std::map<int, int> written;
  for (int code = 1; code <= 0xFF; ++code) {
    if (!IsSupportedKind(code)) continue;
    const auto kind = static_cast<qvabi::ObjectKind>(code);
    SCOPED_TRACE(KindName(kind));
    for (int round = 0; round < 150; ++round) {
      // A text and a track beside the object, for its references to name.
      EditorObject text = MakeObject(qvabi::ObjectKind::Text, 1);
      EditorObject track = MakeObject(qvabi::ObjectKind::Track, 3);
      const EditorObject object = RandomObject(kind, 2, {1, 3}, r);
      std::string saved;
      try {
        saved = WriteBoardFile(small.board, {&text, &object, &track});
      } catch (const BoardFileError& refusal) {
        EXPECT_THAT(refusal.what(), AnyOf(StartsWith("objects[1].layer: "), StartsWith("objects[1].from: "),
                                          StartsWith("objects[1].to: "), StartsWith("objects[1].points: ")));
        continue;
      }
      ++written[code];
      qvabi::PcbHandle reopened = 0;
      try {
        reopened = editor().OpenBoardText(saved, "saved.board.json");
      } catch (const BoardFileError& refusal) {
        ADD_FAILURE() << refusal.what() << "\n" << saved;
        continue;
      }
      // What was read is written again unchanged: nothing was lost on the way.
      EXPECT_EQ(editor().BoardText(*editor().FindBoard(reopened)), saved);
      editor().CloseBoard(reopened);
    }
    EXPECT_GT(written[code], 0) << "no object of this kind could be written at all";
  }
}

TEST_F(BoardFileRoundTripTest, ValuesOutsideTheReadersRangesAreHeldToTheNearestItTakes) {
  EditorObject pad = MakeObject(qvabi::ObjectKind::Pad, 1);
  pad.hole = -5;
  pad.pad->sizeX[1] = -600000;
  pad.pad->cornerPercent = {255, 100, 0};
  EditorObject via = MakeObject(qvabi::ObjectKind::Via, 2);
  via.size = std::numeric_limits<int32_t>::min();
  EditorObject rule = MakeObject(qvabi::ObjectKind::Rule, 3);
  rule.designRule->priority = -1;
  const BoardFileContents small = ReadBoardFile(SmallBoardText(), "small.board.json");
  const BoardFileContents again =
      ReadBoardFile(WriteBoardFile(small.board, {&pad, &via, &rule}), "again.board.json");
  ASSERT_EQ(again.objects.size(), 3u);
  EXPECT_EQ(again.objects[0].hole, 0);
  EXPECT_EQ(again.objects[0].pad->sizeX[1], 0);
  EXPECT_EQ(again.objects[0].pad->sizeY[1], pad.pad->sizeY[1]);
  EXPECT_EQ(again.objects[0].pad->cornerPercent, (std::array<uint8_t, 3>{100, 100, 0}));
  EXPECT_EQ(again.objects[1].size, 0);
  EXPECT_EQ(again.objects[2].designRule->priority, 0);
}

TEST_F(BoardFileRoundTripTest, AnObjectNoEntryCanHoldRefusesTheSaveNamingIt) {
  const BoardFileContents small = ReadBoardFile(SmallBoardText(), "small.board.json");
  const auto refusal = [&](const EditorObject& object) -> std::string {
    const EditorObject track = MakeObject(qvabi::ObjectKind::Track, 9);
    try {
      WriteBoardFile(small.board, {&track, &object});
    } catch (const BoardFileError& error) {
      return error.what();
    }
    return "(written)";
  };
  EditorObject track = MakeObject(qvabi::ObjectKind::Track, 1);
  track.layer = 0;
  EXPECT_THAT(refusal(track), StartsWith("objects[1].layer: 0 names no layer"));
  EditorObject via = MakeObject(qvabi::ObjectKind::Via, 1);
  via.highLayer = 33;
  EXPECT_THAT(refusal(via), StartsWith("objects[1].to: 33 is not a signal layer"));
  EditorObject region = MakeObject(qvabi::ObjectKind::Region, 1);
  region.outline->points = {{0, 0}, {1, 1}};
  EXPECT_THAT(refusal(region), StartsWith("objects[1].points: an outline needs at least three"));
  // Through the editor the refusal is the save's failure, and no file is written.
  const qvabi::PcbHandle board = OpenSmallBoard();
  const qvabi::PcbHandle made = editor().CreateObject(static_cast<uint8_t>(qvabi::ObjectKind::Region));
  editor().AddToContents(board, made);
  const char* error = nullptr;
  const std::string path = ::testing::TempDir() + "/unsaved.board.json";
  EXPECT_EQ(BrelixSim_SaveBoardFile(board, path.c_str(), &error), 0);
  EXPECT_THAT(error, HasSubstr("points: an outline needs at least three points, not 0"));
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace brelix::testing
