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

#include "abi/Documents.h"
#include "abi/ServerModule.h"
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

// A new reference-counted object (abi::Implements starts at zero) with its
// first reference taken by the pointer answered.
template <typename T, typename... Args>
abi::ComPtr<T> MakeReferenced(Args&&... args) {
  T* object = new T(std::forward<Args>(args)...);
  object->AddRef();
  return abi::ComPtr<T>(object);
}

// Fake bases: every method of the interface answers E_NOTIMPL, so that a
// fake overrides only what its test is about. Combine with abi::Implements
// (abi::Implements<NotImplemented<abi::IServerModule>, ...>).
template <typename I>
struct NotImplemented;

template <>
struct NotImplemented<abi::IServerModule> : abi::IServerModule {
  using abi::IServerModule::IID;
  abi::HRESULT STDCALL Idle() override { return abi::E_NOTIMPL; }
  abi::HRESULT STDCALL HostNotify(int32_t) override { return abi::E_NOTIMPL; }
  abi::HRESULT STDCALL CreateDocument(intptr_t, intptr_t, abi::IServerDocument**) override {
    return abi::E_NOTIMPL;
  }
  abi::HRESULT STDCALL DestroyDocument(abi::IServerDocument*) override { return abi::E_NOTIMPL; }
  abi::HRESULT STDCALL GetClient(abi::IClient**) override { return abi::E_NOTIMPL; }
  abi::HRESULT STDCALL GetCommandLauncher(abi::ICommandLauncher**) override { return abi::E_NOTIMPL; }
  abi::HRESULT STDCALL GetDocumentCount(int32_t*) override { return abi::E_NOTIMPL; }
  abi::HRESULT STDCALL GetDocument(int32_t, abi::IServerDocument**) override { return abi::E_NOTIMPL; }
  abi::HRESULT STDCALL GetModuleInstance(int32_t*) override { return abi::E_NOTIMPL; }
  abi::HRESULT STDCALL GetModuleName(abi::BSTR*) override { return abi::E_NOTIMPL; }
  abi::HRESULT STDCALL GetProcessControl(abi::IProcessControl**) override { return abi::E_NOTIMPL; }
  abi::HRESULT STDCALL GetAttachedObjectCount(int32_t*) override { return abi::E_NOTIMPL; }
  abi::HRESULT STDCALL GetAttachedObject(int32_t, abi::IUnknown**) override { return abi::E_NOTIMPL; }
  abi::HRESULT STDCALL GetDocumentOptionsView(abi::BSTR, abi::IUnknown**) override { return abi::E_NOTIMPL; }
  abi::HRESULT STDCALL QueryObject1(int32_t, abi::IUnknown**) override { return abi::E_NOTIMPL; }
  abi::HRESULT STDCALL QueryObject2(int32_t, int32_t, abi::IUnknown**) override { return abi::E_NOTIMPL; }
  abi::HRESULT STDCALL DetachObject(abi::IUnknown*) override { return abi::E_NOTIMPL; }
  abi::HRESULT STDCALL AttachObject(abi::IUnknown*) override { return abi::E_NOTIMPL; }
  abi::HRESULT STDCALL CreateDocumentEx(intptr_t, intptr_t, abi::ByteBool, abi::IServerDocument**) override {
    return abi::E_NOTIMPL;
  }
};

}  // namespace testsupport

// Expects `expression` to raise `ErrorType` (or a subclass) whose what() is
// exactly `message`.
#define EXPECT_RAISES(expression, ErrorType, message) \
  EXPECT_TRUE(::testsupport::Raises<ErrorType>([&] { (void)(expression); }, #expression, message))
