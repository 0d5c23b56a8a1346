// Crash reports: the text the error policy hands to the host's error
// reporting, and what madTraceProcess answers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace strativue {

// The exception a report is about.
struct TReportedException {
  std::string message;
  std::string className;
  // The raising thread's stack when it was raised, innermost first; empty
  // when unknown (the report then walks the reporting thread's stack).
  std::vector<uintptr_t> stack;
};

// The report for an exception (or none) raised at `address` on thread
// `threadId`. Its first lines are always
//   Exception: MESSAGE      (only with an exception)
//   Class: CLASS            (only with an exception)
//   Address: 0x... in MODULE (FUNCTION + 0xOFFSET)
//   Thread: ID
// With `full` the stack (each frame with its module and, where the module
// has symbols, its function) and the loaded modules with their base
// addresses follow.
std::string ComposeCrashReport(const TReportedException* exception, uintptr_t address, uint32_t threadId,
                               bool full);

// The report for the calling thread at the caller's address, without
// exception, with `message` as its first line.
std::string TraceCallingThread(const std::string& message, uintptr_t address, bool full);

}  // namespace strativue
