// What the tests of every module share: an assertion that an expression
// raises a given error with a given message, the one seam for making an
// outside call fail, reference-counted objects made with their first
// reference taken, and fake bases whose methods all answer E_NOTIMPL.
#pragma once

#include <gtest/gtest.h>

#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "abi/IServerDocument.h"
#include "abi/IServerModule.h"
#include "abi/Unknown.h"
#include "platform/FaultPoints.h"

namespace testsupport {

// The outcome of evaluating an expression that should raise `Error`.
template <typename Error, typename Expression>
::testing::AssertionResult Raises(Expression&& expression, std::string_view text, std::string_view message) {
  try {
    std::forward<Expression>(expression)();
  } catch (const Error& error) {
    if (std::string_view(error.what()) == message) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << text << " raised \"" << error.what() << "\", not \"" << message << "\"";
  } catch (const std::exception& other) {
    return ::testing::AssertionFailure() << text << " raised another error: " << other.what();
  } catch (...) {
    return ::testing::AssertionFailure() << text << " raised something that is not an error";
  }
  return ::testing::AssertionFailure() << text << " raised nothing";
}

// Makes every call of a fault point ("host.GetKind", "platform.CreateErrorInfo",
// ...) fail with `description` while it lives; `nth` > 0 fails only that call.
class FailingCall {
 public:
  explicit FailingCall(std::string point, std::string description = {}, int64_t nth = 0)
      : point_(std::move(point)) {
    platform::faults::Arm({point_, nth, std::move(description)});
  }
  ~FailingCall() { platform::faults::Disarm(point_); }
  FailingCall(const FailingCall&) = delete;
  FailingCall& operator=(const FailingCall&) = delete;

 private:
  std::string point_;
};

// A new reference-counted object (qvabi::Implements starts at zero) with its
// first reference taken by the pointer answered.
template <typename T, typename... Args>
qvabi::ComPtr<T> MakeReferenced(Args&&... args) {
  T* object = new T(std::forward<Args>(args)...);
  object->AddRef();
  return qvabi::ComPtr<T>(object);
}

// Fake bases: every method of the interface answers E_NOTIMPL, so that a
// fake overrides only what its test is about. Combine with qvabi::Implements
// (qvabi::Implements<NotImplemented<qvabi::IServerModule>, ...>).
template <typename I>
struct NotImplemented;

template <>
struct NotImplemented<qvabi::IServerModule> : qvabi::IServerModule {
  using qvabi::IServerModule::IID;
  qvabi::HRESULT STDCALL Idle() override { return qvabi::E_NOTIMPL; }
  qvabi::HRESULT STDCALL HostNotify(int32_t) override { return qvabi::E_NOTIMPL; }
  qvabi::HRESULT STDCALL CreateDocument(intptr_t, intptr_t, qvabi::IServerDocument**) override {
    return qvabi::E_NOTIMPL;
  }
  qvabi::HRESULT STDCALL DestroyDocument(qvabi::IServerDocument*) override { return qvabi::E_NOTIMPL; }
  qvabi::HRESULT STDCALL GetClient(qvabi::IClient**) override { return qvabi::E_NOTIMPL; }
  qvabi::HRESULT STDCALL GetCommandLauncher(qvabi::ICommandLauncher**) override { return qvabi::E_NOTIMPL; }
  qvabi::HRESULT STDCALL GetDocumentCount(int32_t*) override { return qvabi::E_NOTIMPL; }
  qvabi::HRESULT STDCALL GetDocument(int32_t, qvabi::IServerDocument**) override { return qvabi::E_NOTIMPL; }
  qvabi::HRESULT STDCALL GetModuleInstance(int32_t*) override { return qvabi::E_NOTIMPL; }
  qvabi::HRESULT STDCALL GetModuleName(qvabi::BSTR*) override { return qvabi::E_NOTIMPL; }
  qvabi::HRESULT STDCALL GetProcessControl(qvabi::IProcessControl**) override { return qvabi::E_NOTIMPL; }
  qvabi::HRESULT STDCALL GetAttachedObjectCount(int32_t*) override { return qvabi::E_NOTIMPL; }
  qvabi::HRESULT STDCALL GetAttachedObject(int32_t, qvabi::IUnknown**) override { return qvabi::E_NOTIMPL; }
  qvabi::HRESULT STDCALL GetDocumentOptionsView(qvabi::BSTR, qvabi::IUnknown**) override {
    return qvabi::E_NOTIMPL;
  }
  qvabi::HRESULT STDCALL QueryObject1(int32_t, qvabi::IUnknown**) override { return qvabi::E_NOTIMPL; }
  qvabi::HRESULT STDCALL QueryObject2(int32_t, int32_t, qvabi::IUnknown**) override {
    return qvabi::E_NOTIMPL;
  }
  qvabi::HRESULT STDCALL DetachObject(qvabi::IUnknown*) override { return qvabi::E_NOTIMPL; }
  qvabi::HRESULT STDCALL AttachObject(qvabi::IUnknown*) override { return qvabi::E_NOTIMPL; }
  qvabi::HRESULT STDCALL CreateDocumentEx(intptr_t, intptr_t, qvabi::ByteBool,
                                          qvabi::IServerDocument**) override {
    return qvabi::E_NOTIMPL;
  }
};

}  // namespace testsupport

// Expects `expression` to raise `ErrorType` (or a subclass) whose what() is
// exactly `message`.
#define EXPECT_RAISES(expression, ErrorType, message) \
  EXPECT_TRUE(::testsupport::Raises<ErrorType>([&] { (void)(expression); }, #expression, message))
