// Context help in the setup dialog end to end: quorvex plays the user who
// presses F1, the caption's help button or rests the pointer on a control,
// and its trace shows what the host was asked.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "QuorvexE2eTest.h"

namespace e2e {
namespace {

class HelpE2eTest : public QuorvexE2eTest {
 protected:
  // A file in the host's application help folder of the machine.
  void HelpFile(const std::string& name, const std::string& text = "") const {
    const auto folder = Machine() / "C" / "Program Files" / "Quorvex" / "Help";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << text;
  }
  void HostSettings(const std::string& text) const {
    const auto folder = Machine() / "C" / "Users" / "user" / "AppData" / "Roaming" / "Quorvex";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "Host.ini", std::ios::binary) << text;
  }
  // A drag with the setup dialog opened (and cancelled) in it, with these
  // dialog actions, traced; what quorvex printed.
  std::string WithDialogActions(const Arguments& actions) {
    const auto result = Run(Concat({Example("two-layer"), "--corner", "0,0", "--drag", "100mil,100mil",
                                    "--steps", "1", "--setup", "cancel", "--trace"},
                                   actions));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
  }
  static bool Has(const std::string& out, const std::string& text) {
    return out.find(text) != std::string::npos;
  }
};

constexpr const char* kPage = "\\Help\\Strativue.chm::/Dlg_LegendSetupDialog.htm";

// Topic names and keys match without regard to letter case.
TEST_F(HelpE2eTest, F1OpensTheDialogsPageOfTheLocatedHelpFile) {
  HelpFile("Strativue.chm");
  for (const auto& [table, key] :
       {std::pair{"Dlg_LegendSetupDialog=10\r\n", "F1"}, std::pair{"dlg_LEGENDsetupdialog=10\n", "f1"}}) {
    SCOPED_TRACE(table);
    HelpFile("Strativue.id", table);
    const std::string out = WithDialogActions({"--dialog-action", key});
    EXPECT_TRUE(Has(
        out, "journal process: Client:CustomizeResources ObjectKind=Panel|Action=Show|Id=KnowledgeCenter"))
        << out;
    EXPECT_TRUE(Has(out, "journal process: HelpAdvisor:ShowDynamicHelp ForceUpdate=True|Address=C:\\"))
        << out;
    EXPECT_TRUE(Has(out, std::string(kPage) + " (size ")) << out;
    // The opening itself went to the dynamic help first.
    EXPECT_LT(out.find("HelpAdvisor:ShowDynamicHelp Address="), out.find("ForceUpdate=True")) << out;
    EXPECT_FALSE(Has(out, "journal help: popup")) << out;
  }
}

TEST_F(HelpE2eTest, WithoutATopicF1ShowsTheMasterPopupWithTheFloatingPanelsAllowed) {
  HelpFile("Strativue.chm");
  HelpFile("Strativue.id", "Dlg_LegendSetupDialog=0\n");
  HostSettings("[Preferences]\nHideFloatingPanels=1\n");
  const std::string out = WithDialogActions({"--dialog-action", "F1"});
  // Shown with the floating panels allowed, then the user's choice back.
  const auto off = out.find("journal host: hide floating panels off\n");
  const auto popup = out.find("journal help: popup qvxmaster.hlp context 1 at ");
  const auto on = out.find("journal host: hide floating panels on\n");
  ASSERT_NE(popup, std::string::npos) << out;
  EXPECT_LT(off, popup) << out;
  EXPECT_LT(popup, on) << out;
  EXPECT_NE(on, std::string::npos) << out;
  EXPECT_FALSE(Has(out, "journal process:")) << out;
}

TEST_F(HelpE2eTest, ARedirectLineOpensThePageOfTheModuleTheHostNames) {
  HelpFile("Strativue.chm");
  HelpFile("Strativue.id", "Dlg_LegendSetupDialog=5,PCB:Dlg_Y\n");
  HelpFile("Brelix.chm");
  HelpFile("Brelix.id", "PCB_Dlg_Y=42\n");
  HostSettings("[HelpRedirects]\nPCB=Brelix.dll\n");
  const std::string out = WithDialogActions({"--dialog-action", "F1"});
  EXPECT_TRUE(Has(out, "journal host: redirect PCB:Dlg_Y -> Brelix.dll\n")) << out;
  EXPECT_TRUE(Has(out, "\\Help\\Brelix.chm::/PCB_Dlg_Y.htm (size ")) << out;
}

// chType sits on the panel TeThemeTabControl1: its own topic first, then
// the panel's, each under the dialog's name.
TEST_F(HelpE2eTest, TheHelpButtonShowsThePopupOfTheControlElseOfItsPanel) {
  HelpFile("Strativuewth.hlp");
  HelpFile("Strativuewth.id", "Dlg_LegendSetupDialog_TeThemeTabControl1=7\n");
  std::string out = WithDialogActions({"--dialog-action", "help:chType"});
  EXPECT_TRUE(Has(out, "\\Help\\Strativuewth.hlp context 7 at ")) << out;

  HelpFile("Strativuewth.id",
           "Dlg_LegendSetupDialog_TeThemeTabControl1=7\nDlg_LegendSetupDialog_chType=12\n");
  out = WithDialogActions({"--dialog-action", "help:chType"});
  EXPECT_TRUE(Has(out, "\\Help\\Strativuewth.hlp context 12 at ")) << out;

  HelpFile("Strativuewth.id", "Dlg_chType=12\n");
  out = WithDialogActions({"--dialog-action", "help:chType"});
  EXPECT_TRUE(Has(out, "\\Help\\Strativuewth.hlp context 0 at ")) << out;
}

TEST_F(HelpE2eTest, RestingOnAControlShowsItsPageInTheDynamicHelp) {
  HelpFile("Strativuewth.chm");
  HelpFile("Strativuewth.id", "Dlg_chType=5\n");
  const std::string out =
      WithDialogActions({"--dialog-action", "hover:chMaterial", "--dialog-action", "hover:chType"});
  EXPECT_TRUE(Has(out, "HelpAdvisor:ShowDynamicHelp Address=C:\\")) << out;
  EXPECT_TRUE(Has(out, "\\Help\\Strativuewth.chm::/Dlg_chType.htm (size ")) << out;
  EXPECT_EQ(out.find("Dlg_chMaterial"), std::string::npos) << out;
}

TEST_F(HelpE2eTest, CtrlF1TheHostTakesOpensNoHelp) {
  HelpFile("Strativue.chm");
  HelpFile("Strativue.id", "Dlg_LegendSetupDialog=10\n");
  HostSettings("[Shortcuts]\nHandled=112\n");
  const std::string out = WithDialogActions({"--dialog-action", "Ctrl+F1"});
  EXPECT_TRUE(Has(out, "shortcut 112 alt=0 shift=0 ctrl=1 -> handled\n")) << out;
  EXPECT_FALSE(Has(out, "ForceUpdate=True")) << out;
}

TEST_F(HelpE2eTest, UnknownDialogActionsAreRefused) {
  ExpectRefused({Example("two-layer"), "--setup", "all", "--dialog-action", "F2"}, "--dialog-action");
  ExpectRefused({Example("two-layer"), "--setup", "all", "--dialog-action", "Meta+F1"}, "\"meta\"");
  ExpectRefused({Example("two-layer"), "--setup", "all", "--dialog-action", "hover:"},
                "control name is empty");
  ExpectRefused({"--dialog-action", "F1"}, "needs a board file");
  ExpectRefused({Example("two-layer"), "--setup", "all", "--dialog-action", "Alt+YY"},
                "\"Alt+YY\" is not a key");
}

}  // namespace
}  // namespace e2e
