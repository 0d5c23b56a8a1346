// What happens to errors that reach the user interface.
//
// System errors (the classes below, each with its descendants) go to the
// host's error reporting with a crash report; every other error becomes an
// "Error" message box. Whenever one of the toolkit's catch-all handlers
// catches an exception, the host's error information is set before the
// handler runs and cleared when it has finished.
//
// System error classes: EExternal, EHeapException, EOSError, EResNotFound,
// EListError, EStringListError, EInvalidOperation, EThread, and any class
// named "EOleError" or "EPTStgException" (letter case ignored). Errors of
// other libraries count by what they are: std::bad_alloc as EOutOfMemory,
// std::out_of_range as EListError, std::system_error as EOSError, the
// toolkit's EInvalidOperation as EInvalidOperation.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "platform/Faults.h"
#include "plugin/RTL/CrashReport.h"
#include "plugin/RTL/Exceptions.h"

namespace toolkit {
class TComponent;
}

namespace strativue {

// "Access Violation", "Integer Divide By Zero", ... for the operating
// system's exception codes; "Error (XXXXXXXX)" for any other code.
std::string OsExceptionName(uint32_t code);

// The run-time's mapping of an operating-system exception to an exception
// object (EAccessViolation, EDivByZero, ...); nil for codes it has no class
// for.
std::unique_ptr<EExternal> MapOsException(const platform::OsException& fault);

// The code a C++ exception that is no exception object reports as, the way
// Windows reports foreign language exceptions.
inline constexpr uint32_t kForeignLanguageExceptionCode = 0xE06D7363u;

// True for the system error classes above (and their descendants).
bool IsSystemErrorClass(const ExceptionClass& exceptionClass);

// What the error policy knows of a caught exception.
struct TCaughtError {
  bool hasObject = false;  // an exception object, or one mapped from an OS exception
  bool systemError = false;
  std::string message;
  uintptr_t address = 0;
  TReportedException subject;  // for the crash report (when hasObject)
};
// Describes the exception `error` holds: an exception object (the
// plug-in's, the standard library's), an operating-system exception through
// the run-time's mapping (unmapped: its code's name, no object), or any other
// thrown value (the foreign-language code's name, no object).
TCaughtError DescribeCaughtError(std::exception_ptr error);

// The crash report for a caught error, on the calling thread; full (stack
// and modules) except in test mode.
std::string CrashReportFor(const TCaughtError& error);

// Catch-all handler entry: ClientAPI_SetErrorInfo (message, report, address).
void SetHostErrorInfo(std::exception_ptr error);
// End of exception handling: ClientAPI_ClearErrorInfo.
void ClearHostErrorInfo();

// The application's exception handler: nothing for no exception; system
// errors to ClientAPI_SetErrorInfo and ClientAPI_HandleException(0); every
// other error to an "Error" message box with its message.
void HandleApplicationException(toolkit::TComponent* sender, std::exception_ptr error);

}  // namespace strativue
