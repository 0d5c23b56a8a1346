// The host's flat functions and its settings file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "HostTestSession.h"
#include "abi/ClientApiFunctions.h"
#include "host/HostSettings.h"
#include "platform/IniFile.h"
#include "platform/Modules.h"
#include "platform/WideString.h"

extern "C" {
#define QUORVEX_TEST_DECLARE(name, result, params) result STDCALL ClientAPI_##name params;
ABI_CLIENTAPI_FUNCTIONS(QUORVEX_TEST_DECLARE)
#undef QUORVEX_TEST_DECLARE
qvabi::BOOL32 STDCALL VFSAPI_VFS_FileExists(qvabi::BSTR path);
}

namespace quorvex::test {
namespace {

using FlatFunctionsTest = HostTest;

void SetPreferenceText(const char* key, const char* value) {
  ASSERT_TRUE(platform::CreateDirectories(HostPreferenceFolder()));
  ASSERT_TRUE(platform::WritePrivateProfileString("Preferences", key, value, HostSettingsPath()));
}

TEST_F(FlatFunctionsTest, AreExportedByNameFromTheProgram) {
  for (const char* name : {"ClientAPI_GetClientInterface", "ClientAPI_GetUseExternalWebBrowser",
                           "ClientAPI_HandleException", "VFSAPI_VFS_FileExists"})
    EXPECT_NE(platform::FindFunction(platform::MainProgramModule(), name), nullptr) << name;
  qvabi::IClient* client = nullptr;
  ClientAPI_GetClientInterface(&client);
  EXPECT_EQ(client, Host::Instance().GetClient());
}

TEST_F(FlatFunctionsTest, PreferencesComeFromTheSettingsFileWithFalseAsDefault) {
#if defined(_WIN32)
  // In the user's own roaming profile folder, as the system names it.
  const char* roaming = std::getenv("APPDATA");
  ASSERT_NE(roaming, nullptr);
  EXPECT_EQ(HostSettingsPath(), std::string(roaming) + "\\Quorvex\\Host.ini");
#else
  EXPECT_EQ(HostSettingsPath(), "C:\\Users\\user\\AppData\\Roaming\\Quorvex\\Host.ini");
#endif
  EXPECT_EQ(ClientAPI_GetPrefUseLuna(), 0);
  EXPECT_EQ(ClientAPI_GetUseExternalWebBrowser(), 0);
  EXPECT_EQ(ClientAPI_GetIntegratedHelpSystem(), 0);

  SetPreferenceText("UseLuna", "1");
  SetPreferenceText("IntegratedHelpSystem", "-1");
  SetPreferenceText("UseLocalizedDialogs", "0");
  EXPECT_EQ(ClientAPI_GetPrefUseLuna(), qvabi::kTrue32);
  EXPECT_EQ(ClientAPI_GetIntegratedHelpSystem(), qvabi::kTrue32);
  EXPECT_EQ(ClientAPI_GetUseLocalizedDialogs(), qvabi::kFalse32);
  EXPECT_EQ(SettingsProblem(), "");
}

TEST_F(FlatFunctionsTest, ABrokenSettingGivesTheDefaultAndIsReported) {
  SetPreferenceText("UseSystemLocaleLanguage", "maybe");
  EXPECT_EQ(ClientAPI_GetUseSystemLocaleLanguage(), qvabi::kFalse32);
  EXPECT_EQ(SettingsProblem(),
            HostSettingsPath() + ": [Preferences] UseSystemLocaleLanguage: \"maybe\" is not an integer");
}

TEST_F(FlatFunctionsTest, HidingFloatingPanelsIsRememberedInTheSettingsFile) {
  ClientAPI_SetPrefHideFloatingPanels(qvabi::kTrue32);
  EXPECT_EQ(ClientAPI_GetPrefHideFloatingPanels(), qvabi::kTrue32);
  EXPECT_EQ(platform::GetPrivateProfileString("Preferences", "HideFloatingPanels", "", HostSettingsPath()),
            "-1");
  ClientAPI_SetPrefHideFloatingPanels(qvabi::kFalse32);
  EXPECT_EQ(ClientAPI_GetPrefHideFloatingPanels(), qvabi::kFalse32);
}

TEST_F(FlatFunctionsTest, ErrorReportsAreRecordedInOrder) {
  platform::BStr message = platform::BStr::FromUtf8("Range check error");
  platform::BStr report = platform::BStr::FromUtf8("Strativue.so: thread 1: Range check error");
  ClientAPI_SetErrorInfo(message.get(), report.get(), 0x1234);
  ClientAPI_HandleException(7);
  ClientAPI_ClearErrorInfo();
  ClientAPI_SetErrorInfo(nullptr, nullptr, 0);
  const auto reports = Host::Instance().ErrorReports();
  ASSERT_EQ(reports.size(), 4u);
  EXPECT_EQ(reports[0].kind, ErrorReport::Kind::SetErrorInfo);
  EXPECT_EQ(reports[0].message, "Range check error");
  EXPECT_EQ(reports[0].report, "Strativue.so: thread 1: Range check error");
  EXPECT_EQ(reports[0].address, 0x1234u);
  EXPECT_EQ(reports[1].kind, ErrorReport::Kind::HandleException);
  EXPECT_EQ(reports[1].value, 7);
  EXPECT_EQ(reports[2].kind, ErrorReport::Kind::ClearErrorInfo);
  EXPECT_EQ(reports[3].message, "");
}

TEST_F(FlatFunctionsTest, FileExistsLooksUnderTheMachineRootAndOtherQueriesAnswerNothing) {
  ASSERT_TRUE(platform::CreateDirectories("C:\\Help"));
  ASSERT_TRUE(platform::WriteFile("C:\\Help\\Legend.pdf", "%PDF"));
  platform::BStr present = platform::BStr::FromUtf8("c:\\help\\legend.PDF");
  platform::BStr absent = platform::BStr::FromUtf8("C:\\Help\\Other.pdf");
  EXPECT_EQ(VFSAPI_VFS_FileExists(present.get()), qvabi::kTrue32);
  EXPECT_EQ(VFSAPI_VFS_FileExists(absent.get()), qvabi::kFalse32);
  EXPECT_EQ(VFSAPI_VFS_FileExists(nullptr), qvabi::kFalse32);

  qvabi::IUnknown* manager = reinterpret_cast<qvabi::IUnknown*>(uintptr_t{1});
  ClientAPI_GetTranslationManager(&manager);
  EXPECT_EQ(manager, nullptr);
  EXPECT_EQ(ClientAPI_UpdateFont(nullptr), 0);
  EXPECT_EQ(Host::Instance().UpdateFontCount(), 1);
}

}  // namespace
}  // namespace quorvex::test
