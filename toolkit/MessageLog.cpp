#include "toolkit/MessageLog.h"

#include <mutex>

#include "platform/Journal.h"

namespace toolkit {
namespace {

struct Log {
  std::mutex lock;
  std::vector<MessageRecord> entries;
};

Log& TheLog() {
  static Log log;
  return log;
}

}  // namespace

void MessageLog::Add(MessageRecord record) {
  platform::JournalAppend("message", record.caption + ": " + record.text);
  Log& log = TheLog();
  std::lock_guard<std::mutex> guard(log.lock);
  log.entries.push_back(std::move(record));
}

std::vector<MessageRecord> MessageLog::Entries() {
  Log& log = TheLog();
  std::lock_guard<std::mutex> guard(log.lock);
  return log.entries;
}

void MessageLog::Clear() {
  Log& log = TheLog();
  std::lock_guard<std::mutex> guard(log.lock);
  log.entries.clear();
}

}  // namespace toolkit
