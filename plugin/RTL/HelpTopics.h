// Help topic tables: the ".id" files that map the names of dialogs and
// controls to help topics, and the lookup of a topic through them.
//
// A table file is plain text, one entry per line:
//   NAME=NUMBER             the topic NAME has that context number (text that
//                           is not a non-negative decimal number counts as 0)
//   NAME=ANYTHING,REDIRECT  the topic is provided by another module; REDIRECT
//                           (everything after the first comma) is
//                           "SERVER:TOPIC"; ANYTHING is ignored
// The name is everything before the first "="; lines without "=" are
// ignored. Names are looked up without regard to letter case; of two entries
// with the same name the first in the file wins.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace strativue {

// A topic table with the redirect table its entries point into: each topic
// holds its context number (0 or more) or, for a redirect, the bitwise
// complement of the redirect's index (always negative).
class THelpTopicTables {
 public:
  bool Empty() const { return topics_.empty(); }
  std::size_t Size() const { return topics_.size(); }
  void Clear();
  // Replaces the tables with the entries of a table file's text and sorts
  // the topics.
  void Load(std::string_view text);
  // Load from a file (Windows path); false, and nothing changed, when it
  // does not exist or cannot be read.
  bool LoadFile(const std::string& windowsPath);
  // The value of a topic; none when the name is not in the table.
  std::optional<int32_t> Find(std::string_view name) const;
  const std::vector<std::string>& Redirects() const { return redirects_; }

 private:
  std::vector<std::pair<std::string, int32_t>> topics_;
  std::vector<std::string> redirects_;
};

// Locates a bare help file name (a name with a folder is returned as it is).
using HelpFileLocator = std::function<std::string(const std::string& fileName)>;
// Maps a redirect string ("PCB:Dlg_Y") to the file name of the module that
// provides it; empty when none. May raise (a failing host call).
using HelpRedirectMapper = std::function<std::string(const std::string& redirect)>;

// `path` with its extension (from the last "." of the file name on)
// replaced by `extension` (which includes its dot, or is empty).
std::string ChangeFileExt(std::string_view path, std::string_view extension);
// The file name without folder and extension.
std::string BaseNameOf(std::string_view path);

// The lookup of `key` (with "Dlg_" + prefix + "_" before it when `prefix` is
// not empty) in the tables of `helpFile`, loading them from the help file's
// ".id" file first when they are empty. Answers the context number, 0 when
// there is none, and sets `topic` to the name that was looked up. A redirect
// maps to the providing module's help file (base name of the module + ".chm",
// located), which replaces `helpFile`, and the redirect (":" replaced by "_")
// is looked up in that file's own table; redirect chains longer than
// kMaxHelpRedirects answer 0.
inline constexpr int kMaxHelpRedirects = 8;
int32_t LookupHelpTopic(THelpTopicTables& tables, std::string& helpFile, const std::string& key,
                        std::string_view prefix, std::string& topic, const HelpFileLocator& locate,
                        const HelpRedirectMapper& mapRedirect);

// The page of a topic inside its help file: the topic with the extension
// ".htm", with a leading "/" ("Dlg_X" gives "/Dlg_X.htm").
std::string HelpPageOf(std::string_view topic);

}  // namespace strativue
