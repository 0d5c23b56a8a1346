#include "platform/Faults.h"

#include <utility>

#include "platform/Diagnostics.h"

namespace platform {
namespace {

constexpr int kMaxFrames = 64;

}  // namespace

OsException::OsException(uint32_t code, uintptr_t address, std::vector<uintptr_t> stack)
    : code_(code), address_(address), stack_(std::move(stack)) {}

OsException::~OsException() = default;

AccessViolation::AccessViolation(uintptr_t address, std::vector<uintptr_t> stack, uintptr_t accessed,
                                 bool write)
    : OsException(EXCEPTION_ACCESS_VIOLATION, address, std::move(stack)),
      accessed_(accessed),
      write_(write) {}

AccessViolation::~AccessViolation() = default;

// Not inlined, so that the return address is the raising caller's.
__attribute__((noinline)) void RaiseOsException(uint32_t code) {
  const auto address = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
  throw OsException(code, address, CaptureStackBackTrace(1, kMaxFrames));
}

__attribute__((noinline)) void RaiseAccessViolation(uintptr_t accessed, bool write) {
  const auto address = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
  throw AccessViolation(address, CaptureStackBackTrace(1, kMaxFrames), accessed, write);
}

}  // namespace platform
