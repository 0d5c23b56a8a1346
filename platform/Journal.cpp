#include "platform/Journal.h"

#include <mutex>

namespace platform {
namespace {

std::mutex& JournalMutex() {
  static std::mutex mutex;
  return mutex;
}

std::vector<JournalEntry>& Entries() {
  static std::vector<JournalEntry> entries;
  return entries;
}

}  // namespace

void JournalAppend(std::string_view kind, std::string_view text) {
  try {
    std::lock_guard lock(JournalMutex());
    Entries().push_back({std::string(kind), std::string(text)});
  } catch (...) {
    // Out of memory: the journal is a record, losing one entry must not fail the caller.
  }
}

std::vector<JournalEntry> JournalEntries() {
  std::lock_guard lock(JournalMutex());
  try {
    return Entries();
  } catch (...) {
    return {};
  }
}

void JournalClear() {
  std::lock_guard lock(JournalMutex());
  Entries().clear();
}

}  // namespace platform
