#include "plugin/RTL/CrashReport.h"

#include <cstdio>

#include "platform/Diagnostics.h"

namespace strativue {
namespace {

constexpr int kMaxFrames = 48;

std::string Hex(uintptr_t value) {
  char buffer[2 + 2 * sizeof(uintptr_t) + 1];
  std::snprintf(buffer, sizeof buffer, "0x%0*llX", static_cast<int>(2 * sizeof(uintptr_t)),
                static_cast<unsigned long long>(value));
  return buffer;
}

std::string ModuleFileName(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "0x... in Strativue.so (Function + 0x1C)", or "0x... (no module)".
// Addresses are return addresses: the call lies just before one, and after a
// call that never returns the return address may already be the next
// function's, so the name is looked up for the byte before it.
std::string Where(uintptr_t address) {
  platform::AddressInfo info;
  if (address == 0 || !platform::DescribeAddress(address - 1, &info)) return Hex(address) + " (no module)";
  std::string text = Hex(address) + " in " + ModuleFileName(info.modulePath);
  if (!info.function.empty()) {
    char offset[32];
    std::snprintf(offset, sizeof offset, " + 0x%llX",
                  static_cast<unsigned long long>(info.functionOffset + 1));
    text += " (" + info.function + offset + ")";
  } else {
    text += " (+ " + Hex(address - info.moduleBase) + ")";
  }
  return text;
}

std::string Compose(std::string report, std::vector<uintptr_t> stack, uintptr_t address, uint32_t threadId,
                    bool full) {
  report += "Address: " + Where(address) + "\n";
  report += "Thread: " + std::to_string(threadId) + "\n";
  if (!full) return report;
  if (stack.empty()) stack = platform::CaptureStackBackTrace(2, kMaxFrames);
  report += "Stack:\n";
  for (uintptr_t frame : stack) report += "  " + Where(frame) + "\n";
  report += "Modules:\n";
  for (const auto& module : platform::GetLoadedModules())
    report += "  " + Hex(module.base) + " " + module.path + "\n";
  return report;
}

}  // namespace

std::string ComposeCrashReport(const TReportedException* exception, uintptr_t address, uint32_t threadId,
                               bool full) {
  if (!exception) return Compose({}, {}, address, threadId, full);
  return Compose("Exception: " + exception->message + "\nClass: " + exception->className + "\n",
                 exception->stack, address, threadId, full);
}

std::string TraceCallingThread(const std::string& message, uintptr_t address, bool full) {
  return Compose(message + "\n", platform::CaptureStackBackTrace(1, kMaxFrames), address,
                 platform::GetCurrentThreadId(), full);
}

}  // namespace strativue
