#include "platform/Dde.h"

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>

#include "platform/DdeBackend.h"
#include "platform/Journal.h"
#include "platform/Locale.h"

namespace platform {
namespace {

struct Conversation {
  uint32_t instance = 0;
  std::string service;
  std::string topic;
};

struct StringHandle {
  std::string text;
  int references = 0;  // the system hands out one handle per text and counts its creations
};

struct DdeState {
  std::mutex mutex;
  std::set<uint32_t> instances;
  std::map<std::pair<uint32_t, HSZ>, StringHandle> strings;  // (instance, handle)
  std::map<HCONV, Conversation> conversations;
  std::set<std::pair<std::string, std::string>> refused;  // upper-cased service and topic
};

DdeState& Dde() {
  static DdeState state;
  return state;
}

std::pair<std::string, std::string> ServiceTopic(std::string_view service, std::string_view topic) {
  return {UpperCaseText(service), UpperCaseText(topic)};
}

}  // namespace

uint32_t DdeInitialize(uint32_t* instance, DdeCallback callback, uint32_t flags) {
  try {
    if (!instance || *instance != 0 || !callback) return DMLERR_INVALIDPARAMETER;
    uint32_t made = 0;
    const uint32_t error = backend::DdeInitialize(&made, callback, flags);
    if (error != DMLERR_NO_ERROR) return error;
    auto& state = Dde();
    std::lock_guard lock(state.mutex);
    state.instances.insert(made);
    *instance = made;
    return DMLERR_NO_ERROR;
  } catch (...) {
    return DMLERR_INVALIDPARAMETER;
  }
}

bool DdeUninitialize(uint32_t instance) {
  try {
    auto& state = Dde();
    {
      std::lock_guard lock(state.mutex);
      if (state.instances.erase(instance) == 0) return false;
      std::erase_if(state.strings, [&](const auto& entry) { return entry.first.first == instance; });
      std::erase_if(state.conversations,
                    [&](const auto& entry) { return entry.second.instance == instance; });
    }
    backend::DdeUninitialize(instance);
    return true;
  } catch (...) {
    return false;
  }
}

HSZ DdeCreateStringHandle(uint32_t instance, std::string_view text, int codePage) {
  try {
    if (codePage != CP_WINANSI && codePage != CP_WINUNICODE) return 0;
    auto& state = Dde();
    {
      std::lock_guard lock(state.mutex);
      if (!state.instances.contains(instance)) return 0;
    }
    const HSZ handle = backend::DdeCreateStringHandle(instance, text);
    if (!handle) return 0;
    std::lock_guard lock(state.mutex);
    StringHandle& entry = state.strings[{instance, handle}];
    entry.text = std::string(text);
    ++entry.references;
    return handle;
  } catch (...) {
    return 0;
  }
}

bool DdeFreeStringHandle(uint32_t instance, HSZ handle) {
  try {
    auto& state = Dde();
    {
      std::lock_guard lock(state.mutex);
      const auto found = state.strings.find({instance, handle});
      if (found == state.strings.end()) return false;
      if (--found->second.references == 0) state.strings.erase(found);
    }
    backend::DdeFreeStringHandle(instance, handle);
    return true;
  } catch (...) {
    return false;
  }
}

HCONV DdeConnect(uint32_t instance, HSZ service, HSZ topic, const CONVCONTEXT* context) {
  try {
    if (context && context->cb != sizeof(CONVCONTEXT)) return 0;
    Conversation conversation;
    auto& state = Dde();
    {
      std::lock_guard lock(state.mutex);
      const auto serviceText = state.strings.find({instance, service});
      const auto topicText = state.strings.find({instance, topic});
      if (!state.instances.contains(instance) || serviceText == state.strings.end() ||
          topicText == state.strings.end())
        return 0;
      conversation = {instance, serviceText->second.text, topicText->second.text};
      if (state.refused.contains(ServiceTopic(conversation.service, conversation.topic))) return 0;
    }
    // Outside the lock: the system may call back into this module while it
    // looks for a server.
    const HCONV handle = backend::DdeConnect(instance, service, topic, context);
    if (!handle) return 0;
    std::lock_guard lock(state.mutex);
    state.conversations[handle] = std::move(conversation);
    return handle;
  } catch (...) {
    return 0;
  }
}

bool DdeDisconnect(HCONV conversation) {
  try {
    auto& state = Dde();
    {
      std::lock_guard lock(state.mutex);
      if (state.conversations.erase(conversation) == 0) return false;
    }
    backend::DdeDisconnect(conversation);
    return true;
  } catch (...) {
    return false;
  }
}

HDDEDATA DdeClientTransaction(const void* data, uint32_t size, HCONV conversation, HSZ /*item*/,
                              uint32_t format, uint32_t type, uint32_t timeout, uint32_t* result) {
  try {
    if (result) *result = 0;
    if (type != XTYP_EXECUTE || format != CF_TEXT || (!data && size > 0)) return 0;
    Conversation target;
    {
      auto& state = Dde();
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
    return backend::DdeExecute(conversation, command, timeout, result);
  } catch (...) {
    return 0;
  }
}

void SetDdeServerAvailable(std::string_view service, std::string_view topic, bool available) {
  try {
    auto& state = Dde();
    std::lock_guard lock(state.mutex);
    if (available)
      state.refused.erase(ServiceTopic(service, topic));
    else
      state.refused.insert(ServiceTopic(service, topic));
  } catch (...) {
  }
}

int DdeOpenObjectCount() {
  auto& state = Dde();
  std::lock_guard lock(state.mutex);
  int count = static_cast<int>(state.instances.size() + state.conversations.size());
  for (const auto& [key, entry] : state.strings) count += entry.references;
  return count;
}

void ResetDde() {
  auto& state = Dde();
  std::set<uint32_t> instances;
  {
    std::lock_guard lock(state.mutex);
    instances.swap(state.instances);
    state.strings.clear();
    state.conversations.clear();
    state.refused.clear();
  }
  for (const uint32_t instance : instances) backend::DdeUninitialize(instance);
}

}  // namespace platform
