// The validator's checks and what they share inside the child process that
// runs one of them.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "abi/IServerModule.h"
#include "editor/BrelixSim.h"
#include "host/quorvex/validate/Validator.h"

namespace quorvex {
class Host;
}

namespace quorvex::validate {

// A check's verdict: thrown with the reason the check failed.
class CheckFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What a check works with in its child process.
struct CheckContext {
  const Settings& settings;
  Host& host;
  brelix::SimApi editor;
  std::mt19937_64 random;

  // Prints "step: WHAT" and flushes it, so that a crash is reported with the
  // last step the child began.
  void Step(const std::string& what) const;
  // Loads Brelix.so from the program's folder into the host and resolves its
  // simulation API; then the plug-in. Both raise CheckFailure on failure.
  void LoadEditor();
  qvabi::IServerModule* LoadPlugin();
  // The plug-in's command launcher, or CheckFailure.
  qvabi::ICommandLauncher* Launcher(qvabi::IServerModule* module) const;
  // The example boards, sorted by name; CheckFailure when there are none.
  std::vector<std::string> BoardFiles() const;
};

struct Check {
  std::string name;
  int level;
  std::function<void(CheckContext&)> run;
};

// Every check, in the order they run.
const std::vector<Check>& AllChecks();

// The checks of each file.
void AddLoadChecks(std::vector<Check>& checks);
void AddSlotChecks(std::vector<Check>& checks);
void AddCommandChecks(std::vector<Check>& checks);
void AddSanitizerChecks(std::vector<Check>& checks);

// Calls `body` (a call into the plug-in); an exception that escapes it fails
// the check, naming `what`.
template <typename Body>
auto Call(const std::string& what, Body&& body) -> decltype(body()) {
  try {
    return body();
  } catch (const std::exception& error) {
    throw CheckFailure("an exception escaped from " + what + ": " + error.what());
  } catch (...) {
    throw CheckFailure("an exception escaped from " + what);
  }
}

inline void Expect(bool condition, const std::string& reason) {
  if (!condition) throw CheckFailure(reason);
}

}  // namespace quorvex::validate
