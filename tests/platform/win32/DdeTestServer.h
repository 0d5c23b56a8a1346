// A DDE server that a test runs on a thread of its own, through the system's
// DDEML: it offers one service, accepts one topic and keeps every execute
// command it receives, so that a test can see what a client really sent.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/Dde.h"
#include "platform/win32/WindowsApi.h"

namespace ddetest {

class DdeServer {
 public:
  DdeServer(std::wstring service, std::wstring topic)
      : serviceName_(std::move(service)), topicName_(std::move(topic)) {
    thread_ = std::thread([this] { Run(); });
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return threadId_ != 0; });
  }
  ~DdeServer() {
    ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  DdeServer(const DdeServer&) = delete;
  DdeServer& operator=(const DdeServer&) = delete;

  bool registered() const { return registered_; }

  // The commands received so far, once `count` have come (or a bound far
  // above any normal delivery has passed).
  std::vector<std::u16string> Commands(size_t count) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(30), [&] { return commands_.size() >= count; });
    return commands_;
  }

 private:
  static HDDEDATA CALLBACK Callback(UINT type, UINT, HCONV, HSZ topic, HSZ, HDDEDATA data, ULONG_PTR,
                                    ULONG_PTR) {
    DdeServer* server = current_;
    if (type == XTYP_CONNECT)
      return reinterpret_cast<HDDEDATA>(
          static_cast<uintptr_t>(::DdeCmpStringHandles(topic, server->topic_) == 0));
    if (type == platform::XTYP_EXECUTE) {
      const DWORD size = ::DdeGetData(data, nullptr, 0, 0);
      std::u16string text(size / sizeof(char16_t), u'\0');
      ::DdeGetData(data, reinterpret_cast<BYTE*>(text.data()), size, 0);
      if (!text.empty() && text.back() == u'\0') text.pop_back();
      {
        std::lock_guard lock(server->mutex_);
        server->commands_.push_back(text);
      }
      server->changed_.notify_all();
      return reinterpret_cast<HDDEDATA>(static_cast<uintptr_t>(DDE_FACK));
    }
    return nullptr;
  }

  void Run() {
    current_ = this;
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // gives the thread its queue
    DWORD instance = 0;
    HSZ service = nullptr;
    if (::DdeInitializeW(&instance, &Callback,
                         APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_POKES | CBF_FAIL_REQUESTS |
                             CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                         0) == 0) {
      service = ::DdeCreateStringHandleW(instance, serviceName_.c_str(), platform::CP_WINUNICODE);
      topic_ = ::DdeCreateStringHandleW(instance, topicName_.c_str(), platform::CP_WINUNICODE);
      registered_ = ::DdeNameService(instance, service, nullptr, DNS_REGISTER) != nullptr;
    }
    {
      std::lock_guard lock(mutex_);
      threadId_ = ::GetCurrentThreadId();
    }
    changed_.notify_all();
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    if (instance) {
      ::DdeNameService(instance, service, nullptr, DNS_UNREGISTER);
      ::DdeFreeStringHandle(instance, service);
      ::DdeFreeStringHandle(instance, topic_);
      ::DdeUninitialize(instance);
    }
    current_ = nullptr;
  }

  static inline DdeServer* current_ = nullptr;
  const std::wstring serviceName_;
  const std::wstring topicName_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  DWORD threadId_ = 0;
  bool registered_ = false;
  HSZ topic_ = nullptr;
  std::vector<std::u16string> commands_;
};

}  // namespace ddetest
