// Feeds arbitrary text to the registry as its registry.reg. A file the
// registry refuses must stay untouched and refuse writes, with a reason that
// names the file and line. A file it accepts: every subkey listed opens,
// every value listed reads, and after a value is written elsewhere every
// key and value reads back as before from the rewritten file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "platform/Machine.h"
#include "platform/Registry.h"

namespace {

namespace fs = std::filesystem;
using namespace platform;

struct Roots {
  fs::path base = fs::temp_directory_path() / ("registry-fuzzer-" + std::to_string(::getpid()));
  fs::path file = base / "machine" / "registry.reg";
  Roots() {
    fs::create_directories(base / "machine");
    fs::create_directories(base / "elsewhere");
  }
  ~Roots() {
    std::error_code ignored;
    fs::remove_all(base, ignored);
  }
  // Makes the registry read the file afresh.
  void Reload() const {
    SetMachineRoot((base / "elsewhere").string());
    RegistryProblem();
    SetMachineRoot((base / "machine").string());
  }
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every key below `key` by its path as listed, with its values.
using Tree = std::map<std::string, std::map<std::string, std::string>>;

std::string Describe(const RegValue& value) {
  return std::to_string(value.type) + ":" + value.text + ":" + std::to_string(value.dword) + ":" +
         value.rawHex;
}

void Walk(HKEY key, const std::string& path, Tree& tree) {
  auto& values = tree[path];
  std::vector<std::string> names;
  if (RegEnumValues(key, &names) != ERROR_SUCCESS) std::abort();
  for (const std::string& name : names) {
    RegValue value;
    if (RegQueryValueEx(key, name, &value) != ERROR_SUCCESS) std::abort();  // listed, not readable
    values[name] = Describe(value);
  }
  if (RegEnumKeys(key, &names) != ERROR_SUCCESS) std::abort();
  for (const std::string& name : names) {
    HKEY child = 0;
    if (RegOpenKeyEx(key, name, 0, KEY_READ, &child) != ERROR_SUCCESS) std::abort();  // listed, not there
    Walk(child, path + "\\" + name, tree);
    RegCloseKey(child);
  }
}

Tree WalkAll() {
  Tree tree;
  for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS})
    Walk(root, std::to_string(root), tree);
  return tree;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const Roots roots;
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::ofstream(roots.file, std::ios::binary | std::ios::trunc) << text;
  roots.Reload();

  const std::string problem = RegistryProblem();
  if (!problem.empty()) {
    if (problem.rfind(roots.file.string() + ", line ", 0) != 0) std::abort();
    if (WriteDword(HKEY_CURRENT_USER, "Software\\Fuzz", "probe", 1)) std::abort();
    if (ReadAll(roots.file) != text) std::abort();  // a refused file was rewritten
    return 0;
  }
  const Tree before = WalkAll();
  if (!WriteString(HKEY_CURRENT_USER, "Software\\Fuzz Probe", "probe", "written")) std::abort();
  roots.Reload();
  if (!RegistryProblem().empty()) std::abort();  // the registry refuses its own file
  if (ReadString(HKEY_CURRENT_USER, "software\\fuzz probe", "PROBE") != "written") std::abort();
  const Tree after = WalkAll();
  for (const auto& [path, values] : before) {
    const auto it = after.find(path);
    if (it == after.end()) std::abort();  // a key was lost
    for (const auto& [name, value] : values) {
      const auto found = it->second.find(name);
      if (found == it->second.end()) std::abort();  // a value was lost
      const bool probe = found->second == Describe({REG_SZ, "written", 0, {}});
      if (found->second != value && !probe) std::abort();  // a value changed
    }
  }
  return 0;
}
