#include "host/TranslationManager.h"

#include <nlohmann/json.hpp>

#include "host/HostSettings.h"
#include "host/HostStatus.h"
#include "platform/Journal.h"
#include "platform/Locale.h"
#include "platform/Machine.h"
#include "platform/WideString.h"

namespace quorvex {
namespace {

constexpr const char* kFormat = "quorvex-dictionary/1";

std::string Narrow(abi::BSTR text) {
  return platform::Utf16ToUtf8(std::u16string_view(text ? text : u"", platform::SysStringLen(text)));
}

// The dictionary's root object; throws std::runtime_error naming the file
// and the problem.
nlohmann::json LoadDictionary() {
  std::string text, error;
  if (!platform::ReadFile(DictionaryPath(), &text, &error)) throw std::runtime_error(error);
  nlohmann::json root = nlohmann::json::parse(text, nullptr, false);
  const auto problem = [](const std::string& what) {
    return std::runtime_error(DictionaryPath() + ": " + what);
  };
  if (root.is_discarded() || !root.is_object()) throw problem("not a JSON object");
  if (!root.contains("format") || root["format"] != kFormat)
    throw problem(std::string("format must be \"") + kFormat + "\"");
  if (root.contains("localeFonts") && !root["localeFonts"].is_boolean())
    throw problem("localeFonts must be true or false");
  if (!root.contains("translations")) root["translations"] = nlohmann::json::object();
  if (!root["translations"].is_object()) throw problem("translations must be an object");
  for (const auto& [scope, entries] : root["translations"].items()) {
    if (!entries.is_object()) throw problem("translations." + scope + " must be an object");
    for (const auto& [key, value] : entries.items())
      if (!value.is_string()) throw problem("translations." + scope + "." + key + " must be a string");
  }
  return root;
}

}  // namespace

std::string DictionaryPath() { return HostPreferenceFolder() + "\\Dictionary.json"; }

abi::HRESULT STDCALL TranslationManager::Translate(abi::BSTR scope, abi::BSTR key, abi::BSTR* translated,
                                                   int32_t* found) {
  return HostGuard([&] {
    if (!ClearOut(translated) || !ClearOut(found)) return Fail("Translate: nil out argument");
    const std::string scopeText = Narrow(scope), keyText = Narrow(key);
    const nlohmann::json root = LoadDictionary();
    for (const auto& [name, entries] : root["translations"].items()) {
      if (platform::CompareTextIgnoreCase(name, scopeText) != 0 || !entries.contains(keyText)) continue;
      const std::string text = entries[keyText].get<std::string>();
      *translated = platform::BStr::FromUtf8(text).release();
      *found = 1;
      platform::JournalAppend("host", "translate " + scopeText + " " + keyText + " -> " + text);
      return abi::S_OK;
    }
    platform::JournalAppend("host", "translate " + scopeText + " " + keyText + " -> (none)");
    return abi::S_OK;
  });
}

abi::HRESULT STDCALL TranslationManager::BeginDialog(abi::BSTR dialogName) {
  return HostGuard([&] {
    const std::string name = Narrow(dialogName);
    platform::JournalAppend("host", name.empty() ? std::string("end dialog") : "begin dialog " + name);
    return abi::S_OK;
  });
}

abi::HRESULT STDCALL TranslationManager::LocaleFontsEnabled(int32_t* enabled) {
  return HostGuard([&] {
    if (!ClearOut(enabled)) return Fail("LocaleFontsEnabled: nil out argument");
    *enabled = LoadDictionary().value("localeFonts", false) ? 1 : 0;
    return abi::S_OK;
  });
}

}  // namespace quorvex
