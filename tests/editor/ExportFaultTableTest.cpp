// The fault seam at every export of the editor's function list: each entry
// with an answer consults the point named after it, and an armed point makes
// the export answer its refusal and touch nothing, also where the same call
// unarmed would succeed. The cases come from the list itself, so an export
// added to it is covered without a line here.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "EditorTestSupport.h"
#include "platform/FaultPoints.h"
#include "tests/TestSupport.h"

namespace brelix::testing {
namespace {

namespace faults = platform::faults;

// The arguments of one generic call: the first 32-bit value is the handle
// (every export that takes one takes it before any other 32-bit value),
// later ones are `number`; the first byte (mode, or else a kind or layer) is
// `byte`, later ones (layer, shape, flag) are `layer`; every
// pointer to data points at a scratch block of its own, large enough for any
// record or option group; routines and opaque data are nil.
struct Probe {
  static constexpr std::size_t kBlockBytes = 1024;
  static constexpr std::size_t kBlocks = 40;

  qvabi::PcbHandle handle = 0;
  uint8_t byte = 0;
  uint8_t layer = 0;
  int32_t number = 0;
  alignas(8) std::array<std::array<unsigned char, kBlockBytes>, kBlocks> scratch{};

  void Fill(unsigned char value) {
    for (auto& block : scratch) block.fill(value);
  }
};

// The position of the first parameter of type T.
template <typename T, typename... A>
constexpr std::size_t First() {
  constexpr std::array<bool, sizeof...(A)> isT = {std::is_same_v<A, T>...};
  std::size_t first = 0;
  while (!isT[first]) ++first;
  return first;
}

template <typename T, std::size_t I, typename... A>
T Argument(Probe& probe) {
  if constexpr (std::is_pointer_v<T> && std::is_function_v<std::remove_pointer_t<T>>) {
    return nullptr;
  } else if constexpr (std::is_same_v<std::remove_cv_t<std::remove_pointer_t<T>>, void>) {
    return nullptr;
  } else if constexpr (std::is_pointer_v<T>) {
    static_assert(I < Probe::kBlocks);
    return reinterpret_cast<T>(probe.scratch[I].data());
  } else if constexpr (std::is_same_v<T, uint8_t>) {
    return I == First<uint8_t, A...>() ? probe.byte : probe.layer;
  } else {
    static_assert(std::is_same_v<T, int32_t>, "a parameter type the probe cannot supply");
    return I == First<int32_t, A...>() ? probe.handle : probe.number;
  }
}

// A listed function type without its calling convention, parameter names
// kept: `int32_t (uint8_t mode, ...)`.
template <typename F>
struct Signature;
template <typename R, typename... A>
struct Signature<R(A...)> {
  template <typename Fn>
  static std::optional<int64_t> Call(Fn fn, Probe& probe) {
    return [&]<std::size_t... I>(std::index_sequence<I...>)->std::optional<int64_t> {
      if constexpr (std::is_void_v<R>) {
        fn(Argument<A, I, A...>(probe)...);
        return std::nullopt;
      } else {
        return static_cast<int64_t>(fn(Argument<A, I, A...>(probe)...));
      }
    }
    (std::index_sequence_for<A...>{});
  }
};

struct Entry {
  std::string name;
  std::function<std::optional<int64_t>(Probe&)> call;
  std::string Point() const { return "editor." + name; }
};

const std::vector<Entry>& Entries() {
#define EDITOR_TEST_ENTRY(name, result, params) \
  Entry{#name, [](Probe& probe) { return Signature<result params>::Call(&PcbApi_##name, probe); }},
  static const std::vector<Entry> kEntries = {ABI_PCBAPI_TYPED_FUNCTIONS(EDITOR_TEST_ENTRY)};
#undef EDITOR_TEST_ENTRY
  return kEntries;
}

// The points consulted since the counts were reset, with their calls.
std::vector<std::pair<std::string, int64_t>> Consulted() {
  std::vector<std::pair<std::string, int64_t>> points;
  for (const auto& count : faults::Counts()) points.emplace_back(count.point, count.calls);
  return points;
}

class ExportFaultTableTest : public EditorTest {
 protected:
  void TearDown() override {
    faults::Clear();
    EditorTest::TearDown();
  }

  // Each entry's answer in an empty editor to all-zero arguments: no board,
  // no object, write mode. This is its refusal.
  std::vector<std::optional<int64_t>> Refusals() {
    editor().Reset();
    std::vector<std::optional<int64_t>> answers;
    auto probe = std::make_unique<Probe>();
    for (const Entry& entry : Entries()) answers.push_back(entry.call(*probe));
    return answers;
  }
};

TEST_F(ExportFaultTableTest, EveryExportConsultsThePointNamedAfterItWhenItHasAnAnswer) {
  auto probe = std::make_unique<Probe>();
  ASSERT_FALSE(Entries().empty());
  for (const Entry& entry : Entries()) {
    SCOPED_TRACE(entry.name);
    faults::Clear();
    faults::ResetCounts();
    const std::optional<int64_t> answer = entry.call(*probe);
    using Counted = std::vector<std::pair<std::string, int64_t>>;
    // An export that answers nothing has no failure to give, so no point.
    const Counted expected = answer ? Counted{{entry.Point(), 1}} : Counted{};
    EXPECT_EQ(Consulted(), expected);
  }
}

TEST_F(ExportFaultTableTest, AnArmedPointAnswersTheRefusalAndTouchesNothing) {
  const std::vector<std::optional<int64_t>> refusals = Refusals();
  auto probe = std::make_unique<Probe>();
  for (std::size_t i = 0; i < Entries().size(); ++i) {
    const Entry& entry = Entries()[i];
    SCOPED_TRACE(entry.name);
    const testsupport::FailingCall fails(entry.Point());
    probe->Fill(0xA5);
    EXPECT_EQ(entry.call(*probe), refusals[i]);
    for (const auto& block : probe->scratch)
      for (unsigned char byte : block) ASSERT_EQ(byte, 0xA5);
  }
}

// On a board with parts, every export that has a successful call among the
// probes (the board, each of its objects and a free object of every kind,
// read mode, layers 1 and 39, numbers 0 and 1) answers its refusal for that very call once
// its point is armed, and writes none of the caller's fields.
TEST_F(ExportFaultTableTest, AnArmedPointRefusesACallThatWouldSucceed) {
  const std::vector<std::optional<int64_t>> refusals = Refusals();
  const qvabi::PcbHandle board = editor().OpenBoardFile(ExamplePath("sensor-node"));
  ASSERT_NE(board, 0);
  ASSERT_TRUE(editor().SetCurrentBoard(board));
  std::vector<qvabi::PcbHandle> handles = {board};
  for (qvabi::PcbHandle object : editor().FindBoard(board)->contents) handles.push_back(object);
  for (int kind = 1; kind < 32; ++kind)
    if (const qvabi::PcbHandle free = editor().CreateObject(static_cast<uint8_t>(kind)))
      handles.push_back(free);

  // Layers: the top copper layer and an internal plane.
  constexpr std::pair<uint8_t, int32_t> kLayersAndNumbers[] = {{1, 0}, {1, 1}, {39, 0}, {39, 1}};
  auto probe = std::make_unique<Probe>();
  auto armed = std::make_unique<Probe>();
  std::set<std::string> withoutSuccess;
  for (std::size_t i = 0; i < Entries().size(); ++i) {
    const Entry& entry = Entries()[i];
    if (!refusals[i]) continue;
    SCOPED_TRACE(entry.name);
    bool succeeded = false;
    for (std::size_t h = 0; h < handles.size() && !succeeded; ++h)
      for (const auto& [layer, number] : kLayersAndNumbers) {
        *probe = Probe{handles[h], qvabi::ReadMode, layer, number, {}};
        if (entry.call(*probe) == refusals[i]) continue;
        succeeded = true;
        *armed = Probe{handles[h], qvabi::ReadMode, layer, number, {}};
        armed->Fill(0x5A);
        const testsupport::FailingCall fails(entry.Point());
        EXPECT_EQ(entry.call(*armed), refusals[i])
            << "handle " << handles[h] << ", layer " << int{layer} << ", number " << number;
        for (const auto& block : armed->scratch)
          for (unsigned char byte : block) ASSERT_EQ(byte, 0x5A);
        break;
      }
    if (!succeeded) withoutSuccess.insert(entry.name);
  }
  // The exports no generic probe can make succeed: a prompt and a run need
  // the user's input and a handler, and nothing here is imported.
  EXPECT_EQ(withoutSuccess,
            (std::set<std::string>{"ChooseLocation", "QueryObjectImport_FromUser", "RunEventHandler"}));
}

}  // namespace
}  // namespace brelix::testing
