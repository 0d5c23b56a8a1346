// The event-handler base: its registration records, Run, and how the editor
// stand-in's interactive loop reaches a subclass's overrides.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "EditorTestSession.h"
#include "WithoutEditorSupport.h"
#include "plugin/RTL/PcbEventHandler.h"
#include "tests/TestSupport.h"

namespace strativue {
namespace {

// Overrides the slots the legend's placement uses and records each call.
class RecordingHandler : public TPCBEventHandler {
 public:
  using TPCBEventHandler::TPCBEventHandler;
  void OnEvent08() override { calls.push_back("setup"); }
  void OnEvent11() override {
    calls.push_back("done-click");
    done = true;
  }
  void OnEvent14() override {
    calls.push_back("done-escape");
    done = true;
  }
  void OnEvent16() override {
    calls.push_back("cursor");
    if (failOnCursor) throw std::runtime_error("cursor failed");
  }
  void OnEvent27() override { calls.push_back("show"); }
  void OnEvent28() override { calls.push_back("layout"); }
  void OnEvent29() override { calls.push_back("commit"); }
  void OnEvent30() override { calls.push_back("drop"); }
  bool OnQuery36() override { return true; }
  bool OnQuery37() override { return done; }
  bool OnCode(uint16_t code) override { return code == 42; }

  std::vector<std::string> calls;
  bool done = false;
  bool failOnCursor = false;
};

bool IsEmpty(const qvabi::EventMethod& entry) { return entry.code == nullptr && entry.data == nullptr; }
bool IsEmpty(const qvabi::QueryMethod& entry) { return entry.code == nullptr && entry.data == nullptr; }

TEST(PcbEventHandlerTables, OnlyTheEmptyEntriesAreZeroAndTheRestAreBoundToTheHandler) {
  RecordingHandler handler(0);
  const qvabi::EventTableA a = handler.MakeEventTableA();
  const qvabi::EventTableB b = handler.MakeEventTableB();
  for (int entry = 0; entry < qvabi::kEventTableASize; ++entry) {
    const bool empty = std::string_view(qvabi::kEventANames[entry]).starts_with("Empty");
    EXPECT_EQ(IsEmpty(a.entries[entry]), empty) << qvabi::kEventANames[entry];
    if (!empty) {
      EXPECT_EQ(a.entries[entry].data, &handler) << qvabi::kEventANames[entry];
    }
  }
  for (int entry = 0; entry < qvabi::kEventTableBSize; ++entry) {
    const bool empty = std::string_view(qvabi::kEventBNames[entry]).starts_with("Empty");
    EXPECT_EQ(IsEmpty(b.entries[entry]), empty) << qvabi::kEventBNames[entry];
    if (!empty) {
      EXPECT_EQ(b.entries[entry].data, &handler) << qvabi::kEventBNames[entry];
    }
  }
}

TEST(PcbEventHandlerTables, EntriesReachTheSubclassOverrides) {
  using qvabi::EventA;
  RecordingHandler handler(0);
  const qvabi::EventTableA a = handler.MakeEventTableA();
  const qvabi::EventTableB b = handler.MakeEventTableB();
  for (EventA entry : {EventA::Setup, EventA::ClickDone, EventA::EscapeDone, EventA::ReadCursor, EventA::Show,
                       EventA::LayOut, EventA::Commit, EventA::DropCommit})
    a[entry].code(a[entry].data);
  EXPECT_EQ(handler.calls, (std::vector<std::string>{"setup", "done-click", "done-escape", "cursor", "show",
                                                     "layout", "commit", "drop"}));
  // Entries the subclass leaves alone run the base's empty methods.
  a[EventA::Spare00].code(a[EventA::Spare00].data);
  a[EventA::Spare36].code(a[EventA::Spare36].data);
  EXPECT_EQ(handler.calls.size(), 8u);

  EXPECT_EQ(b[qvabi::EventB::SpareQuery00].code(b[qvabi::EventB::SpareQuery00].data), 1);
  EXPECT_EQ(b[qvabi::EventB::IsDone].code(b[qvabi::EventB::IsDone].data), 1);  // done after "done-click"
  handler.done = false;
  EXPECT_EQ(b[qvabi::EventB::IsDone].code(b[qvabi::EventB::IsDone].data), 0);
}

TEST(PcbEventHandlerBase, DoesNothingAndAnswersFalse) {
  TPCBEventHandler handler(0);
  EXPECT_FALSE(handler.OnQuery36());
  EXPECT_FALSE(handler.OnQuery37());
  EXPECT_FALSE(handler.OnCode(42));
}

TEST(PcbEventHandlerNoEditor, RunCallsOnEvent28AndAnswersFalse) {
  noeditor::RunWithoutTheEditor([&] {
    PcbApi::Unbind();
    RecordingHandler handler(1);
    EXPECT_EQ(handler.HandlerHandle, 0);
    EXPECT_FALSE(handler.Run());
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"layout"}));
  });
}

class PcbEventHandlerEditor : public editortest::EditorTest {
 protected:
  qvabi::PcbHandle BoardWithScript(const std::string& script) {
    const qvabi::PcbHandle board = OpenEmptyBoard();
    const char* error = nullptr;
    EXPECT_EQ(sim_->SetInputScript(board, script.c_str(), &error), 1) << (error ? error : "");
    sim_->ClearEventLog();
    return board;
  }
};

TEST_F(PcbEventHandlerEditor, TheEditorsLoopCallsTheOverrides) {
  const qvabi::PcbHandle board = BoardWithScript("move 10,20\nclick\n");
  RecordingHandler handler(board);
  EXPECT_NE(handler.HandlerHandle, 0);
  EXPECT_TRUE(handler.Run());
  // OnEvent28 once from Run itself, then the editor's ReadCursor, LayOut and
  // Show for the move and Commit, ClickDone for the click.
  EXPECT_EQ(handler.calls,
            (std::vector<std::string>{"layout", "cursor", "layout", "show", "commit", "done-click"}));
}

TEST_F(PcbEventHandlerEditor, EscapeEndsTheLoopWithFalse) {
  const qvabi::PcbHandle board = BoardWithScript("escape\n");
  RecordingHandler handler(board);
  EXPECT_FALSE(handler.Run());
  EXPECT_EQ(handler.calls, (std::vector<std::string>{"layout", "drop", "done-escape"}));
}

TEST_F(PcbEventHandlerEditor, AnErrorInAnEventStopsTheLoopAndReachesTheCallerOfRun) {
  const qvabi::PcbHandle board = BoardWithScript("move 1,1\nmove 2,2\nclick\n");
  RecordingHandler handler(board);
  handler.failOnCursor = true;
  EXPECT_RAISES(handler.Run(), std::runtime_error, "cursor failed");
  // Nothing of the handler runs after the failure, and the loop ends before
  // the next action.
  EXPECT_EQ(handler.calls, (std::vector<std::string>{"layout", "cursor"}));
  EXPECT_EQ(sim_->PendingActionCount(board), 2);

  // A second run starts clean.
  handler.failOnCursor = false;
  const char* error = nullptr;
  ASSERT_EQ(sim_->SetInputScript(board, "click\n", &error), 1);
  handler.calls.clear();
  EXPECT_TRUE(handler.Run());
  EXPECT_EQ(handler.calls, (std::vector<std::string>{"layout", "commit", "done-click"}));
}

TEST_F(PcbEventHandlerEditor, DestructionUnregisters) {
  const qvabi::PcbHandle board = BoardWithScript("click\n");
  qvabi::PcbHandle handle = 0;
  {
    RecordingHandler handler(board);
    handle = handler.HandlerHandle;
    ASSERT_NE(handle, 0);
  }
  // The editor no longer runs the registration.
  EXPECT_EQ(PcbApi::RunEventHandler(handle), 0);
  EXPECT_EQ(sim_->PendingActionCount(board), 1);
}

}  // namespace
}  // namespace strativue
