// What other modules of a Windows process see of the platform's error
// information and wide strings: the system's own OLE functions.
#include <gtest/gtest.h>

#include <string>

#include "platform/ErrorInfo.h"
#include "platform/WideString.h"
#include "platform/win32/WindowsApi.h"

namespace {

std::u16string Text(BSTR text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), ::SysStringLen(text));
}

TEST(SystemInterop, ErrorRaisedHereReachesTheSystemsGetErrorInfo) {
  qvabi::ComPtr<platform::ICreateErrorInfo> create;
  ASSERT_EQ(platform::CreateErrorInfo(create.put()), qvabi::S_OK);
  create->SetSource(platform::BStr(u"Strativue.dll").get());
  create->SetDescription(platform::BStr(u"No current PCB document").get());
  auto info = qvabi::QueryAs<platform::IErrorInfo>(create.get());
  ASSERT_TRUE(info);
  ASSERT_EQ(platform::SetErrorInfo(0, info.get()), qvabi::S_OK);

  ::IErrorInfo* system = nullptr;
  ASSERT_EQ(::GetErrorInfo(0, &system), 0);
  ASSERT_NE(system, nullptr);
  BSTR source = nullptr, description = nullptr;
  EXPECT_EQ(system->GetSource(&source), 0);
  EXPECT_EQ(system->GetDescription(&description), 0);
  EXPECT_EQ(Text(source), u"Strativue.dll");
  EXPECT_EQ(Text(description), u"No current PCB document");
  ::SysFreeString(source);
  ::SysFreeString(description);
  system->Release();
  // Taken by the system's call: nothing is left for the platform's.
  qvabi::ComPtr<platform::IErrorInfo> after;
  EXPECT_EQ(platform::GetErrorInfo(0, after.put()), 1);
}

TEST(SystemInterop, ErrorSetThroughTheSystemIsReadHere) {
  ::ICreateErrorInfo* create = nullptr;
  ASSERT_EQ(::CreateErrorInfo(&create), 0);
  BSTR description = ::SysAllocString(L"set by another module");
  create->SetDescription(description);
  ::SysFreeString(description);
  ::IErrorInfo* info = nullptr;
  ASSERT_EQ(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)), 0);
  ASSERT_EQ(::SetErrorInfo(0, info), 0);
  info->Release();
  create->Release();

  qvabi::ComPtr<platform::IErrorInfo> here;
  ASSERT_EQ(platform::GetErrorInfo(0, here.put()), qvabi::S_OK);
  platform::BStr text;
  ASSERT_EQ(here->GetDescription(text.put()), qvabi::S_OK);
  EXPECT_EQ(text.utf8(), "set by another module");
}

TEST(SystemInterop, StringsCrossBothWays) {
  // One made here is measured and freed by the system.
  qvabi::BSTR mine = platform::SysAllocString(u"Layer Stack Up");
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(::SysStringLen(reinterpret_cast<BSTR>(mine)), 14u);
  EXPECT_EQ(::SysStringByteLen(reinterpret_cast<BSTR>(mine)), 28u);
  ::SysFreeString(reinterpret_cast<BSTR>(mine));

  // One made by the system is read and freed here.
  BSTR theirs = ::SysAllocStringLen(L"Top\0Layer", 9);
  EXPECT_EQ(platform::SysStringLen(reinterpret_cast<qvabi::BSTR>(theirs)), 9u);
  platform::BStr adopted = platform::BStr::Adopt(reinterpret_cast<qvabi::BSTR>(theirs));
  EXPECT_EQ(adopted.view(), std::u16string_view(u"Top\0Layer", 9));

  // A nil text gives zeroed characters, as the platform promises everywhere.
  platform::BStr zeroed = platform::BStr::Adopt(platform::SysAllocStringLen(nullptr, 3));
  EXPECT_EQ(zeroed.view(), std::u16string_view(u"\0\0\0", 3));
}

}  // namespace
