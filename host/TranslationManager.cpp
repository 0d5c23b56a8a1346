#include "host/TranslationManager.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <unordered_map>
#include <vector>

#include "abi/Utf8.h"
#include "host/HostSettings.h"
#include "host/HostStatus.h"
#include "platform/Journal.h"
#include "platform/Locale.h"
#include "platform/Machine.h"
#include "platform/WideString.h"

namespace quorvex {
namespace {

constexpr const char* kFormat = "quorvex-dictionary/1";

// The dictionary as read from one state of its file: the scopes under their
// upper-case names (scopes match without regard to case; several may share
// one such name, and are then looked at in the file's order), or why the
// file is refused.
struct Dictionary {
  std::string path;  // the native path it was read from
  std::string text;  // the file's text then
  std::filesystem::file_time_type time;
  std::uintmax_t size = 0;
  std::filesystem::file_time_type readAt;
  std::string problem;
  bool localeFonts = false;
  nlohmann::json root;
  std::unordered_map<std::string, std::vector<const nlohmann::json*>> scopes;
};

std::atomic<std::size_t> g_dictionaryParses{0};

// Longer than any file system's time resolution.
constexpr std::chrono::seconds kSettled{2};

// Parses and checks the dictionary's text; throws std::runtime_error naming
// the file and the problem. Names from the file are shown escaped: a key may
// hold anything JSON can, a NUL or a line break among it.
void Parse(const std::string& text, Dictionary& dictionary) {
  nlohmann::json& root = dictionary.root;
  root = nlohmann::json::parse(text, nullptr, false);
  const auto problem = [](const std::string& what) {
    return std::runtime_error(DictionaryPath() + ": " + what);
  };
  const auto name = [](const std::string& text) { return qvabi::EscapedForLine(text); };
  if (root.is_discarded() || !root.is_object()) throw problem("not a JSON object");
  if (!root.contains("format") || root["format"] != kFormat)
    throw problem(std::string("format must be \"") + kFormat + "\"");
  if (root.contains("localeFonts") && !root["localeFonts"].is_boolean())
    throw problem("localeFonts must be true or false");
  if (!root.contains("translations")) root["translations"] = nlohmann::json::object();
  if (!root["translations"].is_object()) throw problem("translations must be an object");
  for (const auto& [scope, entries] : root["translations"].items()) {
    if (!entries.is_object()) throw problem("translations." + name(scope) + " must be an object");
    for (const auto& [key, value] : entries.items())
      if (!value.is_string())
        throw problem("translations." + name(scope) + "." + name(key) + " must be a string");
    dictionary.scopes[platform::UpperCaseText(scope)].push_back(&entries);
  }
  dictionary.localeFonts = root.value("localeFonts", false);
}

// The dictionary of the file as it is now, parsed once for each change of
// the file rather than at every call: a large dictionary costs one parse per
// run however many texts are translated. A file whose path, time and size
// are those it had when it was read long after its last change is taken as
// unchanged; one changed within the clock's resolution of being read is
// read again and compared, since a rewrite of the same size would keep its
// time. Throws std::runtime_error naming the file and the problem.
std::shared_ptr<const Dictionary> LoadDictionary() {
  static std::mutex loading;
  static std::shared_ptr<Dictionary> cached;
  std::lock_guard lock(loading);
  const std::string path = platform::MapPath(DictionaryPath());
  std::error_code ec;
  const auto time = std::filesystem::last_write_time(path, ec);
  const auto size = ec ? 0 : std::filesystem::file_size(path, ec);
  const bool stamped = !ec;
  const bool sameStamp =
      stamped && cached && cached->path == path && cached->time == time && cached->size == size;
  if (!sameStamp || cached->time + kSettled >= cached->readAt) {
    std::string text, error;
    if (!platform::ReadFile(DictionaryPath(), &text, &error)) throw std::runtime_error(error);
    if (!cached || cached->path != path || cached->text != text) {
      auto dictionary = std::make_shared<Dictionary>();
      ++g_dictionaryParses;
      try {
        Parse(text, *dictionary);
      } catch (const std::runtime_error& problem) {
        dictionary->problem = problem.what();
        dictionary->root = nullptr;
        dictionary->scopes.clear();
      }
      dictionary->path = path;
      dictionary->text = std::move(text);
      cached = std::move(dictionary);
    }
    cached->time = time;
    cached->size = size;
    cached->readAt = std::filesystem::file_time_type::clock::now();
    // A file whose time is unknown is compared again at the next call.
    if (!stamped) cached->readAt = cached->time;
  }
  if (!cached->problem.empty()) throw std::runtime_error(cached->problem);
  return cached;
}

}  // namespace

std::string DictionaryPath() { return HostPreferenceFolder() + "\\Dictionary.json"; }

std::size_t DictionaryParses() { return g_dictionaryParses; }

qvabi::HRESULT STDCALL TranslationManager::Translate(qvabi::BSTR scope, qvabi::BSTR key,
                                                     qvabi::BSTR* translated, int32_t* found) {
  return HostGuard([&] {
    if (!ClearOut(translated) || !ClearOut(found)) return Fail("Translate: nil out argument");
    const std::string scopeText = platform::BStrToUtf8(scope), keyText = platform::BStrToUtf8(key);
    const auto dictionary = LoadDictionary();
    const auto scopes = dictionary->scopes.find(platform::UpperCaseText(scopeText));
    if (scopes != dictionary->scopes.end())
      for (const nlohmann::json* entries : scopes->second) {
        const auto entry = entries->find(keyText);
        if (entry == entries->end()) continue;
        const std::string& text = entry->get_ref<const std::string&>();
        *translated = platform::BStr::FromUtf8(text).release();
        *found = 1;
        platform::JournalAppend("host", "translate " + scopeText + " " + keyText + " -> " + text);
        return qvabi::S_OK;
      }
    platform::JournalAppend("host", "translate " + scopeText + " " + keyText + " -> (none)");
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL TranslationManager::BeginDialog(qvabi::BSTR dialogName) {
  return HostGuard([&] {
    const std::string name = platform::BStrToUtf8(dialogName);
    platform::JournalAppend("host", name.empty() ? std::string("end dialog") : "begin dialog " + name);
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL TranslationManager::LocaleFontsEnabled(int32_t* enabled) {
  return HostGuard([&] {
    if (!ClearOut(enabled)) return Fail("LocaleFontsEnabled: nil out argument");
    *enabled = LoadDictionary()->localeFonts ? 1 : 0;
    return qvabi::S_OK;
  });
}

}  // namespace quorvex
