// Loading and unloading the module many times in one process: everything
// installed at load is gone after unload, and every load behaves alike.
#include <gtest/gtest.h>

#include "PluginModuleSession.h"
#include "abi/ModuleFiles.h"
#include "generated/BuildPaths.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/Graphics.h"
#include "toolkit/Hooks.h"

namespace strativue::moduletest {
namespace {

std::size_t ToolkitHookCount() {
  const toolkit::Hooks& hooks = toolkit::Hooks::Get();
  return hooks.formShowing.Size() + hooks.controlInserted.Size() + hooks.componentInserted.Size() +
         hooks.textRead.Size() + hooks.componentReadBegin.Size() + hooks.componentReadEnd.Size() +
         hooks.colorToText.Size() + hooks.exceptionCaught.Size() + hooks.exceptionHandled.Size() +
         hooks.hintShowing.Size() + hooks.commonDialog.Size();
}

// What the installed hooks do, observed from outside.
struct Behaviour {
  std::string colour;
  std::size_t hooks;
  bool exceptionHandler;
  std::size_t errorReports;
  friend bool operator==(const Behaviour&, const Behaviour&) = default;
};

Behaviour Observe() {
  quorvex::Host::Instance().Reset();
  toolkit::TForm form(nullptr);
  toolkit::Application().Guard(&form, [] { throw std::bad_alloc(); });
  return {toolkit::ColorToText(0x80000005u), ToolkitHookCount(),
          static_cast<bool>(toolkit::Application().OnException),
          quorvex::Host::Instance().ErrorReports().size()};
}

TEST_F(PluginModuleTest, HundredLoadsLeaveNoHookBehindAndBehaveAlike) {
#if defined(_WIN32)
  GTEST_SKIP() << "Strativue.dll hooks its own static copy of the toolkit, which this program cannot see";
#endif
  const Behaviour first = Observe();
  // The system colour 0x80000005 is written as the name of system colour 5.
  EXPECT_EQ(first.colour, toolkit::ColorToText(0xFF000005u));
  EXPECT_TRUE(first.exceptionHandler);
  EXPECT_EQ(first.errorReports, 4u);  // set, set, handle, clear
  platform::UnloadModule(module_);
  module_ = nullptr;
  EXPECT_EQ(ToolkitHookCount(), 0u);
  EXPECT_FALSE(toolkit::Application().OnException);

  for (int i = 0; i < 100; ++i) {
    std::string error;
    module_ = platform::LoadModule(std::string(STRATIVUE_BIN_DIR) + "/" + qvabi::kPluginModuleFile, &error);
    ASSERT_NE(module_, nullptr) << error;
    if (i == 99) {
      EXPECT_EQ(Observe(), first);
    }
    platform::UnloadModule(module_);
    module_ = nullptr;
    ASSERT_EQ(ToolkitHookCount(), 0u) << "after unload " << i;
    ASSERT_FALSE(toolkit::Application().OnException);
  }
  EXPECT_EQ(toolkit::ColorToText(0x80000005u), "$80000005");
}

}  // namespace
}  // namespace strativue::moduletest
