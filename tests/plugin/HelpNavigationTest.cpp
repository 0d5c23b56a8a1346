#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "PathsTestSupport.h"
#include "abi/ModuleFiles.h"
#include "generated/BuildPaths.h"
#include "host/DocumentServer.h"
#include "platform/Dde.h"
#include "platform/MessageQueue.h"
#include "platform/Modules.h"
#include "platform/Registry.h"
#include "platform/WideString.h"
#include "plugin/RTL/Exceptions.h"
#include "plugin/RTL/HelpNavigation.h"
#include "plugin/RTL/ReaderVersionWarning.h"
#include "toolkit/Automation.h"
#if defined(_WIN32)
#include "tests/platform/win32/DdeTestServer.h"
#endif

using namespace strativue;
using platform::JournalEntry;

namespace platform {
void PrintTo(const JournalEntry& entry, std::ostream* out) { *out << entry.kind << ": " << entry.text; }
}  // namespace platform

namespace {

class HelpNavigationTest : public pathstest::PathsTest {
 protected:
  void SetUp() override {
    PathsTest::SetUp();
    // The reader's registration and the address handlers, where the
    // registry is the system's own.
    for (const char* key : {".pdf", "ReaderDoc", "acrobat", "AcroPDF.PDF.1", "http", "https", "mailto"})
      machine_.IsolateKey(platform::HKEY_CLASSES_ROOT, key);
    for (int n = 1; n <= 10; ++n)
      machine_.IsolateKey(platform::HKEY_CLASSES_ROOT, "PDF.PdfCtrl." + std::to_string(n));
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

  static std::string HelpFolder() { return HostFolder() + "Help\\"; }
#if defined(_WIN32)
  // The probe program built beside this one, which writes the arguments it
  // was started with into a file; it stands in for the programs the system
  // starts (the reader, the browser).
  static std::string ProbeProgram() {
    const std::string self = platform::GetHostProgramPath();
    return self.substr(0, self.find_last_of('\\') + 1) + "ProcessProbe.exe";
  }
  // The command that starts the probe with what follows it.
  std::string ProbeCommand() const { return "\"" + ProbeProgram() + "\" write \"" + ArgumentsFile() + "\""; }
  // The system opens addresses with the programs registered for them: the
  // probe, so that nothing outside the test is started.
  void RegisterAddressHandlers() const {
    for (const std::string protocol : {"http", "https", "mailto"}) {
      ASSERT_TRUE(platform::WriteString(platform::HKEY_CLASSES_ROOT, protocol, "URL Protocol", ""));
      ASSERT_TRUE(platform::WriteString(platform::HKEY_CLASSES_ROOT, protocol + "\\shell\\open\\command", "",
                                        ProbeCommand() + " \"%1\""));
    }
  }
#endif
  // The reader's executable: the probe program on Windows.
  static std::string Reader() {
#if defined(_WIN32)
    return ProbeProgram();
#else
    return "C:\\Reader\\reader.exe";
#endif
  }
  // The reader's command as registered, before the placeholders: its
  // quoted executable, with the probe's own arguments on Windows.
  std::string ReaderStart() const {
#if defined(_WIN32)
    return ProbeCommand();
#else
    return "\"" + Reader() + "\"";
#endif
  }
  // "/u" and the quoted "%1" are gone from the registered command, leaving
  // its two blanks.
  std::string ReaderCommand() const { return ReaderStart() + "  "; }
  // A reader registered the way its installer would, with the placeholders
  // the command must lose. On Windows the probe program carries its own
  // version resource instead of `fileVersionLine`.
  void RegisterReader([[maybe_unused]] const std::string& fileVersionLine) {
#if !defined(_WIN32)
    WriteFile(Reader(), "stand-in reader\n" + fileVersionLine);
#endif
    RegisterCommand(ReaderStart() + " /u \"%1\"");
  }
  static void RegisterCommand(const std::string& command) {
    ASSERT_TRUE(platform::WriteString(platform::HKEY_CLASSES_ROOT, ".pdf", "", "ReaderDoc"));
    ASSERT_TRUE(
        platform::WriteString(platform::HKEY_CLASSES_ROOT, "ReaderDoc\\Shell\\Open\\Command", "", command));
  }
  // On Windows the probe's file version is below 6; a class key makes the
  // reader one of version 7 there.
  static void ReaderOfVersion7OnWindows() {
#if defined(_WIN32)
    AddClassKey("AcroPDF.PDF.1");
#endif
  }
  // Where the probe program writes its arguments (Windows).
  std::string ArgumentsFile() const { return machine_.Folder() + "\\reader-arguments.txt"; }
  // The arguments the probe was last started with, once it has written and
  // closed them; the file is taken away, so the next start writes afresh.
  // Empty when nothing came within a bound far above a normal start.
  std::string ProbeArguments() const {
    const std::filesystem::path written = machine_.Native(ArgumentsFile());
    const std::filesystem::path taken = machine_.Native(ArgumentsFile() + ".read");
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < giveUp) {
      // Renaming fails while the writer still holds the file open.
      std::error_code ec;
      std::filesystem::rename(written, taken, ec);
      if (!ec) {
        std::string text;
        {
          std::ifstream in(taken, std::ios::binary);
          text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        std::filesystem::remove(taken, ec);
        return text;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
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
  static qvabi::ComPtr<quorvex::Document> NewDocument(const std::string& fileName) {
    return qvabi::ComPtr<quorvex::Document>::Share(new quorvex::Document("TEXT", fileName));
  }
  static qvabi::ComPtr<quorvex::View> NewView(quorvex::Document* document, const std::string& name,
                                              const std::string& parameters = "") {
    auto view = qvabi::ComPtr<quorvex::View>::Share(new quorvex::View(document, name));
    view->SetParameters(parameters);
    return view;
  }
  static void Serve(const std::vector<quorvex::Document*>& documents) {
    auto server = qvabi::ComPtr<quorvex::DocumentServer>::Share(new quorvex::DocumentServer("Texts"));
    for (auto* document : documents) server->AddDocument(document);
    quorvex::Host::Instance().AddServerModule("Texts", server.get());
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
  ddetest::DdeServer reader(L"acroview", L"control");
  ASSERT_TRUE(reader.registered());
#endif
  RegisterReader("FileVersion=1.0.0.0\n");
  AddClassKey("AcroPDF.PDF.1");  // a reader of version 7
  const std::string file = HelpFolder() + "Guide.pdf";
  WriteFile(file, "%PDF");
  NavigateHelpTarget(u"Guide.pdf#page=12");
  // "/u" and the quoted "%1" are gone from the registered command, leaving
  // its two blanks before the one the command line adds.
  EXPECT_EQ(Entries("start"),
            (std::vector<JournalEntry>{
                {"start", ReaderCommand() + " /a pagemode=bookmarks&page=12 \"" + file + "\""}}));
  // DocGoTo counts pages from 0.
  EXPECT_EQ(Entries("dde"), (std::vector<JournalEntry>{{"dde", "acroview|control: [DocGoTo(NULL, 11)]"}}));
#if defined(_WIN32)
  EXPECT_EQ(ProbeArguments(), "/a pagemode=bookmarks&page=12 " + file);
  EXPECT_EQ(reader.Commands(1), std::vector<std::u16string>{u"[DocGoTo(NULL, 11)]"});
#endif
}

TEST_F(HelpNavigationTest, PageThatIsNoNumberOpensTheDocumentAtItsStart) {
  RegisterReader("FileVersion=9.0.0.0\n");
  ReaderOfVersion7OnWindows();
  WriteFile(HelpFolder() + "Guide.pdf", "%PDF");
  NavigateHelpTarget(u"Guide.PDF#PAGE=intro");
  const std::string file = HelpFolder() + "Guide.PDF";
  EXPECT_EQ(Entries("start"), (std::vector<JournalEntry>{{"start", ReaderCommand() + " \"" + file + "\""}}));
  EXPECT_TRUE(Entries("dde").empty());
#if defined(_WIN32)
  EXPECT_EQ(ProbeArguments(), file);
#endif
}

TEST_F(HelpNavigationTest, ReaderVersionComesFromClassKeysThenFromTheExecutable) {
  RegisterReader("FileVersion=5.1.0.0\n");
#if defined(_WIN32)
  const int fileVersion = std::vector<int>{PROCESS_PROBE_VERSION}.front();
#else
  const int fileVersion = 5;
#endif
  const std::string command = GetPdfReaderCommand();
  EXPECT_EQ(command, ReaderCommand());
  EXPECT_EQ(GetPdfReaderVersion(command), fileVersion);
  EXPECT_EQ(Entries("version"), (std::vector<JournalEntry>{{"version", Reader()}}));
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
  // This test program carries no version resource.
  RegisterCommand("\"" + platform::GetHostProgramPath() + "\" /u \"%1\"");
  EXPECT_EQ(GetPdfReaderVersion(GetPdfReaderCommand()), 4);
#else
  RegisterReader("no version resource\n");
  EXPECT_EQ(GetPdfReaderVersion(GetPdfReaderCommand()), 4);
  WriteFile(Reader(), "FileVersion=0.9.0.0\n");
  EXPECT_EQ(GetPdfReaderVersion(GetPdfReaderCommand()), 4);
#endif
  EXPECT_THROW(GetPdfReaderVersion("\"C:\\Gone\\reader.exe\""), Exception);
  // The "acrobat" registration comes before the .pdf class.
  ASSERT_TRUE(platform::WriteString(platform::HKEY_CLASSES_ROOT, "acrobat\\Shell\\Open\\Command", "",
                                    "C:\\Other\\open.exe %1"));
  EXPECT_EQ(GetPdfReaderCommand(), "C:\\Other\\open.exe ");
}

TEST_F(HelpNavigationTest, OldReaderWarnsUnlessPageOneOrSwitchedOff) {
  RegisterReader("FileVersion=1.0.0.0\n");
  AddClassKey("PDF.PdfCtrl.5");
  const std::string file = HelpFolder() + "Guide.pdf";
  WriteFile(file, "%PDF");
  const JournalEntry started{"start", ReaderCommand() + " \"" + file + "\""};

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
#if defined(_WIN32)
  EXPECT_EQ(ProbeArguments(), file);
#endif

  // Switched off: no dialog takes the queued click.
  toolkit::automation::Click("OK");
  EXPECT_TRUE(OpenPdfAtPage(file, 3));
  EXPECT_EQ(toolkit::automation::PendingActions(), 1);
#if defined(_WIN32)
  EXPECT_EQ(ProbeArguments(), file);
#endif

  // Switched on again, page 1 asks nothing either.
  ASSERT_TRUE(platform::WriteDword(platform::HKEY_CURRENT_USER, "Software\\Verdane2004\\Quorvex\\Forms",
                                   "EnableAcrobatVersionPopup", 1));
  EXPECT_TRUE(ReaderVersionWarningEnabled());
  EXPECT_TRUE(OpenPdfAtPage(file, 1));
  EXPECT_EQ(toolkit::automation::PendingActions(), 1);
#if defined(_WIN32)
  EXPECT_EQ(ProbeArguments(), file);
#endif
}

TEST_F(HelpNavigationTest, PdfFileIsLookedForInTheHelpFolderAndMayBeMissing) {
  RegisterReader("FileVersion=7.0.0.0\n");
  ReaderOfVersion7OnWindows();
  EXPECT_FALSE(OpenPdfAtPage("D:\\Elsewhere\\Guide.pdf", 2));
  EXPECT_TRUE(Entries("start").empty());
  const std::string file = HelpFolder() + "Guide.pdf";
  WriteFile(file, "%PDF");
  EXPECT_TRUE(OpenPdfAtPage("D:\\Elsewhere\\Guide.pdf", 2));
  ASSERT_EQ(Entries("start").size(), 1u);
  EXPECT_NE(Entries("start")[0].text.find(file), std::string::npos);
#if defined(_WIN32)
  EXPECT_EQ(ProbeArguments(), "/a pagemode=bookmarks&page=2 " + file);
#endif
}

TEST_F(HelpNavigationTest, ReaderThatDoesNotAnswerDdeGetsNoCommand) {
  RegisterReader("FileVersion=7.0.0.0\n");
  ReaderOfVersion7OnWindows();
  const std::string file = HelpFolder() + "Guide.pdf";
  WriteFile(file, "%PDF");
  platform::SetDdeServerAvailable("acroview", "control", false);
  EXPECT_TRUE(OpenPdfAtPage(file, 4));
  EXPECT_EQ(Entries("start").size(), 1u);
  EXPECT_TRUE(Entries("dde").empty());
#if defined(_WIN32)
  EXPECT_EQ(ProbeArguments(), "/a pagemode=bookmarks&page=4 " + file);
#endif
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
            static_cast<qvabi::IServerView*>(b.get()));
  EXPECT_EQ(FindOpenView("C:\\Docs\\Plan.txt").get(), nullptr);
}

TEST_F(HelpNavigationTest, OpenViewIsShownAndActivated) {
  auto document = NewDocument("C:\\Docs\\Plan.txt");
  auto a = NewView(document.get(), "A");
  auto b = NewView(document.get(), "B");
  b->SetActivatable(true);
  // An addressable document decides by itself which addresses it shows.
  auto page = NewDocument("C:\\Help\\page.htm");
  page->SetAddress("help://topics/layers");
  auto pageView = NewView(page.get(), "Page");
  pageView->SetActivatable(true);
  Serve({document.get(), page.get()});

  NavigateHelpTarget(u"C:\\Docs\\Plan.txt?ViewName=B");
  EXPECT_EQ(Entries("navigate"), (std::vector<JournalEntry>{{"navigate", "show C:\\Docs\\Plan.txt"}}));
  EXPECT_EQ(b->ActivateCount(), 1);
  NavigateHelpTarget(u"HELP://Topics/Layers");
  EXPECT_EQ(Entries("navigate").back(), (JournalEntry{"navigate", "show C:\\Help\\page.htm"}));
  EXPECT_EQ(pageView->ActivateCount(), 1);
}

TEST_F(HelpNavigationTest, CurrentBrowserDocumentNavigatesUnlessAlreadyThere) {
  quorvex::View* view = quorvex::Host::Instance().OpenDocument("WEB", "Browser");
  view->OwnerDocument()->SetNavigable(true);
  NavigateHelpTarget(u"help://topics/layers");
  EXPECT_EQ(Entries("navigate"),
            (std::vector<JournalEntry>{{"navigate", "document Browser: help://topics/layers"}}));
  view->OwnerDocument()->SetAddress("help://topics/layers");
  NavigateHelpTarget(u"HELP://topics/LAYERS");
  EXPECT_EQ(Entries("navigate").size(), 1u);
}

TEST_F(HelpNavigationTest, WebAddressesAndHostFilesGoWhereTheHostSays) {
#if defined(_WIN32)
  RegisterAddressHandlers();
#endif
  const std::string readme = machine_.Folder() + "\\Readme.txt";
  WriteFile(readme, "read me");
  NavigateHelpTarget(platform::Utf8ToUtf16(readme));
  EXPECT_EQ(Entries("navigate"), (std::vector<JournalEntry>{{"navigate", "open " + readme}}));
  // Without the host's external-browser preference a web address finds no
  // taker here; with it, the system browser opens it.
  NavigateHelpTarget(u"https://example.invalid/help");
  EXPECT_TRUE(Entries("shell").empty());
  SetHostPreference("UseExternalWebBrowser", true);
  NavigateHelpTarget(u"HTTPS://example.invalid/help");
  EXPECT_EQ(Entries("shell"), (std::vector<JournalEntry>{{"shell", "open HTTPS://example.invalid/help"}}));
#if defined(_WIN32)
  EXPECT_EQ(ProbeArguments(), "HTTPS://example.invalid/help");
#endif
  NavigateHelpTarget(u"mailto:help@example.invalid");
  EXPECT_EQ(Entries("shell").size(), 1u);
}

TEST_F(HelpNavigationTest, TaskServerOfTheLoadedWorkspaceShowsWhatNothingElseTook) {
  auto tasks = qvabi::ComPtr<quorvex::DocumentServer>::Share(new quorvex::DocumentServer("Tasks"));
  tasks->SetNavigable(true);
  quorvex::Host::Instance().AddServerModule("Tasks", tasks.get());
  // Not loaded yet: the last step finds no workspace and does nothing; the
  // host was only asked to resolve the address.
  NavigateHelpTarget(u"topic:layer-stack");
  EXPECT_EQ(platform::JournalEntries(),
            (std::vector<JournalEntry>{{"host", "resolve address topic:layer-stack"}}));
  std::string error;
  const platform::ModuleHandle library =
      platform::LoadModule(std::string(STRATIVUE_BIN_DIR) + "/" + qvabi::kWorkspaceModuleFile, &error);
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
