// A PCB server module the tests control, and an editor session with the host
// in place, for the tests of the placement handler and the command.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "LegendTestSupport.h"
#include "abi/IServerModule.h"
#include "abi/ModuleFiles.h"
#include "abi/PcbServer.h"
#include "generated/BuildPaths.h"
#include "host/HostStatus.h"
#include "host/OptionsStore.h"
#include "platform/Machine.h"
#include "platform/MessageQueue.h"
#include "plugin/RTL/RT_PCB.h"
#include "tests/TestMachine.h"
#include "tests/TestSupport.h"
#include "toolkit/Automation.h"
#include "toolkit/MessageLog.h"

namespace strativue::placementtest {

// Offered to the plug-in as the server module "PCB". Board interfaces come
// from the editor's real server interface when one is given, else none is
// found; each notification records what `observe` answers at that moment
// and can be made to fail.
class FakePcbServer final : public qvabi::Implements<testsupport::NotImplemented<qvabi::IServerModule>,
                                                     qvabi::IPCB_ServerInterface> {
 public:
  qvabi::HRESULT STDCALL QueryBoardInterface(qvabi::PcbHandle board, qvabi::REFIID iid, void** object,
                                             qvabi::BOOL32* found) override {
    if (editor) return editor->QueryBoardInterface(board, iid, object, found);
    *object = nullptr;
    *found = qvabi::kFalse32;
    return qvabi::S_OK;
  }
  qvabi::HRESULT STDCALL NotifyHandlerCreated() override { return Record("created", failCreated); }
  qvabi::HRESULT STDCALL NotifyHandlerDestroyed() override { return Record("destroyed", failDestroyed); }

  qvabi::ComPtr<qvabi::IPCB_ServerInterface> editor;
  std::function<std::string()> observe = [] { return std::string(); };
  std::vector<std::string> notifications;
  bool failCreated = false;
  bool failDestroyed = false;

 private:
  qvabi::HRESULT Record(const std::string& what, bool fail) {
    notifications.push_back(what + observe());
    return fail ? quorvex::Fail(what + " refused") : qvabi::S_OK;
  }
};

// A legend session (editor, host, status bar) whose host also offers a PCB
// server module.
class PlacementTest : public legendtest::LegendTest {
 protected:
  // A machine of its own, so that no legacy settings file, options store or
  // registry of another test or run takes part.
  void SetUp() override {
    machine_.IsolateFile(platform::GetWindowsDirectory() + "\\vemtro.ini");
    machine_.IsolateFile(quorvex::OptionsFilePath("Brelix"));
    platform::ClearMessageQueue();
    toolkit::automation::Reset();
    toolkit::MessageLog::Clear();
    LegendTest::SetUp();
  }
  void TearDown() override {
    LegendTest::TearDown();
    fakes_.clear();
    platform::ClearMessageQueue();
  }

  // The editor's own server module, loaded as the host would.
  void LoadEditorServer() {
    std::string error;
    ASSERT_NE(quorvex::Host::Instance().LoadServerModule(
                  std::string(STRATIVUE_BIN_DIR) + "/" + qvabi::kEditorModuleFile, &error),
              nullptr)
        << error;
  }
  // A fake in its place; with `withEditor`, board interfaces come from the
  // editor's real one.
  FakePcbServer& InstallFakeServer(bool withEditor) {
    qvabi::ComPtr<qvabi::IPCB_ServerInterface> editor;
    if (withEditor) {
      LoadEditorServer();
      editor = GetPCBServerInterface();
      quorvex::Host::Instance().ReleaseServerModules();
    }
    qvabi::ComPtr<FakePcbServer> fake = testsupport::MakeReferenced<FakePcbServer>();
    fake->editor = editor;
    quorvex::Host::Instance().AddServerModule("PCB", fake.get());
    fakes_.push_back(fake);
    return *fake.get();
  }

  // A board file with the cursor at (x, y) and, optionally, refusing commands.
  qvabi::PcbHandle OpenBoardAt(int32_t x, int32_t y, bool refuses = false,
                               const std::vector<legendtest::StackLayer>& stack = legendtest::kTwoLayers) {
    nlohmann::json board = nlohmann::json::parse(legendtest::BoardJson(stack));
    board["cursor"] = {x, y};
    board["refusesCommands"] = refuses;
    return OpenBoard(board.dump());
  }

  void SetScript(qvabi::PcbHandle board, const std::string& script) {
    const char* error = nullptr;
    ASSERT_EQ(sim_->SetInputScript(board, script.c_str(), &error), 1) << (error ? error : "");
  }

  // Puts the editor's cursor at `point` ("X,Y"), as the user's answer to a
  // prompt would.
  void MoveCursor(qvabi::PcbHandle board, const std::string& point) {
    SetScript(board, "corner " + point);
    ASSERT_NE(PcbApi::ChooseLocation(board, nullptr, nullptr, nullptr), 0);
  }

  TestMachine machine_;
  std::vector<qvabi::ComPtr<FakePcbServer>> fakes_;
};

}  // namespace strativue::placementtest
