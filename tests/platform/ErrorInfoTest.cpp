#include <gtest/gtest.h>

#include <thread>

#include "platform/ErrorInfo.h"
#include "platform/WideString.h"
#include "tests/TestSupport.h"

namespace {

using platform::BStr;
using qvabi::ComPtr;

void Raise(const char* source, const char* description) {
  ComPtr<platform::ICreateErrorInfo> create;
  ASSERT_EQ(platform::CreateErrorInfo(create.put()), qvabi::S_OK);
  ASSERT_EQ(create->SetSource(BStr::FromUtf8(source).get()), qvabi::S_OK);
  ASSERT_EQ(create->SetDescription(BStr::FromUtf8(description).get()), qvabi::S_OK);
  auto info = qvabi::QueryAs<platform::IErrorInfo>(create.get());
  ASSERT_TRUE(info);
  ASSERT_EQ(platform::SetErrorInfo(0, info.get()), qvabi::S_OK);
}

TEST(ErrorInfo, GetHandsOverAndClears) {
  Raise("Strativue.so", "Something broke");
  ComPtr<platform::IErrorInfo> info;
  ASSERT_EQ(platform::GetErrorInfo(0, info.put()), qvabi::S_OK);
  ASSERT_TRUE(info);
  BStr source, description;
  ASSERT_EQ(info->GetSource(source.put()), qvabi::S_OK);
  ASSERT_EQ(info->GetDescription(description.put()), qvabi::S_OK);
  EXPECT_EQ(source.utf8(), "Strativue.so");
  EXPECT_EQ(description.utf8(), "Something broke");

  ComPtr<platform::IErrorInfo> again;
  EXPECT_EQ(platform::GetErrorInfo(0, again.put()), 1);  // S_FALSE
  EXPECT_FALSE(again);
}

TEST(ErrorInfo, IsKeptPerThread) {
  Raise("main", "set on the main thread");
  bool otherSawSomething = true;
  std::thread([&] {
    ComPtr<platform::IErrorInfo> info;
    platform::GetErrorInfo(0, info.put());
    otherSawSomething = static_cast<bool>(info);
    Raise("other", "set on the other thread");
  }).join();
  EXPECT_FALSE(otherSawSomething);

  ComPtr<platform::IErrorInfo> info;
  ASSERT_EQ(platform::GetErrorInfo(0, info.put()), qvabi::S_OK);
  BStr description;
  info->GetDescription(description.put());
  EXPECT_EQ(description.utf8(), "set on the main thread");
}

TEST(ErrorInfo, SetNilClearsAndSeamMakesCreationFail) {
  Raise("x", "y");
  EXPECT_EQ(platform::SetErrorInfo(0, nullptr), qvabi::S_OK);
  ComPtr<platform::IErrorInfo> info;
  EXPECT_EQ(platform::GetErrorInfo(0, info.put()), 1);

  const testsupport::FailingCall failing("platform.CreateErrorInfo");
  platform::ICreateErrorInfo* create = reinterpret_cast<platform::ICreateErrorInfo*>(0x1);
  EXPECT_EQ(platform::CreateErrorInfo(&create), qvabi::E_UNEXPECTED);
  EXPECT_EQ(create, nullptr);
}

TEST(ErrorInfo, ThreadHoldsItsOwnReference) {
  ComPtr<platform::ICreateErrorInfo> create;
  ASSERT_EQ(platform::CreateErrorInfo(create.put()), qvabi::S_OK);
  create->SetDescription(BStr(u"kept").get());
  auto info = qvabi::QueryAs<platform::IErrorInfo>(create.get());
  platform::SetErrorInfo(0, info.get());
  info.reset();
  create.reset();  // only the thread's reference is left
  ComPtr<platform::IErrorInfo> back;
  ASSERT_EQ(platform::GetErrorInfo(0, back.put()), qvabi::S_OK);
  BStr description;
  back->GetDescription(description.put());
  EXPECT_EQ(description.utf8(), "kept");
}

}  // namespace
