// One cursor move of the legend's placement (the editor's ReadCursor, LayOut
// and Show entries) on stacks of 2, 8, 32 and 48 copper
// layers with every option on; and, in the same run, a baseline that replays
// exactly the editor calls one real move made, recorded through a counting
// layer, with none of the legend's own work. Their ratio is the legend's cost
// over the editor's.
#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "editor/BrelixSim.h"
#include "generated/BuildPaths.h"
#include "host/Host.h"
#include "platform/Machine.h"
#include "platform/Modules.h"
#include "plugin/EventLegendHandler.h"
#include "plugin/RTL/HostClient.h"
#include "plugin/RTL/PcbApi.h"

namespace {

using strativue::PcbApi::detail::Id;

// --- The counting layer -------------------------------------------------

// One recorded editor call, ready to be made again with the same values.
struct RecordedCall {
  virtual ~RecordedCall() = default;
  virtual void Replay() = 0;
};

bool g_recording = false;
std::vector<std::unique_ptr<RecordedCall>> g_recorded;
std::array<int64_t, static_cast<int>(Id::Count)> g_counts{};

// An argument kept by value; what a pointer argument pointed to is copied
// into room of its own (large enough for the editor's option arrays), so a
// replayed write hands the editor the same values and a replayed read has
// somewhere to go.
template <typename T>
struct Stored {
  explicit Stored(T value) : value(value) {}
  T get() { return value; }
  T value;
};

template <typename T>
requires(!std::is_function_v<T>) struct Stored<T*> {
  static constexpr std::size_t kRoom = 1024;
  explicit Stored(T* pointer) : isNull(pointer == nullptr) {
    if constexpr (!std::is_void_v<T>) {
      static_assert(sizeof(T) <= kRoom);
      if (pointer) std::memcpy(room, static_cast<const void*>(pointer), sizeof(T));
    }
  }
  T* get() { return isNull ? nullptr : reinterpret_cast<T*>(room); }
  alignas(16) unsigned char room[kRoom] = {};
  bool isNull;
};

template <typename R, typename... A>
struct Call final : RecordedCall {
  Call(R (*function)(A...), A... args) : function(function), args(Stored<A>(args)...) {}
  void Replay() override {
    std::apply([this](auto&... stored) { function(stored.get()...); }, args);
  }
  R (*function)(A...);
  std::tuple<Stored<A>...> args;
};

template <int Index, typename Signature>
struct Tap;

template <int Index, typename R, typename... A>
struct Tap<Index, R(A...)> {
  static inline R (*real)(A...) = nullptr;
  static R Counted(A... args) {
    ++g_counts[Index];
    if (g_recording) g_recorded.push_back(std::make_unique<Call<R, A...>>(real, args...));
    return real(args...);
  }
};

void InstallCountingLayer() {
#define STRATIVUE_BENCH_TAP(name, result, params)                                         \
  {                                                                                       \
    using TapT = Tap<static_cast<int>(Id::name), qvabi::pcbapi::name##_t>;                \
    TapT::real = reinterpret_cast<decltype(TapT::real)>(                                  \
        strativue::PcbApi::ReplaceEntry(#name, reinterpret_cast<void*>(&TapT::Counted))); \
  }
  ABI_PCBAPI_TYPED_FUNCTIONS(STRATIVUE_BENCH_TAP)
#undef STRATIVUE_BENCH_TAP
}

constexpr std::array<const char*, static_cast<int>(Id::Count)> kNames = {
#define STRATIVUE_BENCH_NAME(name, result, params) #name,
    ABI_PCBAPI_TYPED_FUNCTIONS(STRATIVUE_BENCH_NAME)
#undef STRATIVUE_BENCH_NAME
};

// --- Boards -------------------------------------------------------------

// A stack of `copper` layers from the top layer to the bottom layer, mid
// layers and internal planes taking turns.
std::string StackBoard(int copper) {
  const int planes = copper <= 2 ? 0 : std::min(16, copper / 3);
  const int mids = copper - 2 - planes;
  std::vector<int> ids = {1};
  for (int m = 0, p = 0; m < mids || p < planes;) {
    if (m < mids) ids.push_back(2 + m++);
    if (p < planes) ids.push_back(39 + p++);
  }
  ids.push_back(32);
  std::string stack;
  for (std::size_t i = 0; i < ids.size(); ++i) {
    stack += "{\"id\": " + std::to_string(ids[i]) + ", \"name\": \"Layer " + std::to_string(ids[i]) +
             "\", \"copper\": \"1.4mil\"";
    if (i + 1 < ids.size())
      stack +=
          ", \"dielectric\": {\"material\": \"FR-4\", \"type\": \"core\", \"constant\": 4.8, "
          "\"height\": \"12.6mil\"}";
    stack += i + 1 < ids.size() ? "},\n" : "}\n";
  }
  return "{\"format\": \"quorvex-board/1\", \"fileName\": \"C:\\\\Bench\\\\Stack.qvpcb\", "
         "\"currentLayer\": 33, \"stack\": [" +
         stack +
         "], \"topDielectric\": {\"material\": \"Solder Resist\", \"type\": \"surface\", \"constant\": 3.5, "
         "\"height\": \"0.4mil\"}, \"bottomDielectric\": {\"material\": \"Solder Resist\", \"type\": "
         "\"surface\", \"constant\": 3.5, \"height\": \"0.4mil\"}}";
}

struct Editor {
  Editor() {
    root = std::filesystem::temp_directory_path() / "strativue-bench-machine";
    std::filesystem::create_directories(root);
    platform::SetMachineRoot(root.string());
    std::string error;
    const platform::ModuleHandle module = platform::LoadModule(STRATIVUE_BIN_DIR "/Brelix.so", &error);
    if (!module || !sim.Load(module)) throw std::runtime_error("cannot load Brelix.so: " + error);
    strativue::SetHostClient(quorvex::Host::Instance().GetClient());
    strativue::PcbApi::Bind();
    InstallCountingLayer();
  }
  brelix::SimApi sim;
  std::filesystem::path root;
};

Editor& TheEditor() {
  static Editor editor;
  return editor;
}

// A placement in progress on a fresh board: the handler with every option
// on, the cursor at the far corner, laid out once.
struct Placement {
  explicit Placement(int copper) {
    Editor& editor = TheEditor();
    editor.sim.Reset();
    const char* error = nullptr;
    board = editor.sim.OpenBoardText(StackBoard(copper).c_str(), "bench.board.json", &error);
    if (board == 0) throw std::runtime_error(error ? error : "board refused");
    handler = std::make_unique<strativue::TEventLegendHandler>(
        board, "CopperHeight=True|Type=True|Gerbers=True|DielHeight=True|Material=True|Constant=True");
    handler->Legend->ApplyOptions(strativue::TLegendOptions::AllOn());
    editor.sim.SetInputScript(board, "corner 6000mil,4000mil", nullptr);
    strativue::PcbApi::ChooseLocation(board, nullptr, nullptr, nullptr);
    table = handler->MakeEventTableA();
    Move();
  }
  // What the editor does for one move, after setting the cursor.
  void Move() {
    for (const qvabi::EventA entry : {qvabi::EventA::ReadCursor, qvabi::EventA::LayOut, qvabi::EventA::Show})
      table[entry].code(table[entry].data);
  }
  qvabi::PcbHandle board = 0;
  std::unique_ptr<strativue::TEventLegendHandler> handler;
  qvabi::EventTableA table{};
};

void BM_Move(benchmark::State& state) {
  Placement placement(static_cast<int>(state.range(0)));
  for (auto _ : state) placement.Move();
  state.counters["moves/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_EditorCallsOfAMove(benchmark::State& state) {
  Placement placement(static_cast<int>(state.range(0)));
  g_recorded.clear();
  g_counts.fill(0);
  g_recording = true;
  placement.Move();
  g_recording = false;
  const std::vector<std::unique_ptr<RecordedCall>> calls = std::move(g_recorded);
  g_recorded.clear();
  state.counters["editor calls"] = static_cast<double>(calls.size());
  // Which editor functions a move calls, and how often.
  for (std::size_t i = 0; i < g_counts.size(); ++i)
    if (g_counts[i] != 0) state.counters[kNames[i]] = static_cast<double>(g_counts[i]);
  for (auto _ : state)
    for (const auto& call : calls) call->Replay();
  state.counters["moves/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_Move)->Arg(2)->Arg(8)->Arg(32)->Arg(48)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorCallsOfAMove)->Arg(2)->Arg(8)->Arg(32)->Arg(48)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
