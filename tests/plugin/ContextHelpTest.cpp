// Context help in the setup dialog, worked by the simulated user: F1, the
// caption's help button, the dialog's own opening and the pointer resting on
// a control, against help files and topic tables in the host's help folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "host/HostSettings.h"
#include "platform/FaultPoints.h"
#include "platform/Journal.h"
#include "platform/Keys.h"
#include "platform/Pointer.h"
#include "plugin/RTL/ClientApi.h"
#include "plugin/RTL/ContextHelp.h"
#include "plugin/RTL/HelpTopics.h"
#include "plugin/RTL/ModuleFile.h"
#include "plugin/RTL/PreferencePaths.h"
#include "plugin/RTL/ServerDialog.h"
#include "plugin/RTL/UiHooks.h"
#include "plugin/SetupDialog.h"
#include "toolkit/Automation.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Form.h"
#include "toolkit/Panel.h"

namespace strativue {
namespace {

namespace automation = toolkit::automation;
using dialogtest::DialogTest;

class ContextHelpTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    ClientAPI::Resolve();
    InstallUiHooks();
    platform::JournalClear();
    module_ = BaseNameOf(ThisModuleFileName());
    folder_ = GetApplicationHelpFolder();
    // On Windows the help folder is beside this test program: the files
    // written there go away afterwards.
    machine_.RemoveFolderAfterwards(folder_);
    ASSERT_TRUE(platform::CreateDirectories(folder_));
  }
  void TearDown() override {
    platform::faults::Clear();
    RemoveUiHooks();
    ClientAPI::ResolveFrom(nullptr);
    DialogTest::TearDown();
  }

  void Write(const std::string& name, const std::string& text) {
    machine_.WriteFile(folder_ + name, text);
    ASSERT_TRUE(platform::FileExists(folder_ + name)) << name;
  }
  static void Settings(const std::string& text) {
    const std::string path = quorvex::HostSettingsPath();
    ASSERT_TRUE(platform::CreateDirectories(path.substr(0, path.rfind('\\'))));
    ASSERT_TRUE(platform::WriteFile(path, text));
  }
  // The dialog help file (M.chm) with its topic table.
  void DialogTopics(const std::string& table) {
    Write(module_ + ".chm", "");
    Write(module_ + ".id", table);
  }
  // The control popup help file (Mwth.hlp) with its topic table.
  void ControlTopics(const std::string& table) {
    Write(module_ + "wth.hlp", "");
    Write(module_ + "wth.id", table);
  }
  std::string DialogPage() const { return folder_ + module_ + ".chm::/Dlg_LegendSetupDialog.htm"; }

  // Opens the setup dialog, lets `user` act in it, then cancels it.
  static void InSetupDialog(const std::function<void()>& user) {
    user();
    automation::Click("ButtonCancel");
    TLegendOptions options;
    EXPECT_FALSE(ShowSetupDialog(options));
    EXPECT_TRUE(automation::Failures().empty());
  }
  // The journal entries of one kind, texts only.
  static std::vector<std::string> Journal(const std::string& kind) {
    std::vector<std::string> texts;
    for (const auto& entry : platform::JournalEntries())
      if (entry.kind == kind) texts.push_back(entry.text);
    return texts;
  }
  // The parameter text of a process call as the host records it.
  static std::string Process(const std::string& name, const std::string& parameters) {
    return name + " " + parameters + " (size " + std::to_string(parameters.size() + 1) + ", value 0)";
  }
  static std::string DynamicHelp(const std::string& parameters) {
    return Process("HelpAdvisor:ShowDynamicHelp", parameters);
  }

  std::string module_;
  std::string folder_;
};

TEST_F(ContextHelpTest, F1OpensTheDialogsPageThroughTheHostAndEveryOpeningUpdatesTheDynamicHelp) {
  DialogTopics("Dlg_LegendSetupDialog=10\n");
  InSetupDialog([] {
    automation::Click("chType");
    automation::PressKey(platform::VK_F1);
  });
  EXPECT_EQ(Journal("process"),
            (std::vector<std::string>{
                DynamicHelp("Address=" + DialogPage()),
                Process("Client:CustomizeResources", "ObjectKind=Panel|Action=Show|Id=KnowledgeCenter"),
                DynamicHelp("ForceUpdate=True|Address=" + DialogPage()),
            }));
  // The help request that follows the key is ignored: no popup.
  EXPECT_TRUE(Journal("help").empty());

  // A second opening sends the same address again.
  platform::JournalClear();
  InSetupDialog([] {});
  EXPECT_EQ(Journal("process"), std::vector<std::string>{DynamicHelp("Address=" + DialogPage())});
}

TEST_F(ContextHelpTest, TopicNamesMatchWithoutRegardToLetterCaseAndIntegratedHelpUsesTheHostsViewer) {
  DialogTopics("dlg_legendsetupdialog=10\n");
  Settings("[Preferences]\nIntegratedHelpSystem=1\n");
  InSetupDialog([] { automation::PressKey(platform::VK_F1); });
  // The opening's dynamic help, then no process for F1: the host's viewer.
  EXPECT_EQ(Journal("process"), std::vector<std::string>{DynamicHelp("Address=" + DialogPage())});
  EXPECT_EQ(Journal("host"), std::vector<std::string>{"resolve address " + DialogPage()});
  EXPECT_TRUE(Journal("help").empty());
}

TEST_F(ContextHelpTest, WithoutATopicF1ShowsTheMasterPopupAtThePointerAndRestoresThePanels) {
  Settings("[Preferences]\nHideFloatingPanels=1\n");
  for (const char* table : {"Dlg_LegendSetupDialog=0\n", "Dlg_Other=4\n"}) {
    SCOPED_TRACE(table);
    DialogTopics(table);
    platform::JournalClear();
    InSetupDialog([] {
      automation::Inspect([](toolkit::TForm&) { platform::SetCursorPos({123, 456}); });
      automation::PressKey(platform::VK_F1);
    });
    EXPECT_EQ(Journal("help"),
              std::vector<std::string>{"popup " + std::string(kMasterPopupHelpFile) + " context " +
                                       std::to_string(kMasterPopupContext) + " at 123,456"});
    // Shown with the floating panels allowed, then the user's choice back.
    EXPECT_EQ(Journal("host"),
              (std::vector<std::string>{"hide floating panels off", "hide floating panels on"}));
    EXPECT_TRUE(Journal("process").empty());
    EXPECT_TRUE(quorvex::GetPreference("HideFloatingPanels"));
  }
}

TEST_F(ContextHelpTest, APopupThatCannotBeShownStillRestoresThePanelsAndReachesTheErrorHandling) {
  Settings("[Preferences]\nHideFloatingPanels=1\n");
  platform::faults::Arm({"platform.WinHelp", 0, ""});
  std::vector<std::string> errors;
  dialogtest::ErrorRecorder recorder(errors);
  InSetupDialog([] { automation::PressKey(platform::VK_F1); });
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find(kMasterPopupHelpFile), std::string::npos) << errors[0];
  EXPECT_TRUE(Journal("help").empty());
  EXPECT_EQ(Journal("host"),
            (std::vector<std::string>{"hide floating panels off", "hide floating panels on"}));
  EXPECT_TRUE(quorvex::GetPreference("HideFloatingPanels"));
}

TEST_F(ContextHelpTest, F1WithAModifierGoesToTheHostsShortcutsFirst) {
  DialogTopics("Dlg_LegendSetupDialog=10\n");
  auto& gui = quorvex::Host::Instance().GetGuiManager();
  gui.SetHandledKeys({platform::VK_F1});
  InSetupDialog([] { automation::PressKey(platform::VK_F1, false, true, false); });
  EXPECT_EQ(gui.ShortcutCalls(), (std::vector<quorvex::ShortcutCall>{{platform::VK_F1, false, false, true}}));
  EXPECT_EQ(gui.ShortcutHandledCount(), 1);
  // Only the opening's dynamic help: the host took the key.
  EXPECT_EQ(Journal("process").size(), 1u);

  // A key the host leaves alone opens the help after all.
  gui.SetHandledKeys({});
  platform::JournalClear();
  InSetupDialog([] { automation::PressKey(platform::VK_F1, true, false, true); });
  EXPECT_EQ(gui.ShortcutCalls().back(), (quorvex::ShortcutCall{platform::VK_F1, true, true, false}));
  EXPECT_EQ(gui.ShortcutHandledCount(), 1);
  EXPECT_EQ(Journal("process").back(), DynamicHelp("ForceUpdate=True|Address=" + DialogPage()));
}

TEST_F(ContextHelpTest, ARedirectedTopicOpensInTheProvidingModulesHelp) {
  DialogTopics("Dlg_LegendSetupDialog=5,PCB:Dlg_Y\n");
  Write("Brelix.chm", "");
  Write("Brelix.id", "PCB_Dlg_Y=42\n");
  Settings("[HelpRedirects]\nPCB=C:\\Program Files\\Quorvex\\Brelix.dll\n");
  InSetupDialog([] { automation::PressKey(platform::VK_F1); });
  const std::string page = folder_ + "Brelix.chm::/PCB_Dlg_Y.htm";
  EXPECT_EQ(Journal("process").back(), DynamicHelp("ForceUpdate=True|Address=" + page));
  const auto host = Journal("host");
  EXPECT_NE(
      std::find(host.begin(), host.end(), "redirect PCB:Dlg_Y -> C:\\Program Files\\Quorvex\\Brelix.dll"),
      host.end());
}

// chType sits on the panel TeThemeTabControl1; the dialog holds both, and
// its name and class key coincide, so each name is looked up once.
TEST_F(ContextHelpTest, TheHelpButtonLooksUpTheControlThenItsPanelUnderTheDialogsName) {
  Write(module_ + "wth.hlp", "");
  const std::string popupFile = folder_ + module_ + "wth.hlp";
  struct Case {
    const char* table;
    int context;
  };
  for (const Case& c :
       {Case{"Dlg_LegendSetupDialog_chType=12\nDlg_LegendSetupDialog_TeThemeTabControl1=7\n", 12},
        Case{"DLG_legendsetupdialog_teThemeTabControl1=7\n", 7}, Case{"Dlg_chType=3\n", 0}}) {
    SCOPED_TRACE(c.table);
    Write(module_ + "wth.id", c.table);
    platform::JournalClear();
    platform::Point at;
    InSetupDialog([&at] {
      automation::Inspect([&at](toolkit::TForm& form) {
        const auto* box = dynamic_cast<toolkit::TControl*>(form.FindComponent("chType"));
        ASSERT_NE(box, nullptr);
        const toolkit::TRect rect = box->ScreenRect();
        at = {(rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2};
      });
      automation::PressHelpButton("chType");
    });
    EXPECT_EQ(Journal("help"),
              std::vector<std::string>{"popup " + popupFile + " context " + std::to_string(c.context) +
                                       " at " + std::to_string(at.x) + "," + std::to_string(at.y)});
  }
}

TEST_F(ContextHelpTest, RestingOnAControlWithATopicUpdatesTheDynamicHelpWithItsPage) {
  ControlTopics("Dlg_chType=5\n");
  InSetupDialog([] {
    automation::Hover("chMaterial");
    automation::Hover("chType");
  });
  const std::string page = folder_ + module_ + "wth.chm::/Dlg_chType.htm";
  const auto processes = Journal("process");
  // The opening (the dialog has no topic: nothing), chMaterial (none), chType.
  EXPECT_EQ(processes, std::vector<std::string>{DynamicHelp("Address=" + page)});
}

TEST_F(ContextHelpTest, TheToolkitsHelpRequestAfterF1IsIgnoredOnceOnly) {
  ControlTopics("Dlg_LegendSetupDialog_chType=12\n");
  InSetupDialog([] {
    automation::PressKey(platform::VK_F1);
    automation::PressHelpButton("chType");
  });
  // F1: the master popup; its help request ignored; the help button's own.
  const auto popups = Journal("help");
  ASSERT_EQ(popups.size(), 2u);
  EXPECT_EQ(popups[0].rfind(std::string("popup ") + kMasterPopupHelpFile + " context 1 ", 0), 0u);
  EXPECT_NE(popups[1].find("wth.hlp context 12 "), std::string::npos) << popups[1];
}

// A dialog "Dlg" holding a check box, an embedded form "Other" and a panel
// holding an embedded form "Inner" that holds a button.
struct EmbeddingDialog {
  std::unique_ptr<TServerDialog> dialog = TServerDialog::CreateDialog<TServerDialog>();
  toolkit::TCheckBox* box = Add<toolkit::TCheckBox>("Box", dialog.get());
  toolkit::TForm* other = Add<toolkit::TForm>("Other", dialog.get());
  toolkit::TPanel* panel = Add<toolkit::TPanel>("Panel", dialog.get());
  toolkit::TForm* inner = Add<toolkit::TForm>("Inner", panel);
  toolkit::TButton* button = Add<toolkit::TButton>("Button", inner);

  EmbeddingDialog() { dialog->SetName("Dlg"); }
  template <typename T>
  T* Add(const std::string& name, toolkit::TWinControl* parent) {
    T* control = dialog->Create<T>();
    control->SetName(name);
    control->SetParent(parent);
    return control;
  }
};

// F1 takes the first form walking up from the control: an embedded form with
// a topic, else (for the dialog itself, or a form without one) the first
// form embedded in the dialog that has one, else the dialog.
TEST_F(ContextHelpTest, F1InAnEmbeddedFormOpensTheTopicOfTheFirstFormAboveTheControl) {
  struct Case {
    const char* table;
    bool onButton;  // else on the check box that sits on the dialog itself
    const char* page;
  };
  const std::vector<Case> cases = {
      {"Dlg_Other=20\nDlg_Inner=21\nDlg_Dlg=5\n", true, "Dlg_Inner"},
      {"Dlg_Other=20\nDlg_Inner=21\nDlg_Dlg=5\n", false, "Dlg_Other"},
      {"Dlg_Other=20\nDlg_Dlg=5\n", true, "Dlg_Dlg"},
      {"Dlg_Inner=21\nDlg_Dlg=5\n", false, "Dlg_Dlg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.table) + (c.onButton ? " on the button" : " on the box"));
    DialogTopics(c.table);
    platform::JournalClear();
    EmbeddingDialog embedding;
    toolkit::TControl* control =
        c.onButton ? static_cast<toolkit::TControl*>(embedding.button) : embedding.box;
    embedding.dialog->ShowHelpFor(control);
    const std::string page = folder_ + module_ + ".chm::/" + c.page + ".htm";
    EXPECT_EQ(Journal("process").back(), DynamicHelp("ForceUpdate=True|Address=" + page));
  }
}

TEST_F(ContextHelpTest, TheHelpButtonInAnEmbeddedFormLooksUpTheControlUnderThatFormsName) {
  ControlTopics("Dlg_Inner_Button=31\nDlg_Dlg_Button=32\nDlg_Dlg_Box=33\n");
  EmbeddingDialog embedding;
  for (toolkit::TWinControl* control : std::vector<toolkit::TWinControl*>{embedding.button, embedding.box}) {
    toolkit::THelpInfo info;
    info.window = control->Handle();
    info.mousePos = {40, 50};
    EXPECT_TRUE(embedding.dialog->HelpRequest(info));
  }
  const std::string popups = folder_ + module_ + "wth.hlp context ";
  EXPECT_EQ(Journal("help"),
            (std::vector<std::string>{"popup " + popups + "31 at 40,50", "popup " + popups + "33 at 40,50"}));
}

}  // namespace
}  // namespace strativue
