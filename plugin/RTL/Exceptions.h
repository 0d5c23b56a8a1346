// The plug-in's error classes.
//
// Every error the plug-in raises derives from Exception, whose constructor is
// the one point every raise passes: it records the thread's error information
// (source = this module's file name without folder, description = the
// message) at the moment of raising, before any handler runs, so that a host
// call answering E_UNEXPECTED leaves the message for the host to fetch. It
// also keeps the raising thread's stack for crash reports.
//
// Each class carries its name and its parent's (ExceptionClass), because the
// error policy decides by class names, compared without case, whether an
// error goes to the host's error reporting.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace strativue {

struct ExceptionClass {
  const char* name;
  const ExceptionClass* parent;  // nil for the root

  // True when this class or an ancestor has `className` (letter case ignored).
  bool InheritsFrom(std::string_view className) const;
};

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message);

  static const ExceptionClass& StaticClass();
  virtual const ExceptionClass& Class() const { return StaticClass(); }
  const char* ClassName() const { return Class().name; }

  // Where it was raised: the first return address on the raising stack.
  uintptr_t RaiseAddress() const { return stack_.empty() ? 0 : stack_.front(); }
  // The raising thread's stack at that moment, innermost first.
  const std::vector<uintptr_t>& RaiseStack() const { return stack_; }

 private:
  std::vector<uintptr_t> stack_;
};

// What an out argument points at; raises Exception when it is nil.
template <typename T>
T& OutArgument(T* argument) {
  if (!argument) throw Exception("Out argument is nil");
  return *argument;
}

}  // namespace strativue

// Declares the class information of an exception class derived from Parent.
#define STRATIVUE_EXCEPTION_CLASS(Name, Parent)                                   \
  static const ::strativue::ExceptionClass& StaticClass() {                       \
    static const ::strativue::ExceptionClass info{#Name, &Parent::StaticClass()}; \
    return info;                                                                  \
  }                                                                               \
  const ::strativue::ExceptionClass& Class() const override { return StaticClass(); }

// A plain exception class: the parent's constructors and its own class name.
#define STRATIVUE_DECLARE_EXCEPTION(Name, Parent) \
  class Name : public Parent {                    \
   public:                                        \
    using Parent::Parent;                         \
    STRATIVUE_EXCEPTION_CLASS(Name, Parent)       \
  };

namespace strativue {

// A failed internal consistency check ("Assertion failure", ...).
STRATIVUE_DECLARE_EXCEPTION(EAssertionFailed, Exception)
// An out-of-range conversion (for example a negative window handle).
STRATIVUE_DECLARE_EXCEPTION(ERangeError, Exception)

// Operating-system (processor) exceptions mapped to exception objects.
class EExternal : public Exception {
 public:
  EExternal(const std::string& message, uint32_t code) : Exception(message), code_(code) {}
  STRATIVUE_EXCEPTION_CLASS(EExternal, Exception)
  uint32_t Code() const { return code_; }

 private:
  uint32_t code_;
};
STRATIVUE_DECLARE_EXCEPTION(EAccessViolation, EExternal)
STRATIVUE_DECLARE_EXCEPTION(EIntError, EExternal)
STRATIVUE_DECLARE_EXCEPTION(EDivByZero, EIntError)
STRATIVUE_DECLARE_EXCEPTION(EIntOverflow, EIntError)
STRATIVUE_DECLARE_EXCEPTION(EMathError, EExternal)
STRATIVUE_DECLARE_EXCEPTION(EInvalidOp, EMathError)
STRATIVUE_DECLARE_EXCEPTION(EZeroDivide, EMathError)
STRATIVUE_DECLARE_EXCEPTION(EOverflow, EMathError)
STRATIVUE_DECLARE_EXCEPTION(EUnderflow, EMathError)
STRATIVUE_DECLARE_EXCEPTION(EStackOverflow, EExternal)
STRATIVUE_DECLARE_EXCEPTION(EPrivilege, EExternal)

// The other failures the error policy treats as system errors.
STRATIVUE_DECLARE_EXCEPTION(EHeapException, Exception)
STRATIVUE_DECLARE_EXCEPTION(EOutOfMemory, EHeapException)
STRATIVUE_DECLARE_EXCEPTION(EOSError, Exception)
STRATIVUE_DECLARE_EXCEPTION(EResNotFound, Exception)
STRATIVUE_DECLARE_EXCEPTION(EListError, Exception)
STRATIVUE_DECLARE_EXCEPTION(EStringListError, Exception)
STRATIVUE_DECLARE_EXCEPTION(EInvalidOperation, Exception)
STRATIVUE_DECLARE_EXCEPTION(EThread, Exception)
// COM failures.
STRATIVUE_DECLARE_EXCEPTION(EOleError, Exception)
STRATIVUE_DECLARE_EXCEPTION(EOleSysError, EOleError)

// A host call answered a negative status; the message is the description of
// the thread's error information at that moment. A failed COM call, so an
// OLE system error.
class EHostError : public EOleSysError {
 public:
  EHostError(const std::string& message, int32_t status) : EOleSysError(message), status_(status) {}
  STRATIVUE_EXCEPTION_CLASS(EHostError, EOleSysError)
  int32_t status() const { return status_; }

 private:
  int32_t status_;
};

}  // namespace strativue
