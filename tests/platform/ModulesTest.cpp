#include <gtest/gtest.h>

#include <filesystem>

#include "abi/ModuleFiles.h"
#include "platform/FaultPoints.h"
#include "platform/Modules.h"

namespace platform {
namespace {

const std::string kProbeFile = std::string("PlatformProbe") + qvabi::kModuleSuffix;

// The probe module is built beside the test program.
std::string ProbePath() {
#if defined(_WIN32)
  // The build's path is a path of the build machine; the program's own
  // folder is where the system sees it.
  const std::filesystem::path self = ModuleFileNameOf(reinterpret_cast<const void*>(&ProbePath));
  return (self.parent_path() / kProbeFile).string();
#else
  return PLATFORM_PROBE_PATH;
#endif
}

TEST(Modules, FoundByFileNameOnlyWhileLoaded) {
  EXPECT_EQ(FindLoadedModule(kProbeFile), nullptr);

  std::string error;
  ModuleHandle loaded = LoadModule(ProbePath(), &error);
  ASSERT_NE(loaded, nullptr) << error;
  // Loaded by full path, found by its bare file name.
  EXPECT_EQ(FindLoadedModule(kProbeFile), loaded);
  EXPECT_EQ(FindLoadedModule(ProbePath()), loaded);

  auto* answer = reinterpret_cast<int (*)()>(FindFunction(loaded, "PlatformProbe_Answer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(FindFunction(loaded, "NoSuchFunction"), nullptr);

  const std::string file = ModuleFileNameOf(reinterpret_cast<const void*>(answer));
  EXPECT_EQ(std::filesystem::path(file), std::filesystem::path(ProbePath()));
  const int32_t instance = ModuleInstanceOf(reinterpret_cast<const void*>(answer));
  EXPECT_NE(instance, 0);
  EXPECT_EQ(ModuleInstanceOf(reinterpret_cast<const void*>(answer)), instance);
  EXPECT_NE(ModuleInstanceOf(reinterpret_cast<const void*>(&FindLoadedModule)), instance);

  UnloadModule(loaded);
  EXPECT_EQ(FindLoadedModule(kProbeFile), nullptr);
}

TEST(Modules, LoadFailureGivesAReason) {
  std::string error;
  const std::string missing = std::string("/nonexistent/Nothing") + qvabi::kModuleSuffix;
  EXPECT_EQ(LoadModule(missing, &error), nullptr);
  EXPECT_NE(error.find("Nothing"), std::string::npos) << error;
  EXPECT_EQ(FindLoadedModule(""), nullptr);
  EXPECT_EQ(FindFunction(nullptr, "x"), nullptr);
}

TEST(Modules, MainProgramAndItsLibraries) {
  ASSERT_NE(MainProgramModule(), nullptr);
  const std::string self = ModuleFileNameOf(reinterpret_cast<const void*>(&MainProgramModule));
#if defined(_WIN32)
  // The platform is linked into the program; system modules are found by
  // name without regard to case, as the system's loader finds them.
  EXPECT_EQ(std::filesystem::path(self).stem(), "platform_tests");
  const ModuleHandle kernel = FindLoadedModule("KERNEL32.dll");
  ASSERT_NE(kernel, nullptr);
  EXPECT_EQ(FindLoadedModule("kernel32.dll"), kernel);
  EXPECT_NE(FindFunction(kernel, "GetCurrentThreadId"), nullptr);
#else
  // Names exported by the libraries the program links are reachable through it.
  EXPECT_NE(FindFunction(MainProgramModule(), "strlen"), nullptr);
  EXPECT_NE(FindLoadedModule("libplatform.so"), nullptr);
  EXPECT_EQ(std::filesystem::path(self).filename(), "libplatform.so");
#endif
  EXPECT_EQ(ModuleFileNameOf(nullptr), "");

  // The test's own code is the main program's; the platform's is too where
  // it is linked in, and a module's never is.
  EXPECT_TRUE(InMainProgram(reinterpret_cast<const void*>(&ProbePath)));
  const bool platformLinkedIn = std::filesystem::path(self).stem() == "platform_tests";
  EXPECT_EQ(InMainProgram(reinterpret_cast<const void*>(&MainProgramModule)), platformLinkedIn);
  int local = 0;
  EXPECT_FALSE(InMainProgram(&local));
  EXPECT_FALSE(InMainProgram(nullptr));
}

// Rules armed in the program fail the calls a loaded module makes, and the
// other way round, whether or not the module has a platform of its own; the
// count of a point is one for the process.
TEST(Modules, FaultRulesAreOneSetForEveryModule) {
  platform::faults::Clear();
  std::string error;
  ModuleHandle loaded = LoadModule(ProbePath(), &error);
  ASSERT_NE(loaded, nullptr) << error;
  auto* pattern =
      reinterpret_cast<void (*)(const char*, int, char*)>(FindFunction(loaded, "PlatformProbe_FaultPattern"));
  auto* arm = reinterpret_cast<void (*)(const char*)>(FindFunction(loaded, "PlatformProbe_ArmFault"));
  ASSERT_NE(pattern, nullptr);
  ASSERT_NE(arm, nullptr);

  // The module's copy finds the registry while nothing is armed, and does
  // not count; a rule armed afterwards still reaches it.
  char outcome[8] = {};
  pattern("probe.Call", 2, outcome);
  EXPECT_STREQ(outcome, "..");
  platform::faults::Arm({"probe.Call", 3, {}});
  ASSERT_FALSE(platform::faults::ShouldFail("probe.Call"));
  pattern("probe.Call", 4, outcome);
  EXPECT_STREQ(outcome, ".x..");
  arm("program.*");
  EXPECT_TRUE(platform::faults::ShouldFail("program.Call"));
  bool counted = false;
  for (const platform::faults::PointCount& count : platform::faults::Counts())
    if (count.point == "probe.Call") counted = count.calls == 5;
  EXPECT_TRUE(counted);

  UnloadModule(loaded);
  // The program's rules outlive the module.
  EXPECT_TRUE(platform::faults::ShouldFail("program.Call"));
  platform::faults::Clear();
  EXPECT_FALSE(platform::faults::ShouldFail("program.Call"));
}

}  // namespace
}  // namespace platform
