#include "platform/Process.h"

#include <cstdio>
#include <iostream>
#include <string>

#include "platform/Dde.h"
#include "platform/Journal.h"
#include "platform/ProcessBackend.h"
#include "platform/Registry.h"

namespace platform {
namespace {

HDDEDATA STDCALL IgnoreDdeTransaction(uint32_t, uint32_t, HCONV, HSZ, HSZ, HDDEDATA, uintptr_t, uintptr_t) {
  return 0;
}

// How long DdeExecute waits for the server to acknowledge the command.
constexpr uint32_t kDdeExecuteTimeoutMs = 10000;

}  // namespace

void ExitProcess(int code) {
  try {
    JournalAppend("exit", "code " + std::to_string(code));
    std::cout.flush();
  } catch (...) {
    // The process ends whatever happens here.
  }
  std::fflush(stdout);
  std::fflush(stderr);
  backend::EndProcess(code);
}

uint32_t StartProgram(std::string_view commandLine, int showCommand) {
  try {
    const uint32_t result = backend::StartProgram(commandLine, showCommand);
    if (result > 31) JournalAppend("start", commandLine);
    return result;
  } catch (...) {
    return static_cast<uint32_t>(ERROR_FILE_NOT_FOUND);
  }
}

intptr_t ShellExecute(std::string_view verb, std::string_view file, std::string_view parameters,
                      std::string_view directory, int showCommand) {
  try {
    std::string text = std::string(verb.empty() ? "open" : verb) + " " + std::string(file);
    if (!parameters.empty()) text += " " + std::string(parameters);
    JournalAppend("shell", text);
    return backend::ShellExecute(verb, file, parameters, directory, showCommand);
  } catch (...) {
    return 0;
  }
}

bool DdeExecute(std::string_view service, std::string_view topic, std::string_view command) {
  uint32_t instance = 0;
  if (DdeInitialize(&instance, &IgnoreDdeTransaction, 0) != DMLERR_NO_ERROR) return false;
  const HSZ serviceHandle = DdeCreateStringHandle(instance, service, CP_WINANSI);
  const HSZ topicHandle = DdeCreateStringHandle(instance, topic, CP_WINANSI);
  bool acknowledged = false;
  if (serviceHandle && topicHandle) {
    CONVCONTEXT context{};
    context.cb = sizeof context;
    context.iCodePage = CP_WINANSI;
    if (const HCONV conversation = DdeConnect(instance, serviceHandle, topicHandle, &context)) {
      uint32_t result = 0;
      acknowledged = DdeClientTransaction(command.data(), static_cast<uint32_t>(command.size()), conversation,
                                          0, CF_TEXT, XTYP_EXECUTE, kDdeExecuteTimeoutMs, &result) != 0;
      DdeDisconnect(conversation);
    }
  }
  DdeFreeStringHandle(instance, serviceHandle);
  DdeFreeStringHandle(instance, topicHandle);
  DdeUninitialize(instance);
  return acknowledged;
}

int32_t GetFileVersion(std::string_view windowsPath, FileVersion* version) {
  try {
    JournalAppend("version", windowsPath);
    return backend::GetFileVersion(windowsPath, version);
  } catch (...) {
    return ERROR_INVALID_DATA;
  }
}

}  // namespace platform
