// Every object kind's wrapper against the editor stand-in: wrapping a handle
// by its kind, and every field of each record written through the wrapper,
// checked in the editor's own model and read back, with a distinct value in
// every field so that two fields passed in swapped order fail. Then the pad's per-layer
// data, class members, component names and dimension references.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <type_traits>
#include <typeindex>
#include <vector>

#include "EditorTestSession.h"
#include "plugin/RTL/PcbDesignObjects.h"
#include "plugin/RTL/PcbGroups.h"
#include "plugin/RTL/PcbPads.h"
#include "plugin/RTL/PcbWrap.h"

namespace strativue {
namespace {

using K = qvabi::ObjectKind;
using Json = nlohmann::json;

// Gives each field the next distinct value and notes it under the field's
// place in the editor's description (a JSON pointer).
struct Assign {
  int next = 1;
  std::vector<std::pair<std::string, Json>> values;

  template <typename T>
  void operator()(const std::string& key, T& field) {
    const int n = next++;
    if constexpr (std::is_same_v<T, qvabi::ShortString>) {
      field.assign("text " + std::to_string(n));
      values.emplace_back(key, field.str());
    } else if constexpr (std::is_floating_point_v<T>) {
      field = n + 0.25;
      values.emplace_back(key, field);
    } else if constexpr (std::is_same_v<T, int32_t>) {
      field = -1001 * n;
      values.emplace_back(key, field);
    } else {
      // Bytes, words and layer ids: small, distinct and a valid layer id.
      field = static_cast<T>(3 * n + 7);
      values.emplace_back(key, field);
    }
  }
};

// Expects each field to hold the value Assign gave the same field.
struct Check {
  const std::vector<std::pair<std::string, Json>>& values;
  std::size_t at = 0;

  template <typename T>
  void operator()(const std::string& key, T& field) {
    ASSERT_LT(at, values.size());
    const auto& [expectedKey, expected] = values[at++];
    ASSERT_EQ(key, expectedKey);
    if constexpr (std::is_same_v<T, qvabi::ShortString>)
      EXPECT_EQ(Json(field.str()), expected) << key;
    else
      EXPECT_EQ(Json(field), expected) << key;
  }
};

using Visit = std::function<void(TPCBObject&, Assign*, Check*)>;

// Lists a wrapper's record fields, each with its editor name, to `f`.
#define STRATIVUE_FIELDS(Type, body)                     \
  [](TPCBObject& object, Assign* assign, Check* check) { \
    auto& o = static_cast<Type&>(object);                \
    auto visit = [&](auto& f) {                          \
      f("/bitField2", o.BitField2);                      \
      f("/bitField3", o.BitField3);                      \
      body                                               \
    };                                                   \
    if (assign) visit(*assign);                          \
    if (check) visit(*check);                            \
  }

#define STRATIVUE_HEADER              \
  f("/flags", o.Flags);               \
  f("/headerWord", o.HeaderWord);     \
  f("/layer", o.Layer);               \
  f("/headerValue1", o.HeaderValue1); \
  f("/headerByte", o.HeaderByte);     \
  f("/headerValue2", o.HeaderValue2);

struct KindCase {
  K kind;
  std::type_index wrapper;
  Visit fields;
};

const std::vector<KindCase>& Cases() {
  static const std::vector<KindCase> cases = {
      {K::Arc, typeid(TPcbArc),
       STRATIVUE_FIELDS(TPcbArc, STRATIVUE_HEADER f("/x", o.X); f("/y", o.Y); f("/radius", o.Radius);
                        f("/startAngle", o.StartAngle); f("/endAngle", o.EndAngle); f("/width", o.Width);
                        f("/attributeA", o.AttributeA);)},
      {K::Track, typeid(TPcbTrack),
       STRATIVUE_FIELDS(TPcbTrack, STRATIVUE_HEADER f("/x", o.X); f("/y", o.Y); f("/x2", o.X2);
                        f("/y2", o.Y2); f("/width", o.Width); f("/attributeA", o.AttributeA);
                        f("/attributeB", o.AttributeB); f("/attributeC", o.AttributeC);)},
      {K::Text, typeid(TPcbText),
       STRATIVUE_FIELDS(TPcbText, STRATIVUE_HEADER f("/x", o.X); f("/y", o.Y); f("/size", o.Size);
                        f("/textAttribute", o.TextAttribute); f("/rotation", o.Rotation);
                        f("/textFlag", o.TextFlag); f("/text", o.Text); f("/width", o.Width);
                        f("/attributeB", o.AttributeB); f("/attributeC", o.AttributeC);
                        f("/trueTypeMode", o.TrueTypeMode); f("/fontName", o.FontName);
                        f("/trueTypeFlag1", o.TrueTypeFlag1); f("/trueTypeFlag2", o.TrueTypeFlag2);
                        f("/trueTypeFlag3", o.TrueTypeFlag3); f("/trueTypeValue", o.TrueTypeValue);
                        for (int i = 0; i < 4; ++i) f("/barCode/" + std::to_string(i), o.BarCodeBytes[i]);)},
      {K::Fill, typeid(TPcbFill),
       STRATIVUE_FIELDS(TPcbFill, STRATIVUE_HEADER f("/x", o.X); f("/y", o.Y); f("/x2", o.X2); f("/y2", o.Y2);
                        f("/attributeA", o.AttributeA); f("/rotation", o.Rotation);)},
      {K::Pad, typeid(TPcbPad),
       STRATIVUE_FIELDS(TPcbPad, STRATIVUE_HEADER f("/x", o.X); f("/y", o.Y); for (int i = 0; i < 6; ++i)
                            f("/padValues/" + std::to_string(i), o.PadValues[static_cast<std::size_t>(i)]);
                        f("/hole", o.PadValues[6]); for (int i = 0; i < 3; ++i)
                            f("/padBytes/" + std::to_string(i), o.PadBytes[static_cast<std::size_t>(i)]);
                        f("/name", o.Name); f("/rotation", o.Rotation); f("/kindByte1", o.KindBytes[0]);
                        f("/kindByte2", o.KindBytes[1]); for (int i = 0; i < 10; ++i) f(
                            "/extraValues/" + std::to_string(i), o.ExtraValues[static_cast<std::size_t>(i)]);
                        for (int i = 0; i < 3; ++i)
                            f("/extraBytes/" + std::to_string(i), o.ExtraBytes[static_cast<std::size_t>(i)]);
                        f("/stackMode", o.StackMode);)},
      {K::Via, typeid(TPcbVia),
       STRATIVUE_FIELDS(
           TPcbVia, f("/flags", o.Flags); f("/headerWord", o.HeaderWord); f("/headerValue1", o.HeaderValue1);
           f("/headerByte", o.HeaderByte); f("/headerValue2", o.HeaderValue2); f("/x", o.X); f("/y", o.Y);
           f("/size", o.Size); f("/hole", o.HoleSize); f("/kindByte1", o.KindBytes[0]);
           f("/kindByte2", o.KindBytes[1]); f("/viaByte1", o.ViaBytes[0]); f("/viaByte2", o.ViaBytes[1]);)},
      {K::FromTo, typeid(TPcbFromTo),
       STRATIVUE_FIELDS(TPcbFromTo, f("/headerWord", o.HeaderWord); f("/x", o.X); f("/y", o.Y);
                        f("/byte1", o.Byte1); f("/x2", o.X2); f("/y2", o.Y2); f("/byte2", o.Byte2);
                        f("/headerValue1", o.HeaderValue1);)},
      {K::Net, typeid(TPcbNet),
       STRATIVUE_FIELDS(TPcbNet, f("/headerWord", o.HeaderWord); f("/name", o.Name); f("/byte1", o.NetByte1);
                        f("/byte2", o.NetByte2);)},
      {K::Component, typeid(TPcbComponent),
       STRATIVUE_FIELDS(TPcbComponent, STRATIVUE_HEADER f("/x", o.X); f("/y", o.Y);
                        f("/rotation", o.Rotation); f("/pattern", o.Pattern);
                        f("/sourceDesignator", o.SourceDesignator); f("/height", o.Height);
                        f("/lockStrings", o.LockStrings); f("/sourceLibrary", o.SourceLibrary);
                        f("/sourceUniqueId", o.SourceUniqueId); f("/model", o.Model);
                        f("/channelOffset", o.ChannelOffset); f("/componentKind", o.ComponentKind);)},
      {K::Polygon, typeid(TPcbPolygon),
       STRATIVUE_FIELDS(TPcbPolygon, STRATIVUE_HEADER f("/net", o.Net); f("/grid", o.Grid);
                        f("/trackWidth", o.TrackWidth); f("/hatchStyle", o.HatchStyle);
                        f("/pourOver", o.PourOver); f("/removeDead", o.RemoveDead);)},
      {K::Region, typeid(TPCBRegion),
       STRATIVUE_FIELDS(TPCBRegion, STRATIVUE_HEADER f("/net", o.Net); f("/keepout", o.Keepout);
                        f("/regionKind", o.RegionKind);)},
      {K::ComponentBody, typeid(TPcbComponentBody), STRATIVUE_FIELDS(TPcbComponentBody, STRATIVUE_HEADER)},
      {K::Dimension, typeid(TPcbDimension),
       STRATIVUE_FIELDS(TPcbDimension, STRATIVUE_HEADER f("/x", o.X); f("/y", o.Y); f("/x2", o.X2);
                        f("/y2", o.Y2); f("/textHeight", o.TextHeight); f("/lineWidth", o.LineWidth);
                        f("/arrowSize", o.ArrowSize); f("/textGap", o.TextGap); f("/unitStyle", o.UnitStyle);
                        f("/precision", o.Precision);)},
      {K::Coordinate, typeid(TPcbCoordinate),
       STRATIVUE_FIELDS(TPcbCoordinate, STRATIVUE_HEADER f("/x", o.X); f("/y", o.Y); f("/size", o.Size);
                        f("/lineWidth", o.LineWidth); f("/textHeight", o.TextHeight);)},
      {K::ObjectClass, typeid(TPCBObjectClass),
       STRATIVUE_FIELDS(TPCBObjectClass, f("/headerWord", o.HeaderWord); f("/name", o.Name);
                        f("/memberKind", o.MemberKind); f("/superClass", o.SuperClass);)},
      {K::Rule, typeid(TPcbRule),
       STRATIVUE_FIELDS(TPcbRule, f("/headerWord", o.HeaderWord); f("/name", o.Name);
                        f("/ruleKind", o.RuleKind); f("/scope1", o.Scope1); f("/scope2", o.Scope2);
                        f("/value", o.Value); f("/enabled", o.Enabled); f("/priority", o.Priority);)},
      {K::ManualFromTo, typeid(TPcbManualFromTo),
       STRATIVUE_FIELDS(TPcbManualFromTo, f("/headerWord", o.HeaderWord); f("/net", o.Net);
                        f("/fromPad", o.FromPad); f("/toPad", o.ToPad); f("/name", o.Name);)},
      {K::DifferentialPair, typeid(TPcbDifferentialPair),
       STRATIVUE_FIELDS(TPcbDifferentialPair, STRATIVUE_HEADER)},
      {K::Violation, typeid(TPcbViolation),
       STRATIVUE_FIELDS(TPcbViolation, STRATIVUE_HEADER f("/x", o.X); f("/y", o.Y); f("/rule", o.Rule);
                        f("/description", o.Description);)},
      {K::Embedded, typeid(TPcbEmbedded),
       STRATIVUE_FIELDS(TPcbEmbedded, f("/headerWord", o.HeaderWord); f("/name", o.Name);
                        f("/description", o.Description);)},
      {K::EmbeddedBoard, typeid(TPcbEmbeddedBoard),
       STRATIVUE_FIELDS(TPcbEmbeddedBoard, STRATIVUE_HEADER f("/x", o.X); f("/y", o.Y);
                        f("/document", o.Document); f("/rows", o.Rows); f("/columns", o.Columns);
                        f("/rowSpacing", o.RowSpacing); f("/columnSpacing", o.ColumnSpacing);
                        f("/mirrored", o.Mirrored);)},
      {K::SplitPlane, typeid(TPcbSplitPlane),
       STRATIVUE_FIELDS(TPcbSplitPlane, STRATIVUE_HEADER f("/net", o.Net);)},
      {K::BoardOutline, typeid(TPcbBoardOutline),
       STRATIVUE_FIELDS(TPcbBoardOutline, STRATIVUE_HEADER f("/net", o.Net); f("/grid", o.Grid);)},
  };
  return cases;
}

class PcbKindsTest : public editortest::EditorTest {
 protected:
  qvabi::PcbHandle Create(K kind) { return PcbApi::CreateObject(static_cast<uint8_t>(kind)); }
};

TEST_F(PcbKindsTest, WrapObjectMakesTheKindsClassAndEveryRecordRoundTrips) {
  // One case for every kind code the editor makes, and none for another.
  for (int code = 1; code <= 0x7F; ++code) {
    const bool made = Create(static_cast<K>(code)) != 0;
    const auto cases =
        std::ranges::count_if(Cases(), [&](const KindCase& c) { return static_cast<int>(c.kind) == code; });
    EXPECT_EQ(cases, made ? 1 : 0) << "kind code " << code;
  }
  for (const KindCase& c : Cases()) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    const qvabi::PcbHandle handle = Create(c.kind);
    ASSERT_NE(handle, 0);
    std::unique_ptr<TPCBObject> wrapped = WrapObject(handle);
    ASSERT_NE(wrapped, nullptr);
    EXPECT_EQ(std::type_index(typeid(*wrapped)), c.wrapper);
    EXPECT_EQ(wrapped->GetHandle(), handle);
    EXPECT_EQ(wrapped->GetObjectKind(), c.kind == K::ManualFromTo ? 0 : static_cast<int>(c.kind));

    Assign assign;
    c.fields(*wrapped, &assign, nullptr);
    wrapped->Sync(qvabi::WriteMode);
    const Json record = Describe(handle);
    for (const auto& [pointer, value] : assign.values)
      EXPECT_EQ(record.at(Json::json_pointer(pointer)), value) << pointer;

    // A second wrapper is synchronised from the editor when it is made.
    std::unique_ptr<TPCBObject> back = WrapObject(handle);
    ASSERT_NE(back, nullptr);
    Check check{assign.values};
    c.fields(*back, nullptr, &check);
    EXPECT_EQ(check.at, assign.values.size());
    // A plain text's designator display string is its text.
    if (const auto* text = dynamic_cast<const TPcbText*>(back.get())) {
      EXPECT_EQ(text->DesignatorText.str(), text->Text.str());
    }
  }
}

TEST_F(PcbKindsTest, WrapObjectUsesTheLowSevenBitsAndWrapsNoOtherKind) {
  EXPECT_EQ(WrapObject(424242), nullptr) << "an unknown handle has kind 0";
  const qvabi::PcbHandle via = Create(K::Via);
  static int32_t answer = 0;
  auto fake = +[](qvabi::PcbHandle) -> int32_t { return answer; };
  PcbApi::ReplaceEntry("GetObjectIdFromObjectHandle", reinterpret_cast<void*>(fake));
  answer = 0x80 | static_cast<int>(K::Via);
  const std::unique_ptr<TPCBObject> wrapped = WrapObject(via);
  ASSERT_NE(wrapped, nullptr);
  EXPECT_NE(dynamic_cast<TPcbVia*>(wrapped.get()), nullptr);
  EXPECT_EQ(wrapped->GetSize(), 500000) << "read from the editor";
  for (int kind : {23, 24, 25, 27, 127}) {
    answer = kind;
    EXPECT_EQ(WrapObject(via), nullptr) << kind;
  }
}

// Sets the pad's per-layer data as a test starts from: every layer zero but
// the ones given.
void Shape(TPcbPad& pad, int layer, uint8_t shape, int32_t x, int32_t y) {
  pad.Shapes[static_cast<std::size_t>(layer)] = shape;
  pad.SizesX[static_cast<std::size_t>(layer)] = x;
  pad.SizesY[static_cast<std::size_t>(layer)] = y;
}

TEST_F(PcbKindsTest, PadInFullStackModeWritesEveryLayer) {
  TPcbPad pad(Create(K::Pad));
  pad.Sync(qvabi::ReadMode);
  pad.StackMode = TPcbPad::kFullStackMode;
  pad.Shapes.fill(0);
  pad.SizesX.fill(0);
  pad.SizesY.fill(0);
  Shape(pad, 0, 4, 11, 12);
  Shape(pad, 1, 9, 600000, 400000);
  Shape(pad, 17, 2, 500000, 300000);
  Shape(pad, 32, 1, 700000, 700000);
  Shape(pad, 82, 3, 13, 14);
  pad.TopCornerPercent = 25;
  pad.MidCornerPercent = 40;
  pad.BottomCornerPercent = 50;
  pad.Sync(qvabi::WriteMode);

  const Json record = Describe(pad.Handle);
  // [layer, shape, x, y, corner radius]; the top layer's radius is 25 % of
  // half its smaller side: 400000 / 2 * 25 / 100 = 50000.
  EXPECT_EQ(record["shapes"], Json::parse(R"([[0, 4, 11, 12, 0], [1, 9, 600000, 400000, 50000],
      [17, 2, 500000, 300000, 0], [32, 1, 700000, 700000, 0], [82, 3, 13, 14, 0]])"));
  EXPECT_EQ(record["cornerPercent"], Json::parse("[25, 40, 50]"));
  EXPECT_EQ(record["stackMode"], 2);

  TPcbPad back(pad.Handle);
  back.Sync(qvabi::ReadMode);
  EXPECT_EQ(back.Shapes, pad.Shapes);
  EXPECT_EQ(back.SizesX, pad.SizesX);
  EXPECT_EQ(back.SizesY, pad.SizesY);
  EXPECT_EQ(back.CornerRadii[1], 50000);
  EXPECT_EQ(back.CornerRadiusOnLayer(1), 50000);
  EXPECT_EQ(back.TopCornerPercent, 25);
  EXPECT_EQ(back.MidCornerPercent, 40);
  EXPECT_EQ(back.BottomCornerPercent, 50);
  EXPECT_EQ(back.GetWidthOnLayer(17), 300000);
  EXPECT_EQ(back.ShapeOnLayer(82), 3);
  EXPECT_EQ(back.GetSizeXOnLayer(83), 0) << "no layer id beyond 82";
}

TEST_F(PcbKindsTest, PadInAnotherModeWritesOnlyTheKeptPercentagesForRoundedLayers) {
  TPcbPad pad(Create(K::Pad));
  pad.Sync(qvabi::ReadMode);
  ASSERT_NE(pad.StackMode, TPcbPad::kFullStackMode);
  const Json before = Describe(pad.Handle)["shapes"];
  // Sizes and shapes changed here stay the wrapper's: this mode writes none.
  Shape(pad, 5, 2, 123, 456);
  pad.TopCornerPercent = 30;
  pad.MidCornerPercent = 35;
  pad.BottomCornerPercent = 45;
  pad.Sync(qvabi::WriteMode);
  EXPECT_EQ(Describe(pad.Handle)["cornerPercent"], Json::parse("[0, 0, 0]")) << "no layer is shaped 9";
  EXPECT_EQ(Describe(pad.Handle)["shapes"], before);

  Shape(pad, 20, TPcbPad::kRoundedRectangle, 200, 100);
  pad.Sync(qvabi::WriteMode);
  const Json record = Describe(pad.Handle);
  EXPECT_EQ(record["cornerPercent"], Json::parse("[30, 35, 45]"));
  EXPECT_EQ(record["shapes"], before);
}

TEST_F(PcbKindsTest, PadQueryRefusalEndsTheExchangeWithItsAnswer) {
  TPcbPad pad(Create(K::Track));  // not a pad: the editor refuses the pad record
  pad.StackMode = 7;
  pad.Shapes[1] = 5;
  EXPECT_EQ(pad.Sync(qvabi::ReadMode), 1);
  EXPECT_EQ(pad.StackMode, 7) << "nothing after the pad record";
  EXPECT_EQ(pad.Shapes[1], 5);
}

TEST_F(PcbKindsTest, TurnedPadCornersComeFromThePerLayerSize) {
  // A 100 x 60 pad on the top layer at (1000, 2000), turned by 30 degrees,
  // with a margin of 10: a 120 x 80 rectangle. Its corners are the centre
  // plus (+-60, +-40) turned by 30 degrees (cos 0.8660254, sin 0.5):
  //   lower left  (-60, -40) -> (-60c + 40s, -60s - 40c) = (-31.96, -64.64)
  //   lower right ( 60, -40) -> ( 60c + 40s,  60s - 40c) = ( 71.96,  -4.64)
  //   upper left  (-60,  40) -> (-60c - 40s, -60s + 40c) = (-71.96,   4.64)
  //   upper right ( 60,  40) -> ( 60c - 40s,  60s + 40c) = ( 31.96,  64.64)
  TPcbPad pad(1);
  pad.X = 1000;
  pad.Y = 2000;
  pad.Rotation = 30;
  Shape(pad, 1, 2, 100, 60);
  const int32_t m = 10;
  EXPECT_EQ(pad.CornerX1OnLayer(1, m), 968);
  EXPECT_EQ(pad.CornerY1OnLayer(1, m), 1935);
  EXPECT_EQ(pad.CornerX2OnLayer(1, m), 1072);
  EXPECT_EQ(pad.CornerY2OnLayer(1, m), 1995);
  EXPECT_EQ(pad.CornerX3OnLayer(1, m), 928);
  EXPECT_EQ(pad.CornerY3OnLayer(1, m), 2005);
  EXPECT_EQ(pad.CornerX4OnLayer(1, m), 1032);
  EXPECT_EQ(pad.CornerY4OnLayer(1, m), 2065);
  // Another layer has its own size: nothing there gives a point rectangle.
  EXPECT_EQ(pad.CornerX4OnLayer(32, 0), 1000);
  EXPECT_EQ(pad.GetXOnLayer(1), 950);
  EXPECT_EQ(pad.GetY2OnLayer(1), 2030);
}

TEST_F(PcbKindsTest, ClassMembersAreReplacedInOrderAndReadFresh) {
  TPCBObjectClass netClass(Create(K::ObjectClass));
  netClass.Members = {"GND", "VCC", "3V3"};
  netClass.Sync(qvabi::WriteMode);
  EXPECT_EQ(Describe(netClass.Handle)["members"], Json::parse(R"(["GND", "VCC", "3V3"])"));
  netClass.Members = {"VBAT"};
  netClass.Sync(qvabi::WriteMode);
  EXPECT_EQ(Describe(netClass.Handle)["members"], Json::parse(R"(["VBAT"])"))
      << "written as remove all, then add";

  netClass.Members = {"stale"};
  netClass.Sync(qvabi::ReadMode);
  netClass.Sync(qvabi::ReadMode);
  EXPECT_EQ(netClass.Members, std::vector<std::string>{"VBAT"});
}

TEST_F(PcbKindsTest, ClassReadWithoutTheMemberFunctionEnds) {
  TPCBObjectClass netClass(Create(K::ObjectClass));
  netClass.Members = {"kept"};
  PcbApi::ReplaceEntry("GetMemberFromClassAt", nullptr);
  netClass.Sync(qvabi::ReadMode);
  EXPECT_EQ(netClass.Members, std::vector<std::string>{"kept"});
}

class PcbKindsOnBoard : public PcbKindsTest {
 protected:
  // A component named by a text, and a dimension between two pads.
  qvabi::PcbHandle OpenReferencingBoard() {
    return OpenBoard(R"({"format": "quorvex-board/1", "stack": [
      {"id": 1, "dielectric": {"material": "FR-4", "type": "core", "constant": 4.8, "height": 126000}},
      {"id": 32}], "objects": [
      {"kind": "text", "layer": 33, "x": 0, "y": 0, "size": 600000, "width": 60000, "rotation": 0, "text": "U7"},
      {"kind": "component", "layer": 1, "x": 5, "y": 6, "rotation": 90, "pattern": "SOIC8", "nameText": 0},
      {"kind": "pad", "layer": 1, "x": 0, "y": 0, "rotation": 0, "name": "1", "hole": 0, "stackMode": 0,
       "shapes": [[1, 2, 600000, 300000]], "cornerPercent": [0, 0, 0]},
      {"kind": "pad", "layer": 1, "x": 5000000, "y": 0, "rotation": 0, "name": "2", "hole": 0, "stackMode": 0,
       "shapes": [[1, 2, 600000, 300000]], "cornerPercent": [0, 0, 0]},
      {"kind": "dimension", "layer": 57, "x1": 0, "y1": 0, "x2": 5000000, "y2": 0, "textHeight": 600000,
       "lineWidth": 100000, "references": [3, 2]}]})");
  }
};

TEST_F(PcbKindsOnBoard, ComponentNameComesFromItsTextAndDimensionReferencesInOrder) {
  const qvabi::PcbHandle board = OpenReferencingBoard();
  ASSERT_EQ(sim_->BoardObjectCount(board), 5);
  const auto at = [&](int i) { return sim_->BoardObjectAt(board, i); };

  const std::unique_ptr<TPCBObject> component = WrapObject(at(1));
  ASSERT_NE(component, nullptr);
  EXPECT_EQ(component->GetName(), "U7");
  EXPECT_EQ(component->GetRotation(), 90.0);
  EXPECT_EQ(static_cast<TPcbComponent&>(*component).NameObject, at(0));

  auto* dimension = dynamic_cast<TPcbDimension*>(WrapObject(at(4)).release());
  ASSERT_NE(dimension, nullptr);
  const std::unique_ptr<TPcbDimension> owned(dimension);
  EXPECT_EQ(dimension->References, (std::vector<qvabi::PcbHandle>{at(3), at(2)}));
  dimension->Sync(qvabi::ReadMode);
  EXPECT_EQ(dimension->References.size(), 2u) << "read afresh, not appended";

  // A name handle that names no text gives no name (and no endless wrapping).
  TPcbComponent selfNamed(at(1));
  selfNamed.Sync(qvabi::ReadMode);
  selfNamed.NameObject = at(1);
  selfNamed.Sync(qvabi::WriteMode);
  EXPECT_EQ(WrapObject(at(1))->GetName(), "");
}

}  // namespace
}  // namespace strativue
