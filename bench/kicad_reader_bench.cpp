// Reading KiCad boards: the s-expression reader alone and the whole board
// (stack and drawn objects), on a synthetic board of N tracks, so that growth
// with the file's size shows, and on real boards. Each whole read reports
// `memory/file`: the most it held at once (the text included) over the
// file's size. Measured: vme-wren 2.1, video 2.5; the synthetic board of
// one-line segments 4.7, where each 130-byte segment becomes an editor
// object several times its size (the text and the reader's nodes alone stay
// under 2).
//
// vme-wren, KiCad 9's largest demo board (69.6 MB), against KiCad itself:
// KiCad 9.0.8's pcbnew (Debian's Python module, LoadBoard then SaveBoard,
// measured once with /usr/bin/time -v on the 2-core build machine while
// other builds ran) took 69.5 s of processor time and 862 MB at its peak;
// ReadVmeWren took 0.44 s of processor time and 2.1 times the file (146 MB),
// and a whole quorvex run writing the board back 1.9 s and 172 MB.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

#include "editor/BoardFile.h"
#include "editor/kicad/KicadBoard.h"
#include "generated/BuildPaths.h"

// The counting operator new takes its memory from malloc and operator delete
// gives it back to free, a pairing GCC cannot see once it inlines them.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {

// Bytes held through operator new, now and at the most since the last reset.
std::atomic<std::size_t> gLive{0};
std::atomic<std::size_t> gPeak{0};

}  // namespace

void* operator new(std::size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  const std::size_t live = gLive += malloc_usable_size(p);
  for (std::size_t peak = gPeak; live > peak && !gPeak.compare_exchange_weak(peak, live);) {
  }
  return p;
}

void operator delete(void* p) noexcept {
  if (p == nullptr) return;
  gLive -= malloc_usable_size(p);
  std::free(p);
}

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

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

// Reads `text` as a board each iteration, reporting the memory it took.
void ReadBoard(benchmark::State& state, const std::string& text) {
  double most = 0;
  for (auto _ : state) {
    const std::size_t before = gLive;
    std::string copy = text;  // the reader keeps the text it is given
    gPeak = gLive.load();
    benchmark::DoNotOptimize(
        brelix::kicad::ReadKicadBoard(std::move(copy), "bench.kicad_pcb").objects.size());
    most = std::max(most, static_cast<double>(gPeak - before));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["memory/file"] = most / static_cast<double>(text.size());
}

void ParseTracks(benchmark::State& state) {
  const std::string text = Tracks(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    auto document = brelix::kicad::Document::Parse(text, "bench.kicad_pcb");
    benchmark::DoNotOptimize(document.Size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ParseTracks)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void ReadTracks(benchmark::State& state) { ReadBoard(state, Tracks(static_cast<int>(state.range(0)))); }
BENCHMARK(ReadTracks)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void ReadVideoBoard(benchmark::State& state) {
  ReadBoard(state, brelix::LoadTextFile(STRATIVUE_SOURCE_DIR "/tests/data/kicad/demos/video.kicad_pcb"));
}
BENCHMARK(ReadVideoBoard)->Unit(benchmark::kMillisecond);

// Where Debian's kicad-demos is installed.
void ReadVmeWren(benchmark::State& state) {
  const char* path = "/usr/share/kicad/demos/vme-wren/vme-wren.kicad_pcb";
  if (!std::filesystem::exists(path)) {
    state.SkipWithError("kicad-demos 9 is not installed");
    return;
  }
  ReadBoard(state, brelix::LoadTextFile(path, boardtext::FileSize::AsOnDisk));
}
BENCHMARK(ReadVmeWren)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
