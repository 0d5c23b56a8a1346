// Fault points: the one seam through which tests and the validator make the
// stand-ins' calls fail. Every stand-in call that can fail asks Check() with
// the point's name ("editor.CreateObject", "host.GetCurrentView",
// "platform.RegOpenKeyEx", "toolkit.CreateMessageDialog", ...) before doing
// its work, and answers its documented failure when told to.
//
// Rules are armed by API or, once per process, from the environment variable
// QUORVEX_FAULTS: a comma-separated list of `PATTERN` (every call fails) or
// `PATTERN@N` (only the Nth counted call fails, counting from 1). A pattern is a
// point's name or a prefix followed by `*` ("editor.*"). While a rule is
// armed, or once ResetCounts has been called (until Clear), every consulted
// point's calls are counted, so that a caller can first learn which points a
// run goes through and how often, then fail each in turn.
//
// The stand-ins ask on every editor call, so asking costs one relaxed atomic
// read while nothing is armed or counted; the name is looked up only then.
//
// The registry is process-wide and safe to use from any thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::faults {

struct Rule {
  std::string pattern;
  int64_t nth = 0;          // 0: every call
  std::string description;  // empty: "Injected failure at POINT"
};

namespace detail {
// Set while the process's registry has a rule armed or counts calls, and
// until this copy of the platform has found the registry: only then must a
// call be taken to the registry.
extern std::atomic<bool> g_consult;
std::optional<std::string> CheckConsulted(std::string_view point);
bool FailsConsulted(std::string_view point);
}  // namespace detail

#ifndef PLATFORM_FAULT_POINTS_COMPILED_OUT
// Counts one call of `point`; the description of the failure to answer when
// a rule says this call fails, nothing otherwise.
inline std::optional<std::string> Check(std::string_view point) {
  if (!detail::g_consult.load(std::memory_order_relaxed)) return std::nullopt;
  return detail::CheckConsulted(point);
}
// As Check, for callers that need only the verdict.
inline bool ShouldFail(std::string_view point) {
  return detail::g_consult.load(std::memory_order_relaxed) && detail::FailsConsulted(point);
}
#else
// The seam benchmark's reference: the same module built with no seam at all.
inline std::optional<std::string> Check(std::string_view) { return std::nullopt; }
inline bool ShouldFail(std::string_view) { return false; }
#endif

// Adds a rule (a rule with the same pattern is replaced).
void Arm(Rule rule);
// Removes the rule with this pattern, if any.
void Disarm(std::string_view pattern);
// Removes every rule and every count and stops counting (the environment is
// not read again).
void Clear();

// Parses a QUORVEX_FAULTS list. On success the rules are armed in order and
// the answer is true; otherwise nothing is armed and *error names the entry.
bool Configure(std::string_view ruleText, std::string* error);

// The points consulted since the last Clear or ResetCounts, with their
// call counts, in name order. Calls are counted only while a rule is armed
// or after ResetCounts (until Clear).
struct PointCount {
  std::string point;
  int64_t calls = 0;
};
std::vector<PointCount> Counts();
// Forgets every count and counts the calls of every point from now on,
// armed or not, until Clear.
void ResetCounts();

// Why QUORVEX_FAULTS was refused (nothing of it is armed); empty when it
// was absent or valid.
std::string EnvironmentProblem();

// True when `pattern` selects `point`.
bool Matches(std::string_view pattern, std::string_view point);

}  // namespace platform::faults
