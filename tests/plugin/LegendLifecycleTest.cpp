// The legend's end: what Commit hands to the board and in which order, that
// Release leaves no editor object behind, committed or not, and the mended
// faults of an empty stack walk, a bottom layer that is not last and a title
// with no room.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "LegendTestSupport.h"
#include "platform/FaultPoints.h"

namespace strativue {
namespace {

using legendtest::BoardJson;
using legendtest::kFourLayers;
using legendtest::kTwoLayers;
using legendtest::LegendTest;
using legendtest::OptionsWith;

class LegendLifecycle : public LegendTest {
 protected:
  std::vector<qvabi::PcbHandle> RowHandles(const TLegendRow& row) const {
    std::vector<qvabi::PcbHandle> handles;
    for (int column = 0; column < kLegendColumnCount; ++column)
      if (row.Cell(column)) handles.push_back(row.Cell(column)->Handle);
    return handles;
  }

  // Rewrites the editor's stack links to run through `order`, top first.
  void Relink(qvabi::PcbHandle board, const std::vector<TLayerId>& order) {
    TPcbBoard copy(board);
    copy.LoadBoard(qvabi::ReadMode);
    for (std::size_t i = 0; i < order.size(); ++i) {
      TLayerObject& layer = *copy.Layers[order[i]];
      layer.PreviousLayer = i == 0 ? 0 : order[i - 1];
      layer.NextLayer = i + 1 == order.size() ? 0 : order[i + 1];
      if (layer.LayerId == kBottomLayer) layer.Dielectric.Material.assign("Core32");
      layer.LoadLayer(qvabi::WriteMode);
    }
  }
};

// Gerbers, Material and Type with the mask rows on a two-layer board: the
// masks' surface dielectric has an empty type text, which is not kept.
TEST_F(LegendLifecycle, CommitAddsTheShownNonEmptyCellsInOrder) {
  const qvabi::PcbHandle board = OpenBoard(BoardJson(kTwoLayers));
  const int32_t before = Live();
  const TLegendOptions options = OptionsWith(false, true, true, false, true, false, true);
  std::vector<qvabi::PcbHandle> expected;
  {
    TLegendStackup legend(board, &options);
    legend.PlaceAt(0, 0, 40000000, 30000000);
    const auto cells = [](const TLegendRow& row, std::initializer_list<int> columns) {
      std::vector<qvabi::PcbHandle> handles;
      for (const int column : columns) handles.push_back(row.Cell(column)->Handle);
      return handles;
    };
    const auto append = [&](const std::vector<qvabi::PcbHandle>& handles) {
      expected.insert(expected.end(), handles.begin(), handles.end());
    };
    append({legend.FrameTop->Handle, legend.FrameBottom->Handle, legend.FrameLeft->Handle,
            legend.FrameRight->Handle, legend.CornerLowerRight->Handle, legend.CornerLowerLeft->Handle,
            legend.CornerUpperLeft->Handle, legend.CornerUpperRight->Handle, legend.Title->Handle,
            legend.HeaderTopLine->Handle});
    append(cells(*legend.GroupHeaderRow, {kNameColumn, kGerberColumn, kMaterialColumn, kTypeColumn}));
    append(cells(*legend.ColumnHeaderRow, {kNameColumn, kGerberColumn, kMaterialColumn, kTypeColumn}));
    append({legend.HeaderBottomLine->Handle});
    append(cells(*legend.TopMaskRow, {kNameColumn, kGerberColumn, kMaterialColumn}));
    append(cells(*legend.BottomMaskRow, {kNameColumn, kGerberColumn, kMaterialColumn}));
    append(cells(*legend.Rows[0], {kNameColumn, kGerberColumn, kMaterialColumn, kTypeColumn}));
    append(cells(*legend.Rows[1], {kNameColumn, kGerberColumn}));
    legend.Committed = true;
  }
  EXPECT_EQ(Contents(board), expected);
  for (const qvabi::PcbHandle handle : expected) EXPECT_TRUE(Describe(handle)["inContents"].get<bool>());
  // Everything else is gone.
  EXPECT_EQ(Live(), before + static_cast<int32_t>(expected.size()));
}

TEST_F(LegendLifecycle, ReleaseWithoutCommitLeavesNoTrace) {
  const qvabi::PcbHandle board = OpenBoard(BoardJson(kFourLayers));
  const int32_t before = Live();
  {
    const TLegendOptions all = TLegendOptions::AllOn();
    TLegendStackup legend(board, &all);
    EXPECT_GT(Live(), before);
    legend.PlaceAt(0, 0, 40000000, 30000000);
    legend.Committed = true;
    legend.Display(1);
    legend.Committed = false;  // the last decision counts
  }
  EXPECT_EQ(Live(), before);
  EXPECT_TRUE(Contents(board).empty());
}

TEST_F(LegendLifecycle, MaskRowsOffAreDestroyedEvenWhenCommitted) {
  const qvabi::PcbHandle board = OpenBoard(BoardJson(kTwoLayers));
  const int32_t before = Live();
  std::vector<qvabi::PcbHandle> maskTexts;
  {
    const TLegendOptions all = TLegendOptions::AllOn();
    TLegendStackup legend(board, &all);
    legend.PlaceAt(0, 0, 40000000, 30000000);
    legend.ApplyOptions(OptionsWith(true, true, true, true, true, true, false));
    legend.PlaceAt(0, 0, 40000000, 30000000);
    maskTexts = RowHandles(*legend.TopMaskRow);
    const auto bottom = RowHandles(*legend.BottomMaskRow);
    maskTexts.insert(maskTexts.end(), bottom.begin(), bottom.end());
    legend.Display(1);
    for (const qvabi::PcbHandle handle : maskTexts) EXPECT_EQ(sim_->DisplayCount(handle, 1), 0);
    legend.Committed = true;
  }
  ASSERT_EQ(maskTexts.size(), 14u);
  for (const qvabi::PcbHandle handle : maskTexts) EXPECT_FALSE(Alive(handle)) << handle;
  EXPECT_EQ(Live(), before + static_cast<int32_t>(Contents(board).size()));
}

TEST_F(LegendLifecycle, ColumnSwitchedOffKeepsItsPlaceIsHiddenAndDestroyed) {
  const qvabi::PcbHandle board = OpenBoard(BoardJson(kTwoLayers));
  const int32_t before = Live();
  std::vector<qvabi::PcbHandle> gerberTexts;
  {
    const TLegendOptions all = TLegendOptions::AllOn();
    TLegendStackup legend(board, &all);
    legend.PlaceAt(0, 0, 40000000, 30000000);
    for (const auto& row : legend.Rows) gerberTexts.push_back(row->GerberText->Handle);
    gerberTexts.push_back(legend.GroupHeaderRow->GerberText->Handle);
    std::vector<nlohmann::json> placed;
    for (const qvabi::PcbHandle handle : gerberTexts) placed.push_back(Describe(handle));
    const int32_t nameY = YOf(*legend.Rows[0]->NameText);

    legend.ApplyOptions(OptionsWith(true, true, false, true, true, true, true));
    legend.PlaceAt(-5000000, -5000000, 30000000, 20000000);
    ASSERT_NE(YOf(*legend.Rows[0]->NameText), nameY);
    for (std::size_t i = 0; i < gerberTexts.size(); ++i) {
      const nlohmann::json now = Describe(gerberTexts[i]);
      EXPECT_EQ(now["x"], placed[i]["x"]);
      EXPECT_EQ(now["y"], placed[i]["y"]);
      EXPECT_EQ(now["size"], placed[i]["size"]);
    }
    legend.Display(2);
    EXPECT_EQ(sim_->DisplayCount(legend.Rows[0]->NameText->Handle, 2), 1);
    for (const qvabi::PcbHandle handle : gerberTexts) EXPECT_EQ(sim_->DisplayCount(handle, 2), 0);
    legend.Committed = true;
  }
  for (const qvabi::PcbHandle handle : gerberTexts) EXPECT_FALSE(Alive(handle));
  EXPECT_EQ(Live(), before + static_cast<int32_t>(Contents(board).size()));
}

TEST_F(LegendLifecycle, DisplayShowsEveryShownPrimitiveOnce) {
  const qvabi::PcbHandle board = OpenBoard(BoardJson(kTwoLayers));
  const TLegendOptions options = OptionsWith(true, false, false, false, false, false, true);
  TLegendStackup legend(board, &options);
  legend.PlaceAt(0, 0, 40000000, 30000000);
  legend.Display(3);
  for (const TPCBObject* object : std::initializer_list<const TPCBObject*>{
           legend.FrameTop.get(), legend.CornerLowerRight.get(), legend.Title.get(),
           legend.HeaderBottomLine.get(), legend.Rows[1]->CopperText.get(),
           legend.TopMaskRow->NameText.get()})
    EXPECT_EQ(sim_->DisplayCount(object->Handle, 3), 1);
  // Not shown: a mask row's copper cell, hidden columns.
  EXPECT_EQ(sim_->DisplayCount(legend.TopMaskRow->CopperText->Handle, 3), 0);
  EXPECT_EQ(sim_->DisplayCount(legend.Rows[0]->MaterialText->Handle, 3), 0);
  EXPECT_EQ(sim_->DisplayCount(legend.GroupHeaderRow->TypeText->Handle, 3), 0);
}

// An empty layer name is neither kept nor may it be left behind.
TEST_F(LegendLifecycle, EmptyCellsAreDestroyedWhenCommitted) {
  const qvabi::PcbHandle board = OpenBoard(BoardJson({{1, ""}, {32, "Bottom Layer"}}));
  const int32_t before = Live();
  qvabi::PcbHandle emptyName = 0;
  {
    const TLegendOptions none = TLegendOptions::AllOff();
    TLegendStackup legend(board, &none);
    legend.PlaceAt(0, 0, 40000000, 30000000);
    emptyName = legend.Rows[0]->NameText->Handle;
    legend.Committed = true;
  }
  EXPECT_FALSE(Alive(emptyName));
  EXPECT_EQ(Live(), before + static_cast<int32_t>(Contents(board).size()));
}

// With an empty stack walk and no mask rows there is no table line: the
// layout stays defined and nothing is drawn.
TEST_F(LegendLifecycle, EmptyStackWalkLaysOutNothing) {
  const qvabi::PcbHandle board = OpenBoard(BoardJson(kTwoLayers));
  {
    TPcbBoard copy(board);
    copy.LoadBoard(qvabi::ReadMode);
    for (int id = 1; id <= kLastLayer; ++id) {
      copy.Layers[id]->PreviousLayer = kLastLayer;
      copy.Layers[id]->LoadLayer(qvabi::WriteMode);
    }
  }
  const int32_t before = Live();
  {
    const TLegendOptions none = TLegendOptions::AllOff();
    TLegendStackup legend(board, &none);
    EXPECT_EQ(legend.RowCount, 0);
    EXPECT_EQ(legend.RowSlots(), 0);
    const int32_t live = Live();
    legend.PlaceAt(0, 0, 40000000, 30000000);
    EXPECT_EQ(legend.RowHeight, 0);
    EXPECT_EQ(Live(), live);
    const nlohmann::json top = Describe(legend.FrameTop->Handle);
    EXPECT_EQ(top["x"], 1);
    EXPECT_EQ(top["x2"], 2);
    EXPECT_FALSE(legend.TitlePlaced);

    // With the mask rows there are two lines again.
    legend.ApplyOptions(OptionsWith(false, false, false, false, false, false, true));
    legend.PlaceAt(0, 0, 40000000, 30000000);
    EXPECT_EQ(legend.RowSlots(), 2);
    EXPECT_GT(legend.RowHeight, 0);
  }
  EXPECT_EQ(Live(), before);
}

// The walk ends at a layer other than the bottom layer: the row without
// dielectric texts is the last one, and the bottom layer's row in the middle
// keeps its dielectric texts everywhere.
TEST_F(LegendLifecycle, BottomLayerInTheMiddleKeepsItsDielectric) {
  const qvabi::PcbHandle board = OpenBoard(BoardJson({{1, "Top"}, {2, "Mid"}, {32, "Bottom"}}));
  Relink(board, {1, 32, 2});
  const int32_t before = Live();
  qvabi::PcbHandle middleMaterial = 0;
  {
    const TLegendOptions all = TLegendOptions::AllOn();
    TLegendStackup legend(board, &all);
    ASSERT_EQ(legend.Rows.size(), 3u);
    EXPECT_EQ(legend.Rows[1]->LayerId, 32);
    ASSERT_TRUE(legend.Rows[1]->HasDielectricTexts());
    EXPECT_FALSE(legend.Rows[2]->HasDielectricTexts());
    EXPECT_EQ(legend.Rows[1]->MaterialText->Text.str(), "Core32");
    EXPECT_EQ(legend.Rows[2]->GerberText->Text.str(), "(.G1)");

    legend.PlaceAt(0, 0, 40000000, 30000000);
    legend.Display(1);
    middleMaterial = legend.Rows[1]->MaterialText->Handle;
    EXPECT_EQ(sim_->DisplayCount(middleMaterial, 1), 1);
    // The dielectric line below the bottom layer's row, then the last row.
    EXPECT_EQ(YOf(*legend.Rows[1]->MaterialText), YOf(*legend.Rows[1]->NameText) - legend.RowHeight);
    EXPECT_EQ(YOf(*legend.Rows[2]->NameText), YOf(*legend.Rows[1]->NameText) - 2 * legend.RowHeight);
    legend.Committed = true;
  }
  const std::vector<qvabi::PcbHandle> contents = Contents(board);
  EXPECT_NE(std::find(contents.begin(), contents.end(), middleMaterial), contents.end());
  EXPECT_EQ(Live(), before + static_cast<int32_t>(contents.size()));
}

// A rectangle too small for its header band leaves no room for the title:
// it is then not placed, shown or kept.
TEST_F(LegendLifecycle, TitleWithoutRoomIsNeitherShownNorKept) {
  const qvabi::PcbHandle board = OpenBoard(BoardJson(kTwoLayers));
  const int32_t before = Live();
  qvabi::PcbHandle title = 0;
  {
    const TLegendOptions all = TLegendOptions::AllOn();
    TLegendStackup legend(board, &all);
    title = legend.Title->Handle;
    legend.PlaceAt(0, 0, 40000000, 30000000);
    ASSERT_TRUE(legend.TitlePlaced);
    const int32_t size = Describe(title)["size"].get<int32_t>();

    legend.PlaceAt(0, 0, 40000000, 0);
    EXPECT_LE(legend.TitleTextSize, 0);
    EXPECT_FALSE(legend.TitlePlaced);
    EXPECT_EQ(Describe(title)["size"], size);  // never handed a size of zero or less
    legend.Display(1);
    EXPECT_EQ(sim_->DisplayCount(title, 1), 0);
    legend.Committed = true;
  }
  const std::vector<qvabi::PcbHandle> contents = Contents(board);
  EXPECT_EQ(std::find(contents.begin(), contents.end(), title), contents.end());
  EXPECT_FALSE(Alive(title));
  EXPECT_EQ(Live(), before + static_cast<int32_t>(contents.size()));
}

// A board whose record the editor refuses to read has no current layer to
// put the legend on: the legend is not made and leaves no editor object.
TEST_F(LegendLifecycle, RefusedBoardRecordMakesNoLegend) {
  const qvabi::PcbHandle board = OpenBoard(BoardJson(kTwoLayers));
  const int32_t before = Live();
  platform::faults::Arm({"editor.QueryBoard", 0, {}});
  const TLegendOptions all = TLegendOptions::AllOn();
  EXPECT_THROW(TLegendStackup(board, &all), Exception);
  platform::faults::Clear();
  EXPECT_EQ(Live(), before);
}

// A text record the editor refuses to write would stay on the editor's
// default layer (the top layer) and be committed there. Refused at any one
// text, in the middle of a row too, the legend is not made and leaves no
// object behind. The title and the four fixed rows of seven come first, 29
// texts, each read then written: the writes are the even calls 2 to 58.
TEST_F(LegendLifecycle, RefusedPrimitiveRecordMakesNoLegend) {
  const qvabi::PcbHandle board = OpenBoard(BoardJson(kTwoLayers));
  const int32_t before = Live();
  const TLegendOptions all = TLegendOptions::AllOn();
  for (int64_t nth = 0; nth <= 58; nth += 2) {
    platform::faults::Clear();
    platform::faults::Arm({"editor.QueryText", nth, {}});
    EXPECT_THROW(TLegendStackup(board, &all), Exception) << nth;
    EXPECT_EQ(Live(), before) << nth;
  }
  platform::faults::Clear();
}

}  // namespace
}  // namespace strativue
