// The host's machine files at scale, each against reading the file once:
// storing the setup dialog's seven values in an options file whose section
// holds 16,000 or 1,000,000 other keys, and translating the dialog's texts
// with a dictionary of 6 MB or 24 MB. Linear work keeps each within a small
// factor of its baseline (the counter "vs_read" is the ratio to the
// baseline's time measured in the same run).
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "host/HostSettings.h"
#include "host/OptionsStore.h"
#include "host/TranslationManager.h"
#include "platform/IniFile.h"
#include "platform/Machine.h"
#include "platform/WideString.h"

namespace {

namespace fs = std::filesystem;

const char* const kKeys[] = {"CopperHeight", "Gerbers",  "Type",          "DielHeight",
                             "Material",     "Constant", "ExtDielectrics"};

// A machine root of the benchmark's own, removed at exit.
struct Machine {
  fs::path root = fs::temp_directory_path() / "quorvex-machine-files-bench";
  Machine() {
    fs::remove_all(root);
    fs::create_directories(root);
    platform::SetMachineRoot(root.string());
    platform::CreateDirectories(quorvex::HostPreferenceFolder() + "\\Options");
  }
  ~Machine() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
};

Machine& TheMachine() {
  static Machine machine;
  return machine;
}

// Seconds per iteration of a baseline, by name, for the ratios.
double& Baseline(const std::string& name) {
  static std::map<std::string, double> seconds;
  return seconds[name];
}

double Seconds(std::chrono::steady_clock::duration elapsed) {
  return std::chrono::duration<double>(elapsed).count();
}

// ---- The options store ----

void WriteOptionsFile(int64_t keys) {
  std::string text = "[LayerStackupLegend]\r\n";
  text.reserve(static_cast<std::size_t>(keys) * 24);
  for (int64_t i = 0; i < keys; ++i) text += "Unrelated" + std::to_string(i) + "=1\r\n";
  text += "\r\n[Other]\r\nValue=2\r\n";
  platform::WriteFile(quorvex::OptionsFilePath("Brelix"), text);
}

// Runs `body` once per iteration. A baseline keeps its time per iteration
// under `name`; any other benchmark reports its ratio to that baseline.
template <typename Body>
void Timed(benchmark::State& state, const std::string& name, bool baseline, Body body) {
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) body();
  const double seconds =
      Seconds(std::chrono::steady_clock::now() - start) / static_cast<double>(state.iterations());
  if (baseline)
    Baseline(name) = seconds;
  else
    state.counters["vs_read"] = seconds / Baseline(name);
}

// An options file of the benchmark's size; the name of its baseline.
std::string OptionsFileOfSize(const benchmark::State& state) {
  TheMachine();
  WriteOptionsFile(state.range(0));
  return "ini" + std::to_string(state.range(0));
}

const platform::BStr& Group() {
  static const platform::BStr group(u"LayerStackupLegend");
  return group;
}

void BM_ReadOptionsFileOnce(benchmark::State& state) {
  Timed(state, OptionsFileOfSize(state), true, [] {
    platform::IniText ini;
    platform::LoadIniFile(quorvex::OptionsFilePath("Brelix"), &ini);
    benchmark::DoNotOptimize(ini);
  });
}

// One press of OK: seven values through one writer, stored as one change.
void BM_StoreTheDialogsChoice(benchmark::State& state) {
  Timed(state, OptionsFileOfSize(state), false, [&] {
    quorvex::OptionsWriter writer(quorvex::OptionsFilePath("Brelix"));
    for (const char* key : kKeys) writer.WriteBoolean(Group().get(), platform::BStr::FromUtf8(key).get(), -1);
    std::string error;
    if (!writer.Store(&error)) state.SkipWithError(error.c_str());
  });
}

// One opening of the dialog: its seven values read through one reader.
void BM_ReadTheDialogsValues(benchmark::State& state) {
  Timed(state, OptionsFileOfSize(state), false, [] {
    quorvex::OptionsReader reader(quorvex::OptionsFilePath("Brelix"));
    for (const char* key : kKeys) {
      qvabi::BOOL32 value = 0;
      reader.ReadBoolean(Group().get(), platform::BStr::FromUtf8(key).get(), -1, &value);
      benchmark::DoNotOptimize(value);
    }
  });
}

// ---- The dictionary ----

// A dictionary of about `megabytes` MB: the setup dialog's scopes among many
// others. The two variants differ in one blank only, so that each change of
// the file is parsed again.
std::string DictionaryText(int64_t megabytes, bool variant) {
  std::string text = variant ? " " : "";
  text += R"({"format": "quorvex-dictionary/1", "translations": {)"
          R"("LegendSetupDialog": {"Caption.'Strativue Setup'": "Strativue-Einrichtung"}, )"
          R"("ButtonOK": {"Caption.'OK'": "Ja"})";
  const std::string filler(40, 'x');
  const auto size = static_cast<std::size_t>(megabytes) << 20;
  for (int64_t scope = 0; text.size() < size; ++scope) {
    text += ", \"Scope" + std::to_string(scope) + "\": {";
    for (int key = 0; key < 16; ++key)
      text +=
          std::string(key ? ", " : "") + "\"Caption.'Text " + std::to_string(key) + "'\": \"" + filler + "\"";
    text += "}";
  }
  return text + "}}";
}

void BM_ReadDictionaryOnce(benchmark::State& state) {
  TheMachine();
  const std::string text = DictionaryText(state.range(0), false);
  platform::WriteFile(quorvex::DictionaryPath(), text);
  Timed(state, "dictionary" + std::to_string(state.range(0)), true, [] {
    std::string read;
    platform::ReadFile(quorvex::DictionaryPath(), &read);
    benchmark::DoNotOptimize(nlohmann::json::parse(read));
  });
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// One opening of the setup dialog: every text of its form translated, the
// file changed before each opening.
void BM_TranslateTheDialog(benchmark::State& state) {
  TheMachine();
  const std::string texts[2] = {DictionaryText(state.range(0), false), DictionaryText(state.range(0), true)};
  quorvex::TranslationManager manager;
  const platform::BStr scope(u"LegendSetupDialog");
  std::vector<platform::BStr> keys;
  for (int i = 0; i < 40; ++i)
    keys.push_back(platform::BStr::FromUtf8("Caption.'Text " + std::to_string(i) + "'"));
  double seconds = 0;
  int64_t opening = 0;
  for (auto _ : state) {
    state.PauseTiming();
    platform::WriteFile(quorvex::DictionaryPath(), texts[opening++ % 2]);
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    for (const platform::BStr& key : keys) {
      platform::BStr translated;
      int32_t found = 0;
      manager.Translate(scope.get(), key.get(), translated.put(), &found);
    }
    seconds += Seconds(std::chrono::steady_clock::now() - start);
  }
  state.counters["vs_read"] = seconds / static_cast<double>(state.iterations()) /
                              Baseline("dictionary" + std::to_string(state.range(0)));
}

}  // namespace

BENCHMARK(BM_ReadOptionsFileOnce)->Arg(16000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_StoreTheDialogsChoice)->Arg(16000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadTheDialogsValues)->Arg(16000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadDictionaryOnce)->Arg(6)->Arg(24)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TranslateTheDialog)->Arg(6)->Arg(24)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
