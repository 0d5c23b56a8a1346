#include "platform/Dde.h"

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>

#include "platform/Journal.h"
#include "platform/Locale.h"

namespace platform {
namespace {

struct Conversation {
  uint32_t instance = 0;
  std::string service;
  std::string topic;
};

struct DdeState {
  std::mutex mutex;
  uint32_t nextId = 1;
  std::set<uint32_t> instances;
  std::map<HSZ, std::pair<uint32_t, std::string>> strings;  // handle -> (instance, text)
  std::map<HCONV, Conversation> conversations;
  std::set<std::pair<std::string, std::string>> refused;  // upper-cased service and topic
};

DdeState& State() {
  static DdeState state;
  return state;
}

std::pair<std::string, std::string> Key(std::string_view service, std::string_view topic) {
  return {UpperCaseText(service), UpperCaseText(topic)};
}

}  // namespace

uint32_t DdeInitialize(uint32_t* instance, DdeCallback callback, uint32_t /*flags*/) {
  try {
    if (!instance || *instance != 0 || !callback) return DMLERR_INVALIDPARAMETER;
    auto& state = State();
    std::lock_guard lock(state.mutex);
    *instance = state.nextId++;
    state.instances.insert(*instance);
    return DMLERR_NO_ERROR;
  } catch (...) {
    return DMLERR_INVALIDPARAMETER;
  }
}

bool DdeUninitialize(uint32_t instance) {
  try {
    auto& state = State();
    std::lock_guard lock(state.mutex);
    if (state.instances.erase(instance) == 0) return false;
    std::erase_if(state.strings, [&](const auto& entry) { return entry.second.first == instance; });
    std::erase_if(state.conversations, [&](const auto& entry) { return entry.second.instance == instance; });
    return true;
  } catch (...) {
    return false;
  }
}

HSZ DdeCreateStringHandle(uint32_t instance, std::string_view text, int codePage) {
  try {
    if (codePage != CP_WINANSI && codePage != CP_WINUNICODE) return 0;
    auto& state = State();
    std::lock_guard lock(state.mutex);
    if (!state.instances.contains(instance)) return 0;
    const HSZ handle = state.nextId++;
    state.strings[handle] = {instance, std::string(text)};
    return handle;
  } catch (...) {
    return 0;
  }
}

bool DdeFreeStringHandle(uint32_t instance, HSZ handle) {
  try {
    auto& state = State();
    std::lock_guard lock(state.mutex);
    const auto found = state.strings.find(handle);
    if (found == state.strings.end() || found->second.first != instance) return false;
    state.strings.erase(found);
    return true;
  } catch (...) {
    return false;
  }
}

HCONV DdeConnect(uint32_t instance, HSZ service, HSZ topic, const CONVCONTEXT* context) {
  try {
    if (context && context->cb != sizeof(CONVCONTEXT)) return 0;
    auto& state = State();
    std::lock_guard lock(state.mutex);
    const auto serviceText = state.strings.find(service);
    const auto topicText = state.strings.find(topic);
    if (!state.instances.contains(instance) || serviceText == state.strings.end() ||
        topicText == state.strings.end())
      return 0;
    Conversation conversation{instance, serviceText->second.second, topicText->second.second};
    if (state.refused.contains(Key(conversation.service, conversation.topic))) return 0;
    const HCONV handle = state.nextId++;
    state.conversations[handle] = std::move(conversation);
    return handle;
  } catch (...) {
    return 0;
  }
}

bool DdeDisconnect(HCONV conversation) {
  try {
    auto& state = State();
    std::lock_guard lock(state.mutex);
    return state.conversations.erase(conversation) > 0;
  } catch (...) {
    return false;
  }
}

HDDEDATA DdeClientTransaction(const void* data, uint32_t size, HCONV conversation, HSZ /*item*/,
                              uint32_t format, uint32_t type, uint32_t /*timeout*/, uint32_t* result) {
  try {
    if (result) *result = 0;
    if (type != XTYP_EXECUTE || format != CF_TEXT || (!data && size > 0)) return 0;
    Conversation target;
    {
      auto& state = State();
      std::lock_guard lock(state.mutex);
      const auto found = state.conversations.find(conversation);
      if (found == state.conversations.end()) return 0;
      target = found->second;
    }
    std::string_view command(static_cast<const char*>(data), size);
    // A terminating zero counted in the size is not part of the command.
    if (const size_t zero = command.find('\0'); zero != std::string_view::npos)
      command = command.substr(0, zero);
    JournalAppend("dde", target.service + "|" + target.topic + ": " + std::string(command));
    return 1;
  } catch (...) {
    return 0;
  }
}

void SetDdeServerAvailable(std::string_view service, std::string_view topic, bool available) {
  try {
    auto& state = State();
    std::lock_guard lock(state.mutex);
    if (available)
      state.refused.erase(Key(service, topic));
    else
      state.refused.insert(Key(service, topic));
  } catch (...) {
  }
}

int DdeOpenObjectCount() {
  auto& state = State();
  std::lock_guard lock(state.mutex);
  return static_cast<int>(state.instances.size() + state.strings.size() + state.conversations.size());
}

void ResetDde() {
  auto& state = State();
  std::lock_guard lock(state.mutex);
  state.instances.clear();
  state.strings.clear();
  state.conversations.clear();
  state.refused.clear();
}

}  // namespace platform
