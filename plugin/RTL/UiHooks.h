// The process-wide user-interface hooks the plug-in installs when the
// library is loaded and removes when it is unloaded.
//
// Installed, in this order: window ghosting switched off (when the system
// offers the switch); the hooks for message dialogs becoming visible,
// standard dialogs (centred on a monitor), controls inserted into a windowed
// control (the font tree of the form with help around them), components
// inserted into an owner, text values and components read from
// form descriptions, colours turned into text, the catch-all handler entry
// and the end of exception handling; the tooltip event (dynamic help); the host's Luna-look
// preference read; the hint window without shadow; the application's
// exception handler; the Shift-JIS
// default font on Windows 2000; the translation manager's locale-fonts flag.
// Removal undoes each of them in reverse order, releases the translation
// manager and clears the reading state, so that a later load starts from the
// same state as the first.
#pragma once

namespace toolkit {
class TForm;
}

namespace strativue {

void InstallUiHooks();
void RemoveUiHooks();
// Hooks this library has in the toolkit right now (0 after removal).
int InstalledUiHookCount();

// The host's Luna-look preference as read at load (frame painting).
bool HostUsesLunaLook();

// Centres a form on the monitor nearest to the active window, with the
// monitor's full bounds; nothing moves without a monitor.
void CentreOnActiveMonitor(toolkit::TForm& form);

}  // namespace strativue
