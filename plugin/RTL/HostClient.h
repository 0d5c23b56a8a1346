// The process-wide host client and the calls every part of the plug-in uses
// to reach the host.
#pragma once

#include <cstdint>
#include <string_view>

#include "abi/IClient.h"
#include "abi/Unknown.h"

namespace strativue {

// The process-wide host client with a new reference, or nil.
qvabi::ComPtr<qvabi::IClient> GetHostClient();
// Replaces the process-wide host client; stored without taking a reference.
void SetHostClient(qvabi::IClient* client);

// Tests a status returned by the host: a negative one raises EHostError with
// the description of the thread's error information.
void CheckHost(qvabi::HRESULT status);

// Sets one status-bar panel's text; nothing without a host client.
void SetStatusText(int32_t index, std::u16string_view text);
// SetStatusText(-1, "").
void ClearStatusText();

// Offers a key with its modifier states to the host's shortcut handling; when
// the host answers that it handled the key, its follow-up runs and the answer
// is true. False without a host client.
bool PassShortcutToHost(int32_t keyCode, bool alt, bool shift, bool ctrl);

}  // namespace strativue
