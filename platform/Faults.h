// Processor and operating-system exceptions, as far as they can be raised
// here. Windows delivers them as structured exceptions that are not language
// exception objects; OsException stands for one: it is thrown as a C++
// exception but deliberately does not derive from std::exception, so that a
// run-time library has to map it to an exception object of its own, as it
// would map a real one.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

inline constexpr uint32_t EXCEPTION_ACCESS_VIOLATION = 0xC0000005u;
inline constexpr uint32_t EXCEPTION_IN_PAGE_ERROR = 0xC0000006u;
inline constexpr uint32_t EXCEPTION_INVALID_HANDLE = 0xC0000008u;
inline constexpr uint32_t EXCEPTION_NO_MEMORY = 0xC0000017u;
inline constexpr uint32_t EXCEPTION_ILLEGAL_INSTRUCTION = 0xC000001Du;
inline constexpr uint32_t EXCEPTION_NONCONTINUABLE_EXCEPTION = 0xC0000025u;
inline constexpr uint32_t EXCEPTION_INVALID_DISPOSITION = 0xC0000026u;
inline constexpr uint32_t EXCEPTION_ARRAY_BOUNDS_EXCEEDED = 0xC000008Cu;
inline constexpr uint32_t EXCEPTION_FLT_DENORMAL_OPERAND = 0xC000008Du;
inline constexpr uint32_t EXCEPTION_FLT_DIVIDE_BY_ZERO = 0xC000008Eu;
inline constexpr uint32_t EXCEPTION_FLT_INEXACT_RESULT = 0xC000008Fu;
inline constexpr uint32_t EXCEPTION_FLT_INVALID_OPERATION = 0xC0000090u;
inline constexpr uint32_t EXCEPTION_FLT_OVERFLOW = 0xC0000091u;
inline constexpr uint32_t EXCEPTION_FLT_STACK_CHECK = 0xC0000092u;
inline constexpr uint32_t EXCEPTION_FLT_UNDERFLOW = 0xC0000093u;
inline constexpr uint32_t EXCEPTION_INT_DIVIDE_BY_ZERO = 0xC0000094u;
inline constexpr uint32_t EXCEPTION_INT_OVERFLOW = 0xC0000095u;
inline constexpr uint32_t EXCEPTION_PRIV_INSTRUCTION = 0xC0000096u;
inline constexpr uint32_t EXCEPTION_STACK_OVERFLOW = 0xC00000FDu;

class OsException {
 public:
  OsException(uint32_t code, uintptr_t address, std::vector<uintptr_t> stack);
  virtual ~OsException();

  // The exception code (EXCEPTION_...; any value for a software exception).
  uint32_t Code() const { return code_; }
  // The code address where it was raised.
  uintptr_t Address() const { return address_; }
  // The raising thread's stack at that moment, innermost first.
  const std::vector<uintptr_t>& Stack() const { return stack_; }

 private:
  uint32_t code_;
  uintptr_t address_;
  std::vector<uintptr_t> stack_;
};

// An access violation: the dedicated type a run-time library recognises to
// tell the faulting access.
class AccessViolation : public OsException {
 public:
  AccessViolation(uintptr_t address, std::vector<uintptr_t> stack, uintptr_t accessed, bool write);
  ~AccessViolation() override;

  uintptr_t AccessedAddress() const { return accessed_; }
  bool IsWrite() const { return write_; }

 private:
  uintptr_t accessed_;
  bool write_;
};

// Raise an exception at the caller's address, with the caller's stack.
[[noreturn]] void RaiseOsException(uint32_t code);
[[noreturn]] void RaiseAccessViolation(uintptr_t accessed, bool write);

}  // namespace platform
