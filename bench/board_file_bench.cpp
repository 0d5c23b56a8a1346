// Opening and saving a big board: the editor's reader and writer over a
// board file of 200,000 tracks (about 22 MB), alone and through the editor,
// against nlohmann's own parse and dump of the same text as a baseline. The
// reader takes each object as the parser completes it, so its cost should
// stay within a small factor of the plain parse while holding only the
// board's objects.
#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <vector>

#include "editor/BoardFile.h"
#include "editor/Editor.h"

namespace {

constexpr int kTracks = 200000;

const std::string& BigBoard() {
  static const std::string text = [] {
    std::mt19937 random(1);
    std::uniform_int_distribution<int> coordinate(0, 40000000);
    const int layers[] = {1, 32, 33};
    std::string board =
        R"({"format": "quorvex-board/1", "stack": [{"id": 1, "dielectric": {"material": "FR-4", )"
        R"("type": "core", "constant": 4.8, "height": "12.6mil"}}, {"id": 32}], "objects": [)";
    for (int i = 0; i < kTracks; ++i) {
      board += i ? ", " : "";
      board += R"({"kind": "track", "layer": )" + std::to_string(layers[i % 3]) + R"(, "x1": )" +
               std::to_string(coordinate(random)) + R"(, "y1": )" + std::to_string(coordinate(random)) +
               R"(, "x2": )" + std::to_string(coordinate(random)) + R"(, "y2": )" +
               std::to_string(coordinate(random)) + R"(, "width": 100000})";
    }
    return board + "]}";
  }();
  return text;
}

void BM_OpenAndSaveBigBoard(benchmark::State& state) {
  const std::string& text = BigBoard();
  for (auto _ : state) {
    const brelix::BoardFileContents contents = brelix::ReadBoardFile(text, "big.board.json");
    std::vector<const brelix::EditorObject*> objects;
    objects.reserve(contents.objects.size());
    for (const auto& object : contents.objects) objects.push_back(&object);
    benchmark::DoNotOptimize(brelix::WriteBoardFile(contents.board, objects));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_OpenAndSaveBigBoard)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same through the editor, as `quorvex BOARD --cancel --out OUT` does it:
// the objects are stored under handles of their own before the board is saved.
void BM_EditorOpenAndSaveBigBoard(benchmark::State& state) {
  const std::string& text = BigBoard();
  brelix::Editor& editor = brelix::Editor::Instance();
  for (auto _ : state) {
    const qvabi::PcbHandle board = editor.OpenBoardText(text, "big.board.json");
    benchmark::DoNotOptimize(editor.BoardText(*editor.FindBoard(board)));
    state.PauseTiming();
    editor.CloseBoard(board);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_EditorOpenAndSaveBigBoard)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BaselineParseAndDump(benchmark::State& state) {
  const std::string& text = BigBoard();
  for (auto _ : state) benchmark::DoNotOptimize(nlohmann::json::parse(text).dump());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_BaselineParseAndDump)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
