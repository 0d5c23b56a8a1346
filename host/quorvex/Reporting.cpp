#include "host/quorvex/Reporting.h"

#include <ostream>
#include <sstream>

#include "abi/Utf8.h"
#include "host/HostStatus.h"
#include "platform/Journal.h"

namespace quorvex::cli {

std::string OneLine(std::string_view text) { return qvabi::EscapedForLine(text); }

void ReportError(Session& session, std::string_view text) {
  session.err << "quorvex: " << OneLine(text) << '\n';
}

void ReportHostFailure(Session& session, const std::string& what) {
  const ThreadError error = TakeThreadError();
  session.out << "error: " << OneLine(error.description.empty() ? what + " failed" : error.description);
  if (!error.source.empty()) session.out << " (source: " << OneLine(error.source) << ")";
  session.out << '\n';
}

void ReportTrace(Session& session) {
  if (session.editorLoaded) {
    std::istringstream events(session.editor.EventLog());
    for (std::string event; std::getline(events, event);) session.out << "event " << event << '\n';
  }
  for (const auto& entry : platform::JournalEntries())
    session.out << "journal " << entry.kind << ": " << OneLine(entry.text) << '\n';
  const auto shortcuts = session.host.GetGuiManager().ShortcutCalls();
  const auto handled = session.host.GetGuiManager().ShortcutResults();
  for (std::size_t i = 0; i < shortcuts.size(); ++i) {
    const auto& key = shortcuts[i];
    session.out << "shortcut " << key.keyCode << " alt=" << key.alt << " shift=" << key.shift
                << " ctrl=" << key.ctrl << " -> "
                << (i < handled.size() && handled[i] ? "handled" : "not handled") << '\n';
  }
  for (const auto& report : session.host.ErrorReports()) {
    switch (report.kind) {
      case ErrorReport::Kind::SetErrorInfo:
        session.out << "error report: " << report.message;
        if (!report.report.empty()) session.out << " | " << report.report;
        session.out << '\n';
        break;
      case ErrorReport::Kind::ClearErrorInfo:
        session.out << "error report cleared\n";
        break;
      case ErrorReport::Kind::HandleException:
        session.out << "error report handled: " << report.value << '\n';
        break;
    }
  }
}

void ReportHandledExceptions(Session& session) {
  constexpr int kReportLines = 4;
  const ErrorReport* lastSet = nullptr;
  for (const auto& report : session.host.ErrorReports()) {
    if (report.kind == ErrorReport::Kind::SetErrorInfo) lastSet = &report;
    if (report.kind != ErrorReport::Kind::HandleException) continue;
    session.out << "error: " << (lastSet ? lastSet->message : std::string("(no error information)")) << '\n';
    if (!lastSet) continue;
    std::istringstream lines(lastSet->report);
    std::string line;
    for (int i = 0; i < kReportLines && std::getline(lines, line); ++i) session.out << "  " << line << '\n';
  }
}

void ReportMessages(Session& session) {
  // Every message box shown leaves a journal entry "CAPTION: TEXT".
  for (const auto& entry : platform::JournalEntries())
    if (entry.kind == "message") session.out << "message " << OneLine(entry.text) << '\n';
}

void ReportStatusBar(Session& session) {
  for (const auto& [panel, text] : session.host.GetGuiManager().Panels())
    if (!text.empty()) session.out << "status " << panel << ": " << OneLine(text) << '\n';
}

}  // namespace quorvex::cli
