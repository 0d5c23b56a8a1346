#include "plugin/RTL/ErrorPolicy.h"

#include <cstdio>
#include <new>
#include <system_error>
#include <typeinfo>

#include "platform/Diagnostics.h"
#include "platform/WideString.h"
#include "plugin/RTL/ClientApi.h"
#include "plugin/RTL/Messages.h"
#include "plugin/RTL/ModuleFile.h"
#include "toolkit/Form.h"

namespace strativue {
namespace {

struct CodeName {
  uint32_t code;
  const char* name;
};

constexpr CodeName kCodeNames[] = {
    {platform::EXCEPTION_ACCESS_VIOLATION, "Access Violation"},
    {platform::EXCEPTION_IN_PAGE_ERROR, "In Page Error"},
    {platform::EXCEPTION_INVALID_HANDLE, "Invalid Handle"},
    {platform::EXCEPTION_NO_MEMORY, "No Memory"},
    {platform::EXCEPTION_ILLEGAL_INSTRUCTION, "Illegal Instruction"},
    {platform::EXCEPTION_NONCONTINUABLE_EXCEPTION, "Noncontinuable Exception"},
    {platform::EXCEPTION_INVALID_DISPOSITION, "Invalid Disposition"},
    {platform::EXCEPTION_ARRAY_BOUNDS_EXCEEDED, "Array Bounds Exceeded"},
    {platform::EXCEPTION_FLT_DENORMAL_OPERAND, "Float Denormal Operand"},
    {platform::EXCEPTION_FLT_DIVIDE_BY_ZERO, "Float Divide By Zero"},
    {platform::EXCEPTION_FLT_INEXACT_RESULT, "Float Inexact Result"},
    {platform::EXCEPTION_FLT_INVALID_OPERATION, "Float Invalid Operation"},
    {platform::EXCEPTION_FLT_OVERFLOW, "Float Overflow"},
    {platform::EXCEPTION_FLT_STACK_CHECK, "Float Stack Check"},
    {platform::EXCEPTION_FLT_UNDERFLOW, "Float Underflow"},
    {platform::EXCEPTION_INT_DIVIDE_BY_ZERO, "Integer Divide By Zero"},
    {platform::EXCEPTION_INT_OVERFLOW, "Integer Overflow"},
    {platform::EXCEPTION_PRIV_INSTRUCTION, "Privileged Instruction"},
    {platform::EXCEPTION_STACK_OVERFLOW, "Stack Overflow"},
};

constexpr const char* kSystemErrorClasses[] = {
    "EExternal",        "EHeapException",    "EOSError", "EResNotFound", "EListError",
    "EStringListError", "EInvalidOperation", "EThread",  "EOleError",    "EPTStgException",
};

std::string HexAddress(uintptr_t address) {
  char text[2 + 2 * sizeof(uintptr_t) + 1];
  std::snprintf(text, sizeof text, "%0*llX", static_cast<int>(2 * sizeof(uintptr_t)),
                static_cast<unsigned long long>(address));
  return text;
}

std::string ModuleOf(uintptr_t address) {
  platform::AddressInfo info;
  if (!platform::DescribeAddress(address - 1, &info)) return "(unknown)";
  const auto slash = info.modulePath.find_last_of("/\\");
  return slash == std::string::npos ? info.modulePath : info.modulePath.substr(slash + 1);
}

template <class E>
std::unique_ptr<EExternal> Mapped(const platform::OsException& fault, const std::string& message) {
  return std::make_unique<E>(message, fault.Code());
}

// Errors of other libraries counted as one of the system error classes.
const ExceptionClass* ClassOfForeign(const std::exception& error) {
  if (dynamic_cast<const std::bad_alloc*>(&error)) return &EOutOfMemory::StaticClass();
  if (dynamic_cast<const std::out_of_range*>(&error)) return &EListError::StaticClass();
  if (dynamic_cast<const std::system_error*>(&error)) return &EOSError::StaticClass();
  if (dynamic_cast<const toolkit::EInvalidOperation*>(&error)) return &EInvalidOperation::StaticClass();
  return nullptr;
}

TCaughtError FromObject(const std::exception& error, const ExceptionClass* exceptionClass, uintptr_t address,
                        std::vector<uintptr_t> stack) {
  TCaughtError caught;
  caught.hasObject = true;
  caught.systemError = exceptionClass != nullptr && IsSystemErrorClass(*exceptionClass);
  caught.message = error.what();
  caught.address = address;
  caught.subject.message = caught.message;
  caught.subject.className =
      exceptionClass != nullptr ? exceptionClass->name : platform::DemangleName(typeid(error).name());
  caught.subject.stack = std::move(stack);
  return caught;
}

TCaughtError FromOsException(const platform::OsException& fault) {
  std::unique_ptr<EExternal> mapped;
  try {
    mapped = MapOsException(fault);
  } catch (...) {
    // A mapping that fails gives nothing, as no mapping does.
  }
  if (mapped) return FromObject(*mapped, &mapped->Class(), fault.Address(), fault.Stack());
  TCaughtError caught;
  caught.systemError = true;
  caught.message = OsExceptionName(fault.Code());
  caught.address = fault.Address();
  caught.subject = {caught.message, "EExternal", fault.Stack()};
  return caught;
}

}  // namespace

std::string OsExceptionName(uint32_t code) {
  for (const CodeName& entry : kCodeNames)
    if (entry.code == code) return entry.name;
  char text[32];
  std::snprintf(text, sizeof text, "Error (%08X)", static_cast<unsigned>(code));
  return text;
}

std::unique_ptr<EExternal> MapOsException(const platform::OsException& fault) {
  const std::string at = HexAddress(fault.Address());
  switch (fault.Code()) {
    case platform::EXCEPTION_ACCESS_VIOLATION: {
      std::string message =
          "Access violation at address " + at + " in module '" + ModuleOf(fault.Address()) + "'.";
      if (const auto* violation = dynamic_cast<const platform::AccessViolation*>(&fault))
        message += std::string(violation->IsWrite() ? " Write of address " : " Read of address ") +
                   HexAddress(violation->AccessedAddress()) + ".";
      return Mapped<EAccessViolation>(fault, message);
    }
    case platform::EXCEPTION_INT_DIVIDE_BY_ZERO:
      return Mapped<EDivByZero>(fault, "Division by zero");
    case platform::EXCEPTION_INT_OVERFLOW:
      return Mapped<EIntOverflow>(fault, "Integer overflow");
    case platform::EXCEPTION_FLT_DIVIDE_BY_ZERO:
      return Mapped<EZeroDivide>(fault, "Floating point division by zero");
    case platform::EXCEPTION_FLT_OVERFLOW:
      return Mapped<EOverflow>(fault, "Floating point overflow");
    case platform::EXCEPTION_FLT_UNDERFLOW:
      return Mapped<EUnderflow>(fault, "Floating point underflow");
    case platform::EXCEPTION_FLT_INVALID_OPERATION:
    case platform::EXCEPTION_FLT_STACK_CHECK:
      return Mapped<EInvalidOp>(fault, "Invalid floating point operation");
    case platform::EXCEPTION_STACK_OVERFLOW:
      return Mapped<EStackOverflow>(fault, "Stack overflow");
    case platform::EXCEPTION_PRIV_INSTRUCTION:
    case platform::EXCEPTION_ILLEGAL_INSTRUCTION:
      return Mapped<EPrivilege>(fault, "Privileged instruction");
    default:
      return nullptr;
  }
}

bool IsSystemErrorClass(const ExceptionClass& exceptionClass) {
  for (const char* name : kSystemErrorClasses)
    if (exceptionClass.InheritsFrom(name)) return true;
  return false;
}

TCaughtError DescribeCaughtError(std::exception_ptr error) {
  if (!error) return {};
  try {
    std::rethrow_exception(error);
  } catch (const Exception& raised) {
    return FromObject(raised, &raised.Class(), raised.RaiseAddress(), raised.RaiseStack());
  } catch (const std::exception& foreign) {
    return FromObject(foreign, ClassOfForeign(foreign), 0, {});
  } catch (const platform::OsException& fault) {
    return FromOsException(fault);
  } catch (...) {
    TCaughtError caught;
    caught.message = OsExceptionName(kForeignLanguageExceptionCode);
    return caught;
  }
}

std::string CrashReportFor(const TCaughtError& error) {
  return ComposeCrashReport(error.hasObject ? &error.subject : nullptr, error.address,
                            platform::GetCurrentThreadId(), !IsTestMode());
}

void SetHostErrorInfo(std::exception_ptr error) {
  const TCaughtError caught = DescribeCaughtError(error);
  const platform::BStr message = platform::BStr::FromUtf8(caught.message);
  const platform::BStr report = platform::BStr::FromUtf8(CrashReportFor(caught));
  ClientAPI::SetErrorInfo(message.get(), report.get(), caught.address);
}

void ClearHostErrorInfo() { ClientAPI::ClearErrorInfo(); }

void HandleApplicationException(toolkit::TComponent*, std::exception_ptr error) {
  if (!error) return;
  const TCaughtError caught = DescribeCaughtError(error);
  if (caught.systemError) {
    const platform::BStr message = platform::BStr::FromUtf8(caught.message);
    const platform::BStr report = platform::BStr::FromUtf8(CrashReportFor(caught));
    ClientAPI::SetErrorInfo(message.get(), report.get(), caught.address);
    ClientAPI::HandleException(0);
    return;
  }
  if (caught.hasObject) ShowError(caught.message);
}

}  // namespace strativue
