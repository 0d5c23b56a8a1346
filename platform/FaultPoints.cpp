#include "platform/FaultPoints.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdlib>
#include <map>
#include <mutex>
#include <new>

#include "platform/Modules.h"
#include "platform/ProcessShared.h"
#include "platform/SignedTable.h"

namespace platform::faults {

namespace detail {
// Until this copy has found the process's registry it cannot tell.
std::atomic<bool> g_consult{true};
}  // namespace detail

namespace {

// What a registry tells each copy of the platform that forwards to it: its
// calls may skip the registry, must be brought to it, or the registry is
// going away (its module is unloaded or another took its place).
enum Watching : uint32_t { kQuiet = 0, kConsult = 1, kGone = 2 };
using Watch = void (*)(uint32_t state);

struct Registry {
  std::mutex lock;
  std::vector<Rule> rules;
  std::map<std::string, int64_t, std::less<>> counts;
  bool counting = false;        // asked for by ResetCounts
  std::vector<Watch> watchers;  // the copies that forward here, this one's included
  std::string environmentProblem;

  Registry() {
    const char* ruleText = std::getenv("QUORVEX_FAULTS");
    if (ruleText && !Parse(ruleText, rules, &environmentProblem)) rules.clear();
  }

  bool Consulted() const { return counting || !rules.empty(); }

  // After every change of the rules or of counting, with the lock held.
  void Tell() const {
    const uint32_t state = Consulted() ? kConsult : kQuiet;
    for (const Watch watch : watchers) watch(state);
  }

  static bool Parse(std::string_view ruleText, std::vector<Rule>& out, std::string* error) {
    std::vector<Rule> parsed;
    while (!ruleText.empty()) {
      const auto comma = ruleText.find(',');
      std::string_view entry = ruleText.substr(0, comma);
      ruleText = comma == std::string_view::npos ? std::string_view() : ruleText.substr(comma + 1);
      while (!entry.empty() && entry.front() == ' ') entry.remove_prefix(1);
      while (!entry.empty() && entry.back() == ' ') entry.remove_suffix(1);
      if (entry.empty()) continue;
      Rule rule;
      const auto at = entry.find('@');
      rule.pattern = std::string(entry.substr(0, at));
      if (at != std::string_view::npos) {
        const std::string_view count = entry.substr(at + 1);
        const auto [end, code] = std::from_chars(count.data(), count.data() + count.size(), rule.nth);
        if (code != std::errc() || end != count.data() + count.size() || rule.nth < 1) {
          if (error)
            *error = "fault rule '" + std::string(entry) + "': the call number must be a whole number from 1";
          return false;
        }
      }
      const auto star = rule.pattern.find('*');
      if (rule.pattern.empty() || (star != std::string::npos && star + 1 != rule.pattern.size())) {
        if (error)
          *error = "fault rule '" + std::string(entry) + "': expected a point name or a prefix ending in *";
        return false;
      }
      parsed.push_back(std::move(rule));
    }
    for (Rule& rule : parsed) Replace(out, std::move(rule));
    return true;
  }

  static void Replace(std::vector<Rule>& rules, Rule rule) {
    for (Rule& existing : rules)
      if (existing.pattern == rule.pattern) {
        existing = std::move(rule);
        return;
      }
    rules.push_back(std::move(rule));
  }
};

// Never destroyed: another module's copy may forward a call or stop watching
// while the process exits, after this copy's other statics are gone.
Registry& Points() {
  alignas(Registry) static unsigned char storage[sizeof(Registry)];
  static Registry* const registry = new (storage) Registry;
  return *registry;
}

// What one copy of the platform offers the others: each module of a Windows
// process links a platform of its own, and a rule armed in the program must
// fail the calls the editor module makes. Plain functions over plain values
// only, so that no copy touches another's objects.
using Give = void (*)(void* context, const char* text, size_t size);
using GiveCount = void (*)(void* context, const char* point, size_t size, int64_t calls);

struct RegistryCalls {
  char signature[16];
  const RegistryCalls* self;
  // `description` may be nil when only the verdict is wanted.
  bool (*check)(const char* point, size_t size, void* context, Give description);
  void (*arm)(const char* pattern, size_t patternSize, int64_t nth, const char* description,
              size_t descriptionSize);
  void (*disarm)(const char* pattern, size_t size);
  void (*clear)();
  bool (*configure)(const char* text, size_t size, void* context, Give error);
  void (*counts)(void* context, GiveCount each);
  void (*resetCounts)();
  void (*environmentProblem)(void* context, Give problem);
  // Calls `watcher` with the registry's state now and after every change,
  // until unwatch or until the registry goes away (kGone).
  void (*watch)(Watch watcher);
  void (*unwatch)(Watch watcher);
  // Another registry takes this one's place: every watcher is told kGone.
  void (*retire)();
};

constexpr char kSignature[16] = "FaultRegistry/2";

void GiveString(void* context, const char* text, size_t size) {
  static_cast<std::string*>(context)->assign(text, size);
}

bool LocalCheck(const char* pointText, size_t size, void* context, Give description) {
  const std::string_view point(pointText, size);
  std::string answer;
  {
    Registry& state = Points();
    std::lock_guard lock(state.lock);
    if (!state.Consulted()) return false;
    auto found = state.counts.find(point);
    if (found == state.counts.end()) found = state.counts.emplace(std::string(point), 0).first;
    const int64_t call = ++found->second;
    const auto rule = std::find_if(state.rules.begin(), state.rules.end(), [&](const Rule& candidate) {
      return Matches(candidate.pattern, point) && (candidate.nth == 0 || candidate.nth == call);
    });
    if (rule == state.rules.end()) return false;
    if (!description) return true;
    answer = rule->description.empty() ? "Injected failure at " + std::string(point) : rule->description;
  }
  description(context, answer.data(), answer.size());
  return true;
}

void LocalArm(const char* pattern, size_t patternSize, int64_t nth, const char* description,
              size_t descriptionSize) {
  Registry& state = Points();
  std::lock_guard lock(state.lock);
  Registry::Replace(state.rules,
                    {std::string(pattern, patternSize), nth, std::string(description, descriptionSize)});
  state.Tell();
}

void LocalDisarm(const char* patternText, size_t size) {
  const std::string_view pattern(patternText, size);
  Registry& state = Points();
  std::lock_guard lock(state.lock);
  std::erase_if(state.rules, [&](const Rule& rule) { return rule.pattern == pattern; });
  state.Tell();
}

void LocalClear() {
  Registry& state = Points();
  std::lock_guard lock(state.lock);
  state.rules.clear();
  state.counts.clear();
  state.counting = false;
  state.Tell();
}

bool LocalConfigure(const char* text, size_t size, void* context, Give error) {
  std::string problem;
  bool configured = false;
  {
    Registry& state = Points();
    std::lock_guard lock(state.lock);
    configured = Registry::Parse(std::string_view(text, size), state.rules, &problem);
    state.Tell();
  }
  if (!configured) error(context, problem.data(), problem.size());
  return configured;
}

void LocalCounts(void* context, GiveCount each) {
  std::vector<PointCount> counts;
  {
    Registry& state = Points();
    std::lock_guard lock(state.lock);
    for (const auto& [point, calls] : state.counts) counts.push_back({point, calls});
  }
  for (const PointCount& count : counts) each(context, count.point.data(), count.point.size(), count.calls);
}

void LocalResetCounts() {
  Registry& state = Points();
  std::lock_guard lock(state.lock);
  state.counts.clear();
  state.counting = true;
  state.Tell();
}

void LocalEnvironmentProblem(void* context, Give problem) {
  std::string text;
  {
    Registry& state = Points();
    std::lock_guard lock(state.lock);
    text = state.environmentProblem;
  }
  problem(context, text.data(), text.size());
}

void LocalWatch(Watch watcher) {
  Registry& state = Points();
  std::lock_guard lock(state.lock);
  if (std::find(state.watchers.begin(), state.watchers.end(), watcher) == state.watchers.end())
    state.watchers.push_back(watcher);
  watcher(state.Consulted() ? kConsult : kQuiet);
}

void LocalUnwatch(Watch watcher) {
  Registry& state = Points();
  std::lock_guard lock(state.lock);
  std::erase(state.watchers, watcher);
}

// Tells every watcher but `keep` that this registry is gone.
void SendAway(Watch keep) {
  Registry& state = Points();
  std::lock_guard lock(state.lock);
  for (const Watch watcher : state.watchers)
    if (watcher != keep) watcher(kGone);
  std::erase_if(state.watchers, [keep](Watch watcher) { return watcher != keep; });
}

void LocalRetire() { SendAway(nullptr); }

const RegistryCalls& OwnCalls() {
  static const RegistryCalls calls{
      {'F', 'a', 'u', 'l', 't', 'R', 'e', 'g', 'i', 's', 't', 'r', 'y', '/', '2'},
      &calls,
      &LocalCheck,
      &LocalArm,
      &LocalDisarm,
      &LocalClear,
      &LocalConfigure,
      &LocalCounts,
      &LocalResetCounts,
      &LocalEnvironmentProblem,
      &LocalWatch,
      &LocalUnwatch,
      &LocalRetire};
  return calls;
}

constexpr const char* kPublished = "faults.registry";

// The registry a published address names, when it is a registry that one of
// the process's modules holds (the address may be left over by a module
// since unloaded, or inherited from the parent process's environment).
const RegistryCalls* RegistryAt(const std::string& published) {
  uintptr_t address = 0;
  const auto [end, code] =
      std::from_chars(published.data(), published.data() + published.size(), address, 16);
  if (code != std::errc() || end != published.data() + published.size()) return nullptr;
  return SignedTableAt<RegistryCalls>(address, kSignature);
}

void Publish(const RegistryCalls& calls) {
  char text[2 * sizeof(uintptr_t) + 1] = {};
  const auto end = std::to_chars(text, text + sizeof text - 1, reinterpret_cast<uintptr_t>(&calls), 16).ptr;
  SetProcessShared(kPublished, std::string(text, end));
}

// The registry this copy's calls go to, once found; nil again when that
// registry tells it is gone.
std::atomic<const RegistryCalls*> g_route{nullptr};

void OwnWatch(uint32_t state) {
  if (state == kGone) g_route.store(nullptr, std::memory_order_release);
  detail::g_consult.store(state != kQuiet, std::memory_order_release);
}

// The process's registry: the main program's copy's when it has one, else
// the first copy's that is still loaded. Found once; the registry then tells
// this copy when its calls must be brought to it and when it goes away, so
// that a module that is unloaded is never called.
const RegistryCalls& Route() {
  if (const RegistryCalls* route = g_route.load(std::memory_order_acquire)) return *route;
  static std::mutex finding;
  std::lock_guard lock(finding);
  if (const RegistryCalls* route = g_route.load(std::memory_order_acquire)) return *route;
  const RegistryCalls& own = OwnCalls();
  const RegistryCalls* route = RegistryAt(ProcessShared(kPublished));
  if (route == nullptr || (route != &own && InMainProgram(&own))) {
    Publish(own);
    if (route != nullptr) route->retire();
    route = &own;
  }
  g_route.store(route, std::memory_order_release);
  route->watch(&OwnWatch);
  return *route;
}

// At unload: stop watching another copy's registry, or send the copies that
// watch this one's away, so that none calls into this module once it is gone.
struct Unloading {
  ~Unloading() {
    const RegistryCalls* route = g_route.load(std::memory_order_acquire);
    if (route == nullptr) return;
    if (route != &OwnCalls()) {
      route->unwatch(&OwnWatch);
      return;
    }
    SendAway(&OwnWatch);
  }
} g_unloading;

// The main program's copy is there before any module the program loads.
[[maybe_unused]] const bool g_mainProgramPublished = InMainProgram(&OwnCalls()) && (Route(), true);

}  // namespace

bool Matches(std::string_view pattern, std::string_view point) {
  if (!pattern.empty() && pattern.back() == '*')
    return point.starts_with(pattern.substr(0, pattern.size() - 1));
  return pattern == point;
}

std::optional<std::string> detail::CheckConsulted(std::string_view point) {
  std::string description;
  if (!Route().check(point.data(), point.size(), &description, &GiveString)) return std::nullopt;
  return description;
}

bool detail::FailsConsulted(std::string_view point) {
  return Route().check(point.data(), point.size(), nullptr, nullptr);
}

void Arm(Rule rule) {
  Route().arm(rule.pattern.data(), rule.pattern.size(), rule.nth, rule.description.data(),
              rule.description.size());
}

void Disarm(std::string_view pattern) { Route().disarm(pattern.data(), pattern.size()); }

void Clear() { Route().clear(); }

bool Configure(std::string_view ruleText, std::string* error) {
  std::string problem;
  const bool configured = Route().configure(ruleText.data(), ruleText.size(), &problem, &GiveString);
  if (!configured && error) *error = std::move(problem);
  return configured;
}

std::vector<PointCount> Counts() {
  std::vector<PointCount> counts;
  Route().counts(&counts, [](void* context, const char* point, size_t size, int64_t calls) {
    static_cast<std::vector<PointCount>*>(context)->push_back({std::string(point, size), calls});
  });
  return counts;
}

void ResetCounts() { Route().resetCounts(); }

std::string EnvironmentProblem() {
  std::string problem;
  Route().environmentProblem(&problem, &GiveString);
  return problem;
}

}  // namespace platform::faults
