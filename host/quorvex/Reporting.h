// What quorvex prints about a run.
#pragma once

#include <string>

#include "host/quorvex/Session.h"

namespace quorvex::cli {

// "error: DESCRIPTION (source: SOURCE)" from the thread's error information,
// after a host call into the plug-in answered a failure.
void ReportHostFailure(Session& session, const std::string& what);
// "event ENTRY" for each call the editor's interactive operations made,
// "journal KIND: TEXT" for each journal entry, then one line per error
// report the plug-in handed the host.
void ReportTrace(Session& session);
// "status N: TEXT" for each status-bar panel that holds text.
void ReportStatusBar(Session& session);
// "message CAPTION: TEXT" for each message box shown.
void ReportMessages(Session& session);

}  // namespace quorvex::cli
