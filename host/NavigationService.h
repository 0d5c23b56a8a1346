// The host's navigation service (IClient slot 49). It resolves a help target
// to itself, splits addresses at their protocol and "opens" an address by
// recording it: each opening is a "navigate" journal entry
// ("open <address>"), successful when the address names a file under the
// machine root.
#pragma once

#include "abi/Navigation.h"
#include "abi/Unknown.h"

namespace quorvex {

class NavigationService final : public qvabi::Implements<qvabi::INavigationService> {
 public:
  // "http://host/path" gives ("http", "host", "/path"); an address without a
  // protocol of two or more letters before ":" gives three empty parts.
  qvabi::HRESULT STDCALL ParseAddress(qvabi::BSTR address, qvabi::BSTR* protocol, qvabi::BSTR* part1,
                                      qvabi::BSTR* part2) override;
  qvabi::HRESULT STDCALL OpenAddress(int32_t flags, qvabi::BSTR* address, qvabi::IServerDocument** document,
                                     qvabi::BOOL32* success) override;
  qvabi::HRESULT STDCALL ResolveAddress(qvabi::BSTR target, qvabi::BSTR* address) override;
};

}  // namespace quorvex
