#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Modules.h"

namespace {

using namespace platform;

TEST(Modules, FoundByFileNameOnlyWhileLoaded) {
  EXPECT_EQ(FindLoadedModule("PlatformProbe.so"), nullptr);

  std::string error;
  ModuleHandle loaded = LoadModule(PLATFORM_PROBE_PATH, &error);
  ASSERT_NE(loaded, nullptr) << error;
  // Loaded by full path, found by its bare file name.
  EXPECT_EQ(FindLoadedModule("PlatformProbe.so"), loaded);
  EXPECT_EQ(FindLoadedModule(PLATFORM_PROBE_PATH), loaded);

  auto* answer = reinterpret_cast<int (*)()>(FindFunction(loaded, "PlatformProbe_Answer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(FindFunction(loaded, "NoSuchFunction"), nullptr);

  const std::string file = ModuleFileNameOf(reinterpret_cast<const void*>(answer));
  EXPECT_EQ(file, std::filesystem::path(PLATFORM_PROBE_PATH).string());
  const int32_t instance = ModuleInstanceOf(reinterpret_cast<const void*>(answer));
  EXPECT_NE(instance, 0);
  EXPECT_EQ(ModuleInstanceOf(reinterpret_cast<const void*>(answer)), instance);
  EXPECT_NE(ModuleInstanceOf(reinterpret_cast<const void*>(&FindLoadedModule)), instance);

  UnloadModule(loaded);
  EXPECT_EQ(FindLoadedModule("PlatformProbe.so"), nullptr);
}

TEST(Modules, LoadFailureGivesAReason) {
  std::string error;
  EXPECT_EQ(LoadModule("/nonexistent/Nothing.so", &error), nullptr);
  EXPECT_NE(error.find("Nothing.so"), std::string::npos) << error;
  EXPECT_EQ(FindLoadedModule(""), nullptr);
  EXPECT_EQ(FindFunction(nullptr, "x"), nullptr);
}

TEST(Modules, MainProgramAndItsLibraries) {
  ASSERT_NE(MainProgramModule(), nullptr);
  // Names exported by the libraries the program links are reachable through it.
  EXPECT_NE(FindFunction(MainProgramModule(), "strlen"), nullptr);
  EXPECT_NE(FindLoadedModule("libplatform.so"), nullptr);
  const std::string self = ModuleFileNameOf(reinterpret_cast<const void*>(&MainProgramModule));
  EXPECT_EQ(std::filesystem::path(self).filename(), "libplatform.so");
  EXPECT_EQ(ModuleFileNameOf(nullptr), "");
}

}  // namespace
