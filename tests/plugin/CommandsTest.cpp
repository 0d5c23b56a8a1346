// The GenerateCrossSection command: its registration, when its state handler
// reports it enabled, and what its run handler does for each kind of active
// window, board and answer of the user.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "PlacementTestSupport.h"
#include "plugin/Commands_LayerStackup.h"
#include "plugin/Strativue.h"
#include "tests/TestSupport.h"

namespace strativue {
namespace {

using placementtest::PlacementTest;

// A view the host may hand over that shows no document.
class ViewWithoutDocument final : public qvabi::Implements<qvabi::IServerView> {
 public:
  qvabi::HRESULT STDCALL GetViewName(qvabi::BSTR*) override { return qvabi::E_NOTIMPL; }
  qvabi::HRESULT STDCALL GetParameters(qvabi::BSTR*) override { return qvabi::E_NOTIMPL; }
  qvabi::HRESULT STDCALL GetOwnerDocument(qvabi::IServerDocument** document) override {
    *document = nullptr;
    return qvabi::S_OK;
  }
  qvabi::HRESULT STDCALL RefreshAfterCommand() override { return qvabi::S_OK; }
};

struct StateResult {
  qvabi::BOOL32 enabled = 12345;
  int32_t state2 = 22;
  int32_t state3 = 33;
  qvabi::ByteBool state4 = 44;
  qvabi::ByteBool state5 = 55;
};

class CommandsTest : public PlacementTest {
 protected:
  quorvex::Host& host() { return quorvex::Host::Instance(); }

  // A PCB document's view over a usable board, with the editor's server
  // module loaded.
  qvabi::PcbHandle UsableBoard(bool refuses = false) {
    LoadEditorServer();
    const qvabi::PcbHandle board = OpenBoardAt(0, 0, refuses);
    host().OpenPcbView("C:\\Designs\\Demo\\Board.qvpcb");
    return board;
  }

  StateResult State(qvabi::IServerView* view) {
    StateResult result;
    GenerateCrossSectionState(view, "", result.enabled, result.state2, result.state3, result.state4,
                              result.state5);
    return result;
  }
  bool Enabled(qvabi::IServerView* view) { return State(view).enabled == qvabi::kTrue32; }

  std::vector<std::string> Messages() const {
    std::vector<std::string> lines;
    for (const auto& record : toolkit::MessageLog::Entries())
      lines.push_back(record.caption + ": " + record.text);
    return lines;
  }
  std::string Information(const char* text) const { return std::string("Information: ") + text; }
};

// --- State handler --------------------------------------------------------

TEST_F(CommandsTest, StateIsEnabledForAUsableBoardAndTouchesOnlyEnabled) {
  UsableBoard();
  const StateResult result = State(host().CurrentView());
  EXPECT_EQ(result.enabled, qvabi::kTrue32);
  EXPECT_EQ(result.state2, 22);
  EXPECT_EQ(result.state3, 33);
  EXPECT_EQ(result.state4, 44);
  EXPECT_EQ(result.state5, 55);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(CommandsTest, StateComparesTheDocumentKindIgnoringCase) {
  LoadEditorServer();
  OpenBoardAt(0, 0);
  for (const char* kind : {"pcb", "Pcb", "PCB"})
    EXPECT_TRUE(Enabled(host().OpenDocument(kind, "Board.qvpcb"))) << kind;
  for (const char* kind : {"SCH", "PCBPARTS", "", "PC"})
    EXPECT_FALSE(Enabled(host().OpenDocument(kind, "Other"))) << kind;
}

TEST_F(CommandsTest, StateIsDisabledWhenAnythingTheRunNeedsIsMissing) {
  // No view at all, and a view without a document: not a PCB document.
  EXPECT_EQ(State(nullptr).enabled, qvabi::kFalse32);
  qvabi::ComPtr<ViewWithoutDocument> bare = testsupport::MakeReferenced<ViewWithoutDocument>();
  EXPECT_FALSE(Enabled(bare.get()));

  // No current board.
  const qvabi::PcbHandle board = UsableBoard();
  qvabi::IServerView* view = host().CurrentView();
  ASSERT_TRUE(Enabled(view));
  sim_->SetCurrentBoard(0);
  EXPECT_FALSE(Enabled(view));
  sim_->SetCurrentBoard(board);

  // No PCB server module, then one that has no interface for the board.
  host().ReleaseServerModules();
  EXPECT_FALSE(Enabled(view));
  InstallFakeServer(false);
  EXPECT_FALSE(Enabled(view));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(CommandsTest, StateIsDisabledForABoardThatRefusesCommands) {
  UsableBoard(true);
  EXPECT_FALSE(Enabled(host().CurrentView()));
}

TEST_F(CommandsTest, FailingHostCallsAreRaisedFromBothHandlers) {
  UsableBoard();
  const testsupport::FailingCall kindFails("host.GetKind", "kind unavailable");
  StateResult result;
  EXPECT_THROW(GenerateCrossSectionState(host().CurrentView(), "", result.enabled, result.state2,
                                         result.state3, result.state4, result.state5),
               EHostError);
  EXPECT_RAISES(RunGenerateCrossSection(host().CurrentView(), ""), EHostError, "kind unavailable");
  EXPECT_TRUE(Messages().empty());
}

// --- Run handler ----------------------------------------------------------

TEST_F(CommandsTest, RunWithoutAPcbDocumentShowsTheFirstMessageAndStops) {
  LoadEditorServer();
  const qvabi::PcbHandle board = OpenBoardAt(0, 0);
  qvabi::ComPtr<ViewWithoutDocument> bare = testsupport::MakeReferenced<ViewWithoutDocument>();
  RunGenerateCrossSection(nullptr, "");
  RunGenerateCrossSection(bare.get(), "");
  RunGenerateCrossSection(host().OpenDocument("SCH", "Sheet1.qvsch"), "");
  const std::string message = Information(kNotPcbDocumentMessage);
  EXPECT_EQ(Messages(), (std::vector<std::string>{message, message, message}));
  // Nothing was asked of the user or done to the board.
  EXPECT_STREQ(sim_->EventLog(), "");
  EXPECT_EQ(sim_->BoardObjectCount(board), 0);
}

TEST_F(CommandsTest, RunWithoutACurrentBoardShowsTheSecondMessage) {
  LoadEditorServer();
  host().OpenPcbView("Board.qvpcb");
  RunGenerateCrossSection(host().CurrentView(), "");
  EXPECT_EQ(Messages(), (std::vector<std::string>{Information(kNoCurrentBoardMessage)}));
  EXPECT_EQ(toolkit::MessageLog::Entries()[0].type, toolkit::TMsgDlgType::Information);
}

TEST_F(CommandsTest, RunStopsSilentlyForAnUnusableBoardBeforeAskingForACorner) {
  {
    const qvabi::PcbHandle board = UsableBoard(true);
    SetScript(board, "corner 0,0\nmove 100mil,100mil\nclick");
    RunGenerateCrossSection(host().CurrentView(), "");
    EXPECT_EQ(sim_->PendingActionCount(board), 3);
  }
  host().ReleaseServerModules();
  InstallFakeServer(false);
  const qvabi::PcbHandle board = OpenBoardAt(0, 0);
  SetScript(board, "corner 0,0\nclick");
  RunGenerateCrossSection(host().CurrentView(), "");
  EXPECT_EQ(sim_->PendingActionCount(board), 2);
  EXPECT_STREQ(sim_->EventLog(), "");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(CommandsTest, CancellingTheFirstCornerLeavesTheBoardAsItWas) {
  const qvabi::PcbHandle board = UsableBoard();
  const std::string before = sim_->BoardText(board);
  const int32_t live = Live();
  SetScript(board, "escape\nmove 100mil,100mil\nclick");
  RunGenerateCrossSection(host().CurrentView(), "");
  EXPECT_STREQ(sim_->EventLog(), "prompt Select first corner\n");
  EXPECT_EQ(sim_->BoardText(board), before);
  EXPECT_EQ(Live(), live);
  EXPECT_STREQ(sim_->Notifications(), "");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(CommandsTest, ARunPlacesTheLegendFromTheCornerWithTheParametersUnchanged) {
  const qvabi::PcbHandle board = UsableBoard();
  // A wide, low rectangle: the row height, not the width, limits the texts.
  SetScript(board, "corner 1000mil,500mil\nmove 13000mil,2500mil\nclick");
  RunGenerateCrossSection(host().CurrentView(), "Gerbers=True|Type=True");
  EXPECT_EQ(sim_->PendingActionCount(board), 0);
  EXPECT_STREQ(sim_->Notifications(), "NotifyHandlerCreated\nNotifyHandlerDestroyed\n");
  EXPECT_EQ(Panel(3), "Rectangle Height: 2000mil Width: 12000mil");

  std::vector<std::string> texts;
  int32_t minX = INT32_MAX;
  int32_t minY = INT32_MAX;
  for (int32_t i = 0; i < sim_->BoardObjectCount(board); ++i) {
    const nlohmann::json object = Describe(sim_->BoardObjectAt(board, i));
    if (object["kind"] == "text") {
      texts.push_back(object["text"].get<std::string>());
      minX = std::min(minX, object["x"].get<int32_t>());
      minY = std::min(minY, object["y"].get<int32_t>());
    }
  }
  // The Gerber and type columns are there, the material column is not.
  for (const char* text : {"(.GTL)", "(.GBL)", "Core"})
    EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end()) << text;
  EXPECT_EQ(std::find(texts.begin(), texts.end(), "FR-4"), texts.end());
  // Everything lies inside the rectangle from the corner.
  EXPECT_GE(minX, 10000000);
  EXPECT_GE(minY, 5000000);
}

TEST_F(CommandsTest, TheModuleRegistersTheCommandUnderItsNameInAnyCase) {
  qvabi::ComPtr<qvabi::IServerModule> module =
      TServerModule::Create<TStrativueServerModule>(host().GetClient());
  qvabi::ICommandLauncher* launcher = nullptr;
  ASSERT_EQ(module->GetCommandLauncher(&launcher), qvabi::S_OK);
  ASSERT_NE(launcher, nullptr);

  qvabi::IServerView* schematic = host().OpenDocument("SCH", "Sheet1.qvsch");
  qvabi::BOOL32 enabled = qvabi::kTrue32;
  int32_t state2 = 7;
  int32_t state3 = 7;
  qvabi::ByteBool state4 = 7;
  qvabi::ByteBool state5 = 7;
  ASSERT_EQ(launcher->GetCommandState("generatecrosssection", "", schematic, &enabled, &state2, &state3,
                                      &state4, &state5),
            qvabi::S_OK);
  EXPECT_EQ(enabled, qvabi::kFalse32);
  EXPECT_EQ(state2, 0);
  EXPECT_EQ(state3, -1);
  EXPECT_EQ(state4, 0);
  EXPECT_EQ(state5, 0);
  EXPECT_EQ(launcher->LaunchCommand("GENERATECROSSSECTION", "", 0, schematic), qvabi::S_OK);
  EXPECT_EQ(Messages(), (std::vector<std::string>{Information(kNotPcbDocumentMessage)}));
}

TEST_F(CommandsTest, TheLauncherSurvivesACommandWithNoViewAtAll) {
  qvabi::ComPtr<qvabi::IServerModule> module =
      TServerModule::Create<TStrativueServerModule>(host().GetClient());
  qvabi::ICommandLauncher* launcher = nullptr;
  ASSERT_EQ(module->GetCommandLauncher(&launcher), qvabi::S_OK);
  qvabi::BOOL32 enabled = qvabi::kTrue32;
  int32_t state2 = 0;
  int32_t state3 = 0;
  qvabi::ByteBool state4 = 0;
  qvabi::ByteBool state5 = 0;
  EXPECT_EQ(launcher->GetCommandState(kGenerateCrossSection, "", nullptr, &enabled, &state2, &state3, &state4,
                                      &state5),
            qvabi::S_OK);
  EXPECT_EQ(enabled, qvabi::kFalse32);
  EXPECT_EQ(launcher->LaunchCommand(kGenerateCrossSection, "", 0, nullptr), qvabi::S_OK);
  EXPECT_EQ(Messages(), (std::vector<std::string>{Information(kNotPcbDocumentMessage)}));
}

}  // namespace
}  // namespace strativue
