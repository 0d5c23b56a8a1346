// BSTRs from the C heap, laid out as OLE lays them out: a 32-bit byte length,
// then the text and its terminator.
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/FaultPoints.h"
#include "platform/WideString.h"

namespace platform {
namespace {

constexpr size_t kPrefix = sizeof(uint32_t);
uint32_t& PrefixOf(qvabi::BSTR text) {
  return *reinterpret_cast<uint32_t*>(reinterpret_cast<char*>(text) - kPrefix);
}

}  // namespace

qvabi::BSTR SysAllocStringLen(const char16_t* text, uint32_t length) {
  if (length > kMaxBstrLength || faults::ShouldFail("platform.SysAllocString")) return nullptr;
  const size_t bytes = static_cast<size_t>(length) * sizeof(char16_t);
  void* block = std::malloc(kPrefix + bytes + sizeof(char16_t));
  if (!block) return nullptr;
  const uint32_t prefix = static_cast<uint32_t>(bytes);
  std::memcpy(block, &prefix, kPrefix);
  auto* chars = reinterpret_cast<char16_t*>(static_cast<char*>(block) + kPrefix);
  if (text)
    std::memcpy(chars, text, bytes);
  else
    std::memset(chars, 0, bytes);
  chars[length] = 0;
  return chars;
}

void SysFreeString(qvabi::BSTR text) {
  if (text) std::free(reinterpret_cast<char*>(text) - kPrefix);
}

uint32_t SysStringLen(qvabi::BSTR text) { return text ? PrefixOf(text) / sizeof(char16_t) : 0; }

}  // namespace platform
