// Reading KiCad boards: the s-expression reader alone and the whole board
// (stack and drawn objects), on the largest test board and on a synthetic
// board of N tracks, so that growth with the file's size shows.
#include <benchmark/benchmark.h>

#include <string>

#include "editor/BoardFile.h"
#include "editor/kicad/KicadBoard.h"

namespace {

std::string Tracks(int count) {
  std::string text =
      "(kicad_pcb (version 20211014) (generator pcbnew)\n  (layers (0 \"F.Cu\" signal) (31 \"B.Cu\" "
      "signal))\n";
  for (int i = 0; i < count; ++i)
    text += "  (segment (start " + std::to_string(i % 1000) + ".25 10.5) (end 20.125 " +
            std::to_string(i % 700) +
            ".75) (width 0.2) (layer \"F.Cu\") (net 1) (tstamp 0e5b5c1c-8a0b-4d4f-9c9f-" +
            std::to_string(100000000000 + i) + "))\n";
  return text + ")\n";
}

void ParseTracks(benchmark::State& state) {
  const std::string text = Tracks(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    auto document = brelix::kicad::Document::Parse(text, "bench.kicad_pcb");
    benchmark::DoNotOptimize(document.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ParseTracks)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void ReadTracks(benchmark::State& state) {
  const std::string text = Tracks(static_cast<int>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(brelix::kicad::ReadKicadBoard(text, "bench.kicad_pcb").objects.size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ReadTracks)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void ReadVideoBoard(benchmark::State& state) {
  const std::string text =
      brelix::LoadTextFile(STRATIVUE_SOURCE_DIR "/tests/data/kicad/demos/video.kicad_pcb");
  for (auto _ : state)
    benchmark::DoNotOptimize(brelix::kicad::ReadKicadBoard(text, "video.kicad_pcb").objects.size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ReadVideoBoard)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
