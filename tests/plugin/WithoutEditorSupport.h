// Tests of what the plug-in does when the editor is not loaded. Once a test
// of the process has loaded the editor it stays loaded, so such a test needs
// a process where no earlier test ran: on Windows a death test starts this
// test program afresh for the one test, and the body runs there; elsewhere a
// death test forks, keeping the editor, and the test is skipped (CTest runs
// every test in a process of its own).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Modules.h"
#include "plugin/RTL/PcbApi.h"

namespace strativue::noeditor {

template <class Body>
void RunWithoutTheEditor(Body body) {
#if defined(_WIN32)
  // Always in the fresh process, so that the body runs there whatever ran here.
  EXPECT_EXIT(
      {
        if (platform::FindLoadedModule(PcbApi::kEditorModule)) std::_Exit(2);
        body();
        std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
#else
  if (platform::FindLoadedModule(PcbApi::kEditorModule))
    GTEST_SKIP() << "another test of this process keeps the editor loaded";
  body();
#endif
}

}  // namespace strativue::noeditor
