// The built plug-in module, loaded as the host loads it and driven through its
// binary interfaces only.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "PluginModuleSession.h"
#include "abi/ModuleFiles.h"
#include "platform/Diagnostics.h"
#include "platform/WideString.h"
#include "tests/TestSupport.h"

namespace strativue::moduletest {
namespace {

// An object the host attaches; reports its own destruction.
class Probe final : public abi::Implements<abi::IUnknown> {
 public:
  explicit Probe(bool* destroyed) : destroyed_(destroyed) {}
  ~Probe() override { *destroyed_ = true; }

 private:
  bool* destroyed_;
};

template <typename T>
T* Sentinel() {
  return reinterpret_cast<T*>(uintptr_t{0x5A5A5A5A});
}

using ServerModuleTest = PluginModuleTest;

TEST_F(ServerModuleTest, AnswersItsNameInstanceAndInterfaces) {
  auto module = CreateModule();
  ASSERT_TRUE(module);

  platform::BStr name;
  EXPECT_EQ(module->GetModuleName(name.put()), abi::S_OK);
  EXPECT_EQ(name.utf8(), "Strativue");

  int32_t instance = 0;
  EXPECT_EQ(module->GetModuleInstance(&instance), abi::S_OK);
  EXPECT_NE(instance, 0);
  EXPECT_EQ(instance, platform::ModuleInstanceOf(reinterpret_cast<const void*>(factory_)));

  auto provider = abi::QueryAs<abi::IOptionsPageProvider>(module.get());
  ASSERT_TRUE(provider);
  auto back = abi::QueryAs<abi::IServerModule>(provider.get());
  EXPECT_EQ(back.get(), module.get());
  auto unknownFromModule = abi::QueryAs<abi::IUnknown>(module.get());
  auto unknownFromProvider = abi::QueryAs<abi::IUnknown>(provider.get());
  EXPECT_EQ(unknownFromModule.get(), unknownFromProvider.get());

  void* other = Sentinel<void>();
  EXPECT_EQ(module->QueryInterface(abi::ICommandLauncher::IID, &other), abi::E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
}

TEST_F(ServerModuleTest, HasNoDocumentsOfItsOwn) {
  auto module = CreateModule();
  abi::IServerDocument* document = Sentinel<abi::IServerDocument>();
  EXPECT_EQ(module->CreateDocument(1, 2, &document), abi::S_OK);
  EXPECT_EQ(document, nullptr);
  document = Sentinel<abi::IServerDocument>();
  EXPECT_EQ(module->CreateDocumentEx(1, 2, 0, &document), abi::S_OK);
  EXPECT_EQ(document, nullptr);

  int32_t count = -1;
  EXPECT_EQ(module->GetDocumentCount(&count), abi::S_OK);
  EXPECT_EQ(count, 0);
  for (int32_t index : {0, -1, 1}) {
    document = Sentinel<abi::IServerDocument>();
    EXPECT_EQ(module->GetDocument(index, &document), abi::E_UNEXPECTED) << index;
    EXPECT_EQ(document, nullptr);
  }
}

TEST_F(ServerModuleTest, DestroyDocumentRunsTheDocumentsOwnRelease) {
  auto module = CreateModule();
  quorvex::View* view = quorvex::Host::Instance().openDocument("SCH", "Sheet1.qvsch");
  EXPECT_EQ(module->DestroyDocument(view->document()), abi::S_OK);
  EXPECT_EQ(view->document()->releaseCount(), 1);

  const testsupport::FailingCall kindFails("host.GetKind", "unused");
  EXPECT_EQ(module->DestroyDocument(nullptr), abi::S_OK);
}

TEST_F(ServerModuleTest, NilAnsweringQueriesClearTheirOutputs) {
  auto module = CreateModule();
  auto provider = abi::QueryAs<abi::IOptionsPageProvider>(module.get());
  platform::BStr name = platform::BStr::FromUtf8("PCB");

  abi::IUnknown* out = Sentinel<abi::IUnknown>();
  EXPECT_EQ(module->GetDocumentOptionsView(name.get(), &out), abi::S_OK);
  EXPECT_EQ(out, nullptr);
  out = Sentinel<abi::IUnknown>();
  EXPECT_EQ(module->QueryObject1(7, &out), abi::S_OK);
  EXPECT_EQ(out, nullptr);
  out = Sentinel<abi::IUnknown>();
  EXPECT_EQ(module->QueryObject2(7, 8, &out), abi::S_OK);
  EXPECT_EQ(out, nullptr);
  out = Sentinel<abi::IUnknown>();
  EXPECT_EQ(provider->CreateOptionsPage(name.get(), &out), abi::S_OK);
  EXPECT_EQ(out, nullptr);
  out = Sentinel<abi::IUnknown>();
  EXPECT_EQ(provider->CreateOptionsPage(nullptr, &out), abi::S_OK);
  EXPECT_EQ(out, nullptr);

  EXPECT_EQ(module->HostNotify(42), abi::S_OK);
  EXPECT_EQ(provider->OptionsNotifyA(), abi::S_OK);
  EXPECT_EQ(provider->OptionsNotifyB(), abi::S_OK);
}

TEST_F(ServerModuleTest, NilOutArgumentsFailInsteadOfCrashing) {
  auto module = CreateModule();
  EXPECT_EQ(module->GetModuleName(nullptr), abi::E_UNEXPECTED);
  EXPECT_EQ(module->GetDocumentCount(nullptr), abi::E_UNEXPECTED);
  EXPECT_EQ(module->GetClient(nullptr), abi::E_UNEXPECTED);
  EXPECT_EQ(module->GetCommandLauncher(nullptr), abi::E_UNEXPECTED);
  abi::IServerModule* none = nullptr;
  EXPECT_EQ(factory_(client(), nullptr), abi::E_UNEXPECTED);
  EXPECT_EQ(none, nullptr);
}

TEST_F(ServerModuleTest, GetClientHandsOutTheCreatingClientWithAReference) {
  auto module = CreateModule();
  abi::ComPtr<abi::IClient> got;
  EXPECT_EQ(module->GetClient(got.put()), abi::S_OK);
  EXPECT_EQ(got.get(), client());
}

TEST_F(ServerModuleTest, NilClientGivesAWorkingModuleWithoutClient) {
  abi::ComPtr<abi::IServerModule> module;
  ASSERT_EQ(factory_(nullptr, module.put()), abi::S_OK);
  ASSERT_TRUE(module);
  abi::IClient* got = Sentinel<abi::IClient>();
  EXPECT_EQ(module->GetClient(&got), abi::S_OK);
  EXPECT_EQ(got, nullptr);

  // Without a client nothing reaches the host's status bar or views.
  abi::ICommandLauncher* launcher = nullptr;
  ASSERT_EQ(module->GetCommandLauncher(&launcher), abi::S_OK);
  EXPECT_EQ(launcher->LaunchCommand("GenerateCrossSection", "", 0, nullptr), abi::S_OK);
  EXPECT_TRUE(quorvex::Host::Instance().guiManager().statusBarCalls().empty());
  EXPECT_EQ(module->Idle(), abi::S_OK);
}

TEST_F(ServerModuleTest, FactoryFailsWhenTheHostGivesNoApplicationWindow) {
  abi::IServerModule* module = Sentinel<abi::IServerModule>();
  quorvex::ThreadError error;
  {
    const testsupport::FailingCall noWindow("host.GetApplicationHandle", "No application window");
    EXPECT_EQ(factory_(client(), &module), abi::E_UNEXPECTED);
    EXPECT_EQ(module, nullptr);
    error = quorvex::TakeThreadError();
    EXPECT_EQ(error.description, "No application window");
    EXPECT_EQ(error.source, abi::kPluginModuleFile);
  }
  quorvex::Host::Instance().setApplicationHandleForTesting(-3);
  module = Sentinel<abi::IServerModule>();
  EXPECT_EQ(factory_(client(), &module), abi::E_UNEXPECTED);
  EXPECT_EQ(module, nullptr);
  error = quorvex::TakeThreadError();
  EXPECT_NE(error.description.find("-3"), std::string::npos) << error.description;
  EXPECT_EQ(error.source, abi::kPluginModuleFile);
}

TEST_F(ServerModuleTest, LauncherAndProcessControlLiveWithTheModule) {
  auto module = CreateModule();
  abi::ICommandLauncher* launcher = nullptr;
  abi::ICommandLauncher* again = nullptr;
  abi::IProcessControl* control = nullptr;
  ASSERT_EQ(module->GetCommandLauncher(&launcher), abi::S_OK);
  ASSERT_EQ(module->GetCommandLauncher(&again), abi::S_OK);
  ASSERT_EQ(module->GetProcessControl(&control), abi::S_OK);
  ASSERT_NE(launcher, nullptr);
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(launcher, again);
  EXPECT_EQ(launcher->AddRef(), 0u);
  EXPECT_EQ(launcher->Release(), 0u);
  EXPECT_EQ(control->Release(), 0u);
  void* same = nullptr;
  EXPECT_EQ(launcher->QueryInterface(abi::ICommandLauncher::IID, &same), abi::S_OK);
  EXPECT_EQ(same, launcher);
}

TEST_F(ServerModuleTest, ProcessCounterCountsAndRefusesToOverflow) {
  auto module = CreateModule();
  abi::IProcessControl* control = nullptr;
  ASSERT_EQ(module->GetProcessControl(&control), abi::S_OK);
  int32_t depth = -1;
  EXPECT_EQ(control->GetProcessDepth(&depth), abi::S_OK);
  EXPECT_EQ(depth, 0);

  EXPECT_EQ(control->EnterProcess(0, 0), abi::S_OK);
  EXPECT_EQ(control->EnterProcess(5, 6), abi::S_OK);
  EXPECT_EQ(control->LeaveProcess(0, 0), abi::S_OK);
  control->GetProcessDepth(&depth);
  EXPECT_EQ(depth, 1);

  EXPECT_EQ(control->SetProcessDepth(-5), abi::S_OK);
  EXPECT_EQ(control->EnterProcess(0, 0), abi::S_OK);
  control->GetProcessDepth(&depth);
  EXPECT_EQ(depth, -4);

  control->SetProcessDepth(INT32_MAX);
  EXPECT_EQ(control->EnterProcess(0, 0), abi::E_UNEXPECTED);
  control->GetProcessDepth(&depth);
  EXPECT_EQ(depth, INT32_MAX);
  EXPECT_EQ(quorvex::TakeThreadError().source, abi::kPluginModuleFile);

  control->SetProcessDepth(INT32_MIN);
  EXPECT_EQ(control->LeaveProcess(0, 0), abi::E_UNEXPECTED);
  control->GetProcessDepth(&depth);
  EXPECT_EQ(depth, INT32_MIN);
  EXPECT_EQ(control->EnterProcess(0, 0), abi::S_OK);
}

TEST_F(ServerModuleTest, UnregisteredCommandHasDefaultStateAndLaunchesSilently) {
  auto module = CreateModule();
  quorvex::View* view = quorvex::Host::Instance().openPcbView("C:\\Designs\\Demo.qvpcb");
  abi::ICommandLauncher* launcher = nullptr;
  ASSERT_EQ(module->GetCommandLauncher(&launcher), abi::S_OK);

  abi::BOOL32 enabled = 7;
  int32_t state2 = 7, state3 = 7;
  abi::ByteBool state4 = 7, state5 = 7;
  EXPECT_EQ(
      launcher->GetCommandState("NoSuchCommand", "A=1", view, &enabled, &state2, &state3, &state4, &state5),
      abi::S_OK);
  EXPECT_EQ(enabled, -1);
  EXPECT_EQ(state2, 0);
  EXPECT_EQ(state3, -1);
  EXPECT_EQ(state4, 0);
  EXPECT_EQ(state5, 0);

  EXPECT_EQ(launcher->LaunchCommand("NoSuchCommand", "A=1", 0, view), abi::S_OK);
  EXPECT_EQ(launcher->LaunchCommand(nullptr, nullptr, 0, nullptr), abi::S_OK);
  EXPECT_EQ(view->refreshCount(), 0);
  EXPECT_TRUE(quorvex::Host::Instance().guiManager().statusBarCalls().empty());
}

TEST_F(ServerModuleTest, AttachedObjectsAreKeptUntilDetachedOrTheModuleGoes) {
  auto module = CreateModule();
  bool destroyed = false;
  bool otherDestroyed = false;
  auto probe = abi::ComPtr<Probe>::Share(new Probe(&destroyed));
  auto other = abi::ComPtr<Probe>::Share(new Probe(&otherDestroyed));

  EXPECT_EQ(module->AttachObject(probe.get()), abi::S_OK);
  int32_t count = 0;
  module->GetAttachedObjectCount(&count);
  EXPECT_EQ(count, 1);
  abi::ComPtr<abi::IUnknown> got;
  EXPECT_EQ(module->GetAttachedObject(0, got.put()), abi::S_OK);
  EXPECT_EQ(got.get(), static_cast<abi::IUnknown*>(probe.get()));
  got.reset();
  abi::IUnknown* none = Sentinel<abi::IUnknown>();
  EXPECT_EQ(module->GetAttachedObject(1, &none), abi::E_UNEXPECTED);
  EXPECT_EQ(none, nullptr);

  EXPECT_EQ(module->DetachObject(other.get()), abi::S_OK);
  module->GetAttachedObjectCount(&count);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(module->DetachObject(probe.get()), abi::S_OK);
  module->GetAttachedObjectCount(&count);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(probe->refCount(), 1u);

  // The module's last release frees it and what it still holds.
  module->AttachObject(probe.get());
  probe.reset();
  EXPECT_FALSE(destroyed);
  module.reset();
  EXPECT_TRUE(destroyed);
}

TEST_F(ServerModuleTest, IdleWakesTheApplicationOnlyWhenInputIsWaiting) {
  auto module = CreateModule();
  EXPECT_EQ(module->Idle(), abi::S_OK);
  EXPECT_EQ(platform::QueuedMessageCount(), 0);

  platform::PostMessage(0, 0x1234, 1, 2);
  EXPECT_EQ(module->Idle(), abi::S_OK);
  ASSERT_EQ(platform::QueuedMessageCount(), 2);
  platform::Message message{};
  ASSERT_TRUE(platform::PeekMessage(&message, true));
  EXPECT_EQ(message.message, 0x1234u);
  ASSERT_TRUE(platform::PeekMessage(&message, true));
  EXPECT_EQ(message.message, platform::WM_USER);
  EXPECT_EQ(message.window, quorvex::Host::Instance().applicationWindow());
  EXPECT_EQ(message.wParam, 0);
  EXPECT_EQ(message.lParam, 0);
}

TEST_F(ServerModuleTest, TraceReportsTheCallingThreadUnderTheMessage) {
  auto* trace = reinterpret_cast<abi::MadTraceProcess_t*>(platform::FindFunction(module_, "madTraceProcess"));
  ASSERT_NE(trace, nullptr);

  std::vector<char> buffer(1 << 16);
  const int32_t length = trace("Checkpoint", buffer.data(), static_cast<int32_t>(buffer.size()));
  const std::string text = buffer.data();
  ASSERT_EQ(static_cast<size_t>(length), text.size());
  EXPECT_EQ(text.rfind("Checkpoint\nAddress: ", 0), 0u) << text;
  // The caller is this test, named from the test program's symbols.
  EXPECT_NE(text.substr(0, text.find("\nThread")).find("TraceReportsTheCallingThreadUnderTheMessage"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\nThread: " + std::to_string(platform::GetCurrentThreadId()) + "\n"),
            std::string::npos);
  const size_t listed = text.find(std::string(abi::kPluginModuleFile) + "\n");
  ASSERT_NE(listed, std::string::npos) << "module list";
  EXPECT_TRUE(text[listed - 1] == '/' || text[listed - 1] == '\\') << "a full path in the module list";

  // Cut to fit and terminated; the answer is the full length.
  char small[8];
  std::memset(small, 'x', sizeof small);
  EXPECT_GT(trace("Checkpoint", small, sizeof small), 7);
  EXPECT_EQ(std::string(small), "Checkpo");
  EXPECT_GT(trace(nullptr, nullptr, 0), 0);
  trace(nullptr, buffer.data(), static_cast<int32_t>(buffer.size()));
  EXPECT_EQ(std::string(buffer.data()).rfind("(no message)\n", 0), 0u);
}

#if defined(_WIN32)
// The names in the export table of a loaded module, read from its image in
// memory (a module handle is the image's base address there).
std::set<std::string> ExportedNames(platform::ModuleHandle module) {
  const auto* image = static_cast<const unsigned char*>(module);
  const auto word = [image](uint32_t offset) {
    uint32_t value = 0;
    std::memcpy(&value, image + offset, sizeof value);
    return value;
  };
  const uint32_t header = word(0x3C);
  EXPECT_EQ(std::memcmp(image + header, "PE\0\0", 4), 0) << "not a PE image";
  const uint32_t optionalHeader = header + 24;
  uint16_t magic = 0;
  std::memcpy(&magic, image + optionalHeader, sizeof magic);
  // The data directories follow the optional header's fixed part, which is
  // longer in 64-bit images; the export table is the first directory.
  const uint32_t exportTable = word(optionalHeader + (magic == 0x20B ? 112 : 96));
  std::set<std::string> names;
  if (exportTable == 0) return names;
  const uint32_t count = word(exportTable + 24);
  const uint32_t nameTable = word(exportTable + 32);
  for (uint32_t i = 0; i < count; ++i)
    names.insert(reinterpret_cast<const char*>(image + word(nameTable + 4 * i)));
  return names;
}

TEST(StrativueModuleFileTest, ExportsOnlyTheFactoryAndTheCrashReport) {
  std::string error;
  const platform::ModuleHandle module =
      platform::LoadModule(std::string(STRATIVUE_BIN_DIR) + "/" + abi::kPluginModuleFile, &error);
  ASSERT_NE(module, nullptr) << error;
  EXPECT_EQ(ExportedNames(module), (std::set<std::string>{"ServerFactory", "madTraceProcess"}));
  platform::UnloadModule(module);
}
#else
TEST(StrativueModuleFileTest, ExportsOnlyTheFactoryAndTheCrashReport) {
  const auto listing = std::filesystem::temp_directory_path() /
                       ("strativue-exports-" + std::to_string(std::random_device{}()));
  const std::string command =
      "nm -D --defined-only '" STRATIVUE_BIN_DIR "/Strativue.so' > '" + listing.string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::ifstream file(listing);
  std::set<std::string> symbols;
  for (std::string address, kind, symbol; file >> address >> kind >> symbol;) symbols.insert(symbol);
  std::filesystem::remove(listing);
  EXPECT_EQ(symbols, (std::set<std::string>{"ServerFactory", "madTraceProcess"}));
}
#endif

}  // namespace
}  // namespace strativue::moduletest
