// The interactive operations driven by input scripts, seen from a fake
// event handler whose routines record every call.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

#include "EditorTestSupport.h"

namespace brelix::testing {
namespace {

using ::testing::ElementsAre;

struct FakeHandler {
  std::vector<std::string> calls;
  bool done = false;
  abi::PcbHandle board = 0;
  Point cursorAtReread;
  std::string setupSeen;
  int throwAt = -1;
};

template <int Entry>
void STDCALL Event(void* self) {
  auto* fake = static_cast<FakeHandler*>(self);
  fake->calls.push_back("A" + std::to_string(Entry));
  if (Entry == fake->throwAt) throw std::runtime_error("handler failed");
  if (Entry == 12 || Entry == 15) fake->done = true;
  if (Entry == 8) fake->setupSeen = BrelixSim_PendingSetup();
  if (Entry == 17) {
    int32_t x = 0, y = 0;
    PcbApi_QueryBoard(abi::ReadMode, fake->board, nullptr, nullptr, nullptr, nullptr, nullptr, &x, &y,
                      nullptr, nullptr, nullptr);
    fake->cursorAtReread = {x, y};
  }
}

abi::ByteBool STDCALL Done(void* self) {
  auto* fake = static_cast<FakeHandler*>(self);
  fake->calls.push_back("B1");
  return abi::ToByteBool(fake->done);
}

template <std::size_t... Entries>
abi::EventTableA AllEntries(FakeHandler* fake, std::index_sequence<Entries...>) {
  return abi::EventTableA{{abi::EventMethod{&Event<static_cast<int>(Entries)>, fake}...}};
}

class InteractiveLoopTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    board = OpenSmallBoard();
    fake.board = board;
    tableA = AllEntries(&fake, std::make_index_sequence<abi::kEventTableASize>());
    tableB.entries[1] = {&Done, &fake};
  }

  void Script(const std::string& text) {
    const char* error = nullptr;
    ASSERT_EQ(BrelixSim_SetInputScript(board, text.c_str(), &error), 1) << error;
  }

  bool Run() {
    const abi::PcbHandle handler = PcbApi_CreateEventHandler(board, &tableA, &tableB, nullptr, nullptr);
    EXPECT_NE(handler, 0);
    const bool result = PcbApi_RunEventHandler(handler) != 0;
    PcbApi_DestroyEventHandler(handler);
    return result;
  }

  abi::PcbHandle board = 0;
  FakeHandler fake;
  abi::EventTableA tableA{};
  abi::EventTableB tableB{};
};

TEST_F(InteractiveLoopTest, MovesThenAClickCommit) {
  Script("move 10,20\nmove 1mil,2mil\nclick\nmove 5,5\n");
  EXPECT_TRUE(Run());
  EXPECT_THAT(fake.calls,
              ElementsAre("B1", "A17", "A29", "A28", "B1", "A17", "A29", "A28", "B1", "A30", "A12", "B1"));
  EXPECT_EQ(fake.cursorAtReread, (Point{10000, 20000})) << "the cursor is set before entry 17";
  EXPECT_EQ(BrelixSim_PendingActionCount(board), 1) << "the loop stops taking actions once done";
  int32_t x = 0, y = 0;
  BrelixSim_GetCursor(board, &x, &y);
  EXPECT_EQ((Point{x, y}), (Point{10000, 20000}));
}

TEST_F(InteractiveLoopTest, EscapeDropsTheCommit) {
  Script("move 1,1\nescape\n");
  EXPECT_FALSE(Run());
  EXPECT_THAT(fake.calls, ElementsAre("B1", "A17", "A29", "A28", "B1", "A31", "A15", "B1"));
}

TEST_F(InteractiveLoopTest, AScriptThatRunsOutCountsAsEscapeAndEnds) {
  Script("move 1,1\n");
  EXPECT_FALSE(Run());
  EXPECT_THAT(fake.calls, ElementsAre("B1", "A17", "A29", "A28", "B1", "A31", "A15"));
  // Even a handler that never reports done cannot keep the loop alive.
  tableB.entries[1] = {};
  fake.calls.clear();
  Script("click\nclick\n");
  EXPECT_FALSE(Run());
  EXPECT_THAT(fake.calls, ElementsAre("A30", "A12", "A30", "A12", "A31", "A15"));
}

TEST_F(InteractiveLoopTest, SetupOpensTheDialogEntryWithItsArgumentThenLaysOut) {
  std::string hooked;
  BrelixSim_SetSetupHook(
      [](void* context, const char* argument) { *static_cast<std::string*>(context) = argument; }, &hooked);
  Script("setup CopperHeight,Type\nclick\n");
  EXPECT_TRUE(Run());
  EXPECT_THAT(fake.calls, ElementsAre("B1", "A8", "A29", "A28", "B1", "A30", "A12", "B1"));
  EXPECT_EQ(hooked, "CopperHeight,Type");
  EXPECT_EQ(fake.setupSeen, "CopperHeight,Type");
  EXPECT_STREQ(BrelixSim_PendingSetup(), "");
}

TEST_F(InteractiveLoopTest, EmptyEntriesAreSkippedAndTablesAreCopied) {
  for (int entry : {17, 29, 28, 30}) tableA.entries[entry] = {};
  Script("move 3,4\nclick\n");
  const abi::PcbHandle handler = PcbApi_CreateEventHandler(board, &tableA, &tableB, nullptr, nullptr);
  tableA = {};  // the caller's copies die after the call
  tableB = {};
  EXPECT_TRUE(PcbApi_RunEventHandler(handler));
  EXPECT_THAT(fake.calls, ElementsAre("B1", "B1", "A12", "B1"));
  EXPECT_EQ(BrelixSim_EventLog(), std::string("B1\nB1\nA12\nB1\n"));
}

TEST_F(InteractiveLoopTest, UnknownOrDestroyedHandlersDoNothing) {
  Script("click\n");
  const abi::PcbHandle handler = PcbApi_CreateEventHandler(board, &tableA, &tableB, nullptr, nullptr);
  PcbApi_DestroyEventHandler(handler);
  EXPECT_FALSE(PcbApi_RunEventHandler(handler));
  EXPECT_FALSE(PcbApi_RunEventHandler(0));
  EXPECT_TRUE(fake.calls.empty());
  EXPECT_EQ(PcbApi_CreateEventHandler(4242, &tableA, &tableB, nullptr, nullptr), 0);
  EXPECT_EQ(BrelixSim_PendingActionCount(board), 1);
}

TEST_F(InteractiveLoopTest, AThrowingRoutineEndsTheLoopUncommitted) {
  fake.throwAt = 30;
  Script("click\n");
  EXPECT_FALSE(Run());
  EXPECT_THAT(fake.calls, ElementsAre("B1", "A30"));
}

TEST_F(InteractiveLoopTest, ChooseLocationTakesACornerAndConsumesAnythingElse) {
  Script("corner 5mil,-6mil\nmove 1,1\n");
  abi::ShortString prompt{};
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
