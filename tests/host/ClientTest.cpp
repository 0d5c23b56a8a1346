// The host's client: windows, views and documents, status bar, shortcuts,
// server modules, and the slots it does not support.
#include <gtest/gtest.h>

#include "HostTestSession.h"
#include "abi/ModuleFiles.h"
#include "generated/BuildPaths.h"
#include "host/DocumentServer.h"
#include "host/HostSettings.h"
#include "platform/IniFile.h"
#include "platform/Modules.h"
#include "platform/WideString.h"
#include "platform/Windows.h"
#include "tests/TestSupport.h"

namespace quorvex::test {
namespace {

using ClientTest = HostTest;

TEST_F(ClientTest, WindowsExistAndTheMainWindowBelongsToTheApplication) {
  int32_t application = 0, main = 0, again = 0;
  ASSERT_EQ(client()->GetApplicationHandle(&application), qvabi::S_OK);
  ASSERT_EQ(client()->GetMainWindowHandle(&main), qvabi::S_OK);
  ASSERT_EQ(client()->GetApplicationHandle(&again), qvabi::S_OK);
  EXPECT_GT(application, 0);
  EXPECT_GT(main, 0);
  EXPECT_NE(application, main);
  EXPECT_EQ(again, application);
  EXPECT_TRUE(platform::IsWindow(application));
  EXPECT_EQ(platform::GetWindowOwner(main), application);

  host().SetApplicationHandleForTesting(-1);
  ASSERT_EQ(client()->GetApplicationHandle(&again), qvabi::S_OK);
  EXPECT_EQ(again, -1);
  EXPECT_EQ(client()->GetApplicationHandle(nullptr), qvabi::E_UNEXPECTED);
}

TEST_F(ClientTest, BoardsShareOnePcbDocumentAndTheNewestViewIsCurrent) {
  qvabi::ComPtr<qvabi::IServerView> none;
  ASSERT_EQ(client()->GetCurrentView(none.put()), qvabi::S_OK);
  EXPECT_FALSE(none);

  View* first = host().OpenPcbView("C:\\Designs\\A.qvpcb");
  View* second = host().OpenPcbView("C:\\Designs\\B.qvpcb");
  View* sheet = host().OpenDocument("SCH", "C:\\Designs\\A.qvsch");
  EXPECT_EQ(first->OwnerDocument(), second->OwnerDocument());
  EXPECT_NE(sheet->OwnerDocument(), first->OwnerDocument());
  EXPECT_EQ(host().Documents().size(), 2u);

  qvabi::ComPtr<qvabi::IServerView> current;
  ASSERT_EQ(client()->GetCurrentView(current.put()), qvabi::S_OK);
  EXPECT_EQ(current.get(), static_cast<qvabi::IServerView*>(sheet));

  host().SetCurrentView(second);
  ASSERT_EQ(client()->GetCurrentView(current.put()), qvabi::S_OK);
  qvabi::ComPtr<qvabi::IServerDocument> document;
  ASSERT_EQ(current->GetOwnerDocument(document.put()), qvabi::S_OK);
  platform::BStr kind, viewName;
  ASSERT_EQ(document->GetKind(kind.put()), qvabi::S_OK);
  EXPECT_EQ(kind.utf8(), "PCB");
  ASSERT_EQ(current->GetViewName(viewName.put()), qvabi::S_OK);
  EXPECT_EQ(viewName.utf8(), "C:\\Designs\\B.qvpcb");
  int32_t views = 0;
  ASSERT_EQ(document->GetViewCount(&views), qvabi::S_OK);
  EXPECT_EQ(views, 2);
  qvabi::ComPtr<qvabi::IServerView> byIndex;
  ASSERT_EQ(document->GetView(1, byIndex.put()), qvabi::S_OK);
  EXPECT_EQ(byIndex.get(), static_cast<qvabi::IServerView*>(second));
  EXPECT_EQ(document->GetView(2, byIndex.put()), qvabi::E_UNEXPECTED);
  EXPECT_FALSE(byIndex);

  EXPECT_EQ(current->RefreshAfterCommand(), qvabi::S_OK);
  EXPECT_EQ(second->RefreshCount(), 1);

  EXPECT_EQ(client()->ShowDocument(sheet->OwnerDocument()), qvabi::S_OK);
  EXPECT_EQ(host().CurrentView(), sheet);
  host().SetCurrentView(nullptr);
  ASSERT_EQ(client()->GetCurrentView(current.put()), qvabi::S_OK);
  EXPECT_FALSE(current);
}

TEST_F(ClientTest, AViewHeldByAPlugInOutlivesAReset) {
  qvabi::ComPtr<qvabi::IServerView> held =
      qvabi::ComPtr<qvabi::IServerView>::Share(host().OpenDocument("SCH", "S.qvsch"));
  host().Reset();
  qvabi::ComPtr<qvabi::IServerDocument> document;
  ASSERT_EQ(held->GetOwnerDocument(document.put()), qvabi::S_OK);
  platform::BStr kind;
  ASSERT_EQ(document->GetKind(kind.put()), qvabi::S_OK);
  EXPECT_EQ(kind.utf8(), "SCH");
}

TEST_F(ClientTest, StatusBarKeepsTheLastTextOfEachPanel) {
  qvabi::ComPtr<qvabi::IGUIManager> gui;
  ASSERT_EQ(client()->GetGUIManager(gui.put()), qvabi::S_OK);
  platform::BStr height = platform::BStr::FromUtf8("Text height 60mil");
  platform::BStr size = platform::BStr::FromUtf8("Size 1000 x 800 mil");
  EXPECT_EQ(gui->SetStatusBarText(2, height.get()), qvabi::S_OK);
  EXPECT_EQ(gui->SetStatusBarText(3, size.get()), qvabi::S_OK);
  EXPECT_EQ(gui->SetStatusBarText(2, nullptr), qvabi::S_OK);
  const auto panels = host().GetGuiManager().Panels();
  EXPECT_EQ(panels.at(2), "");
  EXPECT_EQ(panels.at(3), "Size 1000 x 800 mil");
  EXPECT_EQ(host().GetGuiManager().StatusBarCalls().size(), 3u);

  const testsupport::FailingCall statusBarGone("host.SetStatusBarText", "Status bar is gone");
  EXPECT_EQ(gui->SetStatusBarText(1, size.get()), qvabi::E_UNEXPECTED);
  EXPECT_EQ(TakeThreadError().description, "Status bar is gone");
  EXPECT_EQ(host().GetGuiManager().StatusBarCalls().size(), 3u);
}

TEST_F(ClientTest, ShortcutsAreHandledOnlyWhenTheHostKnowsThem) {
  qvabi::ComPtr<qvabi::IGUIManager> gui;
  ASSERT_EQ(client()->GetGUIManager(gui.put()), qvabi::S_OK);
  int32_t handled = 5;
  EXPECT_EQ(gui->ProcessShortcut(0x70, qvabi::kFalse32, qvabi::kTrue32, qvabi::kFalse32, &handled),
            qvabi::S_OK);
  EXPECT_EQ(handled, 0);
  host().GetGuiManager().SetHandledKeys({0x70});
  EXPECT_EQ(gui->ProcessShortcut(0x70, qvabi::kFalse32, qvabi::kFalse32, qvabi::kFalse32, &handled),
            qvabi::S_OK);
  EXPECT_EQ(handled, qvabi::kTrue32);
  EXPECT_EQ(gui->ShortcutHandled(), qvabi::S_OK);
  EXPECT_EQ(host().GetGuiManager().ShortcutHandledCount(), 1);
  EXPECT_EQ(host().GetGuiManager().ShortcutCalls().front(), (ShortcutCall{0x70, false, true, false}));
}

TEST_F(ClientTest, TheEditorModuleIsFoundByNameWithoutRegardToCase) {
  std::string error;
  qvabi::IServerModule* editor =
      host().LoadServerModule(std::string(STRATIVUE_BIN_DIR) + "/" + qvabi::kEditorModuleFile, &error);
  ASSERT_NE(editor, nullptr) << error;
  EXPECT_NE(platform::FindLoadedModule(qvabi::kEditorModuleFile), nullptr);

  for (const char* name : {"PCB", "pcb"}) {
    platform::BStr wide = platform::BStr::FromUtf8(name);
    qvabi::ComPtr<qvabi::IServerModule> found;
    ASSERT_EQ(client()->GetServerModuleByName(wide.get(), found.put()), qvabi::S_OK);
    EXPECT_EQ(found.get(), editor) << name;
  }
  platform::BStr unknown = platform::BStr::FromUtf8("SCH");
  qvabi::ComPtr<qvabi::IServerModule> none;
  ASSERT_EQ(client()->GetServerModuleByName(unknown.get(), none.put()), qvabi::S_OK);
  EXPECT_FALSE(none);

  int32_t count = 0;
  ASSERT_EQ(client()->GetServerModuleCount(&count), qvabi::S_OK);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(client()->GetServerModuleAt(1, none.put()), qvabi::E_UNEXPECTED);

  // A reset releases the modules and unloads their files.
  host().Reset();
  EXPECT_EQ(platform::FindLoadedModule(qvabi::kEditorModuleFile), nullptr);
  ASSERT_EQ(client()->GetServerModuleCount(&count), qvabi::S_OK);
  EXPECT_EQ(count, 0);
}

TEST_F(ClientTest, LoadingAMissingModuleNamesIt) {
  std::string error;
  EXPECT_EQ(host().LoadServerModule(root_ + "/Nothing.so", &error), nullptr);
  EXPECT_NE(error.find("Nothing.so"), std::string::npos) << error;
  EXPECT_EQ(host().ServerModuleCount(), 0);
}

TEST_F(ClientTest, RedirectsMapTheirServerToTheModuleTheSettingsName) {
  ASSERT_TRUE(platform::CreateDirectories(HostPreferenceFolder()));
  ASSERT_TRUE(platform::WritePrivateProfileString("HelpRedirects", "PCB", "Brelix.dll", HostSettingsPath()));
  const auto map = [this](const char* redirect) {
    platform::BStr text = platform::BStr::FromUtf8(redirect);
    platform::BStr module;
    EXPECT_EQ(client()->GetModuleForRedirect(text.get(), module.put()), qvabi::S_OK);
    return module.utf8();
  };
  EXPECT_EQ(map("pcb:Dlg_Y"), "Brelix.dll");  // the server before the first ":", any case
  EXPECT_EQ(map("SCH:Dlg_Y"), "");
  EXPECT_EQ(map("Guide"), "");
  const testsupport::FailingCall noRedirects("host.GetModuleForRedirect", "No redirects today");
  platform::BStr text = platform::BStr::FromUtf8("PCB:Dlg_Y");
  platform::BStr module;
  EXPECT_EQ(client()->GetModuleForRedirect(text.get(), module.put()), qvabi::E_UNEXPECTED);
  EXPECT_EQ(module.get(), nullptr);
  EXPECT_EQ(TakeThreadError().description, "No redirects today");
  EXPECT_EQ(client()->Slot03(), qvabi::E_NOTIMPL);
}

TEST_F(ClientTest, ATargetNamesTheServerModuleRegisteredUnderIt) {
  qvabi::ComPtr<DocumentServer> tasks(new DocumentServer("Tasks"));
  tasks->AddRef();
  host().AddServerModule("Tasks", tasks.get());
  platform::BStr known = platform::BStr::FromUtf8("Tasks");
  platform::BStr unknown = platform::BStr::FromUtf8("Elsewhere");
  qvabi::ComPtr<qvabi::IServerModule> module;
  ASSERT_EQ(client()->GetServerModuleForTarget(known.get(), module.put()), qvabi::S_OK);
  EXPECT_EQ(module.get(), static_cast<qvabi::IServerModule*>(tasks.get()));
  ASSERT_EQ(client()->GetServerModuleForTarget(unknown.get(), module.put()), qvabi::S_OK);
  EXPECT_EQ(module.get(), nullptr);
}

TEST_F(ClientTest, GuiFontIsGivenOnlyWhenTheSettingsNameOne) {
  qvabi::ByteBool valid = 1;
  platform::BStr name;
  int32_t size = 0, colour = 0;
  uint8_t style = 0, charset = 0;
  ASSERT_EQ(client()->GetGUIFont(0, &valid, name.put(), &size, &style, &colour, &charset), qvabi::S_OK);
  EXPECT_EQ(valid, 0);
  EXPECT_EQ(name.get(), nullptr);

  ASSERT_TRUE(platform::CreateDirectories(HostPreferenceFolder()));
  ASSERT_TRUE(platform::WritePrivateProfileString("Font", "Name", "Tahoma", HostSettingsPath()));
  ASSERT_TRUE(platform::WritePrivateProfileString("Font", "Size", "9", HostSettingsPath()));
  ASSERT_EQ(client()->GetGUIFont(0, &valid, name.put(), &size, &style, &colour, &charset), qvabi::S_OK);
  EXPECT_EQ(valid, 1);
  EXPECT_EQ(name.utf8(), "Tahoma");
  EXPECT_EQ(size, 9);
  EXPECT_EQ(charset, 1);
}

}  // namespace
}  // namespace quorvex::test
