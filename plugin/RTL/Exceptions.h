// The plug-in's error classes.
//
// Every error the plug-in raises derives from Exception, whose constructor is
// the one point every raise passes: it records the thread's error information
// (source = this module's file name without folder, description = the
// message) at the moment of raising, before any handler runs, so that a host
// call answering E_UNEXPECTED leaves the message for the host to fetch.
#pragma once

#include <stdexcept>
#include <string>

namespace strativue {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message);
};

// A failed internal consistency check ("Assertion failure", ...).
class EAssertionFailed : public Exception {
 public:
  using Exception::Exception;
};

// A host call answered a negative status; the message is the description of
// the thread's error information at that moment.
class EHostError : public Exception {
 public:
  EHostError(const std::string& message, int32_t status) : Exception(message), status_(status) {}
  int32_t status() const { return status_; }

 private:
  int32_t status_;
};

// An out-of-range conversion (for example a negative window handle).
class ERangeError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace strativue
