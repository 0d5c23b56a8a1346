#include "plugin/RTL/HelpTopics.h"

#include <algorithm>
#include <charconv>

#include "platform/Locale.h"
#include "platform/Machine.h"

namespace strativue {
namespace {

bool LessIgnoringCase(const std::pair<std::string, int32_t>& a, const std::pair<std::string, int32_t>& b) {
  return platform::CompareTextIgnoreCase(a.first, b.first) < 0;
}

// A context number: decimal digits only. Anything else, a negative number
// included (it would read as a redirect index), counts as 0.
int32_t ContextNumber(std::string_view text) {
  int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0) return 0;
  return value;
}

std::size_t FileNameStart(std::string_view path) {
  const auto slash = path.find_last_of("\\/:");
  return slash == std::string_view::npos ? 0 : slash + 1;
}

int32_t Lookup(THelpTopicTables& tables, std::string& helpFile, const std::string& key,
               std::string_view prefix, std::string& topic, const HelpFileLocator& locate,
               const HelpRedirectMapper& mapRedirect, int hopsLeft) {
  if (tables.Empty()) tables.LoadFile(ChangeFileExt(helpFile, ".id"));
  topic = prefix.empty() ? key : "Dlg_" + std::string(prefix) + "_" + key;
  const std::optional<int32_t> value = tables.Find(topic);
  if (!value) return 0;
  if (*value >= 0) return *value;
  const auto index = static_cast<std::size_t>(~*value);
  if (index >= tables.Redirects().size() || hopsLeft == 0) return 0;
  const std::string redirect = tables.Redirects()[index];
  const std::string module = mapRedirect(redirect);
  if (module.empty()) return 0;
  helpFile = locate(BaseNameOf(module) + ".chm");
  if (!platform::FileExists(helpFile)) return 0;
  std::string redirectKey = redirect;
  std::replace(redirectKey.begin(), redirectKey.end(), ':', '_');
  THelpTopicTables target;
  return Lookup(target, helpFile, redirectKey, {}, topic, locate, mapRedirect, hopsLeft - 1);
}

}  // namespace

void THelpTopicTables::Clear() {
  topics_.clear();
  redirects_.clear();
}

void THelpTopicTables::Load(std::string_view text) {
  Clear();
  // Editors that save as UTF-8 may start the file with a byte-order mark.
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view value = line.substr(equals + 1);
    const auto comma = value.find(',');
    int32_t entry = 0;
    if (comma != std::string_view::npos) {
      entry = ~static_cast<int32_t>(redirects_.size());
      redirects_.emplace_back(value.substr(comma + 1));
    } else {
      entry = ContextNumber(value);
    }
    topics_.emplace_back(std::string(line.substr(0, equals)), entry);
  }
  // Stable, so that the first of equal names stays first and wins.
  std::stable_sort(topics_.begin(), topics_.end(), LessIgnoringCase);
}

bool THelpTopicTables::LoadFile(const std::string& windowsPath) {
  std::string text;
  if (!platform::FileExists(windowsPath) || !platform::ReadFile(windowsPath, &text)) return false;
  Load(text);
  return true;
}

std::optional<int32_t> THelpTopicTables::Find(std::string_view name) const {
  const std::pair<std::string, int32_t> probe{std::string(name), 0};
  const auto it = std::lower_bound(topics_.begin(), topics_.end(), probe, LessIgnoringCase);
  if (it == topics_.end() || platform::CompareTextIgnoreCase(it->first, name) != 0) return std::nullopt;
  return it->second;
}

std::string ChangeFileExt(std::string_view path, std::string_view extension) {
  const std::size_t nameStart = FileNameStart(path);
  const auto dot = path.rfind('.');
  const std::size_t cut = (dot == std::string_view::npos || dot < nameStart) ? path.size() : dot;
  return std::string(path.substr(0, cut)) + std::string(extension);
}

std::string BaseNameOf(std::string_view path) { return ChangeFileExt(path.substr(FileNameStart(path)), ""); }

int32_t LookupHelpTopic(THelpTopicTables& tables, std::string& helpFile, const std::string& key,
                        std::string_view prefix, std::string& topic, const HelpFileLocator& locate,
                        const HelpRedirectMapper& mapRedirect) {
  return Lookup(tables, helpFile, key, prefix, topic, locate, mapRedirect, kMaxHelpRedirects);
}

std::string HelpPageOf(std::string_view topic) {
  std::string page = ChangeFileExt(topic, ".htm");
  if (page.empty() || page.front() != '/') page.insert(page.begin(), '/');
  return page;
}

}  // namespace strativue
