// The fault seam's cost on one editor call, PcbApi_GetCurrentBoardHandle
// (whose own work is reading one field), made through the module's export as
// the plug-in makes it: with no rule armed, with a rule armed for another
// point, and with the rule armed for it; against the same module built with
// the seam compiled out (BrelixWithoutSeam.so).
#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

#include "abi/PcbApiFunctions.h"
#include "editor/BrelixSim.h"
#include "generated/BuildPaths.h"
#include "platform/FaultPoints.h"
#include "platform/Modules.h"

namespace {

namespace faults = platform::faults;

constexpr const char* kBoard = R"({"format": "quorvex-board/1", "stack": [
  {"id": 1, "name": "Top", "copper": "1.4mil",
   "dielectric": {"material": "FR-4", "type": "core", "constant": 4.8, "height": "12.6mil"}},
  {"id": 32, "name": "Bottom", "copper": "1.4mil"}]})";

struct Editor {
  explicit Editor(const char* file) {
    std::string error;
    const platform::ModuleHandle module =
        platform::LoadModule(std::string(STRATIVUE_BIN_DIR "/") + file, &error);
    if (!module || !sim.Load(module))
      throw std::runtime_error(std::string("cannot load ") + file + ": " + error);
    currentBoard = reinterpret_cast<qvabi::pcbapi::GetCurrentBoardHandle_t*>(
        platform::FindFunction(module, "PcbApi_GetCurrentBoardHandle"));
    const char* refusal = nullptr;
    board = sim.OpenBoardText(kBoard, "seam.board.json", &refusal);
    if (!currentBoard || board == 0)
      throw std::runtime_error(std::string(file) + ": " + (refusal ? refusal : "no current board"));
  }
  brelix::SimApi sim;
  qvabi::pcbapi::GetCurrentBoardHandle_t* currentBoard = nullptr;
  qvabi::PcbHandle board = 0;
};

Editor& WithSeam() {
  static Editor editor("Brelix.so");
  return editor;
}

Editor& WithoutSeam() {
  static Editor editor("BrelixWithoutSeam.so");
  return editor;
}

// Calls the editor under `rule` (none when empty); every call must answer
// `expected`, or the benchmark measures something else than it says.
void Calls(benchmark::State& state, Editor& editor, const std::string& rule, bool fails) {
  faults::Clear();
  if (!rule.empty()) faults::Arm({rule, 0, {}});
  const qvabi::PcbHandle expected = fails ? 0 : editor.board;
  for (auto _ : state) {
    const qvabi::PcbHandle answer = editor.currentBoard();
    benchmark::DoNotOptimize(answer);
    if (answer != expected) {
      state.SkipWithError("the editor answered another board than expected");
      break;
    }
  }
  faults::Clear();
}

void BM_CallWithoutSeam(benchmark::State& state) { Calls(state, WithoutSeam(), {}, false); }
void BM_CallNothingArmed(benchmark::State& state) { Calls(state, WithSeam(), {}, false); }
void BM_CallArmedForAnotherPoint(benchmark::State& state) { Calls(state, WithSeam(), "host.GetKind", false); }
void BM_CallArmedForIt(benchmark::State& state) {
  Calls(state, WithSeam(), "editor.GetCurrentBoardHandle", true);
}

BENCHMARK(BM_CallWithoutSeam);
BENCHMARK(BM_CallNothingArmed);
BENCHMARK(BM_CallArmedForAnotherPoint);
BENCHMARK(BM_CallArmedForIt);

}  // namespace

BENCHMARK_MAIN();
