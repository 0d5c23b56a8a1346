// The plug-in's bindings to the host: the flat-function table, the editor
// binding, the process-wide client, status texts and raise-time error
// information.
#include <gtest/gtest.h>

#include <string>

#include "PluginModuleSession.h"
#include "WithoutEditorSupport.h"
#include "abi/ModuleFiles.h"
#include "generated/BuildPaths.h"
#include "host/HostSettings.h"
#include "platform/IniFile.h"
#include "platform/WideString.h"
#include "plugin/RTL/ClientApi.h"
#include "plugin/RTL/Exceptions.h"
#include "plugin/RTL/HostClient.h"
#include "plugin/RTL/ModuleFile.h"
#include "plugin/RTL/PcbApi.h"
#include "tests/TestSupport.h"

namespace strativue {
namespace {

class BindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = moduletest::MakeMachineRoot();
    platform::SetMachineRoot(root_);
    quorvex::Host::Instance().Reset();
  }
  void TearDown() override {
    ClientAPI::Resolve();
    SetHostClient(nullptr);
    quorvex::Host::Instance().Reset();
    platform::SetMachineRoot("");
    std::filesystem::remove_all(root_);
  }
  std::string root_;
};

TEST_F(BindingTest, MissingHostFunctionsGiveTheirDefaults) {
  ClientAPI::ResolveFrom(nullptr);
  EXPECT_EQ(ClientAPI::Lookup("GetPrefUseLuna"), nullptr);

  qvabi::IClient* client = quorvex::Host::Instance().GetClient();
  ClientAPI::GetClientInterface(&client);
  EXPECT_EQ(client, nullptr);
  qvabi::IUnknown* manager = reinterpret_cast<qvabi::IUnknown*>(uintptr_t{1});
  ClientAPI::GetTranslationManager(&manager);
  EXPECT_EQ(manager, nullptr);

  EXPECT_EQ(ClientAPI::GetUseExternalWebBrowser(), qvabi::kTrue32);
  EXPECT_EQ(ClientAPI::GetPrefUseLuna(), qvabi::kFalse32);
  EXPECT_EQ(ClientAPI::GetPrefHideFloatingPanels(), qvabi::kFalse32);
  EXPECT_EQ(ClientAPI::GetIntegratedHelpSystem(), qvabi::kFalse32);
  EXPECT_EQ(ClientAPI::GetUseSystemLocaleLanguage(), qvabi::kFalse32);
  EXPECT_EQ(ClientAPI::GetUseLocalizedDialogs(), qvabi::kFalse32);
  EXPECT_EQ(ClientAPI::UpdateFont(nullptr), 0);
  platform::BStr path = platform::BStr::FromUtf8("C:\\Windows");
  EXPECT_EQ(ClientAPI::VFS_FileExists(path.get()), qvabi::kFalse32);
  ClientAPI::SetPrefHideFloatingPanels(qvabi::kTrue32);
  ClientAPI::SetErrorInfo(nullptr, nullptr, 0);
  ClientAPI::ClearErrorInfo();
  ClientAPI::HandleException(1);
  EXPECT_TRUE(quorvex::Host::Instance().ErrorReports().empty());
  EXPECT_EQ(quorvex::Host::Instance().UpdateFontCount(), 0);
}

TEST_F(BindingTest, ResolvedHostFunctionsReachTheHost) {
  ClientAPI::Resolve();
  EXPECT_NE(ClientAPI::Lookup("GetPrefUseLuna"), nullptr);
  EXPECT_NE(ClientAPI::Lookup("VFS_FileExists"), nullptr);
  EXPECT_EQ(ClientAPI::Lookup("NoSuchFunction"), nullptr);

  qvabi::IClient* client = nullptr;
  ClientAPI::GetClientInterface(&client);
  EXPECT_EQ(client, quorvex::Host::Instance().GetClient());

  ASSERT_TRUE(platform::CreateDirectories(quorvex::HostPreferenceFolder()));
  ASSERT_TRUE(
      platform::WritePrivateProfileString("Preferences", "UseLuna", "1", quorvex::HostSettingsPath()));
  EXPECT_EQ(ClientAPI::GetPrefUseLuna(), qvabi::kTrue32);
  EXPECT_EQ(ClientAPI::GetUseExternalWebBrowser(), qvabi::kFalse32);

  platform::BStr message = platform::BStr::FromUtf8("Boom");
  ClientAPI::SetErrorInfo(message.get(), nullptr, 16);
  ClientAPI::HandleException(3);
  const auto reports = quorvex::Host::Instance().ErrorReports();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].message, "Boom");
  EXPECT_EQ(reports[0].address, 16u);
  EXPECT_EQ(reports[1].value, 3);
}

TEST_F(BindingTest, EditorIsFoundOnlyWhenAlreadyLoaded) {
  noeditor::RunWithoutTheEditor([&] {
    PcbApi::Unbind();
    PcbApi::Bind();
    EXPECT_FALSE(PcbApi::IsBound());
    EXPECT_EQ(PcbApi::Lookup("GetCurrentBoardHandle"), nullptr);
    EXPECT_EQ(PcbApi::GetCurrentBoardHandle(), 0);
    uint8_t mode = 0;
    EXPECT_EQ(PcbApi::QueryBoardSplitPlaneMode(qvabi::ReadMode, 1, &mode), 1);
    // Binding never loads the editor itself.
    EXPECT_EQ(platform::FindLoadedModule(PcbApi::kEditorModule), nullptr);

    std::string error;
    platform::ModuleHandle editor =
        platform::LoadModule(std::string(STRATIVUE_BIN_DIR) + "/" + qvabi::kEditorModuleFile, &error);
    ASSERT_NE(editor, nullptr) << error;
    // The next call binds again, because the module was not found before.
    EXPECT_NE(PcbApi::Lookup("GetCurrentBoardHandle"), nullptr);
    EXPECT_TRUE(PcbApi::IsBound());
    PcbApi::Unbind();
    EXPECT_FALSE(PcbApi::IsBound());
    PcbApi::Bind();
    EXPECT_TRUE(PcbApi::IsBound());
    PcbApi::Unbind();
    platform::UnloadModule(editor);
  });
}

TEST_F(BindingTest, ExceptionRecordsMessageAndThisModuleAsErrorInformation) {
  const Exception error("Layer stack is empty");
  EXPECT_STREQ(error.what(), "Layer stack is empty");
  const auto recorded = quorvex::TakeThreadError();
  EXPECT_EQ(recorded.description, "Layer stack is empty");
  EXPECT_EQ(recorded.source, ThisModuleFileName());
  EXPECT_EQ(ThisModuleFileName().find('/'), std::string::npos);
  EXPECT_FALSE(ThisModuleFileName().empty());

  // When no error information can be made, the previous one stays.
  { const Exception first("First"); }
  {
    const testsupport::FailingCall noErrorInfo("platform.CreateErrorInfo");
    const Exception second("Second");
  }
  EXPECT_EQ(quorvex::TakeThreadError().description, "First");
}

TEST_F(BindingTest, CheckHostRaisesWithTheHostsDescription) {
  EXPECT_NO_THROW(CheckHost(qvabi::S_OK));
  EXPECT_NO_THROW(CheckHost(1));
  quorvex::Fail("Document is locked");
  try {
    CheckHost(qvabi::E_UNEXPECTED);
    FAIL() << "no error raised";
  } catch (const EHostError& error) {
    EXPECT_STREQ(error.what(), "Document is locked");
    EXPECT_EQ(error.status(), qvabi::E_UNEXPECTED);
  }
  EXPECT_THROW(CheckHost(qvabi::E_NOTIMPL), EHostError);
}

TEST_F(BindingTest, StatusTextGoesToTheHostOnlyWithAClient) {
  auto& gui = quorvex::Host::Instance().GetGuiManager();
  SetHostClient(nullptr);
  EXPECT_FALSE(GetHostClient());
  SetStatusText(2, u"Text height 60mil");
  ClearStatusText();
  EXPECT_TRUE(gui.StatusBarCalls().empty());

  SetHostClient(quorvex::Host::Instance().GetClient());
  EXPECT_EQ(GetHostClient().get(), quorvex::Host::Instance().GetClient());
  SetStatusText(2, u"Text height 60mil");
  ClearStatusText();
  EXPECT_EQ(gui.StatusBarCalls(), (std::vector<quorvex::StatusBarCall>{{2, "Text height 60mil"}, {-1, ""}}));

  const testsupport::FailingCall noGui("host.GetGUIManager", "No GUI");
  EXPECT_RAISES(SetStatusText(1, u"x"), EHostError, "No GUI");
}

}  // namespace
}  // namespace strativue
