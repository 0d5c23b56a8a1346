// The in-process journal of outside effects that have no meaning here
// (starting a program, shell-opening an address, a DDE transaction, a popup
// help request, a process exit): tests read it, the command-line host prints
// it. Thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct JournalEntry {
  std::string kind;  // for example "start", "shell", "dde", "help", "exit"
  std::string text;
  friend bool operator==(const JournalEntry&, const JournalEntry&) = default;
};

void JournalAppend(std::string_view kind, std::string_view text);
// Every entry since the last clear, oldest first.
std::vector<JournalEntry> JournalEntries();
void JournalClear();

}  // namespace platform
