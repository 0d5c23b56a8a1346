// The legend's rows and cell texts, the Gerber extensions and the column
// measurements.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LegendTestSupport.h"

namespace strativue {
namespace {

using legendtest::BoardJson;
using legendtest::kFourLayers;
using legendtest::kTwoLayers;
using legendtest::LegendTest;
using legendtest::OptionsWith;

class LegendTexts : public LegendTest {};

std::string TextOf(const std::unique_ptr<TPcbText>& text) { return text ? text->Text.str() : "<none>"; }

TEST_F(LegendTexts, RowsFollowTheStackAndTheLastHasNoDielectricTexts) {
  const TLegendOptions all = TLegendOptions::AllOn();
  TLegendStackup legend(OpenBoard(BoardJson(kTwoLayers)), &all);
  ASSERT_EQ(legend.RowCount, 2);
  ASSERT_EQ(legend.Rows.size(), 2u);
  const TLegendRow& top = *legend.Rows[0];
  const TLegendRow& bottom = *legend.Rows[1];
  EXPECT_EQ(top.LayerId, 1);
  EXPECT_EQ(bottom.LayerId, 32);
  EXPECT_TRUE(top.HasDielectricTexts());
  EXPECT_FALSE(bottom.HasDielectricTexts());
  EXPECT_EQ(bottom.TypeText, nullptr);
  EXPECT_EQ(bottom.ConstantText, nullptr);

  EXPECT_EQ(TextOf(top.NameText), "Top Layer");
  EXPECT_EQ(TextOf(top.GerberText), "(.GTL)");
  EXPECT_EQ(TextOf(top.CopperText), "1.4mil");
  EXPECT_EQ(TextOf(top.TypeText), "Core");
  EXPECT_EQ(TextOf(top.MaterialText), "FR-4");
  EXPECT_EQ(TextOf(top.HeightText), "12.6mil");
  EXPECT_EQ(TextOf(top.ConstantText), "4.80");
  EXPECT_EQ(TextOf(bottom.GerberText), "(.GBL)");

  // Mask rows: fixed words, the dielectric from the board, never a copper
  // text; a surface dielectric has no type text.
  EXPECT_EQ(TextOf(legend.TopMaskRow->NameText), "Top Solder Mask");
  EXPECT_EQ(TextOf(legend.TopMaskRow->GerberText), "(.GTS)");
  EXPECT_EQ(TextOf(legend.BottomMaskRow->NameText), "Bottom Solder Mask");
  EXPECT_EQ(TextOf(legend.BottomMaskRow->GerberText), "(.GBS)");
  EXPECT_EQ(TextOf(legend.TopMaskRow->MaterialText), "SolderMask");
  EXPECT_EQ(TextOf(legend.TopMaskRow->HeightText), "0.4mil");
  EXPECT_EQ(TextOf(legend.TopMaskRow->ConstantText), "3.50");
  EXPECT_EQ(TextOf(legend.TopMaskRow->TypeText), "");
  EXPECT_EQ(TextOf(legend.TopMaskRow->CopperText), "");

  // The editor holds what the wrappers hold.
  EXPECT_EQ(Describe(top.ConstantText->Handle)["text"], "4.80");
  EXPECT_EQ(Describe(legend.Title->Handle)["text"], "Layer Stack Up Detail for: Board1.qvpcb");
}

// Every refresh writes the board's values as they are now, in its unit,
// and a value back where it was gives its text back.
TEST_F(LegendTexts, ARefreshWritesTheBoardsCurrentValues) {
  const TLegendOptions all = TLegendOptions::AllOn();
  TLegendStackup legend(OpenBoard(BoardJson(kTwoLayers)), &all);
  TLayerObject& top = *legend.Board->Layer(1);
  const TLegendRow& row = *legend.Rows[0];
  const auto texts = [&] {
    return std::vector<std::string>{TextOf(row.CopperText), TextOf(row.HeightText), TextOf(row.ConstantText),
                                    TextOf(legend.TopMaskRow->HeightText)};
  };
  const std::vector<std::string> original = {"1.4mil", "12.6mil", "4.80", "0.4mil"};
  ASSERT_EQ(texts(), original);

  const struct {
    const char* change;
    void (*apply)(TLegendStackup& legend, TLayerObject& top);
    std::vector<std::string> expected;
  } kChanges[] = {
      {"copper",
       [](TLegendStackup&, TLayerObject& t) { t.CopperThickness = 20000; },
       {"2mil", "12.6mil", "4.80", "0.4mil"}},
      {"height",
       [](TLegendStackup&, TLayerObject& t) { t.Dielectric.Height = 50000; },
       {"1.4mil", "5mil", "4.80", "0.4mil"}},
      {"constant",
       [](TLegendStackup&, TLayerObject& t) { t.Dielectric.Constant = 3.456; },
       {"1.4mil", "12.6mil", "3.46", "0.4mil"}},
      {"mask height",
       [](TLegendStackup& l, TLayerObject&) { l.Board->TopDielectric.Height = 7000; },
       {"1.4mil", "12.6mil", "4.80", "0.7mil"}},
      {"unit",
       [](TLegendStackup& l, TLayerObject&) { l.Board->BoardUnit = static_cast<uint8_t>(BoardUnit::Metric); },
       {"0.0356mm", "0.32mm", "4.80", "0.0102mm"}},
  };
  for (const auto& c : kChanges) {
    const int32_t copper = top.CopperThickness;
    const TDielectricInfo dielectric = top.Dielectric;
    const TDielectricInfo mask = legend.Board->TopDielectric;
    const uint8_t unit = legend.Board->BoardUnit;
    c.apply(legend, top);
    legend.RefreshTexts();
    EXPECT_EQ(texts(), c.expected) << c.change;
    top.CopperThickness = copper;
    top.Dielectric = dielectric;
    legend.Board->TopDielectric = mask;
    legend.Board->BoardUnit = unit;
    legend.RefreshTexts();
    EXPECT_EQ(texts(), original) << c.change << " undone";
  }
}

TEST_F(LegendTexts, GerberExtensionsNumberMidLayersAndPlanesInStackOrder) {
  const std::vector<legendtest::StackLayer> stack = {{1, "Top"}, {2, "M1"},  {39, "P1"}, {3, "M2"},
                                                     {4, "M3"},  {40, "P2"}, {5, "M4"},  {32, "Bottom"}};
  const TLegendOptions gerbers = OptionsWith(false, false, true, false, false, false, false);
  TLegendStackup legend(OpenBoard(BoardJson(stack)), &gerbers);
  std::vector<std::string> texts;
  for (const auto& row : legend.Rows) texts.push_back(TextOf(row->GerberText));
  EXPECT_EQ(texts, (std::vector<std::string>{"(.GTL)", "(.G1)", "(.GP1)", "(.G2)", "(.G3)", "(.GP2)", "(.G4)",
                                             "(.GBL)"}));
  // A refresh restarts the numbering.
  legend.RefreshTexts();
  EXPECT_EQ(TextOf(legend.Rows[7]->GerberText), "(.GBL)");
  EXPECT_EQ(TextOf(legend.Rows[6]->GerberText), "(.G4)");
  EXPECT_EQ(legend.MidLayerCounter, 5);
  EXPECT_EQ(legend.PlaneCounter, 3);

  EXPECT_EQ(legend.GerberExtension(kMechanical1), "");
  EXPECT_EQ(legend.GerberExtension(kTopOverlay), "");
  EXPECT_EQ(legend.MidLayerCounter, 5);
  EXPECT_EQ(legend.PlaneCounter, 3);
}

TEST_F(LegendTexts, GerbersOffLeavesTheColumnAndCountersAlone) {
  const std::vector<legendtest::StackLayer> stack = {{1, "Top"}, {2, "M1"}, {39, "P1"}, {32, "Bottom"}};
  const TLegendOptions none = TLegendOptions::AllOff();
  TLegendStackup legend(OpenBoard(BoardJson(stack)), &none);
  legend.RefreshTexts();
  EXPECT_EQ(legend.MidLayerCounter, 1);
  EXPECT_EQ(legend.PlaneCounter, 1);
  for (const auto& row : legend.Rows) EXPECT_EQ(TextOf(row->GerberText), "");
  EXPECT_EQ(legend.ColumnChars[kGerberColumn], 0);
  EXPECT_EQ(legend.ColumnWidths[kGerberColumn], 0);
}

TEST_F(LegendTexts, DielectricTypeTexts) {
  EXPECT_EQ(TLegendStackup::DielectricTypeText(0), "Core");
  EXPECT_EQ(TLegendStackup::DielectricTypeText(1), "Core");
  EXPECT_EQ(TLegendStackup::DielectricTypeText(2), "PrePreg");
  EXPECT_EQ(TLegendStackup::DielectricTypeText(3), "");
  EXPECT_EQ(TLegendStackup::DielectricTypeText(200), "");
}

// Widths come from the editor's extents: at a new text's size (600000, an
// advance of 400000, stroke 100000) until a layout gives the texts theirs.
TEST_F(LegendTexts, MeasuresTheLongestTextAtItsLatestSize) {
  const TLegendOptions none = TLegendOptions::AllOff();
  TLegendStackup legend(OpenBoard(BoardJson(kFourLayers)), &none);
  EXPECT_EQ(legend.ColumnChars[kNameColumn], 12);  // "Bottom Layer"
  EXPECT_EQ(legend.ColumnWidths[kNameColumn], 12 * 400000 + 100000);
  for (int column = 1; column < kLegendColumnCount; ++column) {
    EXPECT_EQ(legend.ColumnChars[column], 0) << column;
    EXPECT_EQ(legend.ColumnWidths[column], 0) << column;
  }

  legend.PlaceAt(0, 0, 20000000, -20000000);
  const int32_t size = legend.BodyTextSize;
  const int32_t stroke = legend.BodyStrokeWidth;
  ASSERT_NE(size, 600000);
  legend.PlaceAt(0, 0, 20000000, -20000000);
  EXPECT_EQ(legend.ColumnWidths[kNameColumn], 12 * (size * 2 / 3) + stroke);
}

// Header words are measured at the header size and scaled by 1.4; a layer
// name just as long does not replace them.
TEST_F(LegendTexts, HeaderWordScaledAndFirstOfEqualLengthKept) {
  const TLegendOptions none = TLegendOptions::AllOff();
  TLegendStackup legend(OpenBoard(BoardJson({{1, "Alpha"}, {32, "Omega"}})), &none);
  EXPECT_EQ(legend.ColumnChars[kNameColumn], 5);
  EXPECT_EQ(legend.ColumnWidths[kNameColumn], 2940000);  // (5 * 400000 + 100000) * 1.4

  const TLegendOptions all = TLegendOptions::AllOn();
  legend.ApplyOptions(all);
  EXPECT_EQ(legend.ColumnChars[kCopperColumn], 9);           // "Thickness"
  EXPECT_EQ(legend.ColumnChars[kGerberColumn], 8);           // "Document"
  EXPECT_EQ(legend.ColumnChars[kNameColumn], 18);            // "Bottom Solder Mask"
  EXPECT_EQ(legend.ColumnChars[kMaterialColumn], 10);        // "Dielectric" before "SolderMask"
  EXPECT_EQ(legend.ColumnWidths[kMaterialColumn], 5740000);  // (10 * 400000 + 100000) * 1.4
}

TEST_F(LegendTexts, ApplyOptionsRewritesTextsForTheNewFlags) {
  const TLegendOptions none = TLegendOptions::AllOff();
  TLegendStackup legend(OpenBoard(BoardJson(kTwoLayers)), &none);
  EXPECT_EQ(TextOf(legend.Rows[0]->MaterialText), "");
  const TLegendOptions material = OptionsWith(false, false, false, false, true, false, false);
  legend.ApplyOptions(material);
  EXPECT_TRUE(legend.Material);
  EXPECT_FALSE(legend.ExtDielectrics);
  EXPECT_EQ(legend.Options(), material);
  EXPECT_EQ(TextOf(legend.Rows[0]->MaterialText), "FR-4");
  EXPECT_EQ(legend.ColumnChars[kMaterialColumn], 10);
}

}  // namespace
}  // namespace strativue
