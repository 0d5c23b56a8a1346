// The legend's interactive placement: where the first corner comes from, the
// commit decision, when the handler reports done, the notifications around
// it and what is left on the board when it goes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "PlacementTestSupport.h"
#include "plugin/EventLegendHandler.h"
#include "toolkit/Automation.h"

namespace strativue {
namespace {

using placementtest::FakePcbServer;
using placementtest::PlacementTest;

class EventLegendHandlerTest : public PlacementTest {};

TEST_F(EventLegendHandlerTest, FirstCornerIsTheEditorsCursorAtConstruction) {
  const qvabi::PcbHandle board = OpenBoardAt(1230000, -450000);
  TEventLegendHandler handler(board, "");
  EXPECT_EQ(handler.BoardHandle, board);
  EXPECT_EQ(handler.FirstCornerX, 1230000);
  EXPECT_EQ(handler.FirstCornerY, -450000);
  EXPECT_EQ(handler.CursorX, 1230000);
  EXPECT_EQ(handler.CursorY, -450000);
  EXPECT_FALSE(handler.Done);
  ASSERT_NE(handler.Legend, nullptr);
  EXPECT_FALSE(handler.Legend->Committed);
}

// The dialog loads from the options store (empty here, so every box opens
// checked), not from the legend's flags; only OK reaches the legend.
TEST_F(EventLegendHandlerTest, TheSetupDialogsChoiceReachesTheLegendOnOkOnly) {
  const qvabi::PcbHandle board = OpenBoardAt(0, 0);
  TEventLegendHandler handler(board, "CopperHeight=True");
  const TLegendOptions before = legendtest::OptionsWith(true, false, false, false, false, false, false);
  ASSERT_EQ(handler.Legend->Options(), before);

  toolkit::automation::SetChecked("chType", false);
  toolkit::automation::Click("ButtonCancel");
  handler.OnEvent08();
  EXPECT_EQ(handler.Legend->Options(), before);

  toolkit::automation::SetChecked("chCopperThickness", false);
  toolkit::automation::Click("ButtonOK");
  handler.OnEvent08();
  EXPECT_EQ(handler.Legend->Options(), legendtest::OptionsWith(false, true, true, true, true, true, true));
  EXPECT_EQ(toolkit::automation::PendingActions(), 0);
}

TEST_F(EventLegendHandlerTest, CursorIsReadAgainOnlyOnEvent16AndTheCornerStays) {
  const qvabi::PcbHandle board = OpenBoardAt(0, 0);
  TEventLegendHandler handler(board, "");
  MoveCursor(board, "500mil,300mil");
  EXPECT_EQ(handler.CursorX, 0);
  handler.OnEvent16();
  EXPECT_EQ(handler.CursorX, 5000000);
  EXPECT_EQ(handler.CursorY, 3000000);
  EXPECT_EQ(handler.FirstCornerX, 0);
  EXPECT_EQ(handler.FirstCornerY, 0);
  handler.OnEvent28();
  EXPECT_EQ(handler.Legend->X1, 0);
  EXPECT_EQ(handler.Legend->Y1, 0);
  EXPECT_EQ(handler.Legend->X2, 5000000);
  EXPECT_EQ(handler.Legend->Y2, 3000000);
}

TEST_F(EventLegendHandlerTest, ARefusedCursorQueryKeepsTheLastCursor) {
  const qvabi::PcbHandle board = OpenBoardAt(0, 0);
  TEventLegendHandler handler(board, "");
  MoveCursor(board, "500mil,300mil");
  handler.OnEvent16();
  MoveCursor(board, "900mil,700mil");
  {
    const testsupport::FailingCall refused("editor.QueryBoard");
    handler.OnEvent16();
  }
  // Neither the editor's new cursor nor whatever a refused query leaves in
  // its fields: the cursor last read.
  EXPECT_EQ(handler.CursorX, 5000000);
  EXPECT_EQ(handler.CursorY, 3000000);
  handler.OnEvent16();
  EXPECT_EQ(handler.CursorX, 9000000) << "the next query that succeeds reads the cursor again";
  EXPECT_EQ(handler.CursorY, 7000000);
}

TEST_F(EventLegendHandlerTest, ParametersChooseTheOptionsAndEmptyOnesLeaveThemToTheLegacyFile) {
  const qvabi::PcbHandle board = OpenBoardAt(0, 0);
  {
    TEventLegendHandler handler(board, "CopperHeight=True|Material=true|Type=False");
    EXPECT_EQ(handler.Legend->Options(),
              legendtest::OptionsWith(true, false, false, false, true, false, false));
  }
  {
    // No parameters and no legacy file: all off.
    TEventLegendHandler handler(board, "");
    EXPECT_EQ(handler.Legend->Options(), TLegendOptions::AllOff());
  }
}

TEST_F(EventLegendHandlerTest, QueryAnswersFalseUntilDoneAndDoneIsNeverReset) {
  const qvabi::PcbHandle board = OpenBoardAt(0, 0);
  for (const bool byClick : {true, false}) {
    TEventLegendHandler handler(board, "");
    EXPECT_FALSE(handler.OnQuery37());
    handler.OnEvent16();
    handler.OnEvent28();
    handler.OnEvent27();
    handler.OnEvent29();
    handler.OnEvent30();
    handler.OnEvent33();
    EXPECT_FALSE(handler.OnQuery37());
    if (byClick)
      handler.OnEvent11();
    else
      handler.OnEvent14();
    EXPECT_TRUE(handler.OnQuery37());
    handler.OnEvent30();
    handler.OnEvent16();
    EXPECT_TRUE(handler.OnQuery37()) << (byClick ? "click" : "escape");
  }
}

TEST_F(EventLegendHandlerTest, TheLastCommitDecisionBeforeTheEndDecides) {
  struct Case {
    const char* name;
    void (*decide)(TEventLegendHandler&);
    bool kept;
  };
  const Case cases[] = {
      {"click after Escape", [](TEventLegendHandler& h) { h.OnEvent30(), h.OnEvent29(); }, true},
      {"Escape after click", [](TEventLegendHandler& h) { h.OnEvent29(), h.OnEvent30(); }, false},
      {"no decision", [](TEventLegendHandler&) {}, false},
  };
  for (const Case& c : cases) {
    const qvabi::PcbHandle board = OpenBoardAt(0, 0);
    const int32_t before = Live();
    {
      TEventLegendHandler handler(board, "");
      handler.OnEvent16();
      MoveCursor(board, "4000mil,3000mil");
      handler.OnEvent16();
      handler.OnEvent28();
      c.decide(handler);
      EXPECT_GT(Live(), before) << c.name;
      handler.Finish();
    }
    if (c.kept) {
      EXPECT_GT(sim_->BoardObjectCount(board), 0) << c.name;
      EXPECT_EQ(Live(), before + sim_->BoardObjectCount(board)) << c.name;
    } else {
      EXPECT_EQ(sim_->BoardObjectCount(board), 0) << c.name;
      EXPECT_EQ(Live(), before) << c.name;
    }
  }
}

TEST_F(EventLegendHandlerTest, CommitShowsTheLegendAndShowingUsesModeThree) {
  const qvabi::PcbHandle board = OpenBoardAt(0, 0);
  TEventLegendHandler handler(board, "");
  handler.OnEvent28();
  const qvabi::PcbHandle frame = handler.Legend->FrameTop->Handle;
  handler.OnEvent27();
  EXPECT_EQ(sim_->DisplayCount(frame, 3), 1);
  handler.OnEvent29();
  EXPECT_TRUE(handler.Legend->Committed);
  EXPECT_EQ(sim_->DisplayCount(frame, 3), 2);
}

TEST_F(EventLegendHandlerTest, RunWithoutMovementLaysOutAZeroSizeRectangleOnce) {
  const qvabi::PcbHandle board = OpenBoardAt(1000000, 2000000);
  SetScript(board, "escape");
  const int32_t before = Live();
  {
    TEventLegendHandler handler(board, "");
    EXPECT_FALSE(handler.Run());
    EXPECT_TRUE(handler.Done);
    EXPECT_EQ(handler.Legend->RectWidth, 0);
    EXPECT_EQ(handler.Legend->RectHeight, 0);
    EXPECT_EQ(handler.Legend->HeaderTextSize, 10000);
    handler.Finish();
  }
  EXPECT_STREQ(sim_->EventLog(), "IsDone\nDropCommit\nEscapeDone\nIsDone\n");
  EXPECT_EQ(Panel(3), "Rectangle Height: 0mil Width: 0mil");
  EXPECT_EQ(Live(), before);
  EXPECT_EQ(sim_->BoardObjectCount(board), 0);
}

TEST_F(EventLegendHandlerTest, RunFollowsTheCursorAndAClickKeepsTheLegend) {
  const qvabi::PcbHandle board = OpenBoardAt(0, 0);
  SetScript(board, "move 1000mil,1000mil\nmove 6000mil,4000mil\nclick");
  TEventLegendHandler handler(board, "");
  EXPECT_TRUE(handler.Run());
  EXPECT_EQ(handler.Legend->X2, 60000000);
  EXPECT_EQ(handler.Legend->Y2, 40000000);
  EXPECT_EQ(Panel(3), "Rectangle Height: 4000mil Width: 6000mil");
  EXPECT_STREQ(sim_->EventLog(),
               "IsDone\nReadCursor\nLayOut\nShow\nIsDone\nReadCursor\nLayOut\nShow\nIsDone\nCommit\nClickDone"
               "\nIsDone\n");
  handler.Finish();
  EXPECT_GT(sim_->BoardObjectCount(board), 0);
}

TEST_F(EventLegendHandlerTest, NoEditorObjectIsCreatedOrDestroyedWhileTheCursorMoves) {
  const qvabi::PcbHandle board = OpenBoardAt(0, 0, false, legendtest::kFourLayers);
  TEventLegendHandler handler(board,
                              "CopperHeight=True|Type=True|Gerbers=True|DielHeight=True|Material=True|"
                              "Constant=True");
  handler.Legend->ApplyOptions(TLegendOptions::AllOn());
  handler.OnEvent28();
  const int32_t live = Live();
  for (int step = 1; step <= 20; ++step) {
    MoveCursor(board, std::to_string(step * 300) + "mil," + std::to_string(step * 200) + "mil");
    handler.OnEvent16();
    handler.OnEvent28();
    handler.OnEvent27();
    ASSERT_EQ(Live(), live) << "step " << step;
  }
}

// --- Notifications ------------------------------------------------------

TEST_F(EventLegendHandlerTest, NotificationsBracketTheLegendsWholeLife) {
  FakePcbServer& server = InstallFakeServer(false);
  const qvabi::PcbHandle board = OpenBoardAt(0, 0);
  const int32_t before = Live();
  server.observe = [&] {
    return " live+" + std::to_string(Live() - before) + " on board " +
           std::to_string(sim_->BoardObjectCount(board));
  };
  int32_t legendObjects = 0;
  {
    TEventLegendHandler handler(board, "");
    legendObjects = Live() - before;
    handler.OnEvent28();
    handler.OnEvent29();
    handler.Finish();
    ASSERT_EQ(handler.Legend, nullptr);
  }
  const int32_t kept = sim_->BoardObjectCount(board);
  ASSERT_GT(kept, 0);
  // Created once every primitive exists; destroyed once the legend has gone
  // to the board and freed the rest.
  EXPECT_EQ(server.notifications,
            (std::vector<std::string>{
                "created live+" + std::to_string(legendObjects) + " on board 0",
                "destroyed live+" + std::to_string(kept) + " on board " + std::to_string(kept)}));
}

TEST_F(EventLegendHandlerTest, TheEditorsServerInterfaceHearsBothNotifications) {
  LoadEditorServer();
  const qvabi::PcbHandle board = OpenBoardAt(0, 0);
  { TEventLegendHandler handler(board, ""); }
  EXPECT_STREQ(sim_->Notifications(), "NotifyHandlerCreated\nNotifyHandlerDestroyed\n");
}

TEST_F(EventLegendHandlerTest, WithoutServerInterfacePlacementWorksTheSame) {
  const qvabi::PcbHandle board = OpenBoardAt(0, 0);
  SetScript(board, "move 3000mil,2000mil\nclick");
  TEventLegendHandler handler(board, "");
  handler.Run();
  handler.Finish();
  EXPECT_GT(sim_->BoardObjectCount(board), 0);
  EXPECT_STREQ(sim_->Notifications(), "");
}

TEST_F(EventLegendHandlerTest, AFailingCreatedNotificationIsRaisedAndLeavesNothing) {
  FakePcbServer& server = InstallFakeServer(false);
  server.failCreated = true;
  const qvabi::PcbHandle board = OpenBoardAt(0, 0);
  const int32_t before = Live();
  EXPECT_THROW(TEventLegendHandler(board, ""), EHostError);
  EXPECT_EQ(Live(), before);
}

TEST_F(EventLegendHandlerTest, AFailingDestroyedNotificationIsRaisedByFinishAfterTheLegendWent) {
  FakePcbServer& server = InstallFakeServer(false);
  server.failDestroyed = true;
  const qvabi::PcbHandle board = OpenBoardAt(0, 0);
  const int32_t before = Live();
  TEventLegendHandler handler(board, "");
  EXPECT_THROW(handler.Finish(), EHostError);
  EXPECT_EQ(handler.Legend, nullptr);
  EXPECT_EQ(Live(), before);
  // Once is enough: a second Finish (and the destructor) do nothing more.
  handler.Finish();
  EXPECT_EQ(server.notifications.size(), 2u);
}

}  // namespace
}  // namespace strativue
