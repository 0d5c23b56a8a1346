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
#include "generated/BuildPaths.h"
#include "platform/Diagnostics.h"
#include "platform/WideString.h"
#include "tests/TestSupport.h"

namespace strativue::moduletest {
namespace {

// An object the host attaches; reports its own destruction.
class Probe final : public qvabi::Implements<qvabi::IUnknown> {
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
  EXPECT_EQ(module->GetModuleName(name.put()), qvabi::S_OK);
  EXPECT_EQ(name.utf8(), "Strativue");

  int32_t instance = 0;
  EXPECT_EQ(module->GetModuleInstance(&instance), qvabi::S_OK);
  EXPECT_NE(instance, 0);
  EXPECT_EQ(instance, platform::ModuleInstanceOf(reinterpret_cast<const void*>(factory_)));

  auto provider = qvabi::QueryAs<qvabi::IOptionsPageProvider>(module.get());
  ASSERT_TRUE(provider);
  auto back = qvabi::QueryAs<qvabi::IServerModule>(provider.get());
  EXPECT_EQ(back.get(), module.get());
  auto unknownFromModule = qvabi::QueryAs<qvabi::IUnknown>(module.get());
  auto unknownFromProvider = qvabi::QueryAs<qvabi::IUnknown>(provider.get());
  EXPECT_EQ(unknownFromModule.get(), unknownFromProvider.get());

  void* other = Sentinel<void>();
  EXPECT_EQ(module->QueryInterface(qvabi::ICommandLauncher::IID, &other), qvabi::E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
}

TEST_F(ServerModuleTest, HasNoDocumentsOfItsOwn) {
  auto module = CreateModule();
  qvabi::IServerDocument* document = Sentinel<qvabi::IServerDocument>();
  EXPECT_EQ(module->CreateDocument(1, 2, &document), qvabi::S_OK);
  EXPECT_EQ(document, nullptr);
  document = Sentinel<qvabi::IServerDocument>();
  EXPECT_EQ(module->CreateDocumentEx(1, 2, 0, &document), qvabi::S_OK);
  EXPECT_EQ(document, nullptr);

  int32_t count = -1;
  EXPECT_EQ(module->GetDocumentCount(&count), qvabi::S_OK);
  EXPECT_EQ(count, 0);
  for (int32_t index : {0, -1, 1}) {
    document = Sentinel<qvabi::IServerDocument>();
    EXPECT_EQ(module->GetDocument(index, &document), qvabi::E_UNEXPECTED) << index;
    EXPECT_EQ(document, nullptr);
  }
}

TEST_F(ServerModuleTest, DestroyDocumentRunsTheDocumentsOwnRelease) {
  auto module = CreateModule();
  quorvex::View* view = quorvex::Host::Instance().OpenDocument("SCH", "Sheet1.qvsch");
  EXPECT_EQ(module->DestroyDocument(view->OwnerDocument()), qvabi::S_OK);
  EXPECT_EQ(view->OwnerDocument()->ReleaseCount(), 1);

  const testsupport::FailingCall kindFails("host.GetKind", "unused");
  EXPECT_EQ(module->DestroyDocument(nullptr), qvabi::S_OK);
}

TEST_F(ServerModuleTest, NilAnsweringQueriesClearTheirOutputs) {
  auto module = CreateModule();
  auto provider = qvabi::QueryAs<qvabi::IOptionsPageProvider>(module.get());
  platform::BStr name = platform::BStr::FromUtf8("PCB");

  qvabi::IUnknown* out = Sentinel<qvabi::IUnknown>();
  EXPECT_EQ(module->GetDocumentOptionsView(name.get(), &out), qvabi::S_OK);
  EXPECT_EQ(out, nullptr);
  out = Sentinel<qvabi::IUnknown>();
  EXPECT_EQ(module->QueryObject1(7, &out), qvabi::S_OK);
  EXPECT_EQ(out, nullptr);
  out = Sentinel<qvabi::IUnknown>();
  EXPECT_EQ(module->QueryObject2(7, 8, &out), qvabi::S_OK);
  EXPECT_EQ(out, nullptr);
  out = Sentinel<qvabi::IUnknown>();
  EXPECT_EQ(provider->CreateOptionsPage(name.get(), &out), qvabi::S_OK);
  EXPECT_EQ(out, nullptr);
  out = Sentinel<qvabi::IUnknown>();
  EXPECT_EQ(provider->CreateOptionsPage(nullptr, &out), qvabi::S_OK);
  EXPECT_EQ(out, nullptr);

  EXPECT_EQ(module->HostNotify(42), qvabi::S_OK);
  EXPECT_EQ(provider->OptionsNotifyA(), qvabi::S_OK);
  EXPECT_EQ(provider->OptionsNotifyB(), qvabi::S_OK);
}

TEST_F(ServerModuleTest, NilOutArgumentsFailInsteadOfCrashing) {
  auto module = CreateModule();
  EXPECT_EQ(module->GetModuleName(nullptr), qvabi::E_UNEXPECTED);
  EXPECT_EQ(module->GetDocumentCount(nullptr), qvabi::E_UNEXPECTED);
  EXPECT_EQ(module->GetClient(nullptr), qvabi::E_UNEXPECTED);
  EXPECT_EQ(module->GetCommandLauncher(nullptr), qvabi::E_UNEXPECTED);
  qvabi::IServerModule* none = nullptr;
  EXPECT_EQ(factory_(client(), nullptr), qvabi::E_UNEXPECTED);
  EXPECT_EQ(none, nullptr);
}

TEST_F(ServerModuleTest, GetClientHandsOutTheCreatingClientWithAReference) {
  auto module = CreateModule();
  qvabi::ComPtr<qvabi::IClient> got;
  EXPECT_EQ(module->GetClient(got.put()), qvabi::S_OK);
  EXPECT_EQ(got.get(), client());
}

TEST_F(ServerModuleTest, NilClientGivesAWorkingModuleWithoutClient) {
  qvabi::ComPtr<qvabi::IServerModule> module;
  ASSERT_EQ(factory_(nullptr, module.put()), qvabi::S_OK);
  ASSERT_TRUE(module);
  qvabi::IClient* got = Sentinel<qvabi::IClient>();
  EXPECT_EQ(module->GetClient(&got), qvabi::S_OK);
  EXPECT_EQ(got, nullptr);

  // Without a client nothing reaches the host's status bar or views.
  qvabi::ICommandLauncher* launcher = nullptr;
  ASSERT_EQ(module->GetCommandLauncher(&launcher), qvabi::S_OK);
  EXPECT_EQ(launcher->LaunchCommand("GenerateCrossSection", "", 0, nullptr), qvabi::S_OK);
  EXPECT_TRUE(quorvex::Host::Instance().GetGuiManager().StatusBarCalls().empty());
  EXPECT_EQ(module->Idle(), qvabi::S_OK);
}

TEST_F(ServerModuleTest, FactoryFailsWhenTheHostGivesNoApplicationWindow) {
  qvabi::IServerModule* module = Sentinel<qvabi::IServerModule>();
  quorvex::ThreadError error;
  {
    const testsupport::FailingCall noWindow("host.GetApplicationHandle", "No application window");
    EXPECT_EQ(factory_(client(), &module), qvabi::E_UNEXPECTED);
    EXPECT_EQ(module, nullptr);
    error = quorvex::TakeThreadError();
    EXPECT_EQ(error.description, "No application window");
    EXPECT_EQ(error.source, qvabi::kPluginModuleFile);
  }
  quorvex::Host::Instance().SetApplicationHandleForTesting(-3);
  module = Sentinel<qvabi::IServerModule>();
  EXPECT_EQ(factory_(client(), &module), qvabi::E_UNEXPECTED);
  EXPECT_EQ(module, nullptr);
  error = quorvex::TakeThreadError();
  EXPECT_NE(error.description.find("-3"), std::string::npos) << error.description;
  EXPECT_EQ(error.source, qvabi::kPluginModuleFile);
}

TEST_F(ServerModuleTest, LauncherAndProcessControlLiveWithTheModule) {
  auto module = CreateModule();
  qvabi::ICommandLauncher* launcher = nullptr;
  qvabi::ICommandLauncher* again = nullptr;
  qvabi::IProcessControl* control = nullptr;
  ASSERT_EQ(module->GetCommandLauncher(&launcher), qvabi::S_OK);
  ASSERT_EQ(module->GetCommandLauncher(&again), qvabi::S_OK);
  ASSERT_EQ(module->GetProcessControl(&control), qvabi::S_OK);
  ASSERT_NE(launcher, nullptr);
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(launcher, again);
  EXPECT_EQ(launcher->AddRef(), 0u);
  EXPECT_EQ(launcher->Release(), 0u);
  EXPECT_EQ(control->Release(), 0u);
  void* same = nullptr;
  EXPECT_EQ(launcher->QueryInterface(qvabi::ICommandLauncher::IID, &same), qvabi::S_OK);
  EXPECT_EQ(same, launcher);
}

TEST_F(ServerModuleTest, ProcessCounterCountsAndRefusesToOverflow) {
  auto module = CreateModule();
  qvabi::IProcessControl* control = nullptr;
  ASSERT_EQ(module->GetProcessControl(&control), qvabi::S_OK);
  int32_t depth = -1;
  EXPECT_EQ(control->GetProcessDepth(&depth), qvabi::S_OK);
  EXPECT_EQ(depth, 0);

  EXPECT_EQ(control->EnterProcess(0, 0), qvabi::S_OK);
  EXPECT_EQ(control->EnterProcess(5, 6), qvabi::S_OK);
  EXPECT_EQ(control->LeaveProcess(0, 0), qvabi::S_OK);
  control->GetProcessDepth(&depth);
  EXPECT_EQ(depth, 1);

  EXPECT_EQ(control->SetProcessDepth(-5), qvabi::S_OK);
  EXPECT_EQ(control->EnterProcess(0, 0), qvabi::S_OK);
  control->GetProcessDepth(&depth);
  EXPECT_EQ(depth, -4);

  control->SetProcessDepth(INT32_MAX);
  EXPECT_EQ(control->EnterProcess(0, 0), qvabi::E_UNEXPECTED);
  control->GetProcessDepth(&depth);
  EXPECT_EQ(depth, INT32_MAX);
  EXPECT_EQ(quorvex::TakeThreadError().source, qvabi::kPluginModuleFile);

  control->SetProcessDepth(INT32_MIN);
  EXPECT_EQ(control->LeaveProcess(0, 0), qvabi::E_UNEXPECTED);
  control->GetProcessDepth(&depth);
  EXPECT_EQ(depth, INT32_MIN);
  EXPECT_EQ(control->EnterProcess(0, 0), qvabi::S_OK);
}

TEST_F(ServerModuleTest, UnregisteredCommandHasDefaultStateAndLaunchesSilently) {
  auto module = CreateModule();
  quorvex::View* view = quorvex::Host::Instance().OpenPcbView("C:\\Designs\\Demo.qvpcb");
  qvabi::ICommandLauncher* launcher = nullptr;
  ASSERT_EQ(module->GetCommandLauncher(&launcher), qvabi::S_OK);

  qvabi::BOOL32 enabled = 7;
  int32_t state2 = 7, state3 = 7;
  qvabi::ByteBool state4 = 7, state5 = 7;
  EXPECT_EQ(
      launcher->GetCommandState("NoSuchCommand", "A=1", view, &enabled, &state2, &state3, &state4, &state5),
      qvabi::S_OK);
  EXPECT_EQ(enabled, -1);
  EXPECT_EQ(state2, 0);
  EXPECT_EQ(state3, -1);
  EXPECT_EQ(state4, 0);
  EXPECT_EQ(state5, 0);

  EXPECT_EQ(launcher->LaunchCommand("NoSuchCommand", "A=1", 0, view), qvabi::S_OK);
  EXPECT_EQ(launcher->LaunchCommand(nullptr, nullptr, 0, nullptr), qvabi::S_OK);
  EXPECT_EQ(view->RefreshCount(), 0);
  EXPECT_TRUE(quorvex::Host::Instance().GetGuiManager().StatusBarCalls().empty());
}

TEST_F(ServerModuleTest, AttachedObjectsAreKeptUntilDetachedOrTheModuleGoes) {
  auto module = CreateModule();
  bool destroyed = false;
  bool otherDestroyed = false;
  auto probe = qvabi::ComPtr<Probe>::Share(new Probe(&destroyed));
  auto other = qvabi::ComPtr<Probe>::Share(new Probe(&otherDestroyed));

  EXPECT_EQ(module->AttachObject(probe.get()), qvabi::S_OK);
  int32_t count = 0;
  module->GetAttachedObjectCount(&count);
  EXPECT_EQ(count, 1);
  qvabi::ComPtr<qvabi::IUnknown> got;
  EXPECT_EQ(module->GetAttachedObject(0, got.put()), qvabi::S_OK);
  EXPECT_EQ(got.get(), static_cast<qvabi::IUnknown*>(probe.get()));
  got.reset();
  qvabi::IUnknown* none = Sentinel<qvabi::IUnknown>();
  EXPECT_EQ(module->GetAttachedObject(1, &none), qvabi::E_UNEXPECTED);
  EXPECT_EQ(none, nullptr);

  EXPECT_EQ(module->DetachObject(other.get()), qvabi::S_OK);
  module->GetAttachedObjectCount(&count);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(module->DetachObject(probe.get()), qvabi::S_OK);
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
  EXPECT_EQ(module->Idle(), qvabi::S_OK);
  EXPECT_EQ(platform::QueuedMessageCount(), 0);

  platform::PostMessage(0, 0x1234, 1, 2);
  EXPECT_EQ(module->Idle(), qvabi::S_OK);
  ASSERT_EQ(platform::QueuedMessageCount(), 2);
  platform::Message message{};
  ASSERT_TRUE(platform::PeekMessage(&message, true));
  EXPECT_EQ(message.message, 0x1234u);
  ASSERT_TRUE(platform::PeekMessage(&message, true));
  EXPECT_EQ(message.message, platform::WM_USER);
  EXPECT_EQ(message.window, quorvex::Host::Instance().ApplicationWindow());
  EXPECT_EQ(message.wParam, 0);
  EXPECT_EQ(message.lParam, 0);
}

TEST_F(ServerModuleTest, TraceReportsTheCallingThreadUnderTheMessage) {
  auto* trace =
      reinterpret_cast<qvabi::MadTraceProcess_t*>(platform::FindFunction(module_, "madTraceProcess"));
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
  const size_t listed = text.find(std::string(qvabi::kPluginModuleFile) + "\n");
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
      platform::LoadModule(std::string(STRATIVUE_BIN_DIR) + "/" + qvabi::kPluginModuleFile, &error);
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
