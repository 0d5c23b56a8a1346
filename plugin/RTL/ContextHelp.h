// Context help: the help files named after this module, opening a help topic
// through the host, popup help, and the dynamic help that follows the
// pointer.
//
// Files (M is this module's file name without folder and extension):
//   M.chm            help pages of whole dialogs (located as a help file)
//   M.id             its topic table
//   Mwth.hlp         popup help of single controls (beside M.chm)
//   Mwth.id          its topic table
//   Mwth.chm         help pages of single controls (dynamic help)
//   qvxmaster.hlp    the popup shown when nothing better is found
#pragma once

#include <cstdint>
#include <string>

#include "platform/Geometry.h"
#include "platform/Windows.h"
#include "plugin/RTL/HelpTopics.h"

namespace toolkit {
class TControl;
}

namespace strativue {

inline constexpr const char* kMasterPopupHelpFile = "qvxmaster.hlp";
// The popup of the master help file that F1 falls back to.
inline constexpr uint32_t kMasterPopupContext = 1;

// M.chm, located afresh at every call.
std::string DialogHelpFile();
// The dialog help file's path without extension + "wth.hlp".
std::string ControlPopupHelpFile(const std::string& dialogHelpFile);

// LookupHelpTopic with help files located in the host's help folders and
// redirects mapped by the host client (nothing without one).
int32_t LookupHostHelpTopic(THelpTopicTables& tables, std::string& helpFile, const std::string& key,
                            const std::string& prefix, std::string& topic);

// The address of a topic's page: the help file with the extension ".chm"
// (located when it has no folder), "::" and the topic's page. The help file
// part is cut to `maxFileLength` characters.
std::string HelpTopicAddress(const std::string& helpFile, const std::string& topic,
                             std::size_t maxFileLength = std::string::npos);

// Opens a topic: dynamically in the host's dynamic-help panel; otherwise in
// the host's own help viewer when the host integrates its help system, else
// by showing the knowledge-center panel and forcing the dynamic help to it.
void OpenHelpTopic(const std::string& helpFile, const std::string& topic, bool dynamic);

// Shows the popup of a context number from a popup help file at a position,
// owned by a window. The host's preference to hide floating panels is off
// while the popup comes up and is restored afterwards, also on failure.
void ShowHelpPopup(const std::string& helpFile, uint32_t context, platform::Point at, platform::HWND owner);

// The tooltip event: dynamic help for the control under the pointer (its
// windowed parent for a control without a window), looked up by its
// top-level form when that is a form with help.
void ShowDynamicHelpForHint(toolkit::TControl& control);

}  // namespace strativue
