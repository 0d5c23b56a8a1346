// The interactive operations driven by input scripts, seen from a fake
// event handler whose routines record every call.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <utility>

#include "EditorTestSupport.h"

namespace brelix::testing {
namespace {

using qvabi::EventA;
using ::testing::ElementsAre;

struct FakeHandler {
  std::vector<std::string> calls;
  bool done = false;
  qvabi::PcbHandle board = 0;
  Point cursorAtReread;
  std::string setupSeen;
  std::optional<EventA> throwAt;
  // Inside the first ReadCursor: try a nested run of `handler` and a prompt.
  qvabi::PcbHandle handler = 0;
  bool nestedRunAnswered = true;
  bool nestedPromptAnswered = true;
};

template <EventA Entry>
void STDCALL Event(void* self) {
  auto* fake = static_cast<FakeHandler*>(self);
  fake->calls.push_back(qvabi::EventName(Entry));
  if (Entry == fake->throwAt) throw std::runtime_error("handler failed");
  if (Entry == EventA::ClickDone || Entry == EventA::EscapeDone) fake->done = true;
  if (Entry == EventA::Setup) fake->setupSeen = BrelixSim_PendingSetup();
  if (Entry == EventA::ReadCursor) {
    int32_t x = 0, y = 0;
    PcbApi_QueryBoard(qvabi::ReadMode, fake->board, nullptr, nullptr, nullptr, nullptr, nullptr, &x, &y,
                      nullptr, nullptr, nullptr);
    fake->cursorAtReread = {x, y};
    if (fake->handler != 0) {
      fake->nestedRunAnswered = PcbApi_RunEventHandler(std::exchange(fake->handler, 0)) != 0;
      qvabi::ShortString prompt{};
      prompt.assign("Nested");
      fake->nestedPromptAnswered = PcbApi_ChooseLocation(fake->board, &x, &y, &prompt) != 0;
    }
  }
}

qvabi::ByteBool STDCALL Done(void* self) {
  auto* fake = static_cast<FakeHandler*>(self);
  fake->calls.push_back(qvabi::EventName(qvabi::EventB::IsDone));
  return qvabi::ToByteBool(fake->done);
}

template <std::size_t... Entries>
qvabi::EventTableA AllEntries(FakeHandler* fake, std::index_sequence<Entries...>) {
  return qvabi::EventTableA{{qvabi::EventMethod{&Event<static_cast<EventA>(Entries)>, fake}...}};
}

class InteractiveLoopTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    board = OpenSmallBoard();
    fake.board = board;
    tableA = AllEntries(&fake, std::make_index_sequence<qvabi::kEventTableASize>());
    tableB[qvabi::EventB::IsDone] = {&Done, &fake};
  }

  void Script(const std::string& text) {
    const char* error = nullptr;
    ASSERT_EQ(BrelixSim_SetInputScript(board, text.c_str(), &error), 1) << error;
  }

  bool Run() {
    const qvabi::PcbHandle handler = PcbApi_CreateEventHandler(board, &tableA, &tableB, nullptr, nullptr);
    EXPECT_NE(handler, 0);
    const bool result = PcbApi_RunEventHandler(handler) != 0;
    PcbApi_DestroyEventHandler(handler);
    return result;
  }

  qvabi::PcbHandle board = 0;
  FakeHandler fake;
  qvabi::EventTableA tableA{};
  qvabi::EventTableB tableB{};
};

TEST_F(InteractiveLoopTest, MovesThenAClickCommit) {
  Script("move 10,20\nmove 1mil,2mil\nclick\nmove 5,5\n");
  EXPECT_TRUE(Run());
  EXPECT_THAT(fake.calls, ElementsAre("IsDone", "ReadCursor", "LayOut", "Show", "IsDone", "ReadCursor",
                                      "LayOut", "Show", "IsDone", "Commit", "ClickDone", "IsDone"));
  EXPECT_EQ(fake.cursorAtReread, (Point{10000, 20000})) << "the cursor is set before the re-read";
  EXPECT_EQ(BrelixSim_PendingActionCount(board), 1) << "the loop stops taking actions once done";
  int32_t x = 0, y = 0;
  BrelixSim_GetCursor(board, &x, &y);
  EXPECT_EQ((Point{x, y}), (Point{10000, 20000}));
}

TEST_F(InteractiveLoopTest, EscapeDropsTheCommit) {
  Script("move 1,1\nescape\n");
  EXPECT_FALSE(Run());
  EXPECT_THAT(fake.calls, ElementsAre("IsDone", "ReadCursor", "LayOut", "Show", "IsDone", "DropCommit",
                                      "EscapeDone", "IsDone"));
}

TEST_F(InteractiveLoopTest, AScriptThatRunsOutCountsAsEscapeAndEnds) {
  Script("move 1,1\n");
  EXPECT_FALSE(Run());
  EXPECT_THAT(fake.calls,
              ElementsAre("IsDone", "ReadCursor", "LayOut", "Show", "IsDone", "DropCommit", "EscapeDone"));
  // Even a handler that never reports done cannot keep the loop alive.
  tableB[qvabi::EventB::IsDone] = {};
  fake.calls.clear();
  Script("click\nclick\n");
  EXPECT_FALSE(Run());
  EXPECT_THAT(fake.calls,
              ElementsAre("Commit", "ClickDone", "Commit", "ClickDone", "DropCommit", "EscapeDone"));
}

TEST_F(InteractiveLoopTest, SetupOpensTheDialogEntryWithItsArgumentThenLaysOut) {
  std::string hooked;
  BrelixSim_SetSetupHook(
      [](void* context, const char* argument) { *static_cast<std::string*>(context) = argument; }, &hooked);
  Script("setup CopperHeight,Type\nclick\n");
  EXPECT_TRUE(Run());
  EXPECT_THAT(fake.calls,
              ElementsAre("IsDone", "Setup", "LayOut", "Show", "IsDone", "Commit", "ClickDone", "IsDone"));
  EXPECT_EQ(hooked, "CopperHeight,Type");
  EXPECT_EQ(fake.setupSeen, "CopperHeight,Type");
  EXPECT_STREQ(BrelixSim_PendingSetup(), "");
}

TEST_F(InteractiveLoopTest, EmptyEntriesAreSkippedAndTablesAreCopied) {
  for (EventA entry : {EventA::ReadCursor, EventA::LayOut, EventA::Show, EventA::Commit}) tableA[entry] = {};
  Script("move 3,4\nclick\n");
  const qvabi::PcbHandle handler = PcbApi_CreateEventHandler(board, &tableA, &tableB, nullptr, nullptr);
  tableA = {};  // the caller's copies die after the call
  tableB = {};
  EXPECT_TRUE(PcbApi_RunEventHandler(handler));
  EXPECT_THAT(fake.calls, ElementsAre("IsDone", "IsDone", "ClickDone", "IsDone"));
  EXPECT_EQ(BrelixSim_EventLog(), std::string("IsDone\nIsDone\nClickDone\nIsDone\n"));
}

TEST_F(InteractiveLoopTest, ANestedRunOrPromptIsRefusedAndTakesNoAction) {
  Script("move 1,1\ncorner 2,2\nclick\n");
  const qvabi::PcbHandle handler = PcbApi_CreateEventHandler(board, &tableA, &tableB, nullptr, nullptr);
  fake.handler = handler;
  EXPECT_TRUE(PcbApi_RunEventHandler(handler) != 0);
  PcbApi_DestroyEventHandler(handler);
  EXPECT_FALSE(fake.nestedRunAnswered);
  EXPECT_FALSE(fake.nestedPromptAnswered);
  // The outer run took every action itself, in order: nothing was consumed
  // by the refused calls.
  EXPECT_THAT(fake.calls, ElementsAre("IsDone", "ReadCursor", "LayOut", "Show", "IsDone", "ReadCursor",
                                      "LayOut", "Show", "IsDone", "Commit", "ClickDone", "IsDone"));
  EXPECT_EQ(BrelixSim_EventLog(),
            std::string("IsDone\nReadCursor\nrefused run\nrefused prompt Nested\nLayOut\n"
                        "Show\nIsDone\nReadCursor\nLayOut\nShow\nIsDone\nCommit\n"
                        "ClickDone\nIsDone\n"));
  // Once the run is over, both are allowed again.
  Script("corner 3,3\n");
  qvabi::ShortString prompt{};
  int32_t x = 0, y = 0;
  EXPECT_TRUE(PcbApi_ChooseLocation(board, &x, &y, &prompt));
}

TEST_F(InteractiveLoopTest, UnknownOrDestroyedHandlersDoNothing) {
  Script("click\n");
  const qvabi::PcbHandle handler = PcbApi_CreateEventHandler(board, &tableA, &tableB, nullptr, nullptr);
  PcbApi_DestroyEventHandler(handler);
  EXPECT_FALSE(PcbApi_RunEventHandler(handler));
  EXPECT_FALSE(PcbApi_RunEventHandler(0));
  EXPECT_TRUE(fake.calls.empty());
  EXPECT_EQ(PcbApi_CreateEventHandler(4242, &tableA, &tableB, nullptr, nullptr), 0);
  EXPECT_EQ(BrelixSim_PendingActionCount(board), 1);
}

TEST_F(InteractiveLoopTest, AThrowingRoutineEndsTheLoopUncommitted) {
  fake.throwAt = EventA::Commit;
  Script("click\n");
  EXPECT_FALSE(Run());
  EXPECT_THAT(fake.calls, ElementsAre("IsDone", "Commit"));
}

TEST_F(InteractiveLoopTest, ChooseLocationTakesACornerAndConsumesAnythingElse) {
  Script("corner 5mil,-6mil\nmove 1,1\n");
  qvabi::ShortString prompt{};
  prompt.assign("Select first corner");
  int32_t x = 0, y = 0;
  EXPECT_TRUE(PcbApi_ChooseLocation(board, &x, &y, &prompt));
  EXPECT_EQ((Point{x, y}), (Point{50000, -60000}));
  int32_t cx = 0, cy = 0;
  BrelixSim_GetCursor(board, &cx, &cy);
  EXPECT_EQ((Point{cx, cy}), (Point{50000, -60000}));
  x = y = 7;
  EXPECT_FALSE(PcbApi_ChooseLocation(board, &x, &y, &prompt));
  EXPECT_EQ(x, 7) << "a cancelled prompt leaves the answer alone";
  EXPECT_EQ(BrelixSim_PendingActionCount(board), 0) << "the cancelling action is consumed";
  EXPECT_FALSE(PcbApi_ChooseLocation(board, &x, &y, &prompt));
  EXPECT_FALSE(PcbApi_ChooseLocation(4242, &x, &y, &prompt));
  EXPECT_EQ(BrelixSim_EventLog(), std::string("prompt Select first corner\nprompt Select first corner\n"
                                              "prompt Select first corner\n"));
}

TEST_F(InteractiveLoopTest, ABadScriptIsRefusedWithItsLineAndKeepsTheOldOne) {
  Script("click\n");
  const char* error = nullptr;
  EXPECT_EQ(BrelixSim_SetInputScript(board, "move 1,2\n\nwiggle\n", &error), 0);
  EXPECT_STREQ(error, "line 3: unknown action \"wiggle\"");
  EXPECT_EQ(BrelixSim_PendingActionCount(board), 1);
  EXPECT_EQ(BrelixSim_SetInputScript(4242, "click\n", &error), 0);
  EXPECT_EQ(BrelixSim_PendingActionCount(4242), -1);
}

}  // namespace
}  // namespace brelix::testing
