// The host's navigation service (IClient slot 49). It resolves a help target
// to itself, splits addresses at their protocol and "opens" an address by
// recording it: each opening is a "navigate" journal entry
// ("open <address>"), successful when the address names a file under the
// machine root.
#pragma once

#include "abi/Navigation.h"
#include "abi/Unknown.h"

namespace quorvex {

class NavigationService final : public abi::Implements<abi::INavigationService> {
 public:
  // "http://host/path" gives ("http", "host", "/path"); an address without a
  // protocol of two or more letters before ":" gives three empty parts.
  abi::HRESULT STDCALL ParseAddress(abi::BSTR address, abi::BSTR* protocol, abi::BSTR* part1,
                                    abi::BSTR* part2) override;
  abi::HRESULT STDCALL OpenAddress(int32_t flags, abi::BSTR* address, abi::IServerDocument** document,
                                   abi::BOOL32* success) override;
  abi::HRESULT STDCALL ResolveAddress(abi::BSTR target, abi::BSTR* address) override;
};

}  // namespace quorvex
