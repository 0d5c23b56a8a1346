// What quorvex prints about a run.
#pragma once

#include <string>
#include <string_view>

#include "host/quorvex/Session.h"

namespace quorvex::cli {

// `text` fit for one line of output (qvabi::EscapedForLine): control and
// invisible characters and bytes that are not UTF-8 shown as escapes, so
// that a value from a file can neither split a message nor hide part of it.
std::string OneLine(std::string_view text);
// "quorvex: TEXT" on the error stream, as one line.
void ReportError(Session& session, std::string_view text);

// "error: DESCRIPTION (source: SOURCE)" from the thread's error information,
// after a host call into the plug-in answered a failure.
void ReportHostFailure(Session& session, const std::string& what);
// "event ENTRY" for each call the editor's interactive operations made,
// "journal KIND: TEXT" for each journal entry (the host's services record
// what they were asked as kind "host"), "shortcut KEY alt=A shift=S ctrl=C
// -> handled|not handled" for each key handed to the GUI manager, then one
// line per error report the plug-in handed the host.
void ReportTrace(Session& session);
// For each time the plug-in asked the host to handle an exception
// (ClientAPI_HandleException): "error: MESSAGE" with the message of the
// error information set last, then the first lines of its report, indented.
void ReportHandledExceptions(Session& session);
// "status N: TEXT" for each status-bar panel that holds text.
void ReportStatusBar(Session& session);
// "message CAPTION: TEXT" for each message box shown.
void ReportMessages(Session& session);

}  // namespace quorvex::cli
