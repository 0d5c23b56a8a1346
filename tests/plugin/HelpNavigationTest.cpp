#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PathsTestSupport.h"
#include "abi/ModuleFiles.h"
#include "host/DocumentServer.h"
#include "platform/Dde.h"
#include "platform/MessageQueue.h"
#include "platform/Modules.h"
#include "platform/Registry.h"
#include "plugin/RTL/Exceptions.h"
#include "plugin/RTL/HelpNavigation.h"
#include "plugin/RTL/ReaderVersionWarning.h"
#include "toolkit/Automation.h"

using namespace strativue;
using platform::JournalEntry;

namespace platform {
void PrintTo(const JournalEntry& entry, std::ostream* out) { *out << entry.kind << ": " << entry.text; }
}  // namespace platform

namespace {

constexpr const char* kReader = "C:\\Reader\\reader.exe";
constexpr const char* kHelpFolder = "C:\\PROGRAM FILES\\QUORVEX\\Help\\";

class HelpNavigationTest : public pathstest::PathsTest {
 protected:
  void SetUp() override {
    PathsTest::SetUp();
    platform::ResetDde();
    platform::ClearMessageQueue();
    toolkit::automation::Reset();
  }
  void TearDown() override {
    // Every DDE instance, string handle and conversation was given back.
    EXPECT_EQ(platform::DdeOpenObjectCount(), 0);
    platform::ResetDde();
    toolkit::automation::Reset();
    platform::ClearMessageQueue();
    PathsTest::TearDown();
  }

  // A reader registered the way its installer would, with the placeholders
  // the command must lose.
  static void RegisterReader(const std::string& fileVersionLine) {
    WriteFile(kReader, "stand-in reader\n" + fileVersionLine);
    ASSERT_TRUE(platform::WriteString(platform::HKEY_CLASSES_ROOT, ".pdf", "", "ReaderDoc"));
    ASSERT_TRUE(platform::WriteString(platform::HKEY_CLASSES_ROOT, "ReaderDoc\\Shell\\Open\\Command", "",
                                      "\"C:\\Reader\\reader.exe\" /u \"%1\""));
  }
  static void AddClassKey(const std::string& key) {
    ASSERT_TRUE(platform::WriteString(platform::HKEY_CLASSES_ROOT, key, "", "x"));
  }
  static std::vector<JournalEntry> Entries(const std::string& kind) {
    std::vector<JournalEntry> found;
    for (const auto& entry : platform::JournalEntries())
      if (entry.kind == kind) found.push_back(entry);
    return found;
  }
  static abi::ComPtr<quorvex::Document> NewDocument(const std::string& fileName) {
    return abi::ComPtr<quorvex::Document>::Share(new quorvex::Document("TEXT", fileName));
  }
  static abi::ComPtr<quorvex::View> NewView(quorvex::Document* document, const std::string& name,
                                            const std::string& parameters = "") {
    auto view = abi::ComPtr<quorvex::View>::Share(new quorvex::View(document, name));
    view->setParameters(parameters);
    return view;
  }
  static void Serve(const std::vector<quorvex::Document*>& documents) {
    auto server = abi::ComPtr<quorvex::DocumentServer>::Share(new quorvex::DocumentServer("Texts"));
    for (auto* document : documents) server->addDocument(document);
    quorvex::Host::Instance().addServerModule("Texts", server.get());
  }
};

TEST_F(HelpNavigationTest, PageMarkInAnyCaseSplitsFileAndPage) {
  PdfPageAddress address;
  ASSERT_TRUE(SplitPdfPageAddress("Guide.pdf#PAGE=12", &address));
  EXPECT_EQ(address.file, "Guide.pdf");
  EXPECT_EQ(address.page, 12);
  ASSERT_TRUE(SplitPdfPageAddress("Guide.pdf#pAgE=7", &address));
  EXPECT_EQ(address.page, 7);
  for (const char* bad :
       {"Guide.pdf#page=twelve", "Guide.pdf#page=", "Guide.pdf#page=12a", "Guide.pdf#page=99999999999"}) {
    ASSERT_TRUE(SplitPdfPageAddress(bad, &address)) << bad;
    EXPECT_EQ(address.page, -1) << bad;
  }
  EXPECT_FALSE(SplitPdfPageAddress("Guide.pdf#section", &address));
}

TEST_F(HelpNavigationTest, PdfPageAddressStartsTheReaderAndSendsThePreviousPageIndex) {
#if defined(_WIN32)
  GTEST_SKIP() << "the reader is a stand-in text file; Windows starts real programs, reads real version "
                  "resources and finds real DDE servers (the platform's Windows tests cover those)";
#endif
  RegisterReader("FileVersion=1.0.0.0\n");
  AddClassKey("AcroPDF.PDF.1");  // a reader of version 7
  WriteFile(std::string(kHelpFolder) + "Guide.pdf", "%PDF");
  NavigateHelpTarget(u"Guide.pdf#page=12");
  // "/u" and the quoted "%1" are gone from the registered command, leaving
  // its two blanks before the one the command line adds.
  EXPECT_EQ(
      Entries("start"),
      (std::vector<JournalEntry>{{"start", "\"C:\\Reader\\reader.exe\"   /a pagemode=bookmarks&page=12 \"" +
                                               std::string(kHelpFolder) + "Guide.pdf\""}}));
  // DocGoTo counts pages from 0.
  EXPECT_EQ(Entries("dde"), (std::vector<JournalEntry>{{"dde", "acroview|control: [DocGoTo(NULL, 11)]"}}));
}

TEST_F(HelpNavigationTest, PageThatIsNoNumberOpensTheDocumentAtItsStart) {
#if defined(_WIN32)
  GTEST_SKIP() << "the reader is a stand-in text file; Windows starts real programs, reads real version "
                  "resources and finds real DDE servers (the platform's Windows tests cover those)";
#endif
  RegisterReader("FileVersion=9.0.0.0\n");
  WriteFile(std::string(kHelpFolder) + "Guide.pdf", "%PDF");
  NavigateHelpTarget(u"Guide.PDF#PAGE=intro");
  EXPECT_EQ(Entries("start"),
            (std::vector<JournalEntry>{
                {"start", "\"C:\\Reader\\reader.exe\"   \"" + std::string(kHelpFolder) + "Guide.PDF\""}}));
  EXPECT_TRUE(Entries("dde").empty());
}

TEST_F(HelpNavigationTest, ReaderVersionComesFromClassKeysThenFromTheExecutable) {
#if defined(_WIN32)
  GTEST_SKIP() << "the reader is a stand-in text file; Windows starts real programs, reads real version "
                  "resources and finds real DDE servers (the platform's Windows tests cover those)";
#endif
  RegisterReader("FileVersion=5.1.0.0\n");
  const std::string command = GetPdfReaderCommand();
  EXPECT_EQ(command, "\"C:\\Reader\\reader.exe\"  ");
  EXPECT_EQ(GetPdfReaderVersion(command), 5);  // from the file version
  EXPECT_EQ(Entries("version"), (std::vector<JournalEntry>{{"version", kReader}}));
  AddClassKey("PDF.PdfCtrl.8");
  EXPECT_EQ(GetPdfReaderVersion(command), 8);
  AddClassKey("PDF.PdfCtrl.5");  // the lowest numbered key wins
  EXPECT_EQ(GetPdfReaderVersion(command), 5);
  AddClassKey("PDF.PdfCtrl.1");
  EXPECT_EQ(GetPdfReaderVersion(command), 4);
  AddClassKey("AcroPDF.PDF.1");
  EXPECT_EQ(GetPdfReaderVersion(command), 7);
  EXPECT_EQ(Entries("version").size(), 1u);  // a class key spares reading the file
}

TEST_F(HelpNavigationTest, ReaderWithoutVersionIsFourAndAMissingReaderIsAnError) {
#if defined(_WIN32)
  GTEST_SKIP() << "the reader is a stand-in text file; Windows starts real programs, reads real version "
                  "resources and finds real DDE servers (the platform's Windows tests cover those)";
#endif
  RegisterReader("no version resource\n");
  EXPECT_EQ(GetPdfReaderVersion(GetPdfReaderCommand()), 4);
  WriteFile(kReader, "FileVersion=0.9.0.0\n");
  EXPECT_EQ(GetPdfReaderVersion(GetPdfReaderCommand()), 4);
  EXPECT_THROW(GetPdfReaderVersion("\"C:\\Gone\\reader.exe\""), Exception);
  // The "acrobat" registration comes before the .pdf class.
  ASSERT_TRUE(platform::WriteString(platform::HKEY_CLASSES_ROOT, "acrobat\\Shell\\Open\\Command", "",
                                    "C:\\Other\\open.exe %1"));
  EXPECT_EQ(GetPdfReaderCommand(), "C:\\Other\\open.exe ");
}

TEST_F(HelpNavigationTest, OldReaderWarnsUnlessPageOneOrSwitchedOff) {
#if defined(_WIN32)
  GTEST_SKIP() << "the reader is a stand-in text file; Windows starts real programs, reads real version "
                  "resources and finds real DDE servers (the platform's Windows tests cover those)";
#endif
  RegisterReader("FileVersion=1.0.0.0\n");
  AddClassKey("PDF.PdfCtrl.5");
  const std::string file = std::string(kHelpFolder) + "Guide.pdf";
  WriteFile(file, "%PDF");
  const JournalEntry started{"start", "\"C:\\Reader\\reader.exe\"   \"" + file + "\""};

  // The user ticks the box and presses OK: the switch is written as false.
  toolkit::automation::SetChecked("&Don't show this again", true);
  toolkit::automation::Click("OK");
  EXPECT_TRUE(OpenPdfAtPage(file, 3));
  EXPECT_EQ(toolkit::automation::PendingActions(), 0);
  EXPECT_TRUE(toolkit::automation::Failures().empty());
  EXPECT_EQ(platform::ReadDword(platform::HKEY_CURRENT_USER, "Software\\Verdane2004\\Quorvex\\Forms",
                                "EnableAcrobatVersionPopup"),
            0u);
  EXPECT_EQ(Entries("start"), std::vector<JournalEntry>{started});
  EXPECT_TRUE(Entries("dde").empty());

  // Switched off: no dialog takes the queued click.
  toolkit::automation::Click("OK");
  EXPECT_TRUE(OpenPdfAtPage(file, 3));
  EXPECT_EQ(toolkit::automation::PendingActions(), 1);

  // Switched on again, page 1 asks nothing either.
  ASSERT_TRUE(platform::WriteDword(platform::HKEY_CURRENT_USER, "Software\\Verdane2004\\Quorvex\\Forms",
                                   "EnableAcrobatVersionPopup", 1));
  EXPECT_TRUE(ReaderVersionWarningEnabled());
  EXPECT_TRUE(OpenPdfAtPage(file, 1));
  EXPECT_EQ(toolkit::automation::PendingActions(), 1);
}

TEST_F(HelpNavigationTest, PdfFileIsLookedForInTheHelpFolderAndMayBeMissing) {
#if defined(_WIN32)
  GTEST_SKIP() << "the reader is a stand-in text file; Windows starts real programs, reads real version "
                  "resources and finds real DDE servers (the platform's Windows tests cover those)";
#endif
  RegisterReader("FileVersion=7.0.0.0\n");
  EXPECT_FALSE(OpenPdfAtPage("D:\\Elsewhere\\Guide.pdf", 2));
  EXPECT_TRUE(Entries("start").empty());
  WriteFile(std::string(kHelpFolder) + "Guide.pdf", "%PDF");
  EXPECT_TRUE(OpenPdfAtPage("D:\\Elsewhere\\Guide.pdf", 2));
  ASSERT_EQ(Entries("start").size(), 1u);
  EXPECT_NE(Entries("start")[0].text.find(std::string(kHelpFolder) + "Guide.pdf"), std::string::npos);
}

TEST_F(HelpNavigationTest, ReaderThatDoesNotAnswerDdeGetsNoCommand) {
#if defined(_WIN32)
  GTEST_SKIP() << "the reader is a stand-in text file; Windows starts real programs, reads real version "
                  "resources and finds real DDE servers (the platform's Windows tests cover those)";
#endif
  RegisterReader("FileVersion=7.0.0.0\n");
  WriteFile(std::string(kHelpFolder) + "Guide.pdf", "%PDF");
  platform::SetDdeServerAvailable("acroview", "control", false);
  EXPECT_TRUE(OpenPdfAtPage(std::string(kHelpFolder) + "Guide.pdf", 4));
  EXPECT_EQ(Entries("start").size(), 1u);
  EXPECT_TRUE(Entries("dde").empty());
}

TEST_F(HelpNavigationTest, ViewAddressesNameTheViewOnlyWhenThereAreSeveral) {
  auto single = NewDocument("C:\\Docs\\Notes.txt");
  auto only = NewView(single.get(), "Main", "k=1|m=2");
  EXPECT_EQ(ViewAddress(single.get(), only.get()), "C:\\Docs\\Notes.txt?k=1;m=2");

  auto shared = NewDocument("C:\\Docs\\Plan.txt");
  auto a = NewView(shared.get(), "A");
  auto b = NewView(shared.get(), "B", "k=1|m=2");
  EXPECT_EQ(ViewAddress(shared.get(), a.get()), "C:\\Docs\\Plan.txt?ViewName=A");
  EXPECT_EQ(ViewAddress(shared.get(), b.get()), "C:\\Docs\\Plan.txt?ViewName=B;k=1;m=2");

  Serve({single.get(), shared.get()});
  EXPECT_EQ(FindOpenView("c:\\docs\\plan.txt?viewname=b;K=1;M=2").get(),
            static_cast<abi::IServerView*>(b.get()));
  EXPECT_EQ(FindOpenView("C:\\Docs\\Plan.txt").get(), nullptr);
}

TEST_F(HelpNavigationTest, OpenViewIsShownAndActivated) {
  auto document = NewDocument("C:\\Docs\\Plan.txt");
  auto a = NewView(document.get(), "A");
  auto b = NewView(document.get(), "B");
  b->setActivatable(true);
  // An addressable document decides by itself which addresses it shows.
  auto page = NewDocument("C:\\Help\\page.htm");
  page->setAddress("help://topics/layers");
  auto pageView = NewView(page.get(), "Page");
  pageView->setActivatable(true);
  Serve({document.get(), page.get()});

  NavigateHelpTarget(u"C:\\Docs\\Plan.txt?ViewName=B");
  EXPECT_EQ(Entries("navigate"), (std::vector<JournalEntry>{{"navigate", "show C:\\Docs\\Plan.txt"}}));
  EXPECT_EQ(b->activateCount(), 1);
  NavigateHelpTarget(u"HELP://Topics/Layers");
  EXPECT_EQ(Entries("navigate").back(), (JournalEntry{"navigate", "show C:\\Help\\page.htm"}));
  EXPECT_EQ(pageView->activateCount(), 1);
}

TEST_F(HelpNavigationTest, CurrentBrowserDocumentNavigatesUnlessAlreadyThere) {
  quorvex::View* view = quorvex::Host::Instance().openDocument("WEB", "Browser");
  view->document()->setNavigable(true);
  NavigateHelpTarget(u"help://topics/layers");
  EXPECT_EQ(Entries("navigate"),
            (std::vector<JournalEntry>{{"navigate", "document Browser: help://topics/layers"}}));
  view->document()->setAddress("help://topics/layers");
  NavigateHelpTarget(u"HELP://topics/LAYERS");
  EXPECT_EQ(Entries("navigate").size(), 1u);
}

TEST_F(HelpNavigationTest, WebAddressesAndHostFilesGoWhereTheHostSays) {
#if defined(_WIN32)
  GTEST_SKIP() << "the host's help files are stand-ins under the machine root; on Windows they would be the "
                  "system's real files";
#endif
  WriteFile("C:\\Docs\\Readme.txt", "read me");
  NavigateHelpTarget(u"C:\\Docs\\Readme.txt");
  EXPECT_EQ(Entries("navigate"), (std::vector<JournalEntry>{{"navigate", "open C:\\Docs\\Readme.txt"}}));
  // Without the host's external-browser preference a web address finds no
  // taker here; with it, the system browser opens it.
  NavigateHelpTarget(u"https://example.invalid/help");
  EXPECT_TRUE(Entries("shell").empty());
  SetHostPreference("UseExternalWebBrowser", true);
  NavigateHelpTarget(u"HTTPS://example.invalid/help");
  EXPECT_EQ(Entries("shell"), (std::vector<JournalEntry>{{"shell", "open HTTPS://example.invalid/help"}}));
  NavigateHelpTarget(u"mailto:help@example.invalid");
  EXPECT_EQ(Entries("shell").size(), 1u);
}

TEST_F(HelpNavigationTest, TaskServerOfTheLoadedWorkspaceShowsWhatNothingElseTook) {
  auto tasks = abi::ComPtr<quorvex::DocumentServer>::Share(new quorvex::DocumentServer("Tasks"));
  tasks->setNavigable(true);
  quorvex::Host::Instance().addServerModule("Tasks", tasks.get());
  // Not loaded yet: the last step finds no workspace and does nothing; the
  // host was only asked to resolve the address.
  NavigateHelpTarget(u"topic:layer-stack");
  EXPECT_EQ(platform::JournalEntries(),
            (std::vector<JournalEntry>{{"host", "resolve address topic:layer-stack"}}));
  std::string error;
  const platform::ModuleHandle library =
      platform::LoadModule(std::string(STRATIVUE_BIN_DIR) + "/" + abi::kWorkspaceModuleFile, &error);
  ASSERT_NE(library, nullptr) << error;
  NavigateHelpTarget(u"topic:layer-stack");
  EXPECT_EQ(Entries("navigate"),
            (std::vector<JournalEntry>{{"navigate", "module Tasks: topic:layer-stack"}}));
  FreeWorkspaceAccess();
  platform::UnloadModule(library);
}

TEST_F(HelpNavigationTest, HostProcessesRunThroughTheLauncher) {
  const char parameters[] = "Resource=Menus";
  RunHostProcess("Client:CustomizeResources", parameters, sizeof parameters, 7);
  EXPECT_EQ(Entries("process"),
            (std::vector<JournalEntry>{
                {"process", "Client:CustomizeResources Resource=Menus (size 15, value 7)"}}));
  SetHostClient(nullptr);
  RunHostProcess("HelpAdvisor:ShowDynamicHelp", "", 0, 0);
  NavigateHelpTarget(u"C:\\Docs\\Readme.txt");
  EXPECT_EQ(platform::JournalEntries().size(), 1u);
}

}  // namespace
