// The primitive wrappers: defaults, slot behaviour, turned-rectangle corners,
// and the field-by-field exchange with the editor stand-in.
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "EditorTestSession.h"
#include "plugin/RTL/PcbObjects.h"

namespace strativue {
namespace {

struct Corners {
  int32_t x1, y1, x2, y2, x3, y3, x4, y4;
  bool operator==(const Corners&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Corners& c) {
  return out << "(" << c.x1 << "," << c.y1 << ") (" << c.x2 << "," << c.y2 << ") (" << c.x3 << "," << c.y3
             << ") (" << c.x4 << "," << c.y4 << ")";
}

Corners CornersOf(TPCBObject& object, int32_t margin) {
  return {object.CornerX1(margin), object.CornerY1(margin), object.CornerX2(margin), object.CornerY2(margin),
          object.CornerX3(margin), object.CornerY3(margin), object.CornerX4(margin), object.CornerY4(margin)};
}

std::unique_ptr<TPcbFill> Fill(int32_t x, int32_t y, int32_t x2, int32_t y2, double rotation) {
  auto fill = std::make_unique<TPcbFill>(1);
  fill->X = x;
  fill->Y = y;
  fill->X2 = x2;
  fill->Y2 = y2;
  fill->Rotation = rotation;
  return fill;
}

TEST(PcbObjectDefaults, ConstructorsSetKindAndTextDefaults) {
  auto kind = [](qvabi::ObjectKind k) { return static_cast<int>(k); };
  TPcbTrack track(11);
  EXPECT_EQ(track.GetHandle(), 11);
  EXPECT_EQ(track.GetObjectKind(), kind(qvabi::ObjectKind::Track));
  EXPECT_EQ(track.Layer, 0u);
  EXPECT_EQ(TPcbArc(1).ObjectKind, kind(qvabi::ObjectKind::Arc));
  EXPECT_EQ(TPcbFill(1).ObjectKind, kind(qvabi::ObjectKind::Fill));
  TPcbText text(12);
  EXPECT_EQ(text.ObjectKind, kind(qvabi::ObjectKind::Text));
  EXPECT_EQ(text.FontName.str(), "Arial");
  EXPECT_EQ(text.TrueTypeValue, 200000);
  EXPECT_EQ(text.Text.str(), "");
  EXPECT_EQ(TPCBObject(3).ObjectKind, kind(qvabi::ObjectKind::None));
}

// A text is cut to 254 bytes. 127 two-byte characters after one ASCII letter
// are 255 bytes; 254 would end halfway through the last one, so the cut keeps
// 126 of them.
TEST(PcbObjectSlots, TextIsCutTo254BytesNeverSplittingAUtf8Character) {
  TPcbText text(1);
  text.SetText(std::string(300, 'x'));
  EXPECT_EQ(text.GetText(), std::string(254, 'x'));
  text.SetText("R1");
  EXPECT_EQ(text.GetText(), "R1");
  std::string name = "a";
  for (int i = 0; i < 127; ++i) name += "\xC3\xA9";  // é
  text.SetText(name);
  EXPECT_EQ(text.GetText(), name.substr(0, 1 + 2 * 126));
  // Three- and four-byte characters: the cut falls back to their first byte.
  const std::string euros = std::string(253, 'x') + "\xE2\x82\xAC";      // 256 bytes
  const std::string emoji = std::string(252, 'x') + "\xF0\x9F\x98\x80";  // 256 bytes
  EXPECT_EQ(qvabi::Utf8CutLength(euros, 254), 253u);
  EXPECT_EQ(qvabi::Utf8CutLength(euros, 255), 253u);
  EXPECT_EQ(qvabi::Utf8CutLength(emoji, 255), 252u);
  EXPECT_EQ(qvabi::Utf8CutLength(emoji, 256), 256u);
  // Bytes that are not UTF-8 (five continuation bytes) are cut where asked.
  EXPECT_EQ(qvabi::Utf8CutLength(std::string(10, '\x80'), 5), 5u);
  qvabi::ShortString designator{};
  designator.assign(euros);
  EXPECT_EQ(designator.str(), std::string(253, 'x'));
}

TEST(PcbObjectSlots, SetLayerStoresThePlainEditorId) {
  TPcbTrack track(1);
  track.SetLayer(32);
  EXPECT_EQ(track.Layer, 32u);
  EXPECT_EQ(track.GetLayer(), 32);
  track.SetLayerId(39);
  EXPECT_EQ(track.Layer, 39u);
  track.Layer = 0x01010028u;
  EXPECT_EQ(track.GetLayer(), 31);
}

TEST(PcbObjectSlots, MoveByMovesBothEndsOfATrackButOnlyTheCentreOfAnArc) {
  TPcbTrack track(1);
  track.X = 1;
  track.Y = 2;
  track.X2 = 3;
  track.Y2 = 4;
  track.MoveBy(10, -5);
  EXPECT_EQ(track.X, 11);
  EXPECT_EQ(track.Y, -3);
  EXPECT_EQ(track.X2, 13);
  EXPECT_EQ(track.Y2, -1);

  TPcbArc arc(1);
  arc.X = 1;
  arc.Y = 2;
  arc.Radius = 50;
  arc.MoveBy(10, -5);
  EXPECT_EQ(arc.X, 11);
  EXPECT_EQ(arc.Y, -3);
  EXPECT_EQ(arc.Radius, 50);

  const auto fill = Fill(0, 0, 5, 5, 0);
  fill->MoveBy(-1, 1);
  EXPECT_EQ(fill->GetX2(), 4);
  EXPECT_EQ(fill->GetY2(), 6);

  track.X = std::numeric_limits<int32_t>::max() - 1;
  track.MoveBy(5, 0);
  EXPECT_EQ(track.X, std::numeric_limits<int32_t>::max());
}

TEST(PcbObjectSlots, FlagBitsAreTheNamedOnes) {
  TPCBObject object(1);
  struct BitSlot {
    bool (TPCBObject::*get)();
    void (TPCBObject::*set)(bool);
    uint16_t mask;
  };
  const BitSlot flagSlots[] = {
      {&TPCBObject::FlagsBit4, &TPCBObject::SetFlagsBit4, 1u << 4},
      {&TPCBObject::FlagsBit11, &TPCBObject::SetFlagsBit11, 1u << 11},
      {&TPCBObject::FlagsBit12, &TPCBObject::SetFlagsBit12, 1u << 12},
      {&TPCBObject::FlagsBit13, &TPCBObject::SetFlagsBit13, 1u << 13},
      {&TPCBObject::FlagsBit14, &TPCBObject::SetFlagsBit14, 1u << 14},
      {&TPCBObject::FlagsBit15, &TPCBObject::SetFlagsBit15, 1u << 15},
  };
  for (const BitSlot& slot : flagSlots) {
    object.Flags = 0;
    (object.*slot.set)(true);
    EXPECT_EQ(object.Flags, slot.mask);
    EXPECT_TRUE((object.*slot.get)());
    object.Flags = 0xFFFF;
    (object.*slot.set)(false);
    EXPECT_EQ(object.Flags, 0xFFFF & ~slot.mask);
    EXPECT_FALSE((object.*slot.get)());
  }
  object.Flags = 1u << 3;
  EXPECT_TRUE(object.FlagsBit3());
  object.Flags = 1u << 8;
  EXPECT_FALSE(object.FlagsBit8Clear());
  object.Flags = 0;
  EXPECT_TRUE(object.FlagsBit8Clear());

  object.BitField2 = 0b0111'1011;
  EXPECT_TRUE(object.BitField2Bit0() && object.BitField2Bit1() && object.BitField2Bit3() &&
              object.BitField2Bit4() && object.BitField2Bit5() && object.BitField2Bit6());
  object.BitField2 = 0b1000'0100;
  EXPECT_FALSE(object.BitField2Bit0() || object.BitField2Bit1() || object.BitField2Bit3() ||
               object.BitField2Bit4() || object.BitField2Bit5() || object.BitField2Bit6());

  object.BitField3 = 0;
  object.SetBitField3Bits1And2(true);
  EXPECT_EQ(object.BitField3, 0b110);
  object.SetBitField3Bit1(false);
  EXPECT_TRUE(object.BitField3Bit1Or2());
  object.SetBitField3Bit2(false);
  EXPECT_FALSE(object.BitField3Bit1Or2());
}

TEST(PcbObjectSlots, BaseAnswersAndKindOverrides) {
  TPcbText text(1);
  text.X = 7;
  text.Y = 8;
  text.Size = 600;
  text.Width = 40;
  EXPECT_EQ(text.GetX2(), 7);
  EXPECT_EQ(text.GetY2(), 8);
  EXPECT_EQ(text.GetSizeX(), 600);
  EXPECT_EQ(text.GetSizeY(), 600);
  EXPECT_EQ(text.GetLineWidth(), 40);
  EXPECT_EQ(text.GetWidth(), 40);
  text.SetWidth(99);  // a track's slot; the text keeps its stroke width
  EXPECT_EQ(text.Width, 40);

  TPcbArc arc(1);
  arc.SetLineWidth(30);
  arc.SetRadius(20);
  EXPECT_EQ(arc.GetLineWidth(), 30);
  EXPECT_EQ(arc.GetWidth(), 0);
  EXPECT_EQ(arc.GetRadius(), 20);
  EXPECT_EQ(arc.GetName(), "");
  EXPECT_FALSE(arc.KindByte1());
}

// A flat rectangle uses its ends; one with height grows by the margin.
TEST(PcbObjectCorners, UnturnedRectangleGrowsByTheMargin) {
  TPcbTrack track(1);
  track.X2 = 100;
  EXPECT_EQ(CornersOf(track, 0), (Corners{0, 0, 100, 0, 0, 0, 100, 0}));
  track.Y2 = 50;
  // w = 120, h = 70 around (50, 25).
  EXPECT_EQ(CornersOf(track, 10), (Corners{-10, -10, 110, -10, -10, 60, 110, 60}));
}

TEST(PcbObjectCorners, TurnedRectangleTurnsAboutItsCentre) {
  // 200 x 100 about (100, 50), a quarter turn: lower left (-100, -50) goes
  // to (50, -100), and so on.
  EXPECT_EQ(CornersOf(*Fill(0, 0, 200, 100, 90), 0), (Corners{150, -50, 150, 150, 50, -50, 50, 150}));
  // A 100 x 100 square about (50, 50) turned by 45 degrees: corners at
  // 50 * sqrt(2) = 70.71 from the centre, on the axes.
  EXPECT_EQ(CornersOf(*Fill(0, 0, 100, 100, 45), 0), (Corners{50, -21, 121, 50, -21, 50, 50, 121}));
}

TEST(PcbObjectCorners, OnLayerVariantsAnswerOnlyForTheObjectsLayer) {
  TPcbTrack track(1);
  track.SetLayer(1);
  track.X = 5;
  track.Y = 6;
  track.X2 = 105;
  track.Y2 = 6;
  track.Width = 500;
  EXPECT_EQ(track.GetWidthOnLayer(1), 500);
  EXPECT_EQ(track.GetWidthOnLayer(2), 0);
  EXPECT_EQ(track.GetXOnLayer(1), 5);
  EXPECT_EQ(track.GetY2OnLayer(1), 6);
  EXPECT_EQ(track.GetX2OnLayer(32), 0);
  // The centre is X div 2 + X2 div 2 = 2 + 52: odd ends lose their halves.
  EXPECT_EQ(track.CornerX2OnLayer(1, 0), 104);
  EXPECT_EQ(track.CornerX2OnLayer(33, 0), 0);
  EXPECT_EQ(track.GetSizeOnLayer(1), 0);
}

using PcbObjectsEditor = editortest::EditorTest;

TEST_F(PcbObjectsEditor, NewPrimitiveTakesTheEditorsDefaultsAndTheCallersChanges) {
  const qvabi::PcbHandle board = OpenEmptyBoard();
  const int32_t liveBefore = sim_->LiveObjectCount();
  auto track = NewPrimitive<TPcbTrack>(board, 33, [](TPcbTrack& t) {
    EXPECT_EQ(t.Width, 100000);  // the editor's default, read before the change
    t.X2 = 5000;
    t.Y2 = 6000;
  });
  ASSERT_NE(track->Handle, 0);
  EXPECT_EQ(sim_->LiveObjectCount(), liveBefore + 1);
  const nlohmann::json record = Describe(track->Handle);
  EXPECT_EQ(record["layer"], 33);
  EXPECT_EQ(record["x2"], 5000);
  EXPECT_EQ(record["y2"], 6000);
  EXPECT_EQ(record["width"], 100000);
  EXPECT_EQ(record["owner"], board);
  EXPECT_EQ(sim_->BoardObjectCount(board), 0);

  // Freeing the wrapper leaves the editor object alone.
  const qvabi::PcbHandle handle = track->Handle;
  track.reset();
  EXPECT_EQ(sim_->LiveObjectCount(), liveBefore + 1);
  EXPECT_NE(sim_->DescribeObject(handle), nullptr);

  auto text = NewPrimitive<TPcbText>(board, 33, [](TPcbText& t) { t.SetText("Layer Stack"); });
  EXPECT_EQ(text->Size, 600000);
  EXPECT_EQ(text->FontName.str(), "Arial");
  EXPECT_EQ(Describe(text->Handle)["text"], "Layer Stack");
}

TEST_F(PcbObjectsEditor, NewPrimitiveDestroysTheEditorObjectWhenTheChangeFails) {
  const qvabi::PcbHandle board = OpenEmptyBoard();
  const int32_t liveBefore = sim_->LiveObjectCount();
  EXPECT_THROW(NewPrimitive<TPcbArc>(board, 33, [](TPcbArc&) { throw std::runtime_error("no"); }),
               std::runtime_error);
  EXPECT_EQ(sim_->LiveObjectCount(), liveBefore);
}

// Every kind's own record is checked field by field in PcbKindsTest; the
// base record carries the common part of any kind.
TEST_F(PcbObjectsEditor, BaseRecordCarriesTheCommonPartOfAnyKind) {
  TPcbTrack track(PcbApi::CreateObject(static_cast<uint8_t>(qvabi::ObjectKind::Track)));
  track.Flags = 0x1234;
  track.HeaderValue2 = 902;
  track.HeaderByte = 93;
  track.SetLayer(32);
  track.Sync(qvabi::WriteMode);
  TPCBObject base(track.Handle);
  base.Sync(qvabi::ReadMode);
  EXPECT_EQ(base.Flags, 0x1234);
  EXPECT_EQ(base.HeaderValue2, 902);
  EXPECT_EQ(base.HeaderByte, 93);
  EXPECT_EQ(base.Layer, 32u);
  base.HeaderValue2 = 7702;
  base.HeaderByte = 77;
  base.Sync(qvabi::WriteMode);
  EXPECT_EQ(Describe(track.Handle)["headerValue2"], 7702);
  EXPECT_EQ(Describe(track.Handle)["headerByte"], 77);
}

// The display string is the editor's text, cut to 254 bytes where a UTF-8
// character starts; without the editor's function the last one stays.
TEST_F(PcbObjectsEditor, DesignatorIsTheEditorsTextCutTo254Bytes) {
  std::string accented = "a";
  for (int i = 0; i < 127; ++i) accented += "\xC3\xA9";  // 255 bytes
  const struct {
    std::string stored;
    std::string shown;
  } kCases[] = {
      {"R1", "R1"},
      {std::string(254, 'x'), std::string(254, 'x')},
      {std::string(255, 'x'), std::string(254, 'x')},
      {accented, accented.substr(0, 1 + 2 * 126)},
      {"", ""},
  };
  TPcbText text(PcbApi::CreateObject(static_cast<uint8_t>(qvabi::ObjectKind::Text)));
  for (const auto& c : kCases) {
    text.Sync(qvabi::ReadMode);
    text.Text.assign(c.stored);
    text.Sync(qvabi::WriteMode);
    text.Sync(qvabi::ReadMode);
    EXPECT_EQ(text.DesignatorText.str(), c.shown) << c.stored.size() << " bytes stored";
  }

  text.Text.assign("C7");
  text.Sync(qvabi::WriteMode);
  text.Sync(qvabi::ReadMode);
  PcbApi::ReplaceEntry("GetDesignatorDisplayString", nullptr);
  text.Text.assign("C8");
  text.Sync(qvabi::WriteMode);
  text.Sync(qvabi::ReadMode);
  EXPECT_EQ(text.GetText(), "C8");
  EXPECT_EQ(text.DesignatorText.str(), "C7");
}

TEST_F(PcbObjectsEditor, BoundsComeFromTheEditor) {
  TPcbTrack track(PcbApi::CreateObject(static_cast<uint8_t>(qvabi::ObjectKind::Track)));
  track.Sync(qvabi::ReadMode);
  track.X = 0;
  track.Y = 0;
  track.X2 = 1000;
  track.Y2 = 0;
  track.Width = 200;
  track.Sync(qvabi::WriteMode);
  EXPECT_EQ(track.GetBoundsValue1(), -100);
  EXPECT_EQ(track.GetBoundsValue2(), -100);
  EXPECT_EQ(track.GetBoundsValue3(), 1100);
  EXPECT_EQ(track.GetBoundsValue4(), 100);
}

}  // namespace
}  // namespace strativue
