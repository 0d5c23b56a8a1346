// Objects: defaults, the per-kind records field by field, handles, contents
// and bounding rectangles.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "EditorTestSupport.h"

namespace brelix::testing {
namespace {

constexpr uint8_t R = qvabi::ReadMode;
constexpr uint8_t W = qvabi::WriteMode;

class ObjectRecordsTest : public EditorTest {
 protected:
  EditorObject& Object(qvabi::PcbHandle handle) { return *editor().FindObject(handle); }
};

TEST_F(ObjectRecordsTest, NewObjectsCarryTheEditorsDefaults) {
  const qvabi::PcbHandle track = PcbApi_CreateObject(4);
  const qvabi::PcbHandle arc = PcbApi_CreateObject(1);
  const qvabi::PcbHandle text = PcbApi_CreateObject(5);
  const qvabi::PcbHandle fill = PcbApi_CreateObject(6);
  EXPECT_EQ(PcbApi_GetObjectIdFromObjectHandle(track), 4);
  EXPECT_EQ(PcbApi_GetObjectIdFromObjectHandle(arc), 1);
  EXPECT_EQ(PcbApi_GetObjectIdFromObjectHandle(text), 5);
  EXPECT_EQ(PcbApi_GetObjectIdFromObjectHandle(fill), 6);
  EXPECT_EQ(PcbApi_GetObjectIdFromObjectHandle(99999), 0);
  // Codes 23 to 25 name no kind.
  EXPECT_EQ(PcbApi_CreateObject(23), 0);
  EXPECT_EQ(PcbApi_CreateObject(0), 0);

  int32_t width = 0;
  uint32_t layer = 0;
  PcbApi_QueryTrack(R, track, nullptr, nullptr, &layer, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                    nullptr, &width, nullptr, nullptr, nullptr);
  EXPECT_EQ(layer, 1u);
  EXPECT_EQ(width, 100000);
  width = 0;
  PcbApi_QueryArc(R, arc, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                  nullptr, nullptr, &width, nullptr);
  EXPECT_EQ(width, 100000);
  int32_t size = 0, stroke = 0, trueTypeValue = 0;
  double rotation = 1;
  qvabi::ShortString font{};
  PcbApi_QueryText(R, text, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &size,
                   nullptr, &rotation, nullptr, nullptr, &stroke, nullptr, nullptr);
  PcbApi_QueryTrueTypeTextInfo(R, text, nullptr, &font, nullptr, nullptr, nullptr, &trueTypeValue);
  EXPECT_EQ(size, 600000);
  EXPECT_EQ(stroke, 100000);
  EXPECT_EQ(rotation, 0.0);
  EXPECT_EQ(font.str(), "Arial");
  EXPECT_EQ(trueTypeValue, 200000);
  EXPECT_EQ(BrelixSim_LiveObjectCount(), 4);
}

TEST_F(ObjectRecordsTest, BaseRecordPassesTheSecondValueBeforeTheByte) {
  const qvabi::PcbHandle h = PcbApi_CreateObject(4);
  uint16_t flags = 0x1111, word = 0x2222;
  uint32_t layer = 0x01010005;
  int32_t v1 = 444, v2 = 555;
  uint8_t byte = 66;
  EXPECT_EQ(PcbApi_QueryPrimitive(W, h, &flags, &word, &layer, &v1, &v2, &byte), 0);
  const EditorObject& o = Object(h);
  EXPECT_EQ(o.flags, 0x1111);
  EXPECT_EQ(o.headerWord, 0x2222);
  EXPECT_EQ(o.layer, 0x01010005u);
  EXPECT_EQ(o.headerValue1, 444);
  EXPECT_EQ(o.headerValue2, 555);
  EXPECT_EQ(o.headerByte, 66);
  flags = word = 0, layer = 0, v1 = v2 = 0, byte = 0;
  EXPECT_EQ(PcbApi_QueryPrimitive(R, h, &flags, &word, &layer, &v1, &v2, &byte), 0);
  EXPECT_EQ(v2, 555);
  EXPECT_EQ(byte, 66);

  uint8_t bits2 = 0x5A;
  uint16_t bits3 = 0xA5A5;
  PcbApi_GetObjectBitField2(W, h, &bits2);
  PcbApi_GetObjectBitField3(W, h, &bits3);
  EXPECT_EQ(o.bitField2, 0x5A);
  EXPECT_EQ(o.bitField3, 0xA5A5);
  bits2 = 0, bits3 = 0;
  PcbApi_GetObjectBitField2(R, h, &bits2);
  PcbApi_GetObjectBitField3(R, h, &bits3);
  EXPECT_EQ(bits2, 0x5A);
  EXPECT_EQ(bits3, 0xA5A5);
}

TEST_F(ObjectRecordsTest, TrackRecordBothWays) {
  const qvabi::PcbHandle h = PcbApi_CreateObject(4);
  uint16_t flags = 1, word = 2;
  uint32_t layer = 3;
  int32_t v1 = 4, v2 = 6, x = 7, y = 8, x2 = 9, y2 = 10, width = 11, a = 12, b = 13, c = 14;
  uint8_t byte = 5;
  EXPECT_EQ(
      PcbApi_QueryTrack(W, h, &flags, &word, &layer, &v1, &byte, &v2, &x, &y, &x2, &y2, &width, &a, &b, &c),
      0);
  const EditorObject& o = Object(h);
  EXPECT_EQ(
      std::vector<int64_t>({o.flags, o.headerWord, o.layer, o.headerValue1, o.headerByte, o.headerValue2, o.x,
                            o.y, o.x2, o.y2, o.width, o.attributeA, o.attributeB, o.attributeC}),
      std::vector<int64_t>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
  Object(h).y2 = 100;
  flags = word = 0, layer = 0, v1 = v2 = x = y = x2 = y2 = width = a = b = c = 0, byte = 0;
  EXPECT_EQ(
      PcbApi_QueryTrack(R, h, &flags, &word, &layer, &v1, &byte, &v2, &x, &y, &x2, &y2, &width, &a, &b, &c),
      0);
  EXPECT_EQ(std::vector<int64_t>({flags, word, layer, v1, byte, v2, x, y, x2, y2, width, a, b, c}),
            std::vector<int64_t>({1, 2, 3, 4, 5, 6, 7, 8, 9, 100, 11, 12, 13, 14}));
}

TEST_F(ObjectRecordsTest, ArcRecordBothWays) {
  const qvabi::PcbHandle h = PcbApi_CreateObject(1);
  uint16_t flags = 1, word = 2;
  uint32_t layer = 3;
  int32_t v1 = 4, v2 = 6, x = 7, y = 8, radius = 9, width = 12, a = 13;
  uint8_t byte = 5;
  double start = 10.5, end = 11.5;
  EXPECT_EQ(PcbApi_QueryArc(W, h, &flags, &word, &layer, &v1, &byte, &v2, &x, &y, &radius, &start, &end,
                            &width, &a),
            0);
  const EditorObject& o = Object(h);
  EXPECT_EQ(std::vector<int64_t>({o.flags, o.headerWord, o.layer, o.headerValue1, o.headerByte,
                                  o.headerValue2, o.x, o.y, o.radius, o.width, o.attributeA}),
            std::vector<int64_t>({1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13}));
  EXPECT_EQ(o.startAngle, 10.5);
  EXPECT_EQ(o.endAngle, 11.5);
  Object(h).endAngle = 270;
  flags = word = 0, layer = 0, v1 = v2 = x = y = radius = width = a = 0, byte = 0, start = end = 0;
  EXPECT_EQ(PcbApi_QueryArc(R, h, &flags, &word, &layer, &v1, &byte, &v2, &x, &y, &radius, &start, &end,
                            &width, &a),
            0);
  EXPECT_EQ(std::vector<int64_t>({flags, word, layer, v1, byte, v2, x, y, radius, width, a}),
            std::vector<int64_t>({1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13}));
  EXPECT_EQ(start, 10.5);
  EXPECT_EQ(end, 270.0);
}

TEST_F(ObjectRecordsTest, FillRecordBothWays) {
  const qvabi::PcbHandle h = PcbApi_CreateObject(6);
  uint16_t flags = 1, word = 2;
  uint32_t layer = 3;
  int32_t v1 = 4, v2 = 6, x = 7, y = 8, x2 = 9, y2 = 10, a = 11;
  uint8_t byte = 5;
  double rotation = 12.25;
  EXPECT_EQ(PcbApi_QueryFill(W, h, &flags, &word, &layer, &v1, &byte, &v2, &x, &y, &x2, &y2, &a, &rotation),
            0);
  const EditorObject& o = Object(h);
  EXPECT_EQ(std::vector<int64_t>({o.flags, o.headerWord, o.layer, o.headerValue1, o.headerByte,
                                  o.headerValue2, o.x, o.y, o.x2, o.y2, o.attributeA}),
            std::vector<int64_t>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  EXPECT_EQ(o.rotation, 12.25);
  flags = word = 0, layer = 0, v1 = v2 = x = y = x2 = y2 = a = 0, byte = 0, rotation = 0;
  EXPECT_EQ(PcbApi_QueryFill(R, h, &flags, &word, &layer, &v1, &byte, &v2, &x, &y, &x2, &y2, &a, &rotation),
            0);
  EXPECT_EQ(std::vector<int64_t>({flags, word, layer, v1, byte, v2, x, y, x2, y2, a}),
            std::vector<int64_t>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  EXPECT_EQ(rotation, 12.25);
}

TEST_F(ObjectRecordsTest, TextRecordAndItsPartsBothWays) {
  const qvabi::PcbHandle h = PcbApi_CreateObject(5);
  uint16_t flags = 1, word = 2;
  uint32_t layer = 3;
  int32_t v1 = 4, v2 = 6, x = 7, y = 8, size = 9, attribute = 10, width = 13, b = 14, c = 15;
  uint8_t byte = 5, textFlag = 12;
  double rotation = 11.5;
  qvabi::ShortString text{};
  text.assign("Layer Stack Up");
  EXPECT_EQ(PcbApi_QueryText(W, h, &flags, &word, &layer, &v1, &byte, &v2, &x, &y, &size, &attribute,
                             &rotation, &textFlag, &text, &width, &b, &c),
            0);
  const EditorObject& o = Object(h);
  EXPECT_EQ(std::vector<int64_t>({o.flags, o.headerWord, o.layer, o.headerValue1, o.headerByte,
                                  o.headerValue2, o.x, o.y, o.size, o.textData->textAttribute,
                                  o.textData->textFlag, o.width, o.attributeB, o.attributeC}),
            std::vector<int64_t>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15}));
  EXPECT_EQ(o.rotation, 11.5);
  EXPECT_EQ(o.textData->text, "Layer Stack Up");
  flags = word = 0, layer = 0, v1 = v2 = x = y = size = attribute = width = b = c = 0, byte = textFlag = 0;
  rotation = 0;
  text.clear();
  EXPECT_EQ(PcbApi_QueryText(R, h, &flags, &word, &layer, &v1, &byte, &v2, &x, &y, &size, &attribute,
                             &rotation, &textFlag, &text, &width, &b, &c),
            0);
  EXPECT_EQ(
      std::vector<int64_t>({flags, word, layer, v1, byte, v2, x, y, size, attribute, textFlag, width, b, c}),
      std::vector<int64_t>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15}));
  EXPECT_EQ(rotation, 11.5);
  EXPECT_EQ(text.str(), "Layer Stack Up");

  uint8_t mode = 21, f1 = 22, f2 = 23, f3 = 24;
  int32_t value = 25;
  qvabi::ShortString font{};
  font.assign("Consolas");
  EXPECT_EQ(PcbApi_QueryTrueTypeTextInfo(W, h, &mode, &font, &f1, &f2, &f3, &value), 0);
  EXPECT_EQ(
      std::vector<int64_t>({o.textData->trueTypeMode, o.textData->trueTypeFlag1, o.textData->trueTypeFlag2,
                            o.textData->trueTypeFlag3, o.textData->trueTypeValue}),
      std::vector<int64_t>({21, 22, 23, 24, 25}));
  EXPECT_EQ(o.textData->fontName, "Consolas");
  mode = f1 = f2 = f3 = 0, value = 0;
  font.clear();
  PcbApi_QueryTrueTypeTextInfo(R, h, &mode, &font, &f1, &f2, &f3, &value);
  EXPECT_EQ(std::vector<int64_t>({mode, f1, f2, f3, value}), std::vector<int64_t>({21, 22, 23, 24, 25}));
  EXPECT_EQ(font.str(), "Consolas");

  uint8_t b0 = 31, b1 = 32, b2 = 33, b3 = 34;
  EXPECT_EQ(PcbApi_QueryBarCodeTextInfo(W, h, &b0, &b1, &b2, &b3), 0);
  EXPECT_EQ(o.textData->barCode, (std::array<uint8_t, 4>{31, 32, 33, 34}));
  b0 = b1 = b2 = b3 = 0;
  PcbApi_QueryBarCodeTextInfo(R, h, &b0, &b1, &b2, &b3);
  EXPECT_EQ(std::vector<int>({b0, b1, b2, b3}), std::vector<int>({31, 32, 33, 34}));

  qvabi::ShortString designator{};
  EXPECT_EQ(PcbApi_GetDesignatorDisplayString(h, &designator), 0);
  EXPECT_EQ(designator.str(), "Layer Stack Up");
}

TEST_F(ObjectRecordsTest, AKindQueryOnAnotherKindChangesNothing) {
  const qvabi::PcbHandle text = PcbApi_CreateObject(5);
  int32_t x = 5;
  EXPECT_EQ(PcbApi_QueryTrack(W, text, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &x, nullptr,
                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
            1);
  EXPECT_EQ(Object(text).x, 0);
  const qvabi::PcbHandle track = PcbApi_CreateObject(4);
  EXPECT_EQ(PcbApi_QueryTrueTypeTextInfo(R, track, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(PcbApi_QueryArc(R, track, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr, nullptr, nullptr),
            1);
  EXPECT_EQ(PcbApi_QueryPrimitive(W, 123456, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 1);
  qvabi::ShortString s{};
  EXPECT_EQ(PcbApi_GetDesignatorDisplayString(track, &s), 1);
}

TEST_F(ObjectRecordsTest, HandlesAreNeverReused) {
  const qvabi::PcbHandle board = OpenSmallBoard();
  std::set<qvabi::PcbHandle> seen = {board};
  for (int i = 0; i < 5; ++i) {
    const qvabi::PcbHandle h = PcbApi_CreateObject(4);
    EXPECT_TRUE(seen.insert(h).second) << h;
    PcbApi_DestroyObject(h);
  }
  BrelixSim_Reset();
  const qvabi::PcbHandle afterReset = PcbApi_CreateObject(5);
  EXPECT_TRUE(seen.insert(afterReset).second);
  EXPECT_TRUE(seen.insert(OpenSmallBoard()).second);
  EXPECT_EQ(PcbApi_GetObjectIdFromObjectHandle(board), 0) << "a board handle is not an object";
}

TEST_F(ObjectRecordsTest, ContentsKeepTheOrderAddedAndLoseDestroyedObjects) {
  const qvabi::PcbHandle board = OpenSmallBoard();
  const qvabi::PcbHandle other = OpenSmallBoard();
  const qvabi::PcbHandle a = PcbApi_CreateObject(4), b = PcbApi_CreateObject(5), c = PcbApi_CreateObject(1);
  PcbApi_SetOwnerBoard(a, board);
  EXPECT_EQ(Object(a).owner, board);
  EXPECT_EQ(BrelixSim_BoardObjectCount(board), 0) << "owning is not being in the contents";
  PcbApi_AddObjectToContainer(board, c);
  PcbApi_AddObjectToContainer(board, a);
  PcbApi_AddObjectToContainer(board, b);
  PcbApi_AddObjectToContainer(board, a);  // once only
  PcbApi_AddObjectToContainer(board, 4242);
  PcbApi_AddObjectToContainer(4242, a);
  ASSERT_EQ(BrelixSim_BoardObjectCount(board), 3);
  EXPECT_EQ(BrelixSim_BoardObjectAt(board, 0), c);
  EXPECT_EQ(BrelixSim_BoardObjectAt(board, 1), a);
  EXPECT_EQ(BrelixSim_BoardObjectAt(board, 2), b);
  EXPECT_EQ(BrelixSim_BoardObjectAt(board, 3), 0);
  PcbApi_DestroyObject(a);
  PcbApi_DestroyObject(a);
  PcbApi_DestroyObject(987654);
  EXPECT_EQ(BrelixSim_BoardObjectCount(board), 2);
  EXPECT_EQ(BrelixSim_BoardObjectAt(board, 1), b);
  PcbApi_AddObjectToContainer(other, b);  // moves
  EXPECT_EQ(BrelixSim_BoardObjectCount(board), 1);
  EXPECT_EQ(BrelixSim_BoardObjectAt(other, 0), b);
  const qvabi::PcbHandle free = PcbApi_CreateObject(4);
  PcbApi_SetOwnerBoard(free, other);
  EXPECT_EQ(BrelixSim_LiveObjectCount(), 3);
  BrelixSim_CloseBoard(other);
  EXPECT_EQ(BrelixSim_LiveObjectCount(), 2) << "closing destroys the contents, not free objects";
  EXPECT_EQ(Object(free).owner, 0);
  EXPECT_THAT(BrelixSim_DescribeObject(c), ::testing::HasSubstr("\"inContents\":true"));
}

// The editor keeps the objects it found for later calls; an object found
// and then lost, in every way the editor loses objects, is not found by the
// next call, whether or not other objects were found since.
TEST_F(ObjectRecordsTest, AnObjectFoundAndThenLostIsNotFoundAgain) {
  const struct {
    const char* how;
    void (*lose)(qvabi::PcbHandle board, qvabi::PcbHandle object);
  } kWays[] = {
      {"destroyed", [](qvabi::PcbHandle, qvabi::PcbHandle object) { PcbApi_DestroyObject(object); }},
      {"its board closed", [](qvabi::PcbHandle board, qvabi::PcbHandle) { BrelixSim_CloseBoard(board); }},
      {"the editor reset", [](qvabi::PcbHandle, qvabi::PcbHandle) { BrelixSim_Reset(); }},
  };
  for (const auto& way : kWays) {
    for (const bool foundLast : {true, false}) {
      const qvabi::PcbHandle board = OpenSmallBoard();
      const qvabi::PcbHandle object = PcbApi_CreateObject(4);
      const qvabi::PcbHandle other = PcbApi_CreateObject(5);
      PcbApi_AddObjectToContainer(board, object);
      ASSERT_EQ(PcbApi_GetObjectIdFromObjectHandle(object), 4) << way.how;
      if (!foundLast) {
        ASSERT_EQ(PcbApi_GetObjectIdFromObjectHandle(other), 5) << way.how;
      }
      way.lose(board, object);
      EXPECT_EQ(PcbApi_GetObjectIdFromObjectHandle(object), 0) << way.how << ", found last: " << foundLast;
      uint8_t bits = 0;
      EXPECT_EQ(PcbApi_GetObjectBitField2(R, object, &bits), 1) << way.how << ", found last: " << foundLast;
    }
  }
}

// Thousands of objects taken in turn, as a cursor move takes the legend's,
// are each found as themselves, however their handles fall.
TEST_F(ObjectRecordsTest, ManyObjectsTakenInTurnAreEachFoundAsThemselves) {
  constexpr uint8_t kKinds[] = {4, 5, 6};
  std::vector<qvabi::PcbHandle> handles;
  for (int i = 0; i < 5000; ++i) handles.push_back(PcbApi_CreateObject(kKinds[i % 3]));
  for (int round = 0; round < 2; ++round) {
    for (std::size_t i = 0; i < handles.size(); ++i)
      ASSERT_EQ(PcbApi_GetObjectIdFromObjectHandle(handles[i]), kKinds[i % 3]) << "object " << i;
  }
  for (std::size_t i = 0; i < handles.size(); i += 2) PcbApi_DestroyObject(handles[i]);
  for (std::size_t i = 0; i < handles.size(); ++i)
    ASSERT_EQ(PcbApi_GetObjectIdFromObjectHandle(handles[i]), i % 2 == 0 ? 0 : kKinds[i % 3])
        << "object " << i;
}

TEST_F(ObjectRecordsTest, ScreenDisplayIsCountedPerObjectAndMode) {
  const qvabi::PcbHandle h = PcbApi_CreateObject(4);
  PcbApi_ScreenDisplay(h, 3, 1);
  PcbApi_ScreenDisplay(h, 3, 0);
  PcbApi_ScreenDisplay(h, 1, 1);
  PcbApi_ScreenDisplay(5555, 3, 1);
  EXPECT_EQ(BrelixSim_DisplayCount(h, 3), 2);
  EXPECT_EQ(BrelixSim_DisplayCount(h, 1), 1);
  EXPECT_EQ(BrelixSim_DisplayCount(h, 2), 0);
  EXPECT_EQ(BrelixSim_DisplayCount(5555, 3), 0);
}

TEST_F(ObjectRecordsTest, DescribeObjectListsEveryField) {
  const qvabi::PcbHandle h = PcbApi_CreateObject(5);
  Object(h).headerValue2 = 4711;
  Object(h).textData->barCode = {1, 2, 3, 4};
  const std::string json = BrelixSim_DescribeObject(h);
  for (const char* field : {"\"kind\":\"text\"", "\"headerValue2\":4711", "\"trueTypeValue\":200000",
                            "\"fontName\":\"Arial\"", "\"barCode\":[1,2,3,4]", "\"boundingRect\":[0,0,0,0]"})
    EXPECT_THAT(json, ::testing::HasSubstr(field));
  EXPECT_EQ(BrelixSim_DescribeObject(777777), nullptr);
}

Rect RectOf(qvabi::PcbHandle h) {
  Rect r{1, 1, 1, 1};
  EXPECT_EQ(PcbApi_QueryObjectBoundingRectangle(h, &r.x1, &r.y1, &r.x2, &r.y2), 0);
  return r;
}

TEST_F(ObjectRecordsTest, TextBoundsFollowTheStrokeFontExtents) {
  const qvabi::PcbHandle h = PcbApi_CreateObject(5);
  EditorObject& t = Object(h);
  t.x = 1000, t.y = 2000, t.size = 100000, t.width = 10000, t.textData->text = "ABC";
  // advance 66666; 3 * 66666 + 10000 wide, 100000 + 10000 high
  EXPECT_EQ(RectOf(h), (Rect{1000, 2000, 210998, 112000}));
  t.textData->text.clear();
  EXPECT_EQ(RectOf(h), (Rect{1000, 2000, 1000, 2000}));
  t.textData->text = "ABC";
  t.rotation = 90;
  EXPECT_EQ(RectOf(h), (Rect{1000 - 110000, 2000, 1000, 2000 + 209998}));
  t.rotation = -270;
  EXPECT_EQ(RectOf(h), (Rect{1000 - 110000, 2000, 1000, 2000 + 209998}));
  t.rotation = 180;
  EXPECT_EQ(RectOf(h), (Rect{1000 - 209998, 2000 - 110000, 1000, 2000}));
  // 45 degrees, one character 200000 wide and 300000 high: corners at
  // (141421, 141421), (-212132, 212132) and (-70711, 353553).
  t.x = 0, t.y = 0, t.size = 300000, t.width = 0, t.textData->text = "A", t.rotation = 45;
  EXPECT_EQ(RectOf(h), (Rect{-212132, 0, 141421, 353553}));
}

TEST_F(ObjectRecordsTest, TextBoundsUseSixtyFourBitArithmetic) {
  const qvabi::PcbHandle h = PcbApi_CreateObject(5);
  EditorObject& t = Object(h);
  t.x = -2000000000, t.y = 0, t.size = 50000000, t.width = 7, t.textData->text = std::string(100, 'W');
  // 100 * 33333333 overflows 32 bits; the sum does not.
  EXPECT_EQ(RectOf(h).x2, -2000000000 + 3333333300LL + 7);
  t.x = 2000000000;
  EXPECT_EQ(RectOf(h).x2, std::numeric_limits<int32_t>::max()) << "clamped, never wrapped";
}

TEST_F(ObjectRecordsTest, TrackAndArcBoundsGrowByHalfTheirWidth) {
  const qvabi::PcbHandle track = PcbApi_CreateObject(4);
  EditorObject& t = Object(track);
  t.x = 1000, t.y = 0, t.x2 = 0, t.y2 = 500, t.width = 200;
  EXPECT_EQ(RectOf(track), (Rect{-100, -100, 1100, 600}));

  const qvabi::PcbHandle arc = PcbApi_CreateObject(1);
  EditorObject& a = Object(arc);
  a.x = 0, a.y = 0, a.radius = 1000, a.width = 100;
  const std::vector<std::tuple<double, double, Rect>> cases = {
      {0, 90, {-50, -50, 1050, 1050}},      {90, 180, {-1050, -50, 50, 1050}},
      {180, 270, {-1050, -1050, 50, 50}},   {270, 360, {-50, -1050, 1050, 50}},
      {0, 360, {-1050, -1050, 1050, 1050}}, {45, 135, {-757, 657, 757, 1050}},
      {350, 10, {935, -224, 1050, 224}},
  };
  for (const auto& [start, end, rect] : cases) {
    a.startAngle = start;
    a.endAngle = end;
    EXPECT_EQ(RectOf(arc), rect) << start << " to " << end;
  }
  int32_t x1 = 9, y1 = 9, x2 = 9, y2 = 9;
  EXPECT_EQ(PcbApi_QueryObjectBoundingRectangle(31415, &x1, &y1, &x2, &y2), 1);
  EXPECT_EQ(x2 - x1, 0);
}

}  // namespace
}  // namespace brelix::testing
