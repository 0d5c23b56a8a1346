// The command table and its dispatch, at the level of TCommandLauncher, with
// the host stand-in as the process-wide client.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "PluginModuleSession.h"
#include "plugin/RTL/CommandLauncher.h"
#include "plugin/RTL/Exceptions.h"
#include "plugin/RTL/HostClient.h"
#include "plugin/RTL/ModuleFile.h"
#include "tests/TestSupport.h"

namespace strativue {
namespace {

struct Calls {
  std::vector<std::string> runs;  // "<handler>:<parameters>"
  std::vector<qvabi::IServerView*> views;
  int states = 0;
};
Calls g_calls;

void RunA(qvabi::IServerView* view, const char* parameters) {
  g_calls.runs.push_back(std::string("A:") + parameters);
  g_calls.views.push_back(view);
}
void RunB(qvabi::IServerView*, const char* parameters) {
  g_calls.runs.push_back(std::string("B:") + parameters);
}
void RunRaising(qvabi::IServerView*, const char*) { throw Exception("The legend does not fit"); }

void StateDisabled(qvabi::IServerView*, const char*, qvabi::BOOL32& enabled, int32_t&, int32_t&,
                   qvabi::ByteBool&, qvabi::ByteBool&) {
  ++g_calls.states;
  enabled = qvabi::kFalse32;
}
void StateRaisingMidway(qvabi::IServerView*, const char*, qvabi::BOOL32& enabled, int32_t& state2, int32_t&,
                        qvabi::ByteBool&, qvabi::ByteBool&) {
  enabled = qvabi::kFalse32;
  state2 = 9;
  throw Exception("State unknown");
}

class CommandLauncherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = moduletest::MakeMachineRoot();
    platform::SetMachineRoot(root_);
    quorvex::Host::Instance().Reset();
    SetHostClient(quorvex::Host::Instance().GetClient());
    g_calls = {};
  }
  void TearDown() override {
    SetHostClient(nullptr);
    quorvex::Host::Instance().Reset();
    platform::SetMachineRoot("");
    std::filesystem::remove_all(root_);
  }

  quorvex::GuiManager& gui() { return quorvex::Host::Instance().GetGuiManager(); }
  qvabi::ICommandLauncher* launcher() { return &launcher_; }

  std::string root_;
  TCommandLauncher launcher_;
};

TEST_F(CommandLauncherTest, UnregisteredNameHasDefaultStateAndDoesNothing) {
  launcher_.RegisterCommand("Other", RunA, StateDisabled);
  qvabi::BOOL32 enabled = 3;
  int32_t state2 = 3, state3 = 3;
  qvabi::ByteBool state4 = 3, state5 = 3;
  EXPECT_EQ(launcher()->GetCommandState("GenerateCrossSection", "", nullptr, &enabled, &state2, &state3,
                                        &state4, &state5),
            qvabi::S_OK);
  EXPECT_EQ(enabled, -1);
  EXPECT_EQ(state2, 0);
  EXPECT_EQ(state3, -1);
  EXPECT_EQ(state4, 0);
  EXPECT_EQ(state5, 0);
  EXPECT_EQ(g_calls.states, 0);

  EXPECT_EQ(launcher()->LaunchCommand("GenerateCrossSection", "", 0, nullptr), qvabi::S_OK);
  EXPECT_TRUE(g_calls.runs.empty());
  EXPECT_TRUE(gui().StatusBarCalls().empty());
}

TEST_F(CommandLauncherTest, NamesMatchWithoutRegardToCaseAndFirstRegistrationWins) {
  launcher_.RegisterCommand("GenerateCrossSection", RunA, StateDisabled);
  launcher_.RegisterCommand("GENERATECROSSSECTION", RunB, nullptr);
  launcher_.RegisterCommand("generatecrosssection", RunB, nullptr);
  EXPECT_EQ(launcher_.CommandCount(), 1);

  for (const char* name : {"GenerateCrossSection", "generatecrosssection", "GENERATECROSSSECTION"})
    EXPECT_EQ(launcher()->LaunchCommand(name, "P", 0, nullptr), qvabi::S_OK) << name;
  EXPECT_EQ(g_calls.runs, (std::vector<std::string>{"A:P", "A:P", "A:P"}));

  qvabi::BOOL32 enabled = 0;
  int32_t state2 = 0, state3 = 0;
  qvabi::ByteBool state4 = 0, state5 = 0;
  EXPECT_EQ(launcher()->GetCommandState("gEnErAtEcRoSsSeCtIoN", "", nullptr, &enabled, &state2, &state3,
                                        &state4, &state5),
            qvabi::S_OK);
  EXPECT_EQ(enabled, 0);
  EXPECT_EQ(state3, -1);
  EXPECT_EQ(g_calls.states, 1);
}

TEST_F(CommandLauncherTest, EveryRegisteredNameIsFoundWhateverTheRegistrationOrder) {
  std::vector<std::string> names;
  for (int i = 0; i < 40; ++i) names.push_back("Command" + std::to_string(i * 7 % 40) + (i % 2 ? "x" : "Y"));
  names.push_back("Ärger");
  names.push_back("zeta");
  std::shuffle(names.begin(), names.end(), std::mt19937(7));
  for (const auto& name : names) launcher_.RegisterCommand(name, RunA, nullptr);
  EXPECT_EQ(launcher_.CommandCount(), static_cast<int>(names.size()));

  for (const auto& name : names) EXPECT_NE(launcher_.FindCommand(name), nullptr) << name;
  EXPECT_NE(launcher_.FindCommand("äRGER"), nullptr);
  EXPECT_NE(launcher_.FindCommand("COMMAND3X"), nullptr);
  for (const char* absent : {"", "Command", "Command40x", "zeta2", "Arger"})
    EXPECT_EQ(launcher_.FindCommand(absent), nullptr) << absent;
}

TEST_F(CommandLauncherTest, RunReceivesViewAndParametersThenRefreshesTheCurrentView) {
  launcher_.RegisterCommand("Run", RunA, nullptr);
  quorvex::View* view = quorvex::Host::Instance().OpenPcbView("Demo.qvpcb");

  EXPECT_EQ(launcher()->LaunchCommand("Run", "CopperHeight=1|Type=0", 99, view), qvabi::S_OK);
  EXPECT_EQ(launcher()->LaunchCommand("Run", nullptr, 0, nullptr), qvabi::S_OK);
  EXPECT_EQ(g_calls.runs, (std::vector<std::string>{"A:CopperHeight=1|Type=0", "A:"}));
  EXPECT_EQ(g_calls.views, (std::vector<qvabi::IServerView*>{view, nullptr}));
  // The host's current view is refreshed, whatever view the command got.
  EXPECT_EQ(view->RefreshCount(), 2);
  EXPECT_TRUE(gui().StatusBarCalls().empty());
}

TEST_F(CommandLauncherTest, RunWithoutCurrentViewClearsPanelsOneToThreeOnly) {
  launcher_.RegisterCommand("Run", RunA, nullptr);
  gui().SetStatusBarText(4, nullptr);
  EXPECT_EQ(launcher()->LaunchCommand("Run", "", 0, nullptr), qvabi::S_OK);
  const auto calls = gui().StatusBarCalls();
  EXPECT_EQ(calls, (std::vector<quorvex::StatusBarCall>{{4, ""}, {1, ""}, {2, ""}, {3, ""}}));
}

TEST_F(CommandLauncherTest, RaisingRunHandlerFailsWithItsMessageAndLeavesTheHostAlone) {
  launcher_.RegisterCommand("Run", RunRaising, nullptr);
  quorvex::View* view = quorvex::Host::Instance().OpenPcbView("Demo.qvpcb");
  EXPECT_EQ(launcher()->LaunchCommand("Run", "", 0, view), qvabi::E_UNEXPECTED);
  const auto error = quorvex::TakeThreadError();
  EXPECT_EQ(error.description, "The legend does not fit");
  EXPECT_EQ(error.source, ThisModuleFileName());
  EXPECT_EQ(view->RefreshCount(), 0);

  quorvex::Host::Instance().SetCurrentView(nullptr);
  EXPECT_EQ(launcher()->LaunchCommand("Run", "", 0, nullptr), qvabi::E_UNEXPECTED);
  EXPECT_TRUE(gui().StatusBarCalls().empty());
}

TEST_F(CommandLauncherTest, FailingHostCallsAfterTheRunFail) {
  launcher_.RegisterCommand("Run", RunA, nullptr);
  {
    const testsupport::FailingCall failing("host.GetCurrentView", "No view list");
    EXPECT_EQ(launcher()->LaunchCommand("Run", "", 0, nullptr), qvabi::E_UNEXPECTED);
    EXPECT_EQ(g_calls.runs.size(), 1u);
    EXPECT_EQ(quorvex::TakeThreadError().description, "No view list");
  }
  quorvex::View* view = quorvex::Host::Instance().OpenPcbView("Demo.qvpcb");
  {
    const testsupport::FailingCall failing("host.RefreshAfterCommand", "Cannot redraw");
    EXPECT_EQ(launcher()->LaunchCommand("Run", "", 0, view), qvabi::E_UNEXPECTED);
    EXPECT_EQ(quorvex::TakeThreadError().description, "Cannot redraw");
  }
  quorvex::Host::Instance().SetCurrentView(nullptr);
  const testsupport::FailingCall failing("host.SetStatusBarText", "No status bar");
  EXPECT_EQ(launcher()->LaunchCommand("Run", "", 0, nullptr), qvabi::E_UNEXPECTED);
}

TEST_F(CommandLauncherTest, RaisingStateHandlerFailsAndKeepsWhatItSet) {
  launcher_.RegisterCommand("State", nullptr, StateRaisingMidway);
  qvabi::BOOL32 enabled = 0;
  int32_t state2 = 0, state3 = 0;
  qvabi::ByteBool state4 = 1, state5 = 1;
  EXPECT_EQ(launcher()->GetCommandState("State", "", nullptr, &enabled, &state2, &state3, &state4, &state5),
            qvabi::E_UNEXPECTED);
  EXPECT_EQ(enabled, 0);
  EXPECT_EQ(state2, 9);
  EXPECT_EQ(state3, -1);
  EXPECT_EQ(state4, 0);
  EXPECT_EQ(quorvex::TakeThreadError().description, "State unknown");

  // A command without a run handler launches as an unknown one.
  EXPECT_EQ(launcher()->LaunchCommand("State", "", 0, nullptr), qvabi::S_OK);
  EXPECT_TRUE(gui().StatusBarCalls().empty());
  EXPECT_EQ(launcher()->GetCommandState("State", "", nullptr, nullptr, &state2, &state3, &state4, &state5),
            qvabi::E_UNEXPECTED);
}

TEST(ProcessControlTest, CountsFromZeroAndFailsAtEitherEnd) {
  TProcessControl control;
  qvabi::IProcessControl& counter = control;
  int32_t depth = 1;
  EXPECT_EQ(counter.GetProcessDepth(&depth), qvabi::S_OK);
  EXPECT_EQ(depth, 0);
  EXPECT_EQ(counter.LeaveProcess(0, 0), qvabi::S_OK);
  counter.GetProcessDepth(&depth);
  EXPECT_EQ(depth, -1);
  counter.SetProcessDepth(INT32_MAX - 1);
  EXPECT_EQ(counter.EnterProcess(0, 0), qvabi::S_OK);
  EXPECT_EQ(counter.EnterProcess(0, 0), qvabi::E_UNEXPECTED);
  counter.GetProcessDepth(&depth);
  EXPECT_EQ(depth, INT32_MAX);
  EXPECT_EQ(counter.GetProcessDepth(nullptr), qvabi::E_UNEXPECTED);
}

}  // namespace
}  // namespace strativue
