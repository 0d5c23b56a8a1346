// Feeds arbitrary text to the host's translation manager as its dictionary
// file. A text that is not a sound dictionary makes every call fail with a
// description naming the file; a sound one answers its locale-fonts flag and
// every translation it holds, by a scope in any letter case, text intact.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "host/HostStatus.h"
#include "host/TranslationManager.h"
#include "platform/Locale.h"
#include "platform/Machine.h"
#include "platform/WideString.h"

namespace {

namespace fs = std::filesystem;

struct Machine {
  fs::path root = fs::temp_directory_path() / ("dictionary-fuzzer-" + std::to_string(::getpid()));
  std::string folder;
  Machine() {
    fs::create_directories(root);
    platform::SetMachineRoot(root.string());
    const std::string path = quorvex::DictionaryPath();
    folder = path.substr(0, path.find_last_of('\\'));
    platform::CreateDirectories(folder);
  }
  ~Machine() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
};

// The rules a dictionary keeps, read independently of the manager.
bool Sound(const nlohmann::json& root) {
  if (!root.is_object() || !root.contains("format") || root["format"] != "quorvex-dictionary/1") return false;
  if (root.contains("localeFonts") && !root["localeFonts"].is_boolean()) return false;
  if (!root.contains("translations")) return true;
  if (!root["translations"].is_object()) return false;
  for (const auto& [scope, entries] : root["translations"].items()) {
    if (!entries.is_object()) return false;
    for (const auto& [key, value] : entries.items())
      if (!value.is_string()) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const Machine machine;
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (!platform::WriteFile(quorvex::DictionaryPath(), text)) std::abort();
  const nlohmann::json root = nlohmann::json::parse(text, nullptr, false);
  const bool sound = !root.is_discarded() && Sound(root);

  quorvex::TranslationManager manager;
  int32_t enabled = -1;
  const qvabi::HRESULT status = manager.LocaleFontsEnabled(&enabled);
  if (!sound) {
    if (status != qvabi::E_UNEXPECTED || enabled != 0) std::abort();
    const auto error = quorvex::TakeThreadError();
    if (error.description.rfind(quorvex::DictionaryPath() + ": ", 0) != 0 &&
        error.description.find("Dictionary.json") == std::string::npos)
      std::abort();  // a failure that does not say which file
    return 0;
  }
  if (status != qvabi::S_OK || enabled != (root.value("localeFonts", false) ? 1 : 0)) std::abort();
  if (!root.contains("translations")) return 0;
  for (const auto& [scope, entries] : root["translations"].items())
    for (const auto& [key, value] : entries.items()) {
      const platform::BStr scopeText = platform::BStr::FromUtf8(platform::UpperCaseText(scope));
      const platform::BStr keyText = platform::BStr::FromUtf8(key);
      platform::BStr translated;
      int32_t found = 0;
      if (manager.Translate(scopeText.get(), keyText.get(), translated.put(), &found) != qvabi::S_OK ||
          found != 1)
        std::abort();
      // The answer is this key's text in this scope or in another scope that
      // differs only in letter case.
      bool known = false;
      for (const auto& [other, more] : root["translations"].items())
        if (platform::CompareTextIgnoreCase(other, scope) == 0 && more.contains(key) &&
            more[key].get<std::string>() == translated.utf8())
          known = true;
      if (!known) std::abort();
    }
  return 0;
}
