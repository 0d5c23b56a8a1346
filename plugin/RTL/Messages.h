// Message boxes (with the unattended test mode) and small text and system
// helpers shared by the whole plug-in. Text is the host's single-byte text.
#pragma once

#include <string>
#include <string_view>

#include "plugin/RTL/AsciiCase.h"
#include "toolkit/MessageDialog.h"

namespace strativue {

using TMsgDlgType = toolkit::TMsgDlgType;
using TMsgDlgButtons = toolkit::TMsgDlgButtons;

// A modal message box; answers its modal result. In test mode it shows
// nothing: it writes "ShowDialogWithCaption with" + caption + " " + message
// and a line break to standard output and ends the process with exit code 1.
int ShowDialogWithCaption(const std::string& caption, const std::string& message, TMsgDlgType type,
                          TMsgDlgButtons buttons);
// Error box with one OK button; a nil caption means "Error".
int ShowError(const std::string& message, const char* caption = nullptr);
// Information box with one OK button; a nil caption means "Information".
int ShowInformation(const std::string& message, const char* caption = nullptr);

// Fixed point with exactly two decimals and a point, whatever the locale; no
// thousands separators. The exact value of the number is rounded, halves away
// from zero; a result of zero carries no minus sign.
void FormatTwoDecimals(std::string& text, float value);
std::string FormatTwoDecimals(float value);

// True while the key is held down.
bool IsCtrlDown();
bool IsShiftDown();
bool IsAltDown();

// True while the registry key \Software\Verdane\TestMode exists under
// HKEY_LOCAL_MACHINE; asked anew on every call, never created.
bool IsTestMode();
// Flushes standard output and ends the whole process with `exitCode`, even
// when flushing fails.
[[noreturn]] void EndTestRun(int exitCode);

// Operating-system version 5.0.
bool IsWindows2000();
// Major version above 5.
bool IsVistaOrLater();

}  // namespace strativue
