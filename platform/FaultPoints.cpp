#include "platform/FaultPoints.h"

#include <charconv>
#include <cstdlib>
#include <map>
#include <mutex>

namespace platform::faults {
namespace {

struct Registry {
  std::mutex lock;
  std::vector<Rule> rules;
  std::map<std::string, int64_t, std::less<>> counts;
  std::string environmentProblem;

  Registry() {
    const char* ruleText = std::getenv("QUORVEX_FAULTS");
    if (ruleText && !Parse(ruleText, rules, &environmentProblem)) rules.clear();
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

Registry& State() {
  static Registry registry;
  return registry;
}

}  // namespace

bool Matches(std::string_view pattern, std::string_view point) {
  if (!pattern.empty() && pattern.back() == '*')
    return point.starts_with(pattern.substr(0, pattern.size() - 1));
  return pattern == point;
}

std::optional<std::string> Check(std::string_view point) {
  Registry& state = State();
  std::lock_guard lock(state.lock);
  auto found = state.counts.find(point);
  if (found == state.counts.end()) found = state.counts.emplace(std::string(point), 0).first;
  const int64_t call = ++found->second;
  for (const Rule& rule : state.rules) {
    if (!Matches(rule.pattern, point) || (rule.nth != 0 && rule.nth != call)) continue;
    return rule.description.empty() ? "Injected failure at " + std::string(point) : rule.description;
  }
  return std::nullopt;
}

void Arm(Rule rule) {
  Registry& state = State();
  std::lock_guard lock(state.lock);
  Registry::Replace(state.rules, std::move(rule));
}

void Disarm(std::string_view pattern) {
  Registry& state = State();
  std::lock_guard lock(state.lock);
  std::erase_if(state.rules, [&](const Rule& rule) { return rule.pattern == pattern; });
}

void Clear() {
  Registry& state = State();
  std::lock_guard lock(state.lock);
  state.rules.clear();
  state.counts.clear();
}

bool Configure(std::string_view ruleText, std::string* error) {
  Registry& state = State();
  std::lock_guard lock(state.lock);
  return Registry::Parse(ruleText, state.rules, error);
}

std::vector<PointCount> Counts() {
  Registry& state = State();
  std::lock_guard lock(state.lock);
  std::vector<PointCount> counts;
  for (const auto& [point, calls] : state.counts) counts.push_back({point, calls});
  return counts;
}

void ResetCounts() {
  Registry& state = State();
  std::lock_guard lock(state.lock);
  state.counts.clear();
}

std::string EnvironmentProblem() {
  Registry& state = State();
  std::lock_guard lock(state.lock);
  return state.environmentProblem;
}

}  // namespace platform::faults
