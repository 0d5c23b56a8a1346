#include "host/NavigationService.h"

#include <string>

#include "host/HostStatus.h"
#include "platform/Journal.h"
#include "platform/Machine.h"
#include "platform/WideString.h"

namespace quorvex {
namespace {

bool IsProtocolCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-' ||
         c == '.';
}

}  // namespace

qvabi::HRESULT STDCALL NavigationService::ParseAddress(qvabi::BSTR address, qvabi::BSTR* protocol,
                                                       qvabi::BSTR* part1, qvabi::BSTR* part2) {
  return HostGuard([&] {
    if (!ClearOut(protocol) || !ClearOut(part1) || !ClearOut(part2))
      return Fail("ParseAddress: nil out argument");
    const std::string text = platform::BStrToUtf8(address);
    const std::size_t colon = text.find(':');
    // One letter before ":" is a drive, not a protocol.
    if (colon == std::string::npos || colon < 2) return qvabi::S_OK;
    for (std::size_t i = 0; i < colon; ++i)
      if (!IsProtocolCharacter(text[i])) return qvabi::S_OK;
    std::string rest = text.substr(colon + 1);
    std::string location;
    if (rest.rfind("//", 0) == 0) {
      const std::size_t slash = rest.find('/', 2);
      location = rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
      rest = slash == std::string::npos ? std::string() : rest.substr(slash);
    }
    *protocol = platform::SysAllocUtf8(text.substr(0, colon));
    *part1 = platform::SysAllocUtf8(location);
    *part2 = platform::SysAllocUtf8(rest);
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL NavigationService::OpenAddress(int32_t, qvabi::BSTR* address,
                                                      qvabi::IServerDocument** document,
                                                      qvabi::BOOL32* success) {
  return HostGuard([&] {
    if (!address || !ClearOut(document) || !ClearOut(success)) return Fail("OpenAddress: nil argument");
    const std::string text = platform::BStrToUtf8(*address);
    platform::JournalAppend("navigate", "open " + text);
    *success = qvabi::ToBool32(platform::FileExists(text));
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL NavigationService::ResolveAddress(qvabi::BSTR target, qvabi::BSTR* address) {
  return HostGuard([&] {
    if (!ClearOut(address)) return Fail("ResolveAddress: nil out argument");
    // The first thing the host is asked when a help address is to be shown.
    platform::JournalAppend("host", "resolve address " + platform::BStrToUtf8(target));
    *address = platform::SysAllocUtf8(platform::BStrToUtf8(target));
    return qvabi::S_OK;
  });
}

}  // namespace quorvex
